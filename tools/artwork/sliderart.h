#ifndef ARTWORK_SLIDERART_H
#define ARTWORK_SLIDERART_H

#include <QImage>

// The amber halo laid over the handle of a slider that takes part in the current graph.
// The slider draws it 3 px from its left edge and 4 px above its 28 px handle, so the
// 44 x 36 image frames a 34 x 28 handle with 5 px on each side and 4 px above and below.
QImage activeSliderHalo();

// Axis marks over a slider's display, telling which graph axis the slider drives.
enum class GraphAxis { X, Y, Z };

// A 2D graph's axes (x across, z up) with one of them lit.
QImage planeAxisMark(GraphAxis lit);

// A 3D graph's axes (x across, y into the depth, z up) with one of them lit.
QImage spaceAxisMark(GraphAxis lit);

#endif
