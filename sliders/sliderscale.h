#ifndef SLIDERSCALE_H
#define SLIDERSCALE_H

class QPainter;

// The scale painted beside a cell slider: tick marks, end marks and the minimum, maximum and
// current values, in the coordinates of the widget that paints it. The scale runs from the
// maximum at top to the minimum at bottom.
struct SliderScale
{
    // Left end of the tick marks.
    int x = 0;
    int top = 0;
    int bottom = 0;
    double minimum = 0.0;
    double maximum = 1.0;
    double value = 0.0;
    // Rightmost pixel the values may use; 0 for no limit.
    int right = 0;
    // The slider is bound to a cell: the values are written beside the scale.
    bool showValues = false;
    // The slider takes part in the current graph and can be moved: white limits and an amber
    // current value instead of grey ones.
    bool highlighted = false;
};

// Nothing is painted when the scale is shorter than nothing (bottom above top).
void paintSliderScale(QPainter &painter, const SliderScale &scale);

#endif
