#include "watches/watchwindow.h"
#include "ui_watchwindow.h"

#include <QScrollBar>

#include "graph/minmaxmultidimdata.h"
#include "watches/clearplacement.h"
#include "watches/vivexcelwatchscale.h"
#include "watches/vivexcelwatchview.h"
#include "widgets/formhandler.h"

#include <QScreen>

namespace {

// Room beside the watches for the window's margins and the scroll bar.
constexpr int sideRoom = 60;
// A window pushed back from the right screen edge keeps this much distance to it.
constexpr int edgeDistance = 30;
// A window that gives up height to leave its neighbour uncovered keeps at least this much.
constexpr int leastClearHeight = 250;

} // namespace

WatchWindow::WatchWindow(QWidget *parent) : QWidget(parent), ui(new Ui::WatchWindow)
{
    ui->setupUi(this);
    m_resizeTimer.setSingleShot(true);
    m_resizeTimer.setInterval(200);
    connect(&m_resizeTimer, &QTimer::timeout, this, &WatchWindow::doCheckResize);
    for (QSlider *slider : {ui->horizontalSlider_watchSize, ui->horizontalSlider_watchGraphAlpha}) {
        connect(slider, &QSlider::sliderPressed, this, &WatchWindow::enableWatchCanUseFastDraw);
        connect(slider, &QSlider::sliderReleased, this, &WatchWindow::disableWatchCanUseFastDraw);
    }
    connect(ui->horizontalSlider_watchSize, &QSlider::sliderReleased, this,
            &WatchWindow::checkResize);
    connect(ui->checkBox_Flat3DGraph, &QCheckBox::toggled, this, &WatchWindow::checkWidgetDisplay);
    ui->checkBox_SmoothGraphs->hide();

    Backgrounds::FormHandler::setTransparentBackground(ui->scrollArea);
    connect(ui->pushButton_newWatchWindow, &QPushButton::clicked, this,
            &WatchWindow::newWindowRequested);
}

void WatchWindow::setSurfaceControlsVisible(bool visible)
{
    ui->widget_3DGraphSettings->setVisible(visible);
}

void WatchWindow::setSmoothControlVisible(bool visible)
{
    ui->checkBox_SmoothGraphs->setVisible(visible);
}

void WatchWindow::setLightingControlsVisible(bool visible)
{
    ui->checkBox_useNormalAveraged->setVisible(visible);
    ui->checkBox_useTriangleRects->setVisible(visible);
}

void WatchWindow::setNewWindowButtonVisible(bool visible)
{
    ui->pushButton_newWatchWindow->setVisible(visible);
}

void WatchWindow::setContentsSpacing(int spacing)
{
    ui->verticalLayout_2->setSpacing(spacing);
}

void WatchWindow::setControlStyleSheets(const QString &horizontalScrollBar,
                                        const QString &verticalScrollBar, const QString &slider)
{
    ui->scrollArea->horizontalScrollBar()->setStyleSheet(horizontalScrollBar);
    ui->scrollArea->verticalScrollBar()->setStyleSheet(verticalScrollBar);
    ui->horizontalSlider_watchSize->setStyleSheet(slider);
    ui->horizontalSlider_watchGraphAlpha->setStyleSheet(slider);
}

WatchWindow::~WatchWindow()
{
    // Watches inside the window die after this destructor has run; they must not report to it.
    for (VIVExcelWatchView *watch : std::as_const(m_watches))
        disconnect(watch, nullptr, this, nullptr);
    delete ui;
}

void WatchWindow::addToContents(QWidget *container)
{
    // The contents' last item is the stretch that keeps the watches at the top.
    QVBoxLayout *contents = ui->verticalLayout_2;
    contents->insertWidget(contents->count() - 1, container);
}

void WatchWindow::addWatch(VIVExcelWatchView *watch)
{
    if (!watch)
        return;
    m_watches.append(watch);
    connect(watch, &QObject::destroyed, this, &WatchWindow::watchDestroyed);
    applyGraphAlpha(watch, -1.0);
    watch->data()->setFlat3D(ui->checkBox_Flat3DGraph->isChecked());
}

