#include "vivslider.h"

#include "sliders/sliderlogging.h"
#include "widgets/imagecache.h"

#include <QImage>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

// A change sooner than this after the last emission check waits for the timer.
constexpr qint64 minEmitInterval = 10;
constexpr int emitDelay = 20;
// The handle is 28 pixels high; the highlight image follows it.
constexpr int handleTravelMargin = 32;
constexpr int highlightOffset = 4;

// floor(x + 0.5), kept as a double so that no value can overflow an integer.
double roundHalfUp(double x)
{
    return std::floor(x + 0.5);
}

struct Config
{
    double minimum;
    double maximum;
    double step;

    bool operator==(const Config &other) const
    {
        return minimum == other.minimum && maximum == other.maximum && step == other.step;
    }
    bool finite() const
    {
        return std::isfinite(minimum) && std::isfinite(maximum) && std::isfinite(step) &&
               std::isfinite(maximum - minimum);
    }
};

// One round of normalization: a range of at least one, a positive step, then the minimum
// and the range snapped to whole steps (the minimum first, so the maximum follows it).
Config normalized(Config config)
{
    if (config.minimum >= config.maximum)
        config.maximum = config.minimum + 1;
    if (config.step <= 0)
        config.step = (config.maximum - config.minimum) * 0.5;
    config.minimum = qMin(config.step * roundHalfUp(config.minimum / config.step), config.maximum);
    config.maximum = qMax(
        config.minimum + config.step * roundHalfUp((config.maximum - config.minimum) / config.step),
        config.minimum);
    return config;
}

// Rounds of normalization until nothing changes. Empty when the values leave the finite
// doubles or do not settle on a range with a positive step (very large or very fine
// configurations where adding a step no longer changes a value).
std::optional<Config> settled(Config config)
{
    constexpr int maxRounds = 8;
    for (int round = 0; round < maxRounds && config.finite(); ++round) {
        const Config next = normalized(config);
        if (next == config) {
            if (config.minimum < config.maximum && config.step > 0)
                return config;
            return std::nullopt;
        }
        config = next;
    }
    return std::nullopt;
}

} // namespace

VIVSlider::VIVSlider(QWidget *parent)
    : QSlider(Qt::Vertical, parent), m_emitTimer(std::make_unique<QTimer>())
{
    setRange(0, positionCount);
    setTickPosition(QSlider::NoTicks);
    m_emitTimer->setSingleShot(true);
    m_emitTimer->setInterval(emitDelay);
    m_lastEmitTime.start();
    setRealStep(0.5);
    setRealValue(0);
    setFixedWidth(50);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(this, &QAbstractSlider::valueChanged, this, &VIVSlider::sliderValueChanged);
    connect(m_emitTimer.get(), &QTimer::timeout, this, &VIVSlider::timerFired);
}

VIVSlider::~VIVSlider() = default;

double VIVSlider::realValue() const
{
    const double value =
        m_realMinimum + double(this->value()) / positionCount * (m_realMaximum - m_realMinimum);
    return m_realMinimum + m_realStep * roundHalfUp((value - m_realMinimum) / m_realStep);
}

void VIVSlider::setRealValue(double value)
{
    if (std::isnan(value)) {
        qCDebug(lcSlider) << "Invalid slider value:" << value;
        return;
    }
    const double position =
        (value - m_realMinimum) / (m_realMaximum - m_realMinimum) * positionCount;
    // Clamped before the conversion, so that no value overflows the integer position.
    setValue(int(std::trunc(qBound(0.0, position, double(positionCount)))));
}

void VIVSlider::setRealMinimum(double minimum)
{
    // NaN is passed on unlimited, for the check to refuse it.
    if (!std::isnan(minimum))
        minimum = qMin(minimum, m_realMaximum);
    if (minimum == m_realMinimum || !acceptsConfig(minimum, m_realMaximum, m_realStep))
        return;
    m_realMinimum = minimum;
    applyConfig();
}

void VIVSlider::setRealMaximum(double maximum)
{
    if (!std::isnan(maximum))
        maximum = qMax(maximum, m_realMinimum);
    if (maximum == m_realMaximum || !acceptsConfig(m_realMinimum, maximum, m_realStep))
        return;
    m_realMaximum = maximum;
    applyConfig();
}

void VIVSlider::setRealStep(double step)
{
    if (!std::isnan(step))
        step = qMax(step, 0.0);
    if (step == m_realStep || !acceptsConfig(m_realMinimum, m_realMaximum, step))
        return;
    m_realStep = step;
    applyConfig();
}

void VIVSlider::setConfig(double minimum, double maximum, double step)
{
    if (!acceptsConfig(minimum, maximum, step))
        return;
    // The caller may have blocked the signals already; that block outlasts this call.
    const bool wasBlocked = blockSignals(true);
    const double value = realValue();
    m_realMinimum = minimum;
    m_realMaximum = maximum;
    m_realStep = step;
    normalizeConfig();
    setRealValue(value);
    blockSignals(wasBlocked);
    emit configChanged();
}

void VIVSlider::applyConfig()
{
    normalizeConfig();
    emit configChanged();
}

void VIVSlider::setHighlighted(bool highlighted)
{
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    update();
}

void VIVSlider::sliderValueChanged(int)
{
    // The view around the slider paints the value labels beside it.
    if (parentWidget())
        parentWidget()->repaint();
    m_emitTimer->stop();
    if (m_lastEmitTime.elapsed() > minEmitInterval)
        checkEmission();
    else
        m_emitTimer->start();
}

void VIVSlider::timerFired()
{
    checkEmission();
}

void VIVSlider::paintEvent(QPaintEvent *event)
{
    QSlider::paintEvent(event);
    if (!m_highlighted || !isEnabled())
        return;
    const QImage *image = cachedImage(QStringLiteral(":resources/ActiveSliderBackground.png"));
    if (image->isNull())
        return;
    const double fromTop = double(positionCount - value()) / positionCount;
    const double y = roundHalfUp(fromTop * (height() - handleTravelMargin)) - highlightOffset;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(QPointF(3.0, y), *image);
}

// Settles the configuration, then puts the value back on the grid and inside the range.
void VIVSlider::normalizeConfig()
{
    const std::optional<Config> config = settled({m_realMinimum, m_realMaximum, m_realStep});
    m_realMinimum = config->minimum;
    m_realMaximum = config->maximum;
    m_realStep = config->step;
    setRealValue(m_realMinimum +
                 m_realStep * roundHalfUp((realValue() - m_realMinimum) / m_realStep));
    if (realValue() < m_realMinimum)
        setRealValue(m_realMinimum);
    else if (realValue() > m_realMaximum)
        setRealValue(m_realMaximum);
}

// Every configuration is checked before it is stored: one that cannot be normalized
// (infinite or NaN values, or magnitudes where a step is lost in rounding) changes nothing.
bool VIVSlider::acceptsConfig(double minimum, double maximum, double step) const
{
    if (settled({minimum, maximum, step}))
        return true;
    qCDebug(lcSlider) << "Invalid slider configuration:" << minimum << maximum << step;
    return false;
}

void VIVSlider::checkEmission()
{
    const double value = realValue();
    if (m_emittedValue != value) {
        m_emittedValue = value;
        emit valueChanged(value);
    }
    m_lastEmitTime.start();
}
