#ifndef WATCHCONTAINER_H
#define WATCHCONTAINER_H

class QWidget;
class VIVExcelWatchView;
class WatchWindow;

// The widget a watch lives in inside the watch window: its title, the watch, two sub watches
// (the cross sections of a surface) and the colour scale; and which of them show for the
// watch's graph depth.
namespace WatchContainer {

// A parentless container holding the watch and its companions.
QWidget *build(VIVExcelWatchView *watch);
// Shows the buttons, areas, sub watches and scale that suit the graph depth of the watch's
// store, and the watch window's settings for it.
void updateDisplay(VIVExcelWatchView *watch, WatchWindow *window);

} // namespace WatchContainer

#endif
