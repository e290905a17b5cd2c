#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "app/applogging.h"
#include "app/appstyles.h"
#include "app/frontmostfollower.h"
#include "app/mainwindowevents.h"
#include "app/quickhelp.h"
#include "app/scanrunner.h"
#include "app/scanstate.h"
#include "app/sliderwatchregistry.h"
#include "app/spreadsheetinstances.h"
#include "app/spreadsheetprompts.h"
#include "app/terminationsignals.h"
#include "app/watchwindowcommands.h"
#include "app/windowstacking.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "sliders/slidersettingsform.h"
#include "sliders/vivexcelcellsliderview.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchwindow.h"
#include "widgets/formhandler.h"
#include "widgets/termsofuseform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace {

const int frontMostInterval = 500;
const int scanZoomDelay = 200;
const int termsCheckDelay = 2000;

const char productName[] = "Marlowin Pro";
// Names of the windows' places in the settings file.
const QString mainWindowKey = QStringLiteral("Main");
const QString watchWindowsKey = QStringLiteral("Watches");

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    formHandler = new Backgrounds::FormHandler(this);
    formHandler->manage(this);
    registry = new SliderWatchRegistry(this, ui->horizontalLayout);
    watchWindows = new WatchWindowCommands(this, registry, formHandler);
    scanRunner =
        new ScanRunner(this, registry, ui->pushButton_Graph, ui->horizontalSlider_scanZoom);
    connect(new TerminationSignals(this), &TerminationSignals::received, this, &MainWindow::close);
    scanZoomTimer = new QTimer(this);
    scanZoomTimer->setInterval(scanZoomDelay);
    connect(scanZoomTimer, &QTimer::timeout, this, &MainWindow::scanZoomChange);
    wireRegistry();
    placeOnScreen();

    connect(ui->label_Marlowin, &QMouseEventLabel::mousePressed, this,
            &MainWindow::label_MarlowinMousePressed);
    connect(ui->label_Marlowin, &QMouseEventLabel::mouseMoved, this,
            &MainWindow::label_MarlowinMouseMoved);
    ui->label_Marlowin->setParent(this);
    ui->label_Marlowin->setGeometry(24, 5, 400, 20);
    ui->label_Marlowin->setStyleSheet(ui->label_Marlowin->styleSheet() + " font-weight: bold;");

    Backgrounds::FormHandler::setTransparentBackground(ui->scrollArea_Sliders);
    createSliderSettingsForm();
    createTermsOfUseForm();
    setProperty("closebutton", true);
    setProperty("closebuttonname", ":resources/btn_on");
    setProperty("minimizebutton", true);
    setProperty("minimizebuttonname", ":resources/btn_minimize_on");
    setProperty("helpbutton", true);
    setProperty("helpbuttonname", ":resources/btn_help");

    setMouseTracking(true);
    ui->centralWidget->setMouseTracking(true);
    setWindowTitle(QString::fromLatin1(productName));

    {
        const QSignalBlocker blocker(ui->horizontalSlider_scanZoom);
        ui->horizontalSlider_scanZoom->setValue(30);
    }
    applyStyleSheets();
    // The filter sees activation events at once, and those drive the front-most timer.
    frontMostTimer = new QTimer(this);
    frontMostTimer->setObjectName("frontMostTimer");
    frontMostTimer->setInterval(frontMostInterval);
    connect(frontMostTimer, &QTimer::timeout, this, &MainWindow::checkExcelIsFrontMostTimeout);
    events = std::make_unique<MainWindowEvents>(*this, *registry, *watchWindows, *frontMostTimer);
    frontMost = std::make_unique<FrontMostFollower>(*this, *watchWindows, *frontMostTimer);
    qApp->installEventFilter(this);
    connect(ui->label_WindowIcon, &QMouseEventLabel::mouseDoubleClicked, this,
            &MainWindow::closeApplication);
    setTitle();
    QTimer::singleShot(termsCheckDelay, this, &MainWindow::checkTermsOfUseApproval);
    updateButtons();
    // Made last, so that at the window's end the wrappers, which own the cells the views point
    // to, go after every other part.
    spreadsheets = new SpreadsheetInstances(this);
}

