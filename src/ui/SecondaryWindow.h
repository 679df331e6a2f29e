#pragma once

#include "placement/WindowPlacement.h"

#include <QDialog>

class SettingsStore;

// The four settings entries that keep a window's geometry.
struct WindowEntries
{
    Setting left;
    Setting top;
    Setting width;
    Setting height;
};

// A secondary window of the main window (the log output and About windows): fixed in size,
// a close box only, owned by the main window and shown modally over it.
//
// Each opening loads the window afresh: the controls of the previous opening are discarded
// and built again from the form's definition, the geometry is restored from the window's
// four entries, then the window's own contents are loaded. However it closes (OK, the close
// box, Escape, or the program closing it), it writes its left and then its top entry; OK
// writes them once more just before it closes. Width and height are never written.
class SecondaryWindow : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SecondaryWindow)

public:
    ~SecondaryWindow() override = default;

    // Loads the window and shows it modally over its owner. Returns once the window has
    // closed; the event loop runs meanwhile, so the owner's timers keep ticking.
    void showModal();

protected:
    // type: Qt::Window for a window with a task-bar entry, Qt::Dialog for one without.
    // The store and the owner must outlive the window; the owner also owns it.
    SecondaryWindow(SettingsStore &store, const WindowEntries &entries, Qt::WindowType type,
                    QWidget *owner);

    // Builds the controls from the form's definition and connects them. The window has no
    // controls when this is called.
    virtual void buildForm() = 0;

    // The part of the load that follows the geometry. Does nothing by default.
    virtual void loadContents() {}

    // OK: writes the position, then closes the window.
    void acceptOk();

    void done(int result) override;

private:
    // Writes the left and then the top entry, and saves them.
    void savePosition();

    SettingsStore &m_store;
    WindowPlacement m_placement;
};
