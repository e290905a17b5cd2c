#ifndef GRAPHLOGGING_H
#define GRAPHLOGGING_H

#include <QLoggingCategory>

// Diagnostics of data stores and painters.
Q_DECLARE_LOGGING_CATEGORY(lcGraph)

#endif
