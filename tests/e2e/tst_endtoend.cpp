#include "privateoffice.h"

#include "app/mainwindow.h"
#include "app/scanstate.h"
#include "app/sliderwatchregistry.h"
#include "app/watchwindowcommands.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "graph/minmaxmultidimdata.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <csignal>
#include <functional>
#include <memory>

namespace {

// The projectile example: its inputs and what its formulas compute from them.
struct Projectile
{
    double speed;
    double angleDegrees;
    double gravity;
    double time;

    // Takes the value of the input that the slider's label names.
    void set(const QString &label, double value)
    {
        if (label.startsWith("Launch speed"))
            speed = value;
        else if (label.startsWith("Launch angle"))
            angleDegrees = value;
    }

    double formula(int row) const
    {
        const double a = angleDegrees * M_PI / 180;
        switch (row) {
        case 8:
            return 2 * speed * std::sin(a) / gravity;
        case 9:
            return speed * speed * std::sin(2 * a) / gravity;
        case 10:
            return std::pow(speed * std::sin(a), 2) / (2 * gravity);
        case 11:
            return speed * std::cos(a) * time;
        default:
            return speed * std::sin(a) * time - gravity * time * time / 2;
        }
    }
};

const QStringList inputCells{"B3", "B4", "B5", "B6"};
const QStringList formulaCells{"B8", "B9", "B10", "B11", "B12"};

bool near(double actual, double expected)
{
    // The exported text carries six significant digits.
    return std::abs(actual - expected) <= 2e-5 * std::max(1.0, std::abs(expected));
}

QString failure(const QString &cell, const QList<double> &row, double expected)
{
    QStringList fields;
    for (double value : row)
        fields.append(QString::number(value, 'g', 8));
    return QString("%1 at (%2): expected %3").arg(cell, fields.join(", ")).arg(expected, 0, 'g', 8);
}

// What a watch's data button put on the clipboard.
struct Export
{
    QStringList header;
    QList<QList<double>> rows;
};

} // namespace

// The program as a user drives it, against a private office with an example workbook open:
// sliders and watches from Calc's selection, a live move, a scan of one and of two sliders
// exported through the watches' data button and checked against the formulas' closed forms, and
// the workbook as it was before the scans. The cases build on each other, in order.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void slidersAndWatchesFromTheSelection();
    void activationRereadsTheSliders();
    void liveMoveWritesOneCellAndFeedsEveryWatch();
    void oneSliderScanExportsTheCurves();
    void twoSliderScanExportsTheSurfaces();
    void workbookIsAsBeforeTheScans();
    // Closes the program: the last test.
    void endingDuringAScanClosesEveryWindow();

private:
    SliderWatchRegistry *registry() const { return window->findChild<SliderWatchRegistry *>(); }
    WatchWindow *watchWindow() const
    {
        return window->findChild<WatchWindowCommands *>()->window();
    }
    // The slider of the i-th input cell and the watch of the i-th formula cell, whatever the
    // order they were made in; null when there is none.
    VIVExcelCellSliderView *slider(int i) const;
    VIVExcelWatchView *watch(int i) const;
    void press(Qt::Key key) { QTest::keyClick(window.get(), key); }
    // The digit key of the i-th input cell's slider: digits follow the order sliders were made.
    void pressKeyOf(int i) { press(Qt::Key(Qt::Key_1 + registry()->sliders().indexOf(slider(i)))); }
    double number(const QString &cell);
    Projectile inputs();
    QStringList contents();
    void scan();
    // Every watch's export, or nothing when one has not the given number of columns.
    QList<Export> exports(int columns);
    void compareWithFormulas(const QList<Export> &exported);

    PrivateOffice office;
    QTemporaryDir folder;
    QString book;
    std::unique_ptr<MainWindow> window;
    // Any message box would wait for a user: it is closed and the test fails.
    QTimer boxCloser;
    QString boxText;
    QStringList contentsBeforeScans;
    QStringList undoBeforeScans;
};

void TestEndToEnd::initTestCase()
{
    QVERIFY(office.start());
    const QString copy = folder.filePath("projectile.fods");
    QVERIFY(QFile::copy(QStringLiteral(MARLOWIN_EXAMPLES_DIR "/projectile.fods"), copy));
    book = office.open(copy);
    QVERIFY(!book.isEmpty());
    QVERIFY(office.activate(book));
    VIVExcelApplication probe(ExcelBackend::attachOrStart());
    QTRY_VERIFY(probe.activeWorkbook(false) && probe.activeWorkbook(false)->name() == book);
    connect(&boxCloser, &QTimer::timeout, this, [this]() {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxText = box->text();
            box->close();
        }
    });
    boxCloser.start(200);
    window = std::make_unique<MainWindow>();
    window->show();
}

