#ifndef WATCHWINDOW_H
#define WATCHWINDOW_H

#include <QList>
#include <QRect>
#include <QTimer>
#include <QWidget>

namespace Ui {
class WatchWindow;
}

class VIVExcelWatchView;

// The tool window that holds the watches in a scroll area under a row of controls: the graph
// size and the 3D settings, which it applies to all of its watches. It notices watches going
// away, and sizes and places itself so that its watches fit and it stays on the screen.
class WatchWindow : public QWidget
{
    Q_OBJECT

public:
    explicit WatchWindow(QWidget *parent = nullptr);
    ~WatchWindow() override;

    // The form's widgets, for the owner that wires and styles them.
    Ui::WatchWindow *form() const { return ui; }
    const QList<VIVExcelWatchView *> &watches() const { return m_watches; }
    int targetWidth() const { return m_targetWidth; }
    bool isResizePending() const { return m_resizeTimer.isActive(); }

    // Takes a watch that the owner has already put into the content layout.
    void addWatch(VIVExcelWatchView *watch);
    // A negative alpha takes the value of the transparency slider.
    void applyGraphAlpha(VIVExcelWatchView *watch, double alpha);
    double sliderAlpha() const;

signals:
    void newWatchSize(int size);
    void watchesEmptied();

public slots:
    void doCheckResize();
    void watchDestroyed(QObject *object);
    void enableWatchCanUseFastDraw();
    void disableWatchCanUseFastDraw();
    void checkResize();
    void checkPosition(QRect rect);
    void checkPosition();
    void checkWidgetDisplay();
    void on_horizontalSlider_watchSize_valueChanged(int value);
    void on_checkBox_useTriangleRects_toggled(bool checked);
    void on_checkBox_useNormalAveraged_toggled(bool checked);
    void on_checkBox_SmoothGraphs_toggled(bool checked);
    void on_checkBox_Flat3DGraph_toggled(bool checked);
    void on_checkBox_DrawPoints_toggled(bool checked);
    void on_horizontalSlider_watchGraphAlpha_valueChanged(int value);

private:
    template <typename Change> void changeCubeSettings(Change change);
    int widthFor(VIVExcelWatchView *watch) const;

    QList<VIVExcelWatchView *> m_watches;
    Ui::WatchWindow *ui;
    int m_targetWidth = 100;
    QTimer m_resizeTimer;
};

#endif // WATCHWINDOW_H
