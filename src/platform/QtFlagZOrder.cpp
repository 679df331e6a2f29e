#include "platform/QtFlagZOrder.h"

#include "platform/NativeWindow.h"

#include <QApplication>
#include <QWidget>

NativeWindowId QtFlagZOrder::foregroundWindow()
{
    const QWidget *active = QApplication::activeWindow();
    return active ? NativeWindow::id(*active) : 0;
}

void QtFlagZOrder::demote(NativeWindowId window)
{
    setStaysOnTop(window, false);
}

void QtFlagZOrder::promote(NativeWindowId window)
{
    setStaysOnTop(window, true);
}

void QtFlagZOrder::setStaysOnTop(NativeWindowId window, bool staysOnTop)
{
    QWidget *widget = findTopLevel(window);
    // Setting the flag it already has would still re-create the window; every tick would
    // make it flicker.
    if (!widget || widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == staysOnTop)
        return;
    const bool visible = widget->isVisible();
    widget->setWindowFlag(Qt::WindowStaysOnTopHint, staysOnTop);
    if (visible)
        widget->show();
}

QWidget *QtFlagZOrder::findTopLevel(NativeWindowId window)
{
    if (window == 0)
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows) {
        if (NativeWindow::id(*widget) == window)
            return widget;
    }
    return nullptr;
}
