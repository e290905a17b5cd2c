#include "privateoffice.h"

#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"

#include <QTest>

// A slider view on a cell of a private headless office.
class TestSliderViewOffice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void movedSliderRecalculatesDependants();

private:
    PrivateOffice office;
    VIVExcelApplication *application = nullptr;
};

void TestSliderViewOffice::initTestCase()
{
    QVERIFY(office.start());
    application = new VIVExcelApplication(ExcelBackend::attachOrStart(), this);
}

void TestSliderViewOffice::cleanupTestCase()
{
    delete application;
    office.stop();
}

void TestSliderViewOffice::movedSliderRecalculatesDependants()
{
    VIVExcelWorkbook *book = application->workbooks()->add(true);
    QVERIFY(book);
    const QString name = book->name();
    QVERIFY(office.setContent(name, "A1", "250"));
    QVERIFY(office.setContent(name, "B1", "=A1*2+1"));
    VIVExcelWorksheet *sheet = book->worksheets()->worksheet("Sheet1", true);
    QVERIFY(sheet);

    VIVExcelCellSliderView view;
    view.setRange(sheet->range("A1", true));
    QCOMPARE(view.slider()->realMaximum(), 500.0);
    QCOMPARE(view.slider()->realStep(), 1.0);
    QCOMPARE(view.slider()->realValue(), 250.0);

    view.slider()->setValue(VIVSlider::positionCount * 3 / 5);
    QTRY_COMPARE(office.content(name, "A1"), "300");
    QCOMPARE(sheet->range("B1", false)->value().toDouble(), 601.0);
    QCOMPARE(office.content(name, "B1"), "=A1*2+1");
}

QTEST_MAIN(TestSliderViewOffice)
#include "tst_sliderviewoffice.moc"
