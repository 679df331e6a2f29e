#pragma once

#include <functional>

class MainWindow;
class SettingsStore;

// Decides when a measurement run happens and what the status line says: the Run Now and
// START/STOP buttons and the two countdowns. It keeps no state of its own; the state is the
// status caption, the START/STOP caption, the enabled flags of Run Now and of the timers, and
// the lock of the target path box.
//
// A run is only ever requested, by enabling FILE_FOLDER_SIZER_TIMER; the run itself happens
// in that timer's tick (MeasurementRun).
namespace RunControl {

// Called by STOP before it returns the window to Ready: ends a run that is waiting for
// its size query, so that nothing of it follows the click.
using CancelRun = std::function<void()>;

// Connects the handlers; window and store outlive the connections.
void attach(MainWindow &window, SettingsStore &store, CancelRun cancelRun);

// Run Now: a manual run three seconds from now.
void runNow(MainWindow &window);
// START (by its caption alone) starts the ten-second countdown; anything else stops
// every countdown, pending run and run under way, and returns to Ready.
void startStop(MainWindow &window, const CancelRun &cancelRun = {});
// End of the start countdown: requests a run, saves both paths, and locks the target
// path while AutoStart is ticked or unlocks it otherwise.
void autostartTick(MainWindow &window, SettingsStore &store);
// Closes the main window while AutoClose is ticked; otherwise waits for the next tick.
void autocloseTick(MainWindow &window);

} // namespace RunControl
