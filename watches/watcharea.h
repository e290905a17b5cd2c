#ifndef WATCHAREA_H
#define WATCHAREA_H

// The parts of a watch view that its area computation can name.
enum WatchArea {
    WatchAreaAll = 0,
    WatchAreaText = 1,
    WatchAreaGraph = 2,
    WatchAreaScale = 4,
    WatchAreaAxis = 8,
    WatchAreaBody = 16,
    WatchAreaButtons = 32
};

#endif // WATCHAREA_H
