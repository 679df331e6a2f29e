#include "platform/NativeWindow.h"

#include <QWidget>
#include <QWindow>

NativeWindowId NativeWindow::id(const QWidget &window)
{
    const QWindow *handle = window.windowHandle();
    // handle() is checked first because winId() would create a missing native window.
    return handle && handle->handle() ? NativeWindowId(handle->winId()) : 0;
}
