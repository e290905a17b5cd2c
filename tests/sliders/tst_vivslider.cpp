#include "sliders/vivslider.h"
#include "widgets/imagecache.h"

#include <QElapsedTimer>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <limits>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

const QRegularExpression invalidConfigMessage(QStringLiteral("^Invalid slider configuration:"));

void compareConfig(const VIVSlider &slider, double minimum, double maximum, double step)
{
    QCOMPARE(slider.realMinimum(), minimum);
    QCOMPARE(slider.realMaximum(), maximum);
    QCOMPARE(slider.realStep(), step);
}

// Waits until more than 10 ms have passed on a clock started no earlier than the slider's
// last emission check, so the next position change is checked at once.
void waitPastEmitInterval(const QElapsedTimer &sinceCheck)
{
    QTRY_VERIFY_WITH_TIMEOUT(sinceCheck.elapsed() > 10, 1000);
}

} // namespace

class TestVIVSlider : public QObject
{
    Q_OBJECT

private slots:
    void newSlider();
    void setConfig_data();
    void setConfig();
    void setConfigKeepsValueAndEmitsNoValue();
    void setConfigKeepsCallersSignalBlock();
    void setters_data();
    void setters();
    void invalidConfigChangesNothing_data();
    void invalidConfigChangesNothing();
    void valueToPosition_data();
    void valueToPosition();
    void positionToValue_data();
    void positionToValue();
    void nanValueChangesNothing();
    void unchangedValueIsNotEmittedAgain();
    void changeSoonAfterEmissionIsDelayed();
    void highlightFollowsHandle();
};

void TestVIVSlider::newSlider()
{
    VIVSlider slider;
    compareConfig(slider, 0.0, 10.0, 0.5);
    QCOMPARE(slider.realValue(), 0.0);
    QCOMPARE(slider.orientation(), Qt::Vertical);
    QCOMPARE(slider.minimum(), 0);
    QCOMPARE(slider.maximum(), 100000);
    QCOMPARE(slider.minimumWidth(), 50);
    QCOMPARE(slider.maximumWidth(), 50);
    QCOMPARE(slider.sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
}

void TestVIVSlider::setConfig_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("expectedMinimum");
    QTest::addColumn<double>("expectedMaximum");
    QTest::addColumn<double>("expectedStep");
    QTest::newRow("range cut to whole steps") << 0.0 << 10.0 << 0.3 << 0.0 << 9.9 << 0.3;
    QTest::newRow("maximum follows moved minimum") << 0.25 << 10.0 << 0.5 << 0.5 << 10.0 << 0.5;
    QTest::newRow("empty range widened") << 5.0 << 5.0 << 1.0 << 5.0 << 6.0 << 1.0;
    QTest::newRow("reversed range widened") << 10.0 << 2.0 << 1.0 << 10.0 << 11.0 << 1.0;
    QTest::newRow("zero step halves range") << 0.0 << 10.0 << 0.0 << 0.0 << 10.0 << 5.0;
    QTest::newRow("negative step halves range") << 0.0 << 10.0 << -2.0 << 0.0 << 10.0 << 5.0;
    QTest::newRow("negative half rounds up") << -0.75 << 1.0 << 0.5 << -0.5 << 1.0 << 0.5;
    QTest::newRow("fine step kept") << -1e6 << 1e6 << 1e-3 << -1e6 << 1e6 << 1e-3;
}

void TestVIVSlider::setConfig()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(double, expectedMinimum);
    QFETCH(double, expectedMaximum);
    QFETCH(double, expectedStep);
    VIVSlider slider;
    QSignalSpy configSpy(&slider, &VIVSlider::configChanged);
    slider.setConfig(minimum, maximum, step);
    compareConfig(slider, expectedMinimum, expectedMaximum, expectedStep);
    QCOMPARE(configSpy.count(), 1);
}

void TestVIVSlider::setConfigKeepsValueAndEmitsNoValue()
{
    VIVSlider slider;
    slider.setRealValue(5.0);
    QSignalSpy valueSpy(&slider, &VIVSlider::valueChanged);
    QTRY_COMPARE(valueSpy.count(), 1);

    slider.setConfig(0.0, 20.0, 1.0);
    QCOMPARE(slider.value(), 25000);
    QCOMPARE(slider.realValue(), 5.0);
    slider.setConfig(0.0, 1.0, 0.1);
    QCOMPARE(slider.value(), 100000);
    QCOMPARE(slider.realValue(), 1.0);
    // Signals were blocked while the slider moved, so no emission can be pending either.
    QCOMPARE(valueSpy.count(), 1);
}

void TestVIVSlider::setConfigKeepsCallersSignalBlock()
{
    VIVSlider slider;
    QSignalSpy configSpy(&slider, &VIVSlider::configChanged);
    slider.blockSignals(true);
    slider.setConfig(0.0, 4.0, 1.0);
    QVERIFY(slider.signalsBlocked());
    QCOMPARE(configSpy.count(), 0);
    compareConfig(slider, 0.0, 4.0, 1.0);
}

