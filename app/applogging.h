#ifndef APPLOGGING_H
#define APPLOGGING_H

#include <QLoggingCategory>

// Diagnostics of the main window, the registry of sliders and watches and the settings files.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
// Diagnostics of scans.
Q_DECLARE_LOGGING_CATEGORY(lcScan)

#endif
