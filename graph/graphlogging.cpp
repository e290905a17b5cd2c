#include "graph/graphlogging.h"

Q_LOGGING_CATEGORY(lcGraph, "marlowin.graph", QtWarningMsg)
