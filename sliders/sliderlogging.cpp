#include "sliders/sliderlogging.h"

Q_LOGGING_CATEGORY(lcSlider, "marlowin.slider", QtWarningMsg)
