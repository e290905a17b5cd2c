#ifndef WATCHAREA_H
#define WATCHAREA_H

#include <QFlags>

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
// shown when any of its bits is set, and cleared only as a whole.
enum class WatchAreaFlag : unsigned {
    TextDark = 0x001,
    // Takes precedence over TextDark.
    TextMetal = 0x002,
    Text = TextDark | TextMetal,
    // The value scale on the left.
    Scale = 0x01C,
    // The parameter axis at the bottom.
    Axis = 0x0E0,
    SplitHorizontal = 0x100,
    SplitVertical = 0x200,
    Split = SplitHorizontal | SplitVertical,
    Buttons = 0x400,
    // The button indicator while the buttons are hidden.
    Indicator = 0x800,
    All = 0xFFF,
    // What a new view shows: everything but the split lines.
    Default = All & ~Split,
    // A watch showing a rolling history of single values: its title, their scale and the
    // buttons, no parameter axis.
    History = Text | Scale | Buttons | Indicator,
};
Q_DECLARE_FLAGS(WatchAreaFlags, WatchAreaFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(WatchAreaFlags)

constexpr WatchAreaFlags operator~(WatchAreaFlag flag)
{
    return ~WatchAreaFlags(flag);
}

constexpr WatchAreaFlags allAreasBut(WatchAreaFlags hidden)
{
    return WatchAreaFlag::All & ~hidden;
}

#endif // WATCHAREA_H