void MainWindow::wireRegistry()
{
    connect(registry, &SliderWatchRegistry::listsChanged, this, &MainWindow::updateButtons);
    connect(registry, &SliderWatchRegistry::selectionChanged, scanRunner,
            &ScanRunner::selectionChanged);
    connect(registry, &SliderWatchRegistry::sliderMoved, this, &MainWindow::rangeValueChanged);
    connect(registry, &SliderWatchRegistry::sliderConfigChanged, scanRunner,
            &ScanRunner::sliderConfigChanged);
    connect(registry, &SliderWatchRegistry::scan1DRequested, this,
            &MainWindow::sliderButtonScan1DClicked);
    connect(registry, &SliderWatchRegistry::splitPointMoved, scanRunner,
            &ScanRunner::followSplitPoint);
    connect(registry, &SliderWatchRegistry::watchWindowNeeded, this, &MainWindow::newWatchWindow);
    connect(registry, &SliderWatchRegistry::sliderSettingsRequested, this,
            &MainWindow::showSliderSettings);
    connect(scanRunner, &ScanRunner::scanStateChanged, this, &MainWindow::updateButtons);
    connect(ScanState::of(this), &ScanState::changed, this, &MainWindow::updateButtons);
    connect(scanRunner, &ScanRunner::rescanRequested, this,
            &MainWindow::on_pushButton_Graph_clicked);
    connect(scanRunner, &ScanRunner::scanFailed, this,
            [this](const QString &text) { SpreadsheetPrompts::warn(this, "Scan ended", text); });
    // Queued: the box must not open inside the slider's own mouse handling.
    connect(
        registry, &SliderWatchRegistry::liveUpdateFailed, this,
        [this](const QString &text) { SpreadsheetPrompts::warn(this, "Slider stopped", text); },
        Qt::QueuedConnection);
    connect(
        registry, &SliderWatchRegistry::viewsDropped, this,
        [this](const QString &text) { SpreadsheetPrompts::warn(this, "Cells not found", text); },
        Qt::QueuedConnection);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // The watches leave the registry's lists as the watch window goes; the buttons and the
    // half-destroyed window must not follow those lists any more.
    disconnect(registry, nullptr, this, nullptr);
    delete watchWindows->window();
    delete termsOfUseForm;
    delete ui;
}

void MainWindow::watchWindowWatchesEmptied()
{
    auto *emptied = qobject_cast<WatchWindow *>(sender());
    if (emptied && emptied == watchWindows->window())
        settingsFiles.setWindowPosition(watchWindowsKey, emptied->pos());
    watchWindows->drop(emptied);
}

QString MainWindow::helpFilePath()
{
    return QuickHelp::filePath();
}

// Where the user left the window in the last run, when the whole window fits the screen there;
// otherwise its right edge 400 px left of the available area's right edge and its bottom edge
// 40 px above the area's bottom.
void MainWindow::placeOnScreen()
{
    const QRect r = contentsRect();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect a = screen->availableGeometry();
    const std::optional<QPoint> stored = settingsFiles.windowPosition(mainWindowKey);
    if (stored && a.contains(r.translated(*stored - r.topLeft()))) {
        setGeometry(r.translated(*stored - r.topLeft()));
        return;
    }
    const int dx = (a.right() - a.left()) - (r.right() - r.left()) - 400;
    const int dy = (a.bottom() - a.top()) - r.bottom() - 40;
    setGeometry(r.translated(dx, dy));
}

void MainWindow::rememberPlaces()
{
    settingsFiles.setWindowPosition(mainWindowKey, pos());
    if (const WatchWindow *watches = watchWindows->window(); watches && watches->isVisible())
        settingsFiles.setWindowPosition(watchWindowsKey, watches->pos());
}

void MainWindow::createSliderSettingsForm()
{
    sliderSettingsForm = new SliderSettingsForm(this);
    sliderSettingsForm->setProperty("closebutton", true);
    connect(sliderSettingsForm, &SliderSettingsForm::formClosed, this,
            &MainWindow::sliderSettingsFormClosed);
    formHandler->manage(sliderSettingsForm);
    stackAsDialog(*sliderSettingsForm);
}

// A dialog of the main window: the window manager keeps it above the main window, even while
// that stays on top of the spreadsheet, so a new user can always reach its buttons.
void MainWindow::createTermsOfUseForm()
{
    termsOfUseForm = new TermsOfUseForm(this);
    termsOfUseForm->setWindowTitle("Marlowin Terms of Use");
    termsOfUseForm->setProperty("closebutton", true);
    // No image by that name: the form shows no close button and must be answered.
    termsOfUseForm->setProperty("closebuttonname", "dummy");
    termsOfUseForm->setProperty("windowtitle", termsOfUseForm->windowTitle());
    termsOfUseForm->setOwner(this);
    formHandler->manage(termsOfUseForm);
    stackAsDialog(*termsOfUseForm);
    connect(termsOfUseForm, &TermsOfUseForm::accepted, this,
            [this] { settingsFiles.setTermsOfUseApproved(true); });
    // A refusal closes like the close button, so a running scan still restores the cells.
    connect(termsOfUseForm, &TermsOfUseForm::declined, this, &MainWindow::close);
}

