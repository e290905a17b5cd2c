#ifndef SLIDERWATCHREGISTRY_H
#define SLIDERWATCHREGISTRY_H

#include "app/liveupdate.h"
#include "app/viewcells.h"
#include "sliders/vivexcelcellsliderview.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class ExcelAddressBlock;
class QBoxLayout;
class QMouseEvent;
class QPainter;
class QSettings;
class QWidget;
class VIVExcelApplication;
class VIVExcelCellSliderView;
class VIVExcelRange;
class VIVExcelWatchView;
class WatchWindow;

// The program's sliders and watches: made from the spreadsheet selection (with the limits and
// duplicate checks), wired to the main window and to each other (one split point, one camera,
// one set of draw settings), selected for scanning, removed, and fed by the live update that
// follows a slider move. It reads the owner's scan state and refuses removals while a scan
// runs.
class SliderWatchRegistry : public QObject
{
    Q_OBJECT

public:
    // A 22nd slider or watch is refused.
    static constexpr int maxObjects = 21;

    SliderWatchRegistry(QWidget *owner, QBoxLayout *sliderStrip);
    ~SliderWatchRegistry() override;

    const QList<VIVExcelCellSliderView *> &sliders() const { return m_sliders; }
    const QList<VIVExcelWatchView *> &watches() const { return m_watches; }
    const QList<VIVExcelCellSliderView *> &selectedSliders() const { return m_selectedSliders; }
    // Watches of the current watch window; those of older windows are left out.
    QList<VIVExcelWatchView *> activeWatches() const;
    static bool isActive(const VIVExcelWatchView *watch);
    VIVExcelCellSliderView *sliderFor(const VIVExcelRange *range) const;

    void setWatchWindow(WatchWindow *window) { m_watchWindow = window; }
    // Walks the selection of the application's active window and makes a slider for every
    // numeric value cell, or a watch for every formula cell. False when no cell qualified.
    bool createFromSelection(VIVExcelApplication *application, bool forSliders);
    // The views' cells are those of the application they were made with. When another one is
    // given (the office restarted), every view moves to the same cell (workbook title, sheet,
    // address) of it, and those whose cell it lacks are removed with a message. True when the
    // views moved, so that scan data made on the old cells is dropped.
    bool followApplication(VIVExcelApplication *application);
    // The cells of the last selection that got no slider because the sheet protects them.
    const QStringList &protectedCells() const { return m_protectedCells; }
    // Writes the moved slider's cell, reads every other slider cell and every active watch
    // cell in one exchange, and appends the results to the histories.
    void liveUpdate(VIVExcelApplication *application, VIVExcelCellSliderView *moved, qreal value);
    bool isDragging() const { return m_liveUpdate.isDragging(); }
    void removeAll();
    // Watches of an older window keep their graphs but leave scans and live updates.
    void deactivateWatches();
    void setWatchSize(int size);
    int watchSize() const { return m_watchSize; }
    // The moved slider the next scan writes before it starts; cleared when taken.
    VIVExcelCellSliderView *takeLastMovedSlider();
    void setLastMovedSlider(VIVExcelCellSliderView *view) { m_lastMovedSlider = view; }
    // Makes the watch show what suits its store's graph depth.
    void updateWatchDisplay(VIVExcelWatchView *watch);

signals:
    void listsChanged();
    // The office died under a live slider move; the move and its drag have ended.
    void liveUpdateFailed(const QString &message);
    void selectionChanged(VIVExcelCellSliderView *view);
    void sliderMoved(VIVExcelCellSliderView *view, VIVExcelRange *range, qreal value,
                     bool &handled);
    void sliderConfigChanged(VIVExcelCellSliderView *view);
    void sliderSettingsRequested(VIVExcelCellSliderView *view);
    void scan1DRequested(VIVExcelCellSliderView *view);
    void splitPointMoved(VIVExcelWatchView *watch);
    // A watch is about to be made and there is no watch window to put it in.
    void watchWindowNeeded();
    // Views whose cells the office no longer has were removed; the message names them.
    void viewsDropped(const QString &message);

public slots:
    void rangeIteratedForSlider(ExcelAddressBlock *block);
    void rangeIteratedForWatch(ExcelAddressBlock *block);
    void removeObjectFromLists(QObject *object);
    void sliderSelectedChanged();
    void sliderCloseRequest();
    void watchCloseRequest();
    void watchDataCreated();
    void watchGraphDepthChanged();
    void watchAfterPaint(QPainter &painter);
    void watchSplitChanged();
    void watchButtonClicked(const QString &name);
    void enableWatchCanUseFastDraw();
    void disableWatchCanUseFastDraw();
    void sliderPressed();
    void sliderReleased();

private:
    bool isScanning() const;
    void bindSlider(VIVExcelCellSliderView *view, VIVExcelRange *range);
    void wireSlider(VIVExcelCellSliderView *view);
    VIVExcelWatchView *makeWatch(VIVExcelRange *range);
    void wireWatch(VIVExcelWatchView *watch);
    void connectDataSignals(VIVExcelWatchView *watch);
    void showFirstValues();
    void applyWatchSize();
    void watchZoomEvent(VIVExcelWatchView *watch);
    void removeWatch(VIVExcelWatchView *watch);

    QWidget *m_owner;
    QBoxLayout *m_sliderStrip;
    QPointer<WatchWindow> m_watchWindow;
    QList<VIVExcelCellSliderView *> m_sliders;
    QList<VIVExcelWatchView *> m_watches;
    QList<VIVExcelCellSliderView *> m_selectedSliders;
    QPointer<VIVExcelCellSliderView> m_lastMovedSlider;
    LiveUpdate m_liveUpdate;
    // The slider settings file while New Sliders runs: read once for all the sliders it makes.
    std::unique_ptr<QSettings> m_sliderSettings;
    ViewCells m_cells;
    QStringList m_protectedCells;
    bool m_createdAny = false;
    bool m_limitLogged = false;
    int m_watchSize = 0;
};

#endif
