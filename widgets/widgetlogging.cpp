#include "widgets/widgetlogging.h"

Q_LOGGING_CATEGORY(lcWidgets, "marlowin.widgets")