void MainWindow::applyStyleSheets()
{
    ui->scrollArea_Sliders->horizontalScrollBar()->setStyleSheet(AppStyles::scrollBar());
    ui->horizontalSlider_scanZoom->setStyleSheet(AppStyles::slider());
}

void MainWindow::setTitle()
{
    ui->label_Marlowin->setTextFormat(Qt::RichText);
    ui->label_Marlowin->setText(
        "&nbsp;<span style=\"color:white\">Marlow</span><span style=\"color:red\">i</span>"
        "<span style=\"color:white\">n</span> <span style=\"color:#ffcc00\">Pro</span>"
        "<span style=\"color:#D0D0D0\"> - Bring your Spreadsheets to the Next Level</span>");
    ui->label_WindowIcon->setPixmap(QPixmap(":icons/IconMarlowinPro16.png"));
}

bool MainWindow::isScanning() const
{
    return ScanState::of(const_cast<MainWindow *>(this))->isScanning();
}

void MainWindow::updateButtons()
{
    const bool scanning = isScanning();
    const auto &selectedSliders = registry->selectedSliders();
    const auto &sliders = registry->sliders();
    const auto &watches = registry->watches();
    ui->pushButton_newSlider->setEnabled(!scanning);
    ui->pushButton_newWatch->setEnabled(!scanning);
    const bool canGraph = !watches.isEmpty() && !selectedSliders.isEmpty();
    ui->pushButton_Graph->setEnabled(canGraph);
    ui->horizontalSlider_scanZoom->setEnabled(canGraph);
    if (scanning)
        ui->pushButton_Graph->setText("Stop Scan");
    else if (selectedSliders.size() < 2)
        ui->pushButton_Graph->setText("Graph");
    else
        ui->pushButton_Graph->setText(QString("%1D Graph").arg(selectedSliders.size() + 1));
    ui->pushButton_DeleteAll->setEnabled(!scanning && (!sliders.isEmpty() || !watches.isEmpty()));
    if (!ScanState::of(this)->isClosing())
        watchWindows->showForWatches(!watches.isEmpty());
}

void MainWindow::label_MarlowinMousePressed(QMouseEvent *event)
{
    pressPosition = event->position().toPoint();
}

