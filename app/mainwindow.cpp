#include "mainwindow.h"
#include "ui_mainwindow.h"
#include "widgets/imagecache.h"

#include "app/applogging.h"
#include "app/appstyles.h"
#include "app/scanrunner.h"
#include "app/sliderwatchregistry.h"
#include "app/spreadsheetprompts.h"
#include "excel/excelbackend.h"
#include "excel/excelprobes.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelworkbook.h"
#include "excel/vivexcelworkbooks.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "ui_watchwindow.h"
#include "watches/vivexcelwatchview.h"
#include "watches/watchwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>

namespace {

const int frontMostInterval = 500;
const int scanZoomDelay = 200;

const char productName[] = "Marlowin Pro";
const char supportAddress[] = "support@marlowin.org";

// "QFlags(0x1|0x40000)": the set bits as hexadecimal values.
QString flagsText(Qt::WindowFlags flags)
{
    QStringList bits;
    for (int bit = 0; bit < 32; ++bit) {
        const quint32 value = quint32(1) << bit;
        if (quint32(flags.toInt()) & value)
            bits.append("0x" + QString::number(value, 16));
    }
    return "QFlags(" + bits.join("|") + ")";
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    registry = new SliderWatchRegistry(this, ui->horizontalLayout);
    scanRunner =
        new ScanRunner(this, registry, ui->pushButton_Graph, ui->horizontalSlider_scanZoom);
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

    AppStyles::makeTransparent(ui->scrollArea_Sliders);
    paintSteelBackground();

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
    frontMostTimer->setInterval(frontMostInterval);
    connect(frontMostTimer, &QTimer::timeout, this, &MainWindow::checkExcelIsFrontMostTimeout);
    qApp->installEventFilter(this);
    connect(ui->label_WindowIcon, &QMouseEventLabel::mouseDoubleClicked, this,
            &MainWindow::closeApplication);
    setTitle();
    updateButtons();
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
    connect(scanRunner, &ScanRunner::scanStateChanged, this, &MainWindow::updateButtons);
    connect(scanRunner, &ScanRunner::rescanRequested, this,
            &MainWindow::on_pushButton_Graph_clicked);
    connect(scanRunner, &ScanRunner::scanFailed, this,
            [this](const QString &text) { SpreadsheetPrompts::warn(this, "Scan ended", text); });
    // The user sees once, on the Graph button, that values are recalculated fully.
    const auto noteFullRecalculation = [this]() {
        ui->pushButton_Graph->setToolTip(ui->pushButton_Graph->toolTip() +
                                         "\nThis workbook is recalculated fully after every "
                                         "write: it reads stale values otherwise.");
    };
    connect(scanRunner, &ScanRunner::fullRecalculationSwitchedOn, this, noteFullRecalculation);
    connect(registry, &SliderWatchRegistry::fullRecalculationSwitchedOn, this,
            noteFullRecalculation);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    delete watchWindow;
    delete ui;
}

void MainWindow::watchWindowWatchesEmptied()
{
    if (auto *window = qobject_cast<WatchWindow *>(sender()))
        window->deleteLater();
    watchWindow = nullptr;
}

QString MainWindow::helpFilePath()
{
    return QCoreApplication::applicationDirPath() + "/Marlowin Pro Quick Help.pdf";
}

// Puts the window's right edge 400 px left of the available area's right edge and its
// bottom edge 40 px above the area's bottom.
void MainWindow::placeOnScreen()
{
    const QRect r = contentsRect();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect a = screen->availableGeometry();
    const int dx = (a.right() - a.left()) - (r.right() - r.left()) - 400;
    const int dy = (a.bottom() - a.top()) - r.bottom() - 40;
    setGeometry(r.translated(dx, dy));
}

// The window sits on a dark stainless-steel plate that the light texts are made for.
void MainWindow::paintSteelBackground()
{
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, QBrush(*cachedImage(":resources/stainless-steel.jpg")));
    setPalette(palette);
    setAutoFillBackground(true);
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
    return property("scanning").toBool();
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
    if (watchWindow)
        watchWindow->setVisible(!watches.isEmpty());
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
    setProperty("closingapplication", true);
    if (!isScanning()) {
        QApplication::closeAllWindows();
        return;
    }
    // Never interrupt the spreadsheet in the middle of a point: the scan loop sees the stop
    // request, restores the cells, and the second close() then closes everything.
    setProperty("stopscan", true);
    QTimer::singleShot(500, this, &MainWindow::close);
    event->accept();
}

