#pragma once

#include "ui/SecondaryWindow.h"
#include "ui_LogOutputWindow.h"

#include <functional>

// The log output window ZEMRA_LOG_OUTPUT_WINDOW: shows a copy of the main window's run log,
// taken when it opens; a run that completes while it is open does not change it. Its text
// box is read-only. It has a task-bar entry; OK is its default button (Enter).
class LogOutputWindow final : public SecondaryWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LogOutputWindow)

public:
    // runLog: the run log the main window shows, asked at every opening. The store must
    // outlive this window; owner (the main window) owns it.
    LogOutputWindow(SettingsStore &store, std::function<QString()> runLog, QWidget *owner);

private:
    void buildForm() override;
    void loadContents() override;

    std::function<QString()> m_runLog;
    Ui::ZEMRA_LOG_OUTPUT_WINDOW m_form{};
};
