#include "app/applogging.h"

Q_LOGGING_CATEGORY(lcApp, "marlowin.app")
Q_LOGGING_CATEGORY(lcScan, "marlowin.scan")
