#include "fakeexcel.h"

#include "app/settingsfiles.h"
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

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Where a slider sits: workbook, sheet, the cell's description and its value.
struct Place
{
    QString book;
    QString sheet;
    QString description;
    double value = 5.0;
};
Q_DECLARE_METATYPE(Place)

// The settings files in a folder of the test's own, with sliders over the test double.
class TestSettingsFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sliderRoundTrip_data();
    void sliderRoundTrip();
    void existingEntriesAreRead();
    void damagedFilesGiveDefaults();
    void termsOfUseFlag();
    void windowPositions();

private:
    std::unique_ptr<VIVExcelCellSliderView> sliderAt(const Place &place);
    static void compareConfig(const VIVExcelCellSliderView &view, double minimum, double maximum,
                              double step);

    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<SettingsFiles> files;
    std::unique_ptr<FakeExcel> excel;
    std::unique_ptr<VIVExcelApplication> application;
};

void TestSettingsFiles::init()
{
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    files = std::make_unique<SettingsFiles>(folder->path());
    excel = std::make_unique<FakeExcel>();
    application = std::make_unique<VIVExcelApplication>(excel->application());
}

void TestSettingsFiles::cleanup()
{
    application.reset();
    excel.reset();
    files.reset();
    folder.reset();
}

std::unique_ptr<VIVExcelCellSliderView> TestSettingsFiles::sliderAt(const Place &place)
{
    excel->books[place.book].sheets[place.sheet].cells["B4"].value = place.value;
    VIVExcelRange *range = application->workbooks()
                               ->workbook(place.book, true)
                               ->worksheets()
                               ->worksheet(place.sheet, true)
                               ->range("B4", true);
    auto view = std::make_unique<VIVExcelCellSliderView>();
    view->setRange(range);
    view->display()->setText(place.description);
    return view;
}

void TestSettingsFiles::compareConfig(const VIVExcelCellSliderView &view, double minimum,
                                      double maximum, double step)
{
    QCOMPARE(view.slider()->realMinimum(), minimum);
    QCOMPARE(view.slider()->realMaximum(), maximum);
    QCOMPARE(view.slider()->realStep(), step);
}

void TestSettingsFiles::sliderRoundTrip_data()
{
    QTest::addColumn<Place>("saved");
    QTest::addColumn<Place>("loaded");
    QTest::addColumn<bool>("applied");

    const Place rate{"A.xls", "Sheet1", "Rate"};
    QTest::newRow("same cell") << rate << rate << true;
    QTest::newRow("names in other case") << rate << Place{"a.XLS", "SHEET1", "RATE"} << true;
    QTest::newRow("other workbook and sheet, same description")
        << rate << Place{"B.xls", "Costs", "Rate"} << true;
    QTest::newRow("other description") << rate << Place{"A.xls", "Sheet1", "Rates"} << false;
    QTest::newRow("stored limits exclude the value")
        << rate << Place{"A.xls", "Sheet1", "Rate", 24.0} << false;
    QTest::newRow("several lines") << Place{"A.xls", "Sheet1", "Interest\nrate\n"}
                                   << Place{"A.xls", "Sheet1", "interest\nRATE\n"} << true;
    QTest::newRow("several lines found elsewhere")
        << Place{"A.xls", "Sheet1", "Interest\nrate"} << Place{"B.xls", "Sheet2", "Interest\nrate"}
        << true;
    QTest::newRow("lines are not one line") << Place{"A.xls", "Sheet1", "Interest\nrate"}
                                            << Place{"A.xls", "Sheet1", "Interest"} << false;
    const Place special{"A.xls", "Sheet1", "Rate/yr \\ = [%] ;#\"x\" Zins ß €"};
    QTest::newRow("special characters") << special << special << true;
    QTest::newRow("slash is not a line break")
        << special << Place{"A.xls", "Sheet1", "Rate\nyr \\ = [%] ;#\"x\" Zins ß €"} << false;
}

