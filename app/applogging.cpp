#include "app/applogging.h"

Q_LOGGING_CATEGORY(lcApp, "marlowin.app", QtWarningMsg)
Q_LOGGING_CATEGORY(lcScan, "marlowin.scan", QtWarningMsg)
