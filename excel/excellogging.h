#ifndef EXCELLOGGING_H
#define EXCELLOGGING_H

#include <QLoggingCategory>

// Diagnostics of the spreadsheet link.
Q_DECLARE_LOGGING_CATEGORY(lcLink)

#endif