void MainWindow::label_MarlowinMouseMoved(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint delta = event->position().toPoint() - pressPosition;
    setGeometry(geometry().translated(delta));
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    const QRect contents = contentsRect();
    QRect main = ui->widget_Main->geometry();
    main.setTop(30);
    main.setRight((contents.right() - contents.left()) - 20);
    main.setBottom((contents.bottom() - contents.top()) - 20);
    ui->widget_Main->setGeometry(main);
    QRect title = ui->label_Marlowin->geometry();
    title.setRight((width() - 1) - 46);
    ui->label_Marlowin->setGeometry(title);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    ScanState::of(this)->setClosing();
    frontMostTimer->stop();
    if (!isScanning()) {
        rememberPlaces();
        QApplication::closeAllWindows();
        return;
    }
    // Never interrupt the spreadsheet in the middle of a point: the scan loop sees the stop
    // request and restores the cells. The windows go now, and the event loop ends as soon as
    // the scan returns to it; nothing may bring a window back meanwhile.
    ScanState::of(this)->requestStop();
    event->accept();
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void MainWindow::closeApplication()
{
    QApplication::closeAllWindows();
}

void MainWindow::checkTermsOfUseApproval()
{
    if (!settingsFiles.termsOfUseApproved())
        termsOfUseForm->show();
}

void MainWindow::sliderSettingsFormClosed(bool validated)
{
    if (validated && sliderSettingsForm->sliderView())
        settingsFiles.saveSliderSettings(sliderSettingsForm->sliderView());
}

void MainWindow::on_label_termsOfUse_mousePressed()
{
    termsOfUseForm->show();
}

void MainWindow::showHelp()
{
    QuickHelp::show(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    return events->filter(watched, event);
}

void MainWindow::attachToExcel()
{
    spreadsheets->attachToFront();
}

void MainWindow::checkExcelIsFrontMostTimeout()
{
    frontMost->check();
}

VIVExcelApplication *MainWindow::application() const
{
    return spreadsheets->current();
}

void MainWindow::on_pushButton_newSlider_clicked()
{
    createFromSelection(ui->pushButton_newSlider, true);
}

void MainWindow::on_pushButton_newWatch_clicked()
{
    createFromSelection(ui->pushButton_newWatch, false);
    activateWindow();
    if (watchWindows->window())
        watchWindows->window()->checkPosition(QRect());
}

// The button looks pressed while the selection is walked, which may take a while.
void MainWindow::createFromSelection(QPushButton *button, bool forSliders)
{
    button->setFlat(false);
    button->setCheckable(true);
    button->setChecked(true);
    button->repaint();
    attachToExcel();
    VIVExcelApplication *spreadsheet = application();
    if (!spreadsheet || spreadsheet->hwnd() == 0) {
        if (VIVExcelApplication *started = SpreadsheetPrompts::offerSpreadsheet(this))
            spreadsheets->prepend(started);
    } else {
        if (registry->followApplication(spreadsheet))
            scanRunner->clearScanData();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool created = registry->createFromSelection(spreadsheet, forSliders);
        QApplication::restoreOverrideCursor();
        if (!created)
            SpreadsheetPrompts::warnNothingUsable(this, forSliders);
        else if (!registry->protectedCells().isEmpty())
            SpreadsheetPrompts::warn(this, "Protected cells",
                                     "No slider was made for these cells because the sheet "
                                     "protects them: " +
                                         registry->protectedCells().join(", ") +
                                         ".\nUnprotect the sheet to move them with sliders.");
    }
    updateButtons();
    button->setChecked(false);
    button->setCheckable(false);
    button->setFlat(true);
}

void MainWindow::autoPerformTasks()
{
    on_pushButton_newSlider_clicked();
    on_pushButton_newWatch_clicked();
    if (registry->sliders().size() < 2)
        return;
    registry->sliders()[1]->setSelected(true);
    registry->sliders()[0]->setSelected(true);
    ui->horizontalSlider_scanZoom->setValue(21);
    if (WatchWindow *watchWindow = watchWindows->window()) {
        watchWindow->setWatchSize(120);
        watchWindow->setShowsPoints(false);
    }
}

// The form opens beside the slider, whole inside the screen.
void MainWindow::showSliderSettings(VIVExcelCellSliderView *view)
{
    if (isScanning())
        return;
    QPoint place = view->mapToGlobal(QPoint(view->width() + 10, -20));
    if (const QScreen *screen = view->screen()) {
        const QRect available = screen->availableGeometry();
        place.setX(std::clamp(
            place.x(), available.left(),
            std::max(available.left(), available.right() + 1 - sliderSettingsForm->width())));
        place.setY(std::clamp(
            place.y(), available.top(),
            std::max(available.top(), available.bottom() + 1 - sliderSettingsForm->height())));
    }
    sliderSettingsForm->hide();
    sliderSettingsForm->move(place);
    sliderSettingsForm->editSlider(view);
}

void MainWindow::on_pushButton_DeleteAll_clicked()
{
    registry->removeAll();
    updateButtons();
}

void MainWindow::on_pushButton_Graph_clicked()
{
    // A restarted office gets the sliders and watches before its first scan.
    if (!isScanning()) {
        attachToExcel();
        if (registry->followApplication(application()))
            scanRunner->clearScanData();
    }
    scanRunner->startOrStop(application(), watchWindows->window());
}

void MainWindow::on_horizontalSlider_scanZoom_valueChanged(int)
{
    scanZoomTimer->stop();
    scanZoomTimer->start();
}

void MainWindow::scanZoomChange()
{
    scanZoomTimer->stop();
    scanRunner->precisionChanged(application(), watchWindows->window());
}

void MainWindow::sliderButtonScan1DClicked(VIVExcelCellSliderView *view)
{
    scanRunner->scanOneSlider(view, application(), watchWindows->window());
}

void MainWindow::rangeValueChanged(VIVExcelCellSliderView *moved, VIVExcelRange *range, qreal value,
                                   bool &handled)
{
    Q_UNUSED(range);
    handled = true;
    scanRunner->sliderMoved(application(), moved, value);
}

void MainWindow::newWatchWindow()
{
    if (!isScanning())
        watchWindows->createWindow(settingsFiles.windowPosition(watchWindowsKey));
}

void MainWindow::watchWindowNewWatchSize(int value)
{
    registry->setWatchSize(2 * value + 50);
}
