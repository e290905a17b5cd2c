#ifndef WATCHBUTTON_H
#define WATCHBUTTON_H

#include <QString>

// One icon button of a watch view: the icon's resource path and the name that a click reports.
struct WatchButton
{
    QString iconPath;
    QString name;

    friend bool operator==(const WatchButton &a, const WatchButton &b)
    {
        return a.iconPath == b.iconPath && a.name == b.name;
    }
    friend bool operator!=(const WatchButton &a, const WatchButton &b) { return !(a == b); }
};

#endif // WATCHBUTTON_H
