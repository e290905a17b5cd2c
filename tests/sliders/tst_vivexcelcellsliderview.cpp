#include "fakeexcel.h"

#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"
#include "graph/minmaxmultidimdata.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"
#include "widgets/qmouseeventlabel.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

// The cell slider view over the scripted stand-in of the spreadsheet program.
class TestVIVExcelCellSliderView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void bindingConfiguresFromTheCell_data();
    void bindingConfiguresFromTheCell();
    void moveWritesUnlessHandled_data();
    void moveWritesUnlessHandled();
    void quietMovesAreNeverWritten();
    void destroyedRangeUnbinds();
    void clicksEmitTheirSignals();

private:
    VIVExcelRange *cell(const QString &address);
    // Moves the slider as the user's drag does and waits for the rate-limited emission.
    void drag(VIVExcelCellSliderView &view, double value);

    FakeExcel *excel = nullptr;
    VIVExcelApplication *application = nullptr;
};

void TestVIVExcelCellSliderView::init()
{
    excel = new FakeExcel;
    application = new VIVExcelApplication(excel->application());
}

void TestVIVExcelCellSliderView::cleanup()
{
    delete application;
    delete excel;
}

VIVExcelRange *TestVIVExcelCellSliderView::cell(const QString &address)
{
    return application->workbooks()
        ->workbook("Book1", true)
        ->worksheets()
        ->worksheet("Sheet1", true)
        ->range(address, true);
}

void TestVIVExcelCellSliderView::drag(VIVExcelCellSliderView &view, double value)
{
    QSignalSpy emitted(view.slider(), &VIVSlider::valueChanged);
    const double span = view.slider()->realMaximum() - view.slider()->realMinimum();
    view.slider()->setValue(
        int((value - view.slider()->realMinimum()) / span * VIVSlider::positionCount));
    QTRY_COMPARE(emitted.count(), 1);
}

void TestVIVExcelCellSliderView::bindingConfiguresFromTheCell_data()
{
    QTest::addColumn<QVariant>("content");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("value");

    QTest::newRow("250") << QVariant(250.0) << 0.0 << 500.0 << 1.0 << 250.0;
    QTest::newRow("-0.03") << QVariant(-0.03) << -0.06 << 0.0 << 0.0001 << -0.03;
    QTest::newRow("0") << QVariant(0.0) << 0.0 << 1.0 << 0.01 << 0.0;
    QTest::newRow("text counts as 0") << QVariant("abc") << 0.0 << 1.0 << 0.01 << 0.0;
}

void TestVIVExcelCellSliderView::bindingConfiguresFromTheCell()
{
    QFETCH(QVariant, content);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(double, value);

    excel->setValue("C3", content);
    VIVExcelCellSliderView view;
    QSignalSpy configChanged(&view, &VIVExcelCellSliderView::configChanged);
    view.setRange(cell("C3"));

    const VIVSlider *slider = view.slider();
    QVERIFY(qFuzzyCompare(1 + slider->realMinimum(), 1 + minimum));
    QVERIFY(qFuzzyCompare(1 + slider->realMaximum(), 1 + maximum));
    QVERIFY(qFuzzyCompare(slider->realStep(), step));
    QVERIFY(qAbs(slider->realValue() - value) < step / 2);
    QCOMPARE(view.addressLabel()->text(), "C3");
    QCOMPARE(view.display()->text(), "C3");
    // The cell's value, in single precision, starts the display's history.
    QCOMPARE(view.display()->data()->values().size(), 1);
    QCOMPARE(float(view.display()->data()->values().first()), float(value));
    QCOMPARE(configChanged.count(), 0);
}

void TestVIVExcelCellSliderView::moveWritesUnlessHandled_data()
{
    QTest::addColumn<bool>("handled");
    QTest::addColumn<int>("writes");
    QTest::newRow("handled by the receiver") << true << 0;
    QTest::newRow("not handled") << false << 1;
}

