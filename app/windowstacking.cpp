#include "app/windowstacking.h"

#include <QWidget>
#include <QWindow>

bool setStaysOnTop(QWidget &window, bool onTop)
{
    const Qt::WindowFlags flags = window.windowFlags();
    const Qt::WindowFlags wanted =
        onTop ? flags | Qt::WindowStaysOnTopHint : flags & ~Qt::WindowStaysOnTopHint;
    if (wanted == flags)
        return false;
    window.overrideWindowFlags(wanted);
    if (QWindow *handle = window.windowHandle())
        handle->setFlags(wanted);
    return true;
}

void stackAsDialog(QWidget &form)
{
    form.setWindowFlags((form.windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
}
