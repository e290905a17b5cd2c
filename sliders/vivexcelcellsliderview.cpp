#include "sliders/vivexcelcellsliderview.h"

#include "excel/vivexcelrange.h"
#include "graph/datadimension.h"
#include "graph/minmaxmultidimdata.h"
#include "sliders/sliderscale.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"
#include "widgets/imagecache.h"
#include "widgets/qmouseeventlabel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>

#include <cmath>

namespace {

constexpr int viewWidth = 90;
constexpr int displayHeight = 64;
// The scale leaves room for the handle at both ends of the groove.
constexpr int scaleTopInset = 16;
constexpr int scaleBottomInset = 14;
constexpr int scaleOffsetX = 6;

const char *const addressLabelStyle =
    "font-weight:bold; background-image: url(:resources/metal.jpg); font-size: 12px; "
    "border-left: 1px solid #606060; border-right: 1px solid #D0D0D0";

QString sliderStyle(bool enabled)
{
    const QString handleFrom = enabled ? QStringLiteral("#FFFFFF") : QStringLiteral("#C0C0C0");
    const QString handleTo = enabled ? QStringLiteral("#808080") : QStringLiteral("#606060");
    return QStringLiteral(
               "QSlider::groove:vertical { border: 1px solid #000000; width: 6px; "
               "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #c4c4c4, "
               "stop:1 #B1B1B1); margin: 0; }"
               "QSlider::handle:vertical { background: qlineargradient(x1:0, y1:0, x2:1, "
               "y2:1, stop:0 %1, stop:1 %2); border: 1px solid #000000; height: 28px; "
               "margin: 0px -14px; border-radius: 2px; }")
        .arg(handleFrom, handleTo);
}

struct SliderConfig
{
    double minimum;
    double maximum;
    double step;
};

// A cell's first slider range: from 0 to twice its value, in steps of a hundredth of the
// value's decade.
SliderConfig initialConfig(double value)
{
    if (value > 0)
        return {0.0, 2 * value, std::pow(10.0, std::floor(std::log10(value))) / 100};
    if (value < 0)
        return {2 * value, 0.0, std::pow(10.0, std::floor(std::log10(-value))) / 100};
    return {0.0, 1.0, 0.01};
}

// Values from the spreadsheet pass through single precision; anything that is not a finite
// number counts as 0.
double cellNumber(VIVExcelRange *range)
{
    bool isNumber = false;
    const double value = double(float(range->value().toDouble(&isNumber)));
    return isNumber && std::isfinite(value) ? value : 0.0;
}

} // namespace

VIVExcelCellSliderView::VIVExcelCellSliderView(QWidget *parent) : QWidget(parent)
{
    // The address under the slider is what users click first to select it.
    auto *addressLabel = new QMouseEventLabel(this);
    addressLabel->setCursor(Qt::PointingHandCursor);
    connect(addressLabel, &QMouseEventLabel::mousePressed, this,
            &VIVExcelCellSliderView::watchTextClicked);
    m_addressLabel = addressLabel;
    m_addressLabel->setAlignment(Qt::AlignCenter);
    m_addressLabel->setStyleSheet(QLatin1String(addressLabelStyle));
    buildDisplay();
    m_buttonBar = buildButtonBar();
    buildSlider();
    setFixedWidth(viewWidth);
    buildLayout(m_buttonBar);
    updateSliderStyle();
}

void VIVExcelCellSliderView::buildDisplay()
{
    m_display = new VIVExcelWatchView(this);
    m_display->removeAreaFlags(VIVExcelWatchView::AreaAxis);
    m_display->removeAreaFlags(VIVExcelWatchView::AreaScale);
    m_display->setFixedHeight(displayHeight);
    m_display->setMinimumWidth(80);
    m_display->setMaximumWidth(180);
    MinMaxMultiDimData *data = m_display->data();
    data->setDimensions({DataDimension{0, QStringLiteral("test"), 0.0, 0.0}});
    data->setDataExtractionSettings({{-1}, data->dataExtractionSettings().fastExtraction});
    m_display->setButtons(
        {{QStringLiteral(":resources/watchbuttonclose.png"), QStringLiteral("close")}});
    connect(m_display, &VIVExcelWatchView::textClicked, this,
            &VIVExcelCellSliderView::watchTextClicked);
    connect(m_display, &VIVExcelWatchView::graphClicked, this,
            &VIVExcelCellSliderView::watchGraphClicked);
    connect(m_display, &VIVExcelWatchView::closeRequest, this,
            &VIVExcelCellSliderView::watchCloseRequest);
    connect(m_display, &VIVExcelWatchView::buttonClicked, this,
            &VIVExcelCellSliderView::watchButtonClicked);
}