void TestVIVExcelCellSliderView::moveWritesUnlessHandled()
{
    QFETCH(bool, handled);
    QFETCH(int, writes);

    excel->setValue("B2", 250);
    VIVExcelCellSliderView view;
    VIVExcelRange *range = cell("B2");
    view.setRange(range);
    QList<QPair<VIVExcelRange *, qreal>> received;
    connect(&view, &VIVExcelCellSliderView::valueChanged,
            [&](VIVExcelRange *from, qreal value, bool &isHandled) {
                received.append({from, value});
                isHandled = handled;
            });
    excel->clearCalls();
    drag(view, 300);

    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().first, range);
    QCOMPARE(received.first().second, 300.0);
    QCOMPARE(excel->count("SetValue"), writes);
    QCOMPARE(excel->number("B2"), writes ? 300.0 : 250.0);
}

// A position set while the view's signals are blocked (binding, or the main window showing
// the cell's own value) reaches the cell neither at once nor from the rate limiter later.
void TestVIVExcelCellSliderView::quietMovesAreNeverWritten()
{
    excel->setValue("A1", 0.123456789);
    VIVExcelCellSliderView view;
    int viewValues = 0;
    connect(&view, &VIVExcelCellSliderView::valueChanged, [&viewValues] { ++viewValues; });
    QSignalSpy sliderValues(view.slider(), &VIVSlider::valueChanged);
    view.setRange(cell("A1"));
    {
        const QSignalBlocker quiet(&view);
        view.slider()->setRealValue(0.2);
    }
    // Every emission the slider has pending is out once its latest value is the quiet one.
    QTRY_VERIFY(!sliderValues.isEmpty() &&
                qFuzzyCompare(sliderValues.last().first().toDouble(), 0.2));
    QCOMPARE(viewValues, 0);
    QCOMPARE(excel->count("SetValue"), 0);
    QCOMPARE(excel->value("A1"), QVariant(0.123456789));

    drag(view, 0.15);
    QCOMPARE(viewValues, 1);
    QCOMPARE(excel->count("SetValue"), 1);
}

void TestVIVExcelCellSliderView::destroyedRangeUnbinds()
{
    excel->setValue("D4", 8);
    VIVExcelCellSliderView view;
    VIVExcelRange *range = cell("D4");
    view.setRange(range);
    delete range;
    QVERIFY(!view.range());
    QCOMPARE(view.addressLabel()->text(), "D4");
    excel->clearCalls();
    drag(view, 4);
    QCOMPARE(excel->count("SetValue"), 0);
}

void TestVIVExcelCellSliderView::clicksEmitTheirSignals()
{
    VIVExcelCellSliderView view;
    QSignalSpy scan(&view, &VIVExcelCellSliderView::buttonScan1DClicked);
    QSignalSpy settings(&view, &VIVExcelCellSliderView::buttonSettingsClicked);
    QSignalSpy close(&view, &VIVExcelCellSliderView::closeRequest);
    QSignalSpy selected(&view, &VIVExcelCellSliderView::selectedChanged);

    QList<QMouseEventLabel *> icons = view.findChildren<QMouseEventLabel *>();
    icons.removeAll(view.addressLabel());
    QCOMPARE(icons.size(), 2);
    QTest::mousePress(icons[0], Qt::LeftButton);
    QCOMPARE(scan.count(), 1);
    QCOMPARE(settings.count(), 0);
    QTest::mousePress(icons[1], Qt::LeftButton);
    QCOMPARE(settings.count(), 1);
    QCOMPARE(scan.count(), 1);

    emit view.display()->buttonClicked("exportdata");
    QCOMPARE(close.count(), 0);
    emit view.display()->buttonClicked("close");
    emit view.display()->closeRequest();
    QCOMPARE(close.count(), 2);

    emit view.display()->textClicked();
    QVERIFY(view.selected());
    emit view.display()->graphClicked();
    QVERIFY(!view.selected());
    QTest::mousePress(view.addressLabel(), Qt::LeftButton);
    QVERIFY(view.selected());
    QCOMPARE(selected.count(), 3);
}

QTEST_MAIN(TestVIVExcelCellSliderView)
#include "tst_vivexcelcellsliderview.moc"
