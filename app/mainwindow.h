#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "app/settingsfiles.h"

#include <QMainWindow>
#include <QPoint>
#include <memory>

namespace Ui {
class MainWindow;
}

class FrontMostFollower;
class MainWindowEvents;
class QMouseEvent;
class QPushButton;
class QTimer;
class ScanRunner;
class SliderWatchRegistry;
class SpreadsheetInstances;
class VIVExcelApplication;
class VIVExcelCellSliderView;
class VIVExcelRange;
class SliderSettingsForm;
class TermsOfUseForm;
class WatchWindowCommands;

namespace Backgrounds {
class FormHandler;
}

// The main window: a title line, the row of main buttons with the precision slider, and the
// strip that holds the slider views. It sees every event of the process through its
// application-wide event filter and hands them to MainWindowEvents (activation, minimising, the
// key table); WatchWindowCommands keeps the current watch window, FrontMostFollower keeps both
// windows on top while the spreadsheet is in front, and SpreadsheetInstances holds the
// spreadsheet instances the window reached.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    static QString helpFilePath();

    // Puts the spreadsheet instance the user looks at first among those the window reached.
    void attachToExcel();
    // Opens the settings form beside the slider; nothing while a scan runs.
    void showSliderSettings(VIVExcelCellSliderView *view);

public slots:
    void watchWindowWatchesEmptied();
    void checkTermsOfUseApproval();
    void checkExcelIsFrontMostTimeout();
    void closeApplication();
    void label_MarlowinMouseMoved(QMouseEvent *event);
    void label_MarlowinMousePressed(QMouseEvent *event);
    void on_label_termsOfUse_mousePressed();
    void sliderSettingsFormClosed(bool validated);
    void showHelp();
    void newWatchWindow();
    void on_horizontalSlider_scanZoom_valueChanged(int value);
    void on_pushButton_DeleteAll_clicked();
    void on_pushButton_Graph_clicked();
    void on_pushButton_newWatch_clicked();
    void on_pushButton_newSlider_clicked();
    void autoPerformTasks();
    void rangeValueChanged(VIVExcelCellSliderView *moved, VIVExcelRange *range, qreal value,
                           bool &handled);
    void scanZoomChange();
    void sliderButtonScan1DClicked(VIVExcelCellSliderView *view);
    void watchWindowNewWatchSize(int value);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeOnScreen();
    // Stores where the main window and the watch window are, for the next run.
    void rememberPlaces();
    void createSliderSettingsForm();
    void createTermsOfUseForm();
    void applyStyleSheets();
    void setTitle();
    bool isScanning() const;
    void updateButtons();
    VIVExcelApplication *application() const;
    void createFromSelection(QPushButton *button, bool forSliders);
    void wireRegistry();

    Ui::MainWindow *ui;
    SliderWatchRegistry *registry = nullptr;
    ScanRunner *scanRunner = nullptr;
    QTimer *scanZoomTimer = nullptr;
    WatchWindowCommands *watchWindows = nullptr;
    SettingsFiles settingsFiles;
    SliderSettingsForm *sliderSettingsForm = nullptr;
    TermsOfUseForm *termsOfUseForm = nullptr;
    Backgrounds::FormHandler *formHandler = nullptr;
    QPoint pressPosition;
    SpreadsheetInstances *spreadsheets = nullptr;
    QTimer *frontMostTimer = nullptr;
    std::unique_ptr<MainWindowEvents> events;
    std::unique_ptr<FrontMostFollower> frontMost;
};

#endif