QWidget *VIVExcelCellSliderView::buildButtonBar()
{
    auto *bar = new QWidget(this);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(12, 0, 4, 0);
    const struct
    {
        const char *pixmap;
        IconButton tag;
        const char *toolTip;
    } buttons[] = {{":resources/btnScan1D.png", IconButton::Scan1D, "Go through full range"},
                   {":resources/btnSliderSettings.png", IconButton::Settings, "Slider settings"}};
    for (const auto &button : buttons) {
        auto *label = new QMouseEventLabel(bar);
        label->setPixmap(QPixmap(QLatin1String(button.pixmap)));
        label->setProperty("tag", int(button.tag));
        label->setToolTip(QLatin1String(button.toolTip));
        connect(label, &QMouseEventLabel::mousePressed, this, &VIVExcelCellSliderView::btnClicked);
        layout->addWidget(label);
    }
    return bar;
}

void VIVExcelCellSliderView::buildSlider()
{
    m_slider = new VIVSlider(this);
    connect(m_slider, &VIVSlider::valueChanged, this, &VIVExcelCellSliderView::sliderValueChanged);
    connect(m_slider, &VIVSlider::configChanged, this,
            &VIVExcelCellSliderView::sliderConfigChanged);
    connect(m_slider, &QAbstractSlider::valueChanged, this,
            &VIVExcelCellSliderView::sliderPositionChanged);
    // The value labels beside the handle follow it during a drag without waiting for the
    // event loop.
    connect(m_slider, &QSlider::sliderPressed, this, qOverload<>(&QWidget::repaint));
    connect(m_slider, &QSlider::sliderReleased, this, qOverload<>(&QWidget::repaint));
    connect(m_slider, &QSlider::sliderMoved, this, qOverload<>(&QWidget::repaint));
}

void VIVExcelCellSliderView::buildLayout(QWidget *buttonBar)
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(3, 4, 3, 3);
    m_display->setContentsMargins(1, 0, 0, 0);
    layout->addWidget(m_display, 0, 0);
    layout->addWidget(buttonBar, 1, 0);
    layout->addWidget(m_slider, 2, 0);
    layout->addWidget(m_addressLabel, 3, 0);
    setContentsMargins(0, 0, 0, 1);
}

VIVExcelRange *VIVExcelCellSliderView::range() const
{
    return m_range;
}

void VIVExcelCellSliderView::setRange(VIVExcelRange *range)
{
    if (range == m_range)
        return;
    disconnect(m_rangeConnection);
    m_range = range;
    if (!range)
        return;
    const QSignalBlocker blocker(this);
    const double value = cellNumber(range);
    const SliderConfig config = initialConfig(value);
    m_slider->setConfig(config.minimum, config.maximum, config.step);
    m_display->data()->setMinMax(config.minimum, config.maximum);
    m_slider->setRealValue(cellNumber(range));
    const QString address = range->address();
    m_addressLabel->setText(address);
    m_rangeConnection =
        connect(range, &QObject::destroyed, this, &VIVExcelCellSliderView::rangeDestroyed);
    m_display->data()->resetValues();
    m_display->setText(address);
    m_display->data()->appendValue(value);
}

void VIVExcelCellSliderView::rebind(VIVExcelRange *range)
{
    const double minimum = m_slider->realMinimum();
    const double maximum = m_slider->realMaximum();
    const double step = m_slider->realStep();
    const QString description = m_display->text();
    setRange(range);
    const QSignalBlocker quiet(this);
    m_slider->setConfig(minimum, maximum, step);
    m_display->data()->setMinMax(minimum, maximum);
    m_slider->setRealValue(cellNumber(range));
    m_display->setText(description);
}

void VIVExcelCellSliderView::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    // The receiver may enable or disable the slider; the style below follows that.
    emit selectedChanged();
    updateSliderStyle();
    update();
}

void VIVExcelCellSliderView::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    updateSliderStyle();
    m_slider->setHighlighted(active);
    update();
}

void VIVExcelCellSliderView::updateSliderStyle()
{
    m_slider->setStyleSheet(sliderStyle(m_slider->isEnabled()));
}

void VIVExcelCellSliderView::btnClicked()
{
    auto *label = qobject_cast<QMouseEventLabel *>(sender());
    if (!label)
        return;
    switch (IconButton(label->property("tag").toInt())) {
    case IconButton::Scan1D:
        emit buttonScan1DClicked();
        break;
    case IconButton::Settings:
        emit buttonSettingsClicked();
        break;
    }
}

void VIVExcelCellSliderView::rangeDestroyed()
{
    setRange(nullptr);
}

// A new configuration may move the slider's position without a signal of its own; one set while
// the view is quiet is the cell's own value on the new grid, and must not be written back when
// the slider's rate limiter emits it later.
void VIVExcelCellSliderView::sliderConfigChanged()
{
    if (signalsBlocked())
        m_quietPosition = m_slider->value();
    emit configChanged();
}

