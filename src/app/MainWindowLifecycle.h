#pragma once

#include "app/TargetTickRestore.h"
#include "placement/WindowPlacement.h"

#include <optional>

class MainWindow;
class SettingsStore;

// The main window's load and unload sequences: restore the stored settings into the
// controls, name the window after the executable, clear the results, give the timers their
// intervals and enter the Ready or Autostart countdown state; and on unload write the
// position, the five tick values and the two paths back, in that order.
class MainWindowLifecycle
{
public:
    MainWindowLifecycle(MainWindow &window, SettingsStore &store);

    // Runs once, before the window is first shown. Setting a tickbox runs its change
    // handling, so the handlers must be connected before this is called.
    void load(const QString &executableName);

    // Runs once, when the window closes, however it is closed: writes the settings and
    // saves them in one go, as the launch's last save (tried twice before it is reported).
    void unload();

private:
    MainWindow &m_window;
    SettingsStore &m_store;
    WindowPlacement m_placement;
    // The target ticks the load chose when both were stored as ticked.
    std::optional<TargetTickRestore::Ticks> m_adjustedTargetTicks;
};