void TestVIVSlider::setters_data()
{
    QTest::addColumn<QString>("setter");
    QTest::addColumn<double>("argument");
    QTest::addColumn<double>("expectedMinimum");
    QTest::addColumn<double>("expectedMaximum");
    QTest::addColumn<double>("expectedStep");
    QTest::addColumn<double>("expectedValue");
    QTest::addColumn<bool>("changes");
    QTest::newRow("minimum limited to maximum")
        << "minimum" << 12.0 << 10.0 << 11.0 << 0.5 << 10.0 << true;
    QTest::newRow("minimum snapped, value follows")
        << "minimum" << 1.3 << 1.5 << 10.0 << 0.5 << 1.5 << true;
    QTest::newRow("minimum unchanged") << "minimum" << 0.0 << 0.0 << 10.0 << 0.5 << 0.0 << false;
    QTest::newRow("maximum limited to minimum")
        << "maximum" << -3.0 << 0.0 << 1.0 << 0.5 << 0.0 << true;
    QTest::newRow("maximum snapped") << "maximum" << 7.3 << 0.0 << 7.5 << 0.5 << 0.0 << true;
    QTest::newRow("negative step") << "step" << -2.0 << 0.0 << 10.0 << 5.0 << 0.0 << true;
    QTest::newRow("step cuts range") << "step" << 0.3 << 0.0 << 9.9 << 0.3 << 0.0 << true;
}

void TestVIVSlider::setters()
{
    QFETCH(QString, setter);
    QFETCH(double, argument);
    QFETCH(double, expectedMinimum);
    QFETCH(double, expectedMaximum);
    QFETCH(double, expectedStep);
    QFETCH(double, expectedValue);
    QFETCH(bool, changes);
    VIVSlider slider;
    QSignalSpy configSpy(&slider, &VIVSlider::configChanged);
    if (setter == u"minimum")
        slider.setRealMinimum(argument);
    else if (setter == u"maximum")
        slider.setRealMaximum(argument);
    else
        slider.setRealStep(argument);
    compareConfig(slider, expectedMinimum, expectedMaximum, expectedStep);
    QCOMPARE(slider.realValue(), expectedValue);
    QCOMPARE(configSpy.count() > 0, changes);
}

void TestVIVSlider::invalidConfigChangesNothing_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::newRow("NaN minimum") << notANumber << 10.0 << 0.5;
    QTest::newRow("NaN maximum") << 0.0 << notANumber << 0.5;
    QTest::newRow("NaN step") << 0.0 << 10.0 << notANumber;
    QTest::newRow("infinite maximum") << 0.0 << inf << 0.5;
    QTest::newRow("infinite minimum") << -inf << 10.0 << 0.5;
    QTest::newRow("infinite step") << 0.0 << 10.0 << inf;
    QTest::newRow("range beyond doubles") << -1e308 << 1e308 << 1.0;
    QTest::newRow("step lost in range") << 1e17 << 1e17 << 0.0;
    QTest::newRow("step count beyond doubles") << 0.0 << 10.0 << 1e-320;
}

void TestVIVSlider::invalidConfigChangesNothing()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    VIVSlider slider;
    slider.setConfig(-2.0, 2.0, 0.25);
    slider.setRealValue(1.0);
    QSignalSpy configSpy(&slider, &VIVSlider::configChanged);

    QTest::ignoreMessage(QtDebugMsg, invalidConfigMessage);
    slider.setConfig(minimum, maximum, step);
    compareConfig(slider, -2.0, 2.0, 0.25);
    QCOMPARE(slider.realValue(), 1.0);
    QCOMPARE(configSpy.count(), 0);
}

void TestVIVSlider::valueToPosition_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("realValue");
    QTest::newRow("snapped to nearest step") << 0.0 << 1.0 << 0.1 << 0.26 << 26000 << 0.3;
    QTest::newRow("maximum") << 0.0 << 1.0 << 0.1 << 1.0 << 100000 << 1.0;
    QTest::newRow("below range") << 0.0 << 1.0 << 0.1 << -3.0 << 0 << 0.0;
    QTest::newRow("above range") << 0.0 << 1.0 << 0.1 << 7.0 << 100000 << 1.0;
    QTest::newRow("huge") << 0.0 << 1.0 << 0.1 << 1e300 << 100000 << 1.0;
    QTest::newRow("infinite") << 0.0 << 1.0 << 0.1 << inf << 100000 << 1.0;
    QTest::newRow("negative infinite") << 0.0 << 1.0 << 0.1 << -inf << 0 << 0.0;
    QTest::newRow("negative minimum") << -0.5 << 1.0 << 0.5 << -0.2 << 20000 << 0.0;
}