VIVExcelCellSliderView *TestEndToEnd::slider(int i) const
{
    for (VIVExcelCellSliderView *view : registry()->sliders()) {
        if (view->range() && view->range()->address() == inputCells[i])
            return view;
    }
    return nullptr;
}

VIVExcelWatchView *TestEndToEnd::watch(int i) const
{
    for (VIVExcelWatchView *view : registry()->watches()) {
        if (view->range() && view->range()->address() == formulaCells[i])
            return view;
    }
    return nullptr;
}

void TestEndToEnd::cleanupTestCase()
{
    // The program closes with its sliders and watches still there, as a user's does.
    window.reset();
    office.stop();
}

double TestEndToEnd::number(const QString &cell)
{
    bool ok = false;
    const double value = office.content(book, cell).toDouble(&ok);
    return ok ? value : qQNaN();
}

Projectile TestEndToEnd::inputs()
{
    return {number("B3"), number("B4"), number("B5"), number("B6")};
}

QStringList TestEndToEnd::contents()
{
    QStringList all;
    for (const QString &cell : inputCells + formulaCells)
        all.append(office.content(book, cell));
    return all;
}

void TestEndToEnd::scan()
{
    window->on_pushButton_Graph_clicked();
    QVERIFY(!ScanState::of(window.get())->isScanning());
    QVERIFY2(boxText.isEmpty(), qPrintable(boxText));
}

QList<Export> TestEndToEnd::exports(int columns)
{
    QList<Export> all;
    for (int i = 0; i < formulaCells.size(); ++i) {
        VIVExcelWatchView *view = watch(i);
        QApplication::clipboard()->clear();
        emit view->buttonClicked("exportdata");
        const QStringList lines = QApplication::clipboard()->text().split("\n");
        Export exported{lines.first().split("\t"), {}};
        for (const QString &line : lines.mid(1)) {
            QList<double> row;
            for (const QString &field : line.split("\t"))
                row.append(field.toDouble());
            if (row.size() != columns)
                return {};
            exported.rows.append(row);
        }
        if (exported.header.size() != columns || exported.rows.size() < 2)
            return {};
        all.append(exported);
    }
    return all;
}

// The header names the axes by the sliders' labels; the inputs that are not scanned keep their
// cells' values.
void TestEndToEnd::compareWithFormulas(const QList<Export> &exported)
{
    QCOMPARE(exported.size(), formulaCells.size());
    for (int i = 0; i < exported.size(); ++i) {
        const int columns = exported[i].header.size();
        QCOMPARE(exported[i].rows.size(), exported[0].rows.size());
        for (const QList<double> &row : exported[i].rows) {
            Projectile at = inputs();
            for (int axis = 0; axis + 1 < columns; ++axis)
                at.set(exported[i].header[axis], row[axis]);
            const double expected = at.formula(8 + i);
            QVERIFY2(near(row.last(), expected),
                     qPrintable(failure(formulaCells[i], row, expected)));
        }
    }
}

// Ctrl+click selections: two single cells, then a rectangle and a cell. The office joins
// touching areas of one column into one, so the areas here are kept apart.
void TestEndToEnd::slidersAndWatchesFromTheSelection()
{
    QVERIFY(office.select(book, {"B3", "B6"}));
    press(Qt::Key_S);
    QVERIFY(office.select(book, {"B8", "B10"}));
    press(Qt::Key_W);
    QVERIFY2(boxText.isEmpty(), qPrintable(boxText));
    QCOMPARE(registry()->sliders().size(), 2);
    QCOMPARE(registry()->watches().size(), 2);
    QVERIFY(office.select(book, {"B4:B5", "A3"}));
    press(Qt::Key_S);
    QVERIFY(office.select(book, {"B11:B12", "B9"}));
    press(Qt::Key_W);
    QVERIFY2(boxText.isEmpty(), qPrintable(boxText));
    QCOMPARE(registry()->sliders().size(), inputCells.size());
    QCOMPARE(registry()->watches().size(), formulaCells.size());
    for (int i = 0; i < inputCells.size(); ++i)
        QVERIFY(slider(i));
    for (int i = 0; i < formulaCells.size(); ++i)
        QVERIFY(watch(i));
    QVERIFY(watchWindow() && watchWindow()->isVisible());
    QCOMPARE(slider(1)->display()->text(), QString("Launch angle (degrees)"));
    QCOMPARE(slider(3)->slider()->realValue(), 1.5);
}

