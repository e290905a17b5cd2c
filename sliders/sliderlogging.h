#ifndef SLIDERLOGGING_H
#define SLIDERLOGGING_H

#include <QLoggingCategory>

// Diagnostics of sliders and their settings.
Q_DECLARE_LOGGING_CATEGORY(lcSlider)

#endif
