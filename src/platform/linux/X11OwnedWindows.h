#pragma once

#include <QObject>
#include <QSet>

#include <cstdint>

struct xcb_connection_t;

// Declares the owner of the program's normal-type windows to the X11 window manager.
//
// Qt declares a window as transient for its parent (WM_TRANSIENT_FOR) only when it is of
// dialog type, and removes the declaration from every other window each time it maps one.
// A window of normal type that has an owner (the log output window: normal, so that task
// bars list it) is then unknown to the window manager as owned, and an owner in the above
// layer covers it even while it is modal. Windows itself keeps owned windows above their
// owner; this gives X11 window managers what they need to do the same: on the first
// exposure after each mapping, such a window is declared transient for its owner.
//
// Watches every window of the application through an event filter on it, from construction
// until destruction.
class X11OwnedWindows final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(X11OwnedWindows)

public:
    // connection: the application's connection to the X server, not owned; it must outlive
    // this object.
    explicit X11OwnedWindows(xcb_connection_t *connection);
    ~X11OwnedWindows() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    xcb_connection_t *m_connection;
    // Native windows declared since they were last mapped.
    QSet<std::uint32_t> m_declared;
};
