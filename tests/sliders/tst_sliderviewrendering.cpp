#include "fakeexcel.h"

#include "excel/vivexcelapplication.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "excel/vivexcelworksheet.h"
#include "excel/vivexcelworksheets.h"
#include "sliders/sliderscale.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

// Pictures go beside the test program, to be looked at.
QString picturePath(const QString &name)
{
    QDir dir(QCoreApplication::applicationDirPath());
    dir.mkpath(QStringLiteral("renderings"));
    return dir.filePath(QStringLiteral("renderings/") + name);
}

bool isAmber(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) > 130 && qGreen(pixel) < 220 && qBlue(pixel) < 60;
}

bool isFrameYellow(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) > 170 && qBlue(pixel) < 80;
}

int countPixels(const QImage &image, const QRect &area, bool (*test)(QRgb))
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

int differingPixels(const QImage &a, const QImage &b, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    }
    return count;
}

} // namespace

// A slider view as the user sees it: plain, active, selected and with its axis mark.
class TestSliderViewRendering : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statesAsSeen();
    void longValuesFitBesideTheScale();

private:
    QImage rendered(bool active, bool selected, const QString &overlay, const QString &name);

    FakeExcel *excel = nullptr;
    VIVExcelApplication *application = nullptr;
};

void TestSliderViewRendering::init()
{
    excel = new FakeExcel;
    application = new VIVExcelApplication(excel->application());
}

void TestSliderViewRendering::cleanup()
{
    delete application;
    delete excel;
}

QImage TestSliderViewRendering::rendered(bool active, bool selected, const QString &overlay,
                                         const QString &name)
{
    // Each picture starts from the same cell value, whatever the previous view wrote.
    excel->setValue("B4", 250);
    VIVExcelCellSliderView view;
    view.setRange(application->workbooks()
                      ->workbook("Book1", true)
                      ->worksheets()
                      ->worksheet("Sheet1", true)
                      ->range("B4", true));
    view.display()->setText(QStringLiteral("Loan\namount"));
    view.slider()->setRealValue(180);
    view.setActive(active);
    view.setSelected(selected);
    if (!overlay.isEmpty()) {
        view.setOverlayImage(overlay);
        connect(view.display(), &VIVExcelWatchView::afterPaint, view.display(),
                [&view](QPainter &painter) {
                    VIVExcelCellSliderView::paintOverlayImage(view.display(), painter);
                });
    }
    view.resize(90, 420);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return QImage();
    QImage image(view.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    view.render(&image);
    image.save(picturePath(name));
    return image;
}

void TestSliderViewRendering::statesAsSeen()
{
    const QImage plain = rendered(false, false, QString(), "sliderview-plain.png");
    const QImage active = rendered(true, false, QString(), "sliderview-active.png");
    const QImage selected = rendered(true, true, QString(), "sliderview-selected.png");
    const QImage marked =
        rendered(true, false, ":resources/slider_xz_x.png", "sliderview-overlay.png");
    QVERIFY(!plain.isNull() && !marked.isNull());

    // The current value is amber only while the slider takes part in the graph.
    const QRect labels(47, 100, 43, 300);
    QCOMPARE(countPixels(plain, labels, isAmber), 0);
    QVERIFY(countPixels(active, labels, isAmber) > 10);

    // A selected view has a yellow frame at its left edge; an unselected one has none.
    const QRect leftEdge(0, 100, 2, 200);
    QVERIFY(countPixels(selected, leftEdge, isFrameYellow) > 100);
    QCOMPARE(countPixels(active, leftEdge, isFrameYellow), 0);

    // The axis mark lies over the lower part of the display and nowhere else.
    QVERIFY(differingPixels(active, marked, QRect(0, 30, 90, 38)) > 50);
    QCOMPARE(differingPixels(active, marked, QRect(0, 80, 90, 340)), 0);
}

// A loan amount's six digits shrink to fit inside the view instead of running past its edge.
void TestSliderViewRendering::longValuesFitBesideTheScale()
{
    const auto labelPixelsPast = [](int right, int edge) {
        QImage image(140, 200, QImage::Format_ARGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        SliderScale scale{10, 20, 180, 0.0, 400000.0, 200000.0, right, true, false};
        paintSliderScale(painter, scale);
        painter.end();
        return countPixels(image, QRect(edge + 1, 0, image.width() - edge - 1, 200),
                           [](QRgb pixel) { return qGray(pixel) > 60; });
    };
    QVERIFY(labelPixelsPast(0, 60) > 0);
    QCOMPARE(labelPixelsPast(60, 60), 0);
}

QTEST_MAIN(TestSliderViewRendering)
#include "tst_sliderviewrendering.moc"
