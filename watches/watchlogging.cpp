#include "watches/watchlogging.h"

Q_LOGGING_CATEGORY(lcWatch, "marlowin.watch", QtWarningMsg)
