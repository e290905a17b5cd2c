#ifndef GRAPHDEPTH_H
#define GRAPHDEPTH_H

// The kind of graph a data object's extraction selects (MinMaxMultiDimData::graphDepth()). The
// values are fixed because views compare them as numbers: below GraphDepthSurface a graph is
// drawn flat, from it on as a surface.
enum GraphDepth : int {
    GraphDepthNone = 0,
    GraphDepthValue = 1,
    GraphDepthCurve = 2,
    GraphDepthSurface = 4,
    // More than two free dimensions: nothing can be drawn.
    GraphDepthBeyondSurface = 8
};

#endif // GRAPHDEPTH_H