void WatchWindow::watchDestroyed(QObject *object)
{
    // The object is half destroyed: compare addresses only.
    const qsizetype removed = m_watches.removeIf(
        [object](VIVExcelWatchView *w) { return static_cast<QObject *>(w) == object; });
    if (removed > 0 && m_watches.isEmpty())
        emit watchesEmptied();
}

void WatchWindow::enableWatchCanUseFastDraw()
{
    for (VIVExcelWatchView *watch : std::as_const(m_watches))
        watch->setCanUseFastDraw(true);
}

void WatchWindow::disableWatchCanUseFastDraw()
{
    for (VIVExcelWatchView *watch : std::as_const(m_watches))
        watch->setCanUseFastDraw(false);
}

void WatchWindow::on_horizontalSlider_watchSize_valueChanged(int value)
{
    emit newWatchSize(value);
}

template <typename Change> void WatchWindow::changeCubeSettings(Change change)
{
    for (VIVExcelWatchView *watch : std::as_const(m_watches)) {
        DrawSettings3DCube settings = watch->data()->drawSettings3DCube();
        change(settings);
        watch->data()->setDrawSettings3DCube(settings);
        watch->update(true);
    }
}

void WatchWindow::on_checkBox_useTriangleRects_toggled(bool checked)
{
    changeCubeSettings([checked](DrawSettings3DCube &s) { s.triangleRects = checked; });
}

void WatchWindow::on_checkBox_useNormalAveraged_toggled(bool checked)
{
    changeCubeSettings([checked](DrawSettings3DCube &s) { s.averagedNormals = checked; });
}

void WatchWindow::on_checkBox_DrawPoints_toggled(bool checked)
{
    changeCubeSettings([checked](DrawSettings3DCube &s) { s.showPoints = checked; });
}

void WatchWindow::on_checkBox_SmoothGraphs_toggled(bool checked)
{
    for (VIVExcelWatchView *watch : std::as_const(m_watches)) {
        MinMaxMultiDimData *data = watch->data();
        if (data->graphDepth() != GraphDepthSurface)
            continue;
        if (data->flat3D()) {
            DrawSettings3DFlat settings = data->drawSettings3DFlat();
            settings.smooth = checked;
            data->setDrawSettings3DFlat(settings);
        } else {
            DrawSettings3DCube settings = data->drawSettings3DCube();
            settings.smooth = checked;
            data->setDrawSettings3DCube(settings);
        }
        watch->update(true);
    }
}

void WatchWindow::on_checkBox_Flat3DGraph_toggled(bool checked)
{
    for (VIVExcelWatchView *watch : std::as_const(m_watches)) {
        watch->data()->setFlat3D(checked);
        // A colour legend means nothing beside a curve.
        if (VIVExcelWatchScale *scale = watch->watchScale())
            scale->setVisible(checked && watch->data()->graphDepth() >= GraphDepthSurface);
    }
    ui->checkBox_SmoothGraphs->setVisible(checked);
    ui->checkBox_DrawPoints->setVisible(!checked);
    ui->horizontalSlider_watchGraphAlpha->setVisible(!checked);
    ui->label_Transparency->setVisible(!checked);
    {
        // Only shows the watches' state; the other watches must not be changed by it.
        const QSignalBlocker blocker(ui->checkBox_SmoothGraphs);
        for (VIVExcelWatchView *watch : std::as_const(m_watches)) {
            const MinMaxMultiDimData *data = watch->data();
            ui->checkBox_SmoothGraphs->setChecked(checked ? data->drawSettings3DFlat().smooth
                                                          : data->drawSettings3DCube().smooth);
        }
    }
    for (VIVExcelWatchView *watch : std::as_const(m_watches))
        watch->update(true);
}

bool WatchWindow::showsPoints() const
{
    return ui->checkBox_DrawPoints->isChecked();
}

void WatchWindow::setShowsPoints(bool on)
{
    ui->checkBox_DrawPoints->setChecked(on);
}

bool WatchWindow::smoothGraphs() const
{
    return ui->checkBox_SmoothGraphs->isChecked();
}

