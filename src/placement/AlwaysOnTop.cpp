#include "placement/AlwaysOnTop.h"

#include "platform/NativeWindow.h"

void AlwaysOnTop::reassert(const QWidget &mainWindow, WindowZOrder &zOrder)
{
    const NativeWindowId mainWindowId = NativeWindow::id(mainWindow);
    if (zOrder.foregroundWindow() == mainWindowId)
        return;
    zOrder.demote(zOrder.foregroundWindow());
    zOrder.promote(NativeWindow::id(mainWindow));
}
