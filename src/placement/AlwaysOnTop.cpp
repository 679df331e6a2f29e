#include "placement/AlwaysOnTop.h"

#include "platform/NativeWindow.h"
#include "platform/Timer.h"
#include "ui/TickBox.h"
#include "ui_MainWindow.h"

void AlwaysOnTop::attach(QWidget &mainWindow, Ui::ZEMRA_MAIN &form, Timer &timer,
                         WindowZOrder &zOrder)
{
    QObject::connect(
        form.AlwaysOnTopTimer_TICKBOX, &QCheckBox::stateChanged, &timer,
        [&form, &timer] { timer.setEnabled(TickBox::isTicked(*form.AlwaysOnTopTimer_TICKBOX)); });
    QObject::connect(&timer, &Timer::ticked, &timer,
                     [&mainWindow, &zOrder] { reassert(mainWindow, zOrder); });
}

void AlwaysOnTop::reassert(const QWidget &mainWindow, WindowZOrder &zOrder)
{
    const NativeWindowId mainWindowId = NativeWindow::id(mainWindow);
    if (zOrder.foregroundWindow() == mainWindowId)
        return;
    zOrder.demote(zOrder.foregroundWindow());
    zOrder.promote(NativeWindow::id(mainWindow));
}