void WatchWindow::setSmoothGraphs(bool on)
{
    ui->checkBox_SmoothGraphs->setChecked(on);
}

bool WatchWindow::flat3D() const
{
    return ui->checkBox_Flat3DGraph->isChecked();
}

void WatchWindow::setFlat3D(bool on)
{
    ui->checkBox_Flat3DGraph->setChecked(on);
}

bool WatchWindow::offersFlat3D() const
{
    return ui->checkBox_Flat3DGraph->isVisible();
}

int WatchWindow::transparency() const
{
    return ui->horizontalSlider_watchGraphAlpha->value();
}

int WatchWindow::watchSize() const
{
    return ui->horizontalSlider_watchSize->value();
}

void WatchWindow::setWatchSize(int size)
{
    ui->horizontalSlider_watchSize->setValue(size);
}

double WatchWindow::sliderAlpha() const
{
    const QSlider *slider = ui->horizontalSlider_watchGraphAlpha;
    const int span = slider->maximum() - slider->minimum();
    return span > 0 ? double(slider->value() - slider->minimum()) / span : 1.0;
}

void WatchWindow::on_horizontalSlider_watchGraphAlpha_valueChanged(int)
{
    const double alpha = sliderAlpha();
    for (VIVExcelWatchView *watch : std::as_const(m_watches))
        applyGraphAlpha(watch, alpha);
}

void WatchWindow::applyGraphAlpha(VIVExcelWatchView *watch, double alpha)
{
    if (!watch)
        return;
    if (alpha < 0.0)
        alpha = sliderAlpha();
    DrawSettings3DCube settings = watch->data()->drawSettings3DCube();
    settings.opacity = alpha;
    watch->data()->setDrawSettings3DCube(settings);
}

void WatchWindow::checkWidgetDisplay()
{
    const bool enabled = !ui->checkBox_Flat3DGraph->isChecked();
    ui->checkBox_DrawPoints->setEnabled(enabled);
    ui->horizontalSlider_watchGraphAlpha->setEnabled(enabled);
    ui->label_Transparency->setEnabled(enabled);
}

int WatchWindow::widthFor(VIVExcelWatchView *watch) const
{
    const int width = watch->width();
    if (watch->data()->graphDepth() != GraphDepthSurface)
        return width + sideRoom;
    // A surface has its two sub watches beside it, and possibly its colour scale.
    int target = width + int((width - watch->subWatchMargin()) / 1.8);
    if (const VIVExcelWatchScale *scale = watch->watchScale())
        target += scale->width();
    return target + sideRoom;
}

// A watch that changed sizes the window for itself; any other sender (a data store whose graph
// depth changed) sizes it for the widest watch, so a curve watch never cramps a surface.
void WatchWindow::checkResize()
{
    int target = 0;
    if (auto *reference = qobject_cast<VIVExcelWatchView *>(sender())) {
        target = widthFor(reference);
    } else {
        for (VIVExcelWatchView *watch : std::as_const(m_watches))
            target = std::max(target, widthFor(watch));
    }
    if (target == 0)
        return;
    m_targetWidth = std::max(target, minimumWidth());
    m_resizeTimer.start();
}

void WatchWindow::doCheckResize()
{
    if (width() == m_targetWidth)
        return;
    setUpdatesEnabled(false);
    QRect rect = geometry();
    rect.setWidth(m_targetWidth);
    checkPosition(rect);
    setUpdatesEnabled(true);
}

void WatchWindow::checkPosition(QRect rect)
{
    if (rect.right() < rect.left() || rect.bottom() < rect.top())
        rect = geometry();
    if (const QScreen *shown = screen()) {
        const QRect available = shown->availableGeometry();
        if (rect.right() > available.right())
            rect.moveRight(available.right() - edgeDistance);
        if (m_neighbour && m_neighbour->isVisible())
            rect = clearOf(rect, m_neighbour->frameGeometry(), available,
                           std::max(leastClearHeight, minimumHeight()));
    }
    setGeometry(rect);
}

void WatchWindow::setNeighbour(QWidget *window)
{
    m_neighbour = window;
}

void WatchWindow::checkPosition()
{
    checkPosition(QRect());
}
