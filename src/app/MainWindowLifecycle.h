#pragma once

#include "app/TargetTickRestore.h"
#include "placement/WindowPlacement.h"

#include <QObject>

#include <optional>

class MainWindow;
class SettingsStore;
class WorkQueue;

// The main window's load and unload sequences: restore the stored settings into the
// controls, name the window after the executable, clear the results, give the timers their
// intervals and enter the Ready or Autostart countdown state; and on unload write the
// position, the five tick values and the two paths back, in that order.
//
// Both target kinds stored as ticked are resolved by what the stored target is, which only
// the filesystem can tell and which may never answer (a mount that hangs). So the load ticks
// FILE-Size at once and asks on the work queue; the answer, if it comes, moves the tick to
// FOLDER-Size for a folder unless the user has changed the target or its ticks meanwhile.
class MainWindowLifecycle
{
public:
    // Every reference outlives the lifecycle.
    MainWindowLifecycle(MainWindow &window, SettingsStore &store, WorkQueue &workQueue);

    // Runs once, before the window is first shown. Setting a tickbox runs its change
    // handling, so the handlers must be connected before this is called.
    void load(const QString &executableName);

    // Runs once, when the window closes, however it is closed: writes the settings and
    // saves them in one go, as the launch's last save (tried twice before it is reported).
    void unload();

private:
    void askTargetKind(const QString &targetPath);
    void adoptTargetTicks(const TargetTickRestore::Ticks &kept, const QString &targetPath);

    MainWindow &m_window;
    SettingsStore &m_store;
    WorkQueue &m_workQueue;
    // The kind's answer is delivered only while it exists.
    QObject m_context;
    WindowPlacement m_placement;
    // The target ticks the load chose when both were stored as ticked.
    std::optional<TargetTickRestore::Ticks> m_adjustedTargetTicks;
};
