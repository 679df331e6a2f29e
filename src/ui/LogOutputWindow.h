#pragma once

#include "ui/SecondaryWindow.h"
#include "ui_LogOutputWindow.h"

class QPlainTextEdit;

// The log output window ZEMRA_LOG_OUTPUT_WINDOW: shows a copy of the main window's run log,
// taken when it opens; a run that completes while it is open does not change it. Its text
// box is read-only. It has a task-bar entry; OK is its default button (Enter).
class LogOutputWindow final : public SecondaryWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LogOutputWindow)

public:
    // runLogBox: the main window's run log box, read at every opening. It and the store
    // must outlive this window; owner (the main window) owns it.
    LogOutputWindow(SettingsStore &store, const QPlainTextEdit &runLogBox, QWidget *owner);

private:
    void buildForm() override;
    void loadContents() override;

    const QPlainTextEdit &m_runLogBox;
    Ui::ZEMRA_LOG_OUTPUT_WINDOW m_form{};
};
