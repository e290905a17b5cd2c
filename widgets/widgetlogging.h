#ifndef WIDGETLOGGING_H
#define WIDGETLOGGING_H

#include <QLoggingCategory>

// Diagnostics of window chrome and small widgets.
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)

#endif
