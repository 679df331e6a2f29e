#include "placement/AlwaysOnTop.h"

#include "platform/Timer.h"
#include "ui/TickBox.h"
#include "ui_MainWindow.h"

void AlwaysOnTop::attach(Ui::ZEMRA_MAIN &form, Timer &timer)
{
    // Unticking only stops the re-assertion: a window already placed on top stays there.
    QObject::connect(
        form.AlwaysOnTopTimer_TICKBOX, &QCheckBox::stateChanged, &timer,
        [&form, &timer] { timer.setEnabled(TickBox::isTicked(*form.AlwaysOnTopTimer_TICKBOX)); });
}
