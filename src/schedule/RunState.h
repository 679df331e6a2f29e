#pragma once

#include <QString>

class SettingsStore;
namespace Ui {
class ZEMRA_MAIN;
}

// Steps that several handlers take on the way to the same state, named once. Each only
// writes controls or settings; nothing listens to captions or enabled flags, so the order
// inside a step cannot be observed and the handlers keep their own order around it.
namespace RunState {

// Run Now enabled and the START/STOP button reading "START": a run or a countdown can be
// requested again. The status and the timers are the caller's.
void allowRequests(Ui::ZEMRA_MAIN &form);

// The Ready state's controls: allowRequests() and the status "READY...".
void enterReady(Ui::ZEMRA_MAIN &form);

// Saves the target path, then the log file path, in the settings: those the boxes hold,
// or those a run took. A refused save is reported by the store and stops nothing.
void savePaths(const Ui::ZEMRA_MAIN &form, SettingsStore &store);
void savePaths(const QString &targetPath, const QString &logPath, SettingsStore &store);
// The same writes without the save, for a caller that saves them along with others.
void writePaths(const Ui::ZEMRA_MAIN &form, SettingsStore &store);
void writePaths(const QString &targetPath, const QString &logPath, SettingsStore &store);

} // namespace RunState