// Runs after the slider's own handling of the position, which may have emitted already.
void VIVExcelCellSliderView::sliderPositionChanged(int position)
{
    m_quietPosition = signalsBlocked() ? position : -1;
}

void VIVExcelCellSliderView::sliderValueChanged(qreal value)
{
    // A position set while the view was quiet may still be emitted later by the slider's rate
    // limiter. Its value is the cell's own, snapped to the slider's grid: writing it back
    // would round the user's number.
    if (m_slider->value() == m_quietPosition)
        return;
    bool handled = false;
    emit valueChanged(m_range, value, handled);
    // The main window blocks the view's signals while it moves the slider to the cell's own
    // value; such moves must not be written back.
    if (!m_range || signalsBlocked() || handled)
        return;
    m_range->setValue(double(value));
}

void VIVExcelCellSliderView::watchButtonClicked(const QString &name)
{
    if (name == QLatin1String("close"))
        emit closeRequest();
}

void VIVExcelCellSliderView::watchCloseRequest()
{
    emit closeRequest();
}

void VIVExcelCellSliderView::watchGraphClicked()
{
    setSelected(!m_selected);
}

void VIVExcelCellSliderView::watchTextClicked()
{
    setSelected(!m_selected);
}

void VIVExcelCellSliderView::paintEvent(QPaintEvent *event)
{
    const QRect area = contentsRect();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(area.left() - area.width(), area.top(), area.right() + area.width(),
                               area.bottom());
    background.setColorAt(0, QColor(255, 255, 255, 100));
    background.setColorAt(1, QColor(0, 0, 0, 240));
    painter.fillRect(area, background);

    // The scale sits right of the groove's centre, between the handle's two end positions.
    const QRect groove = m_slider->contentsRect();
    const int sliderTop = m_slider->y() + m_slider->contentsMargins().top();
    SliderScale scale;
    scale.x = groove.left() + (groove.right() + 1 - groove.left()) / 2 + scaleOffsetX;
    scale.top = groove.top() + sliderTop + scaleTopInset;
    scale.bottom = groove.bottom() + sliderTop - scaleBottomInset;
    if (scale.bottom - scale.top >= 0) {
        scale.minimum = m_slider->realMinimum();
        scale.maximum = m_slider->realMaximum();
        scale.value = m_slider->realValue();
        // Inside the frame.
        scale.right = area.right() - 3;
        scale.showValues = !m_range.isNull();
        scale.highlighted = m_active && isEnabled() && m_slider->isEnabled();
        paintSliderScale(painter, scale);
        paintFrame(painter, area);
    }
    painter.end();
    QWidget::paintEvent(event);
}

// Embossed when not selected, a yellow rounded frame when selected.
void VIVExcelCellSliderView::paintFrame(QPainter &painter, const QRect &area)
{
    painter.setBrush(Qt::NoBrush);
    if (m_selected) {
        painter.setPen(QPen(QColor(255, 221, 0), 2));
        painter.drawRoundedRect(area, 1.0, 1.0);
        return;
    }
    const QRect inner(QPoint(area.left() + 1, area.top() + 1),
                      QPoint(area.right() - 2, area.bottom() - 2));
    painter.setPen(QPen(QColor(0, 0, 0, 200), 2));
    painter.drawRect(inner);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1));
    painter.drawRect(inner.translated(1, 1));
}

namespace {

// The names the dynamic properties are kept under, written here only.
constexpr char overlayImageProperty[] = "overlayimage";
constexpr char oldValueProperty[] = "oldvalue";
constexpr char oldFormulaProperty[] = "oldformula";

} // namespace

void VIVExcelCellSliderView::setOverlayImage(const QString &path)
{
    m_display->setProperty(overlayImageProperty, path);
}

void VIVExcelCellSliderView::rememberCellBeforeScan(const QVariant &value, bool formula)
{
    setProperty(oldValueProperty, value);
    setProperty(oldFormulaProperty, formula);
}

QVariant VIVExcelCellSliderView::valueBeforeScan() const
{
    return property(oldValueProperty);
}

bool VIVExcelCellSliderView::formulaBeforeScan() const
{
    return property(oldFormulaProperty).toBool();
}

void VIVExcelCellSliderView::paintOverlayImage(const QWidget *display, QPainter &painter)
{
    if (!display)
        return;
    const QString path = display->property(overlayImageProperty).toString();
    if (path.isEmpty())
        return;
    const QImage *image = cachedImage(path);
    if (image->isNull())
        return;
    const QRect area = display->contentsRect();
    const QRect bounds = image->rect();
    const int x = (area.left() + area.right()) / 2 - (bounds.left() + bounds.right()) / 2;
    const int y = (area.bottom() - 4) - (bounds.top() + bounds.bottom()) / 2 - image->height() / 2;
    painter.drawImage(x, y, *image);
}
