#ifndef WATCHWINDOW_H
#define WATCHWINDOW_H

#include <QList>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

namespace Ui {
class WatchWindow;
}

class VIVExcelWatchView;

// The tool window that holds the watches in a scroll area under a row of controls: the graph
// size and the 3D settings, which it applies to all of its watches. It notices watches going
// away, and sizes and places itself so that its watches fit, it stays on the screen and it leaves
// its neighbour window uncovered.
class WatchWindow : public QWidget
{
    Q_OBJECT

public:
    explicit WatchWindow(QWidget *parent = nullptr);
    ~WatchWindow() override;

    const QList<VIVExcelWatchView *> &watches() const { return m_watches; }
    int targetWidth() const { return m_targetWidth; }
    bool isResizePending() const { return m_resizeTimer.isActive(); }

    // Puts a watch's container into the scrolled contents, below those already there.
    void addToContents(QWidget *container);
    // Takes a watch that the owner has already put into the contents.
    void addWatch(VIVExcelWatchView *watch);

    // The look the window gives its watches. Each setter acts as the user's click on its
    // control does, so the watches follow at once.
    bool showsPoints() const;
    void setShowsPoints(bool on);
    bool smoothGraphs() const;
    void setSmoothGraphs(bool on);
    bool flat3D() const;
    void setFlat3D(bool on);
    // The choice of flat 3D is on screen, so the user may expect a key to change it.
    bool offersFlat3D() const;
    // The transparency slider's position (10 .. 255); sliderAlpha() is the opacity it gives.
    int transparency() const;
    // The size the watches are asked to take (40 .. 400).
    int watchSize() const;
    void setWatchSize(int size);

    // Which of the graph controls the current kind of graph needs: the 3D settings row and the
    // smoothing box; the lighting experiments stay hidden unless asked for.
    void setSurfaceControlsVisible(bool visible);
    void setSmoothControlVisible(bool visible);
    void setLightingControlsVisible(bool visible);
    // Only the newest watch window offers to open another one.
    void setNewWindowButtonVisible(bool visible);
    void setContentsSpacing(int spacing);
    // The look of the scroll bars and sliders, shared with the main window.
    void setControlStyleSheets(const QString &horizontalScrollBar, const QString &verticalScrollBar,
                               const QString &slider);

    // The window whose controls this one leaves uncovered whenever it places itself (the main
    // window); none by default.
    void setNeighbour(QWidget *window);

    // A negative alpha takes the value of the transparency slider.
    void applyGraphAlpha(VIVExcelWatchView *watch, double alpha);
    double sliderAlpha() const;

signals:
    void newWatchSize(int size);
    void watchesEmptied();
    void newWindowRequested();

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
    QPointer<QWidget> m_neighbour;
};

#endif // WATCHWINDOW_H
