#include "schedule/RunControl.h"

#include "platform/Timer.h"
#include "schedule/RunState.h"
#include "schedule/RunTexts.h"
#include "settings/SettingsStore.h"
#include "ui/MainWindow.h"
#include "ui/TickBox.h"

void RunControl::attach(MainWindow &window, SettingsStore &store, CancelRun cancelRun)
{
    Ui::ZEMRA_MAIN &form = window.form();
    const MainTimers &timers = window.timers();
    QObject::connect(form.RUN_NOW_BUTTON, &QPushButton::clicked, &window,
                     [&window] { runNow(window); });
    QObject::connect(form.AUTO_STARTS_STOPS_BUTTON, &QPushButton::clicked, &window,
                     [&window, cancelRun = std::move(cancelRun)] { startStop(window, cancelRun); });
    QObject::connect(timers.AUTOSTART_TIMER, &Timer::ticked, &window,
                     [&window, &store] { autostartTick(window, store); });
    QObject::connect(timers.AUTOCLOSE_TIMER, &Timer::ticked, &window,
                     [&window] { autocloseTick(window); });
}

void RunControl::runNow(MainWindow &window)
{
    Ui::ZEMRA_MAIN &form = window.form();
    form.RUN_NOW_BUTTON->setEnabled(false);
    form.AUTO_STARTS_STOPS_BUTTON->setText(RunTexts::stop());
    form.CURRENT_STATUS_LABEL->setText(RunTexts::manualRun());
    window.timers().FILE_FOLDER_SIZER_TIMER->setEnabled(true);
}

void RunControl::startStop(MainWindow &window, const CancelRun &cancelRun)
{
    Ui::ZEMRA_MAIN &form = window.form();
    const MainTimers &timers = window.timers();
    if (form.AUTO_STARTS_STOPS_BUTTON->text() == RunTexts::start()) {
        form.RUN_NOW_BUTTON->setEnabled(false);
        form.AUTO_STARTS_STOPS_BUTTON->setText(RunTexts::stop());
        form.CURRENT_STATUS_LABEL->setText(RunTexts::starting());
        timers.AUTOSTART_TIMER->setEnabled(true);
        return;
    }
    if (cancelRun)
        cancelRun();
    timers.AUTOSTART_TIMER->setEnabled(false);
    timers.FILE_FOLDER_SIZER_TIMER->setEnabled(false);
    timers.AUTOCLOSE_TIMER->setEnabled(false);
    RunState::enterReady(form);
}

void RunControl::autostartTick(MainWindow &window, SettingsStore &store)
{
    Ui::ZEMRA_MAIN &form = window.form();
    const MainTimers &timers = window.timers();
    // A refused settings write is reported by the store and does not hold up the run.
    if (TickBox::isTicked(*form.AUTOSTART_TICKBOX)) {
        form.CURRENT_STATUS_LABEL->setText(RunTexts::runningNow());
        form.AUTO_STARTS_STOPS_BUTTON->setText(RunTexts::stop());
        form.FF_LOCATION_TEXTBOX->setReadOnly(true);
        RunState::savePaths(form, store);
        timers.AUTOSTART_TIMER->setEnabled(false);
        timers.FILE_FOLDER_SIZER_TIMER->setEnabled(true);
        return;
    }
    // Unticking AutoStart during a countdown does not cancel it: only STOP does.
    timers.FILE_FOLDER_SIZER_TIMER->setEnabled(true);
    form.AUTO_STARTS_STOPS_BUTTON->setText(RunTexts::start());
    form.FF_LOCATION_TEXTBOX->setReadOnly(false);
    RunState::savePaths(form, store);
    timers.AUTOSTART_TIMER->setEnabled(false);
}

void RunControl::autocloseTick(MainWindow &window)
{
    // The timer stays enabled when AutoClose is unticked, so ticking it again closes the
    // window at the next tick. Closing runs the main window's shut-down.
    if (TickBox::isTicked(*window.form().AUTOCLOSE_TICKBOX))
        window.close();
}
