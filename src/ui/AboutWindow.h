#pragma once

#include "ui/SecondaryWindow.h"
#include "ui_AboutWindow.h"

// The About window ZEMRA_ABOUT: title, version, creator and freeware labels. Double-clicking
// the creator label shows the author's e-mail address instead, until the window closes. It
// has no task-bar entry; OK is its default button (Enter).
class AboutWindow final : public SecondaryWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutWindow)

public:
    // The store must outlive this window; owner (the main window) owns it.
    AboutWindow(SettingsStore &store, QWidget *owner);

    // What a double click puts in the creator label.
    [[nodiscard]] static QString authorAddress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm() override;

    Ui::ZEMRA_ABOUT m_form{};
};
