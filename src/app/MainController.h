#pragma once

#include "app/MainWindowLifecycle.h"
#include "app/PlatformServices.h"
#include "settings/SettingsStore.h"
#include "ui/MainWindow.h"

// Wires the main window to the program's handlers and runs its load sequence. Owns the
// window; the window's unload writes the settings back.
class MainController
{
public:
    explicit MainController(const PlatformServices &services);

    [[nodiscard]] MainWindow &window() { return m_window; }

private:
    void connectHandlers();

    PlatformServices m_services;
    SettingsStore m_store;
    MainWindow m_window;
    MainWindowLifecycle m_lifecycle;
};
