#ifndef WATCHLOGGING_H
#define WATCHLOGGING_H

#include <QLoggingCategory>

// Diagnostics of watch views and the watch window.
Q_DECLARE_LOGGING_CATEGORY(lcWatch)

#endif