void TestVIVSlider::valueToPosition()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(double, value);
    QFETCH(int, position);
    QFETCH(double, realValue);
    VIVSlider slider;
    slider.setConfig(minimum, maximum, step);
    slider.setRealValue(value);
    QCOMPARE(slider.value(), position);
    QCOMPARE(slider.realValue(), realValue);
}

void TestVIVSlider::positionToValue_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("realValue");
    QTest::newRow("half step rounds up") << 2500 << 0.5;
    QTest::newRow("just below half step") << 2499 << 0.0;
    QTest::newRow("middle") << 50000 << 5.0;
    QTest::newRow("top") << 100000 << 10.0;
}

void TestVIVSlider::positionToValue()
{
    QFETCH(int, position);
    QFETCH(double, realValue);
    VIVSlider slider;
    slider.setValue(position);
    QCOMPARE(slider.realValue(), realValue);
}

void TestVIVSlider::nanValueChangesNothing()
{
    VIVSlider slider;
    slider.setRealValue(3.0);
    QTest::ignoreMessage(QtDebugMsg, "Invalid slider value: nan");
    slider.setRealValue(notANumber);
    QCOMPARE(slider.realValue(), 3.0);

    QTest::ignoreMessage(QtDebugMsg, invalidConfigMessage);
    slider.setRealMinimum(notANumber);
    QTest::ignoreMessage(QtDebugMsg, invalidConfigMessage);
    slider.setRealMaximum(inf);
    QTest::ignoreMessage(QtDebugMsg, invalidConfigMessage);
    slider.setRealStep(notANumber);
    compareConfig(slider, 0.0, 10.0, 0.5);
}

void TestVIVSlider::unchangedValueIsNotEmittedAgain()
{
    VIVSlider slider;
    QSignalSpy valueSpy(&slider, &VIVSlider::valueChanged);
    // Nothing has been emitted yet, so even the value 0 is emitted once.
    slider.setValue(1);
    QTRY_COMPARE(valueSpy.count(), 1);
    QCOMPARE(valueSpy.last().at(0).toDouble(), 0.0);
    QElapsedTimer sinceCheck;
    sinceCheck.start();

    waitPastEmitInterval(sinceCheck);
    slider.setValue(2);
    QCOMPARE(slider.realValue(), 0.0);
    QCOMPARE(valueSpy.count(), 1);
}

void TestVIVSlider::changeSoonAfterEmissionIsDelayed()
{
    VIVSlider slider;
    QSignalSpy valueSpy(&slider, &VIVSlider::valueChanged);
    QElapsedTimer sinceChange;
    qint64 emittedAfter = -1;
    connect(&slider, &VIVSlider::valueChanged, this, [&] { emittedAfter = sinceChange.elapsed(); });
    QElapsedTimer sinceCheck;
    sinceCheck.start();

    waitPastEmitInterval(sinceCheck);
    QElapsedTimer beforeCheck;
    beforeCheck.start();
    slider.setRealValue(1.0);
    sinceCheck.start();
    QCOMPARE(valueSpy.count(), 1);
    QCOMPARE(valueSpy.last().at(0).toDouble(), 1.0);

    sinceChange.start();
    slider.setRealValue(2.0);
    // The slider's own check lies between the two clocks' starts; only when even the
    // earlier clock says 10 ms have not passed is the delay certain.
    if (beforeCheck.elapsed() <= 10) {
        QCOMPARE(valueSpy.count(), 1);
        QTRY_COMPARE(valueSpy.count(), 2);
        QVERIFY2(emittedAfter >= 15, qPrintable(QString::number(emittedAfter)));
    } else if (sinceCheck.elapsed() > 10) {
        QCOMPARE(valueSpy.count(), 2);
    }
    QTRY_COMPARE(valueSpy.count(), 2);
    QCOMPARE(valueSpy.last().at(0).toDouble(), 2.0);
}

void TestVIVSlider::highlightFollowsHandle()
{
    VIVSlider slider;
    slider.resize(50, 300);
    slider.setRealValue(5.0);
    const QImage plain = slider.grab().toImage();
    slider.setHighlighted(true);
    const QImage highlighted = slider.grab().toImage();
    slider.setEnabled(false);
    const QImage disabledHighlighted = slider.grab().toImage();
    slider.setHighlighted(false);
    QCOMPARE(disabledHighlighted, slider.grab().toImage());

    const QImage *image = cachedImage(QStringLiteral(":resources/ActiveSliderBackground.png"));
    if (image->isNull()) {
        QCOMPARE(highlighted, plain);
        return;
    }
    // Half way up a 300 pixel slider: y = round(0.5 * (300 - 32)) - 4.
    const QRect imageRect(3, 130, image->width() + 1, image->height() + 1);
    bool differs = false;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            if (plain.pixel(x, y) == highlighted.pixel(x, y))
                continue;
            differs = true;
            QVERIFY2(imageRect.contains(x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY(differs);
}

QTEST_MAIN(TestVIVSlider)
#include "tst_vivslider.moc"
