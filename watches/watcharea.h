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

// Bits of a watch view's area flags: which elements it shows. A group of several bits is
// shown when any of its bits is set.
namespace WatchAreaFlag {
constexpr unsigned TextDark = 0x001;
// Takes precedence over TextDark.
constexpr unsigned TextMetal = 0x002;
constexpr unsigned Text = 0x003;
constexpr unsigned Scale = 0x01C;
constexpr unsigned Axis = 0x0E0;
constexpr unsigned SplitHorizontal = 0x100;
constexpr unsigned SplitVertical = 0x200;
constexpr unsigned Split = 0x300;
constexpr unsigned Buttons = 0x400;
// The button indicator while the buttons are hidden.
constexpr unsigned Indicator = 0x800;
constexpr unsigned All = 0xFFF;
// What a new view shows: everything but the split lines.
constexpr unsigned Default = All & ~Split;
} // namespace WatchAreaFlag

#endif // WATCHAREA_H