void TestSettingsFiles::sliderRoundTrip()
{
    QFETCH(Place, saved);
    QFETCH(Place, loaded);
    QFETCH(bool, applied);

    {
        const auto view = sliderAt(saved);
        view->slider()->setConfig(-10, 20, 0.25);
        files->saveSliderSettings(view.get());
    }
    // Another cell on the same sheet, saved later, must not be found instead.
    {
        const auto other = sliderAt({saved.book, saved.sheet, "Other"});
        other->slider()->setConfig(1, 2, 1);
        files->saveSliderSettings(other.get());
    }
    const auto view = sliderAt(loaded);
    const double value = view->slider()->realValue();
    QCOMPARE(files->loadSliderSettings(view.get()), applied);
    if (applied) {
        compareConfig(*view, -10, 20, 0.25);
        QCOMPARE(view->display()->data()->minimum(), -10.0);
        QCOMPARE(view->display()->data()->maximum(), 20.0);
    } else {
        compareConfig(*view, 0, 2 * loaded.value, 0.01 * (loaded.value < 10 ? 1 : 10));
    }
    QCOMPARE(view->slider()->realValue(), value);
    QCOMPARE(view->display()->text(), loaded.description);
}

// Entries of one-line descriptions keep the layout files already have; values that are not
// numbers keep the cell's own.
void TestSettingsFiles::existingEntriesAreRead()
{
    {
        QSettings file(files->sliderSettingsPath(), QSettings::IniFormat);
        file.setValue("Book1.xls/Sheet1/B4/min", "-4");
        file.setValue("Book1.xls/Sheet1/B4/max", "not a number");
        file.setValue("Book1.xls/Sheet1/B4/step", "inf");
        file.setValue("Book1.xls/Sheet1/B4/label", "something else");
    }
    const auto view = sliderAt({"Book1.xls", "Sheet1", "B4"});
    QVERIFY(files->loadSliderSettings(view.get()));
    compareConfig(*view, -4, 10, 0.01);
    QCOMPARE(view->display()->text(), "B4");

    view->slider()->setConfig(0, 8, 2);
    files->saveSliderSettings(view.get());
    const QSettings file(files->sliderSettingsPath(), QSettings::IniFormat);
    QCOMPARE(file.value("Book1.xls/Sheet1/B4/max").toDouble(), 8.0);
    QCOMPARE(file.value("Book1.xls/Sheet1/B4/step").toDouble(), 2.0);
    QCOMPARE(file.value("Book1.xls/Sheet1/B4/label").toString(), "B4");
}

void TestSettingsFiles::damagedFilesGiveDefaults()
{
    QFile garbage(files->sliderSettingsPath());
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(char((i * 7919 + 13) % 256));
    garbage.write("[A.xls]\nSheet1\\Rate\\min=\n[[[\n=\\\\\\\n");
    garbage.write(bytes);
    garbage.close();
    const auto view = sliderAt({"A.xls", "Sheet1", "Rate"});
    files->loadSliderSettings(view.get());
    compareConfig(*view, 0, 10, 0.01);

    // A folder where the file should be cannot be written, even by an administrator.
    QVERIFY(QFile::remove(files->sliderSettingsPath()));
    QVERIFY(QDir(folder->path()).mkdir("sliderSettings.cfg"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not write the settings file .*"));
    files->saveSliderSettings(view.get());
    QVERIFY(QFileInfo(files->sliderSettingsPath()).isDir());
}

void TestSettingsFiles::termsOfUseFlag()
{
    QVERIFY(!files->termsOfUseApproved());
    files->setTermsOfUseApproved(true);
    QVERIFY(SettingsFiles(folder->path()).termsOfUseApproved());
    files->setTermsOfUseApproved(false);
    QVERIFY(!files->termsOfUseApproved());

    // The program's own folder is used while it can be written.
    QCOMPARE(SettingsFiles::defaultDirectory(), QCoreApplication::applicationDirPath());
}

void TestSettingsFiles::windowPositions()
{
    QVERIFY(!files->windowPosition("Main"));
    files->setTermsOfUseApproved(true);
    files->setWindowPosition("Main", QPoint(120, -40));
    files->setWindowPosition("Watches", QPoint(900, 50));
    const SettingsFiles again(folder->path());
    QCOMPARE(again.windowPosition("Main").value_or(QPoint()), QPoint(120, -40));
    QCOMPARE(again.windowPosition("Watches").value_or(QPoint()), QPoint(900, 50));
    QVERIFY(again.termsOfUseApproved());

    QSettings edited(files->settingsPath(), QSettings::IniFormat);
    edited.setValue("Windows/Main", "left of the screen");
    edited.sync();
    QVERIFY(!files->windowPosition("Main"));
}

QTEST_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
