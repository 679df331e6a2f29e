#pragma once

#include "app/MainWindowLifecycle.h"
#include "app/PlatformServices.h"
#include "measure/MeasurementRun.h"
#include "settings/SettingsStore.h"
#include "ui/MainWindow.h"
#include "ui/RunAnnouncer.h"

#include <memory>
#include <optional>

class AboutWindow;
class HistoryAccess;
class HistoryRecorder;
class HistoryStore;
class LogOutputWindow;

// Wires the main window to the program's handlers and runs its load sequence. Owns the
// window; the window's unload writes the settings back.
class MainController
{
public:
    // store: the launch's settings, read once; it outlives the controller.
    MainController(const PlatformServices &services, SettingsStore &store);
    ~MainController();
    MainController(const MainController &) = delete;
    MainController &operator=(const MainController &) = delete;

    [[nodiscard]] MainWindow &window() { return m_window; }
    // What tells assistive technologies how a run ended.
    [[nodiscard]] RunAnnouncer &runAnnouncer() { return *m_announcer; }

    // Keeps the size history: the History window (Ctrl+H, the size display's context menu)
    // shows the records of history, and every run that measures adds its record through
    // recorder (none when it is null: --no-history). The recorder outlives the controller.
    void keepHistory(const HistoryStore &history, HistoryRecorder *recorder);

    // Whether the latest measurement run of this launch failed (false before any run).
    [[nodiscard]] bool lastRunFailed() const;

    // A request to end the program (SIGTERM, SIGINT, SIGHUP): closes the main window as its
    // close box does, so a measurement under way is cancelled without writing the log and
    // the settings are saved. A second request while the first is being handled ends the
    // process at once, by that signal.
    void closeOnSignal(int signalNumber);

    // The signal closeOnSignal() was called with, 0 when none: the process ends by it once
    // the settings are saved.
    [[nodiscard]] int endingSignal() const { return m_signalNumber; }

    // The process's exit status once the event loop returned eventLoopStatus: 128 + the
    // signal's number after closeOnSignal(), else the event loop's own status when it is
    // not 0, else 1 when the latest run failed and 0 otherwise.
    [[nodiscard]] int exitStatus(int eventLoopStatus) const;

private:
    void connectHandlers();
    void openLogOutputWindow();
    void openAboutWindow();
    // Closes whichever secondary window is open; its close writes its position.
    void closeSecondaryWindows();
    // After a run's hand-over: announces its outcome and adds its record to the history.
    void runEnded(const std::optional<HistoryRecord> &record);

    PlatformServices m_services;
    // Asked of the platform once: it names the window and every run log.
    const QString m_executableName;
    SettingsStore &m_store;
    MainWindow m_window;
    MainWindowLifecycle m_lifecycle;
    // Made on their first opening, then reused; owned by the main window.
    LogOutputWindow *m_logOutputWindow = nullptr;
    AboutWindow *m_aboutWindow = nullptr;
    MeasurementRun m_run;
    // Made once the run control is attached: it must see where a click left the focus.
    std::optional<RunAnnouncer> m_announcer;
    std::unique_ptr<HistoryAccess> m_history;
    HistoryRecorder *m_recorder = nullptr;
    int m_signalNumber = 0;
};