// The user changed a cell in Calc while another application was in front; coming back shows
// the cell's value on its slider, and nothing is written.
void TestEndToEnd::activationRereadsTheSliders()
{
    QVERIFY(office.clearUndo(book));
    QVERIFY(office.setContent(book, "B5", "9.5"));
    const QStringList undo = office.undoTitles(book);
    QEvent activate(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(qApp, &activate);
    QCOMPARE(float(slider(2)->slider()->realValue()), 9.5f);
    QCOMPARE(office.content(book, "B5"), QString("9.5"));
    QCOMPARE(office.undoTitles(book), undo);
}

void TestEndToEnd::liveMoveWritesOneCellAndFeedsEveryWatch()
{
    QVERIFY(office.clearUndo(book));
    const QStringList before = contents();
    QList<qsizetype> counts;
    for (VIVExcelWatchView *view : registry()->watches())
        counts.append(view->data()->values().size());

    VIVSlider *time = slider(3)->slider();
    time->setRealValue(time->realMinimum() + 0.7 * (time->realMaximum() - time->realMinimum()));
    QTRY_COMPARE(office.undoTitles(book), QStringList{"Slider B6"});
    QTRY_COMPARE(watch(0)->data()->values().size(), counts[0] + 1);
    const QStringList after = contents();
    QCOMPARE(after.mid(0, 3), before.mid(0, 3));
    QVERIFY(after[3] != before[3]);
    QCOMPARE(float(number("B6")), float(time->realValue()));
    const Projectile now = inputs();
    for (int i = 0; i < formulaCells.size(); ++i) {
        const QList<double> values = watch(i)->data()->values();
        QCOMPARE(values.size(), counts[i] + 1);
        QVERIFY2(near(values.last(), now.formula(8 + i)), qPrintable(formulaCells[i]));
    }
    // What the scans must leave as it is: this history and an unmodified workbook.
    QVERIFY(office.setModified(book, false));
    contentsBeforeScans = contents();
    undoBeforeScans = office.undoTitles(book);
}

// The angle's slider is selected by its key; every exported point is checked.
void TestEndToEnd::oneSliderScanExportsTheCurves()
{
    pressKeyOf(1);
    QVERIFY(slider(1)->selected());
    {
        auto *precision = window->findChild<QSlider *>("horizontalSlider_scanZoom");
        const QSignalBlocker quiet(precision);
        precision->setValue(precision->minimum());
    }
    scan();
    const QList<Export> curves = exports(2);
    QCOMPARE(curves.size(), formulaCells.size());
    QCOMPARE(curves[0].header[0], QString("Launch angle (degrees)"));
    compareWithFormulas(curves);
}

// The speed's and the angle's sliders selected by their keys: surfaces over both.
void TestEndToEnd::twoSliderScanExportsTheSurfaces()
{
    pressKeyOf(0);
    QCOMPARE(registry()->selectedSliders().size(), 2);
    QCOMPARE(window->findChild<QPushButton *>("pushButton_Graph")->text(), QString("3D Graph"));
    scan();
    const QList<Export> surfaces = exports(3);
    QCOMPARE(surfaces.size(), formulaCells.size());
    compareWithFormulas(surfaces);
}

void TestEndToEnd::workbookIsAsBeforeTheScans()
{
    QCOMPARE(contents(), contentsBeforeScans);
    QCOMPARE(office.undoTitles(book), undoBeforeScans);
    QVERIFY(!office.isModified(book));
}

// The program is ended in the middle of a scan by a logout or `kill` (SIGTERM), which closes it
// as its close button does: the scan ends with the cells, undo history and modified flag as
// before, and within a second no window is left open, so the program ends.
void TestEndToEnd::endingDuringAScanClosesEveryWindow()
{
    {
        auto *precision = window->findChild<QSlider *>("horizontalSlider_scanZoom");
        const QSignalBlocker quiet(precision);
        precision->setValue(precision->maximum());
    }
    QTimer::singleShot(200, window.get(), []() { ::raise(SIGTERM); });
    window->on_pushButton_Graph_clicked();
    QVERIFY(!window->property("scanning").toBool());
    const auto anyVisible = []() {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.cbegin(), windows.cend(),
                           [](const QWidget *widget) { return widget->isVisible(); });
    };
    QTRY_VERIFY_WITH_TIMEOUT(!anyVisible(), 1000);
    QTest::qWait(600);
    QVERIFY(!anyVisible());
    QCOMPARE(contents(), contentsBeforeScans);
    QCOMPARE(office.undoTitles(book), undoBeforeScans);
    QVERIFY(!office.isModified(book));
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
