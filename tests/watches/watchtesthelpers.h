#ifndef WATCHTESTHELPERS_H
#define WATCHTESTHELPERS_H

#include "graph/minmaxmultidimdata.h"
#include "watches/watchbutton.h"

#include <QApplication>
#include <QList>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <cmath>

// Data, buttons and input events shared by the watch tests.
namespace WatchTest {

// The buttons the registry gives a watch.
inline const QList<WatchButton> watchButtons{
    {QStringLiteral(":resources/watchbuttonclose.png"), QStringLiteral("close")},
    {QStringLiteral(":resources/watchbuttonexportdata.png"), QStringLiteral("exportdata")},
    {QStringLiteral(":resources/watchbuttonexport.png"), QStringLiteral("exportimage")}};

// A finished one-slider scan: count values of a gentle wave over 0 .. 10.
inline void fillCurve(MinMaxMultiDimData &data, int count = 41)
{
    data.setDimensions({{count, QStringLiteral("Interest rate"), 0.0, 10.0}});
    QList<double> values;
    for (int i = 0; i < count; ++i)
        values.append(std::sin(i * 0.2) * 3.0 + i * 0.1);
    data.setValues(values);
    data.finishScan(true);
    data.setDataExtractionSettings({{-1}, false});
}

// The value a surface of fillSurface() holds at column a, row b.
inline double surfaceValue(int a, int b)
{
    return a + 10.0 * b;
}

// A finished two-slider scan of columns x rows values surfaceValue(a, b).
inline void fillSurface(MinMaxMultiDimData &data, int columns = 5, int rows = 4)
{
    data.setDimensions(
        {{columns, QStringLiteral("Rate"), 0.0, 1.0}, {rows, QStringLiteral("Years"), 10.0, 40.0}});
    QList<double> values;
    for (int b = 0; b < rows; ++b) {
        for (int a = 0; a < columns; ++a)
            values.append(surfaceValue(a, b));
    }
    data.setValues(values);
    data.finishScan(true);
    data.setDataExtractionSettings({{-1, -1}, false});
}

// A smooth hill for pictures.
inline void fillHill(MinMaxMultiDimData &data, int columns = 21, int rows = 21)
{
    data.setDimensions(
        {{columns, QStringLiteral("Rate"), 1.0, 8.0}, {rows, QStringLiteral("Years"), 5.0, 30.0}});
    QList<double> values;
    for (int b = 0; b < rows; ++b) {
        for (int a = 0; a < columns; ++a) {
            const double x = a / double(columns - 1) - 0.4;
            const double y = b / double(rows - 1) - 0.6;
            values.append(1200.0 * std::exp(-4.0 * (x * x + y * y)) + 300.0 * x);
        }
    }
    data.setValues(values);
    data.finishScan(true);
    data.setDataExtractionSettings({{-1, -1}, false});
}

// A control of a window's form, found by its object name.
template <typename Control> Control *control(const QObject &window, const char *name)
{
    return window.findChild<Control *>(QString::fromLatin1(name));
}

inline void sendMouse(QWidget *widget, QEvent::Type type, QPointF position, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

inline void press(QWidget *widget, QPointF position, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(widget, QEvent::MouseButtonPress, position, button, button, modifiers);
}

inline void dragTo(QWidget *widget, QPointF position, Qt::MouseButtons buttons = Qt::LeftButton,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(widget, QEvent::MouseMove, position, Qt::NoButton, buttons, modifiers);
}

inline void hoverTo(QWidget *widget, QPointF position)
{
    sendMouse(widget, QEvent::MouseMove, position, Qt::NoButton, Qt::NoButton);
}

inline void release(QWidget *widget, QPointF position, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(widget, QEvent::MouseButtonRelease, position, button, Qt::NoButton);
}

// Sends one wheel notch (up for a positive delta) and reports whether the widget took it.
inline bool wheel(QWidget *widget, QPointF position, int delta, Qt::KeyboardModifiers modifiers)
{
    QWheelEvent event(position, widget->mapToGlobal(position), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

} // namespace WatchTest

#endif // WATCHTESTHELPERS_H
