#ifndef ARTWORK_PANELICONS_H
#define ARTWORK_PANELICONS_H

#include <QImage>

// Icons of the watch button row: 24 x 24 glyphs on a transparent ground, light with a dark
// shadow so they read both on the dimmed button cells and on the metal text strip.
QImage watchCloseIcon();
QImage watchExportDataIcon();
QImage watchExportImageIcon();

// The 16 x 16 badge in a watch's corner that tells the buttons can be opened there.
QImage watchButtonsIndicator();

// The two keys above every slider: sweep the slider's range, open its settings.
QImage scanKey();
QImage settingsKey();

// Small and large graph pictures on either side of the watch-size slider.
QImage smallGraphIcon();
QImage bigGraphIcon();

#endif