void MainWindow::closeApplication()
{
    QApplication::closeAllWindows();
}

void MainWindow::showHelp()
{
    const QString path = helpFilePath();
    if (QFileInfo::exists(path)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        qDebug() << path;
        return;
    }
    QMessageBox box(this);
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.setText(QString::fromLatin1(productName) + " Quick Help file not found.");
    box.setInformativeText("Please re-download " + QString::fromLatin1(productName) +
                           " or request the help file from our support (" +
                           QString::fromLatin1(supportAddress) + ").");
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp) {
        if (event->type() == QEvent::ApplicationActivate) {
            qDebug() << "ApplicationActivate";
            frontMostTimer->stop();
        } else if (event->type() == QEvent::ApplicationDeactivate) {
            qDebug() << "ApplicationDeactivate";
            frontMostTimer->start();
        }
        return false;
    }
    if (watched != this && (!watchWindow || watched != watchWindow))
        return false;
    if (event->type() == QEvent::WindowStateChange && watchWindow)
        followMinimizedState();
    if (event->type() == QEvent::KeyPress)
        return handleKeyPress(watched, static_cast<QKeyEvent *>(event));
    return false;
}

// The watch window keeps its own window kind and only follows the main window's on-top state.
void MainWindow::followOnTop(QWidget *window, bool onTop)
{
    if (!window)
        return;
    const Qt::WindowFlags flags = window->windowFlags();
    const Qt::WindowFlags wanted =
        onTop ? flags | Qt::WindowStaysOnTopHint : flags & ~Qt::WindowStaysOnTopHint;
    if (wanted == flags)
        return;
    window->setWindowFlags(wanted);
    window->show();
}

// The watch window hides while the main window is minimised and comes back with it, unless
// the user had hidden it before.
void MainWindow::followMinimizedState()
{
    if (isMinimized()) {
        watchWindow->setProperty("wasvisible", watchWindow->isVisible());
        watchWindow->hide();
    } else if (watchWindow->property("wasvisible").toBool()) {
        watchWindow->show();
    }
}

bool MainWindow::handleKeyPress(QObject *watched, QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (key == Qt::Key_M && (modifiers & Qt::ControlModifier) && (modifiers & Qt::ShiftModifier)) {
        autoPerformTasks();
        return true;
    }
    if (key == Qt::Key_W) {
        on_pushButton_newWatch_clicked();
        return true;
    }
    if (key == Qt::Key_S && watched == this) {
        on_pushButton_newSlider_clicked();
        return true;
    }
    if (key == Qt::Key_S && watchWindow && watched == watchWindow) {
        QCheckBox *smooth = watchWindow->form()->checkBox_SmoothGraphs;
        smooth->setChecked(!smooth->isChecked());
        return true;
    }
    if (key == Qt::Key_G) {
        QTimer::singleShot(100, this, &MainWindow::on_pushButton_Graph_clicked);
        return true;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        // Digits beyond the slider count are swallowed so they never reach other widgets.
        if (!(modifiers & Qt::AltModifier))
            toggleSliderSelection(key - Qt::Key_1);
        return true;
    }
    if (key == Qt::Key_F) {
        if (watchWindow && watchWindow->form()->checkBox_Flat3DGraph->isVisible()) {
            QCheckBox *flat = watchWindow->form()->checkBox_Flat3DGraph;
            flat->setChecked(!flat->isChecked());
        }
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (isScanning())
            setProperty("stopscan", true);
        return true;
    }
    return false;
}

// The spreadsheet instances, front-most first.
QList<qint64> MainWindow::excelMainWindows() const
{
    return ExcelBackend::instances();
}

void MainWindow::attachToExcel()
{
    const QList<qint64> windows = excelMainWindows();
    if (windows.isEmpty())
        return;
    for (qsizetype i = 1; i < excelApplications.size(); ++i) {
        if (excelApplications[i] && excelApplications[i]->hwnd() == windows.first()) {
            excelApplications.swapItemsAt(0, i);
            break;
        }
    }
    if (!excelApplications.isEmpty() && excelApplications.first() &&
        excelApplications.first()->hwnd() == windows.first())
        return;
    attachToExcelWindow(windows.first());
}

