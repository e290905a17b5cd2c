#include "excel/excellogging.h"

Q_LOGGING_CATEGORY(lcLink, "marlowin.link", QtWarningMsg)
