#pragma once

#include "app/MainWindowLifecycle.h"
#include "app/PlatformServices.h"
#include "measure/MeasurementRun.h"
#include "settings/SettingsStore.h"
#include "ui/MainWindow.h"

class AboutWindow;
class LogOutputWindow;

// Wires the main window to the program's handlers and runs its load sequence. Owns the
// window; the window's unload writes the settings back.
class MainController
{
public:
    explicit MainController(const PlatformServices &services);

    [[nodiscard]] MainWindow &window() { return m_window; }

    // Whether the latest measurement run of this launch failed (false before any run).
    [[nodiscard]] bool lastRunFailed() const;

private:
    void connectHandlers();
    void openLogOutputWindow();
    void openAboutWindow();
    // Closes whichever secondary window is open; its close writes its position.
    void closeSecondaryWindows();

    PlatformServices m_services;
    // Asked of the platform once: it names the settings section, the window and every run log.
    const QString m_executableName;
    SettingsStore m_store;
    MainWindow m_window;
    MainWindowLifecycle m_lifecycle;
    // Made on their first opening, then reused; owned by the main window.
    LogOutputWindow *m_logOutputWindow = nullptr;
    AboutWindow *m_aboutWindow = nullptr;
    MeasurementRun m_run;
};