// Attaches only to an instance that shows a workbook; one without gets no wrapper.
bool MainWindow::attachToExcelWindow(qint64 window)
{
    std::unique_ptr<ExcelApplication> application = ExcelBackend::attach(window);
    if (!application)
        return false;
    excelApplications.prepend(new VIVExcelApplication(std::move(application), this));
    return true;
}

void MainWindow::checkExcelIsFrontMostTimeout()
{
    if (foregroundTitleStartsWith("Marlowin")) {
        frontMostTimer->stop();
        return;
    }
    const bool excelFront = isExcelForeground();
    const Qt::WindowFlags flags = windowFlags();
    const Qt::WindowFlags wanted =
        excelFront ? flags | Qt::WindowStaysOnTopHint : flags & ~Qt::WindowStaysOnTopHint;
    if (wanted != flags) {
        qDebug() << "Changing flags!!!!!!" << qPrintable(flagsText(flags))
                 << qPrintable(flagsText(wanted));
        setWindowFlags(wanted);
        qDebug() << "SHOWING";
        showNormal();
    }
    followOnTop(watchWindow, excelFront);
    frontMostTimer->stop();
    if (excelFront)
        frontMostTimer->start();
}

VIVExcelApplication *MainWindow::application() const
{
    return excelApplications.isEmpty() ? nullptr : excelApplications.first();
}

void MainWindow::on_pushButton_newSlider_clicked()
{
    createFromSelection(ui->pushButton_newSlider, true);
}

void MainWindow::on_pushButton_newWatch_clicked()
{
    createFromSelection(ui->pushButton_newWatch, false);
    activateWindow();
    if (watchWindow)
        watchWindow->checkPosition(QRect());
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
            excelApplications.prepend(started);
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool created = registry->createFromSelection(spreadsheet, forSliders);
        QApplication::restoreOverrideCursor();
        if (!created)
            SpreadsheetPrompts::warnNothingUsable(this, forSliders);
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
    if (watchWindow) {
        watchWindow->form()->horizontalSlider_watchSize->setValue(120);
        watchWindow->form()->checkBox_DrawPoints->setChecked(false);
    }
}

void MainWindow::toggleSliderSelection(int index)
{
    if (index < registry->sliders().size()) {
        VIVExcelCellSliderView *view = registry->sliders()[index];
        view->setSelected(!view->selected());
    }
}

void MainWindow::on_pushButton_DeleteAll_clicked()
{
    registry->removeAll();
    updateButtons();
}

void MainWindow::on_pushButton_Graph_clicked()
{
    scanRunner->startOrStop(application(), watchWindow);
}

void MainWindow::on_horizontalSlider_scanZoom_valueChanged(int)
{
    scanZoomTimer->stop();
    scanZoomTimer->start();
}

void MainWindow::scanZoomChange()
{
    scanZoomTimer->stop();
    scanRunner->precisionChanged(application(), watchWindow);
}

void MainWindow::sliderButtonScan1DClicked(VIVExcelCellSliderView *view)
{
    scanRunner->scanOneSlider(view, application(), watchWindow);
}

void MainWindow::rangeValueChanged(VIVExcelRange *range, qreal value, bool &handled)
{
    handled = true;
    auto *moved = qobject_cast<VIVExcelCellSliderView *>(sender());
    scanRunner->sliderMoved(application(), moved ? moved : registry->sliderFor(range), value);
}

void MainWindow::newWatchWindow()
{
    if (isScanning())
        return;
    registry->deactivateWatches();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    watchWindow = AppStyles::createWatchWindow(screen ? screen->availableGeometry() : QRect());
    registry->setWatchWindow(watchWindow);
    connect(watchWindow, &WatchWindow::newWatchSize, this, &MainWindow::watchWindowNewWatchSize);
    connect(watchWindow->form()->pushButton_newWatchWindow, &QPushButton::clicked, this,
            &MainWindow::newWatchWindow);
    connect(watchWindow, &WatchWindow::watchesEmptied, this,
            &MainWindow::watchWindowWatchesEmptied);
    watchWindowNewWatchSize(watchWindow->form()->horizontalSlider_watchSize->value());
    watchWindow->installEventFilter(this);
}

void MainWindow::watchWindowNewWatchSize(int value)
{
    registry->setWatchSize(2 * value + 50);
}
