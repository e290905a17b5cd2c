#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "app/applogging.h"
#include "widgets/formhandler.h"
#include "widgets/termsofuseform.h"

#include "excel/excelbackend.h"
#include "excel/excelprobes.h"
#include "excel/vivexcelapplication.h"
#include "sliders/slidersettingsform.h"
#include "sliders/vivexcelcellsliderview.h"
#include "watches/watchwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>

namespace {

const int frontMostInterval = 500;
const int termsCheckDelay = 2000;

const char productName[] = "Marlowin Pro";
const char supportAddress[] = "support@marlowin.org";

const char scrollBarStyle[] =
    "QScrollBar:horizontal { border: 2px solid grey; background: #A0A0A0; height: 15px;"
    " margin: 0 22px 0 22px; }"
    "QScrollBar::handle:horizontal { background: #404040; min-width: 20px; }"
    "QScrollBar::add-line:horizontal { border: 2px solid grey; background: #808080; width: 20px;"
    " subcontrol-position: right; subcontrol-origin: margin; }"
    "QScrollBar::sub-line:horizontal { border: 2px solid grey; background: #808080; width: 20px;"
    " subcontrol-position: left; subcontrol-origin: margin; }"
    "QScrollBar::left-arrow:horizontal, QScrollBar::right-arrow:horizontal { width: 3px;"
    " height: 3px; background: white; }"
    "QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal { background: none; }";

const char sliderStyle[] =
    "QSlider::groove:horizontal { border: 1px solid #999999; height: 6px;"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #B1B1B1, stop:1 #c4c4c4);"
    " margin: 2px 0; }"
    "QSlider::handle:horizontal { background: qlineargradient(x1:0, y1:0, x2:1, y2:1,"
    " stop:0 #e0e0e0, stop:1 #d0d0d0); border: 1px solid #5c5c5c; width: 18px;"
    " margin: -4px 0; border-radius: 3px; }"
    "QSlider::handle:horizontal:disabled { background: qlineargradient(x1:0, y1:0, x2:1, y2:1,"
    " stop:0 #b4b4b4, stop:1 #8f8f8f); }";

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
    formHandler = new Backgrounds::FormHandler(this);
    formHandler->manage(this);
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
    frontMostTimer->setInterval(frontMostInterval);
    connect(frontMostTimer, &QTimer::timeout, this, &MainWindow::checkExcelIsFrontMostTimeout);
    qApp->installEventFilter(this);
    connect(ui->label_WindowIcon, &QMouseEventLabel::mouseDoubleClicked, this,
            &MainWindow::closeApplication);
    setTitle();
    QTimer::singleShot(termsCheckDelay, this, &MainWindow::checkTermsOfUseApproval);
    updateButtons();
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    delete watchWindow;
    delete termsOfUseForm;
    delete ui;
}

void MainWindow::watchWindowWatchesEmptied()
{
    if (auto *window = qobject_cast<WatchWindow *>(sender()))
        window->deleteLater();
    watchWindow = nullptr;
}

// Beside the program in the build tree; in the program's data folder once installed. The path
// beside the program stands when neither exists, for the message that names what is missing.
QString MainWindow::helpFilePath()
{
    const QString name = "Marlowin Pro Quick Help.pdf";
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString installed =
        QDir::cleanPath(programDir.filePath(MARLOWIN_DATA_DIR_FROM_BIN "/" + name));
    if (!QFileInfo::exists(programDir.filePath(name)) && QFileInfo::exists(installed))
        return installed;
    return programDir.filePath(name);
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

void MainWindow::createSliderSettingsForm()
{
    sliderSettingsForm = new SliderSettingsForm(this);
    sliderSettingsForm->setProperty("closebutton", true);
    connect(sliderSettingsForm, &SliderSettingsForm::formClosed, this,
            &MainWindow::sliderSettingsFormClosed);
    formHandler->manage(sliderSettingsForm);
}

// The form has no parent of its own, so it is a window even while the main window is hidden.
void MainWindow::createTermsOfUseForm()
{
    termsOfUseForm = new TermsOfUseForm;
    termsOfUseForm->setWindowTitle("Marlowin Terms of Use");
    termsOfUseForm->setProperty("closebutton", true);
    // No image by that name: the form shows no close button and must be answered.
    termsOfUseForm->setProperty("closebuttonname", "dummy");
    termsOfUseForm->setProperty("windowtitle", termsOfUseForm->windowTitle());
    termsOfUseForm->setOwner(this);
    formHandler->manage(termsOfUseForm);
    connect(termsOfUseForm, &TermsOfUseForm::accepted, this,
            [this] { settingsFiles.setTermsOfUseApproved(true); });
    // A refusal closes like the close button, so a running scan still restores the cells.
    connect(termsOfUseForm, &TermsOfUseForm::declined, this, &MainWindow::close);
}

void MainWindow::applyStyleSheets()
{
    ui->scrollArea_Sliders->horizontalScrollBar()->setStyleSheet(
        QString::fromLatin1(scrollBarStyle));
    ui->horizontalSlider_scanZoom->setStyleSheet(QString::fromLatin1(sliderStyle));
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
    const QString path = helpFilePath();
    if (QFileInfo::exists(path)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        qCDebug(lcApp) << path;
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
            qCDebug(lcApp) << "ApplicationActivate";
            frontMostTimer->stop();
        } else if (event->type() == QEvent::ApplicationDeactivate) {
            qCDebug(lcApp) << "ApplicationDeactivate";
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
    if (key == Qt::Key_S && watchWindow && watched == watchWindow) {
        watchWindow->setSmoothGraphs(!watchWindow->smoothGraphs());
        return true;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        const int n = key - Qt::Key_1;
        // Digits beyond the slider count are swallowed so they never reach other widgets.
        return n >= sliders.size();
    }
    if (key == Qt::Key_F) {
        if (watchWindow && watchWindow->offersFlat3D())
            watchWindow->setFlat3D(!watchWindow->flat3D());
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
    if (isOwnWindowForeground()) {
        frontMostTimer->stop();
        return;
    }
    const bool excelFront = isExcelForeground();
    const Qt::WindowFlags flags = windowFlags();
    const Qt::WindowFlags wanted =
        excelFront ? flags | Qt::WindowStaysOnTopHint : flags & ~Qt::WindowStaysOnTopHint;
    if (wanted != flags) {
        qCDebug(lcApp) << "Changing flags!!!!!!" << qPrintable(flagsText(flags))
                       << qPrintable(flagsText(wanted));
        setWindowFlags(wanted);
        qCDebug(lcApp) << "SHOWING";
        // Changing the flags hides the window.
        showNormal();
    }
    followOnTop(watchWindow, excelFront);
    frontMostTimer->stop();
    if (excelFront)
        frontMostTimer->start();
}
