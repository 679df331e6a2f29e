#pragma once

#include "platform/linux/X11OwnedWindows.h"
#include "platform/WindowZOrder.h"

#include <cstdint>

struct xcb_connection_t;

// WindowZOrder for X11 window managers that follow the EWMH: the foreground window is the
// root window's _NET_ACTIVE_WINDOW, and demote and promote ask the window manager to remove
// or add _NET_WM_STATE_ABOVE for the window, with a _NET_WM_STATE client message sent to the
// root window. The window manager carries the requests out, or ignores them, after the call
// returns. A window id of 0 sends nothing.
//
// A promoted window's modal windows must stay above it, as Windows keeps owned windows above
// their owner; for the owned windows that Qt does not declare so, X11OwnedWindows does, for as
// long as this object lives.
//
// Works on the first screen of the display, the only one a usual X session has.
class X11ZOrder final : public WindowZOrder
{
public:
    // connection: the application's own connection to the X server, not owned; it must
    // outlive this object. Interns the three atoms (a blocking round trip each).
    explicit X11ZOrder(xcb_connection_t *connection);

    [[nodiscard]] NativeWindowId foregroundWindow() override;
    void demote(NativeWindowId window) override;
    void promote(NativeWindowId window) override;

private:
    [[nodiscard]] std::uint32_t internAtom(const char *name);
    void changeAbove(NativeWindowId window, std::uint32_t action);

    xcb_connection_t *m_connection;
    std::uint32_t m_root;
    std::uint32_t m_activeWindow;
    std::uint32_t m_wmState;
    std::uint32_t m_wmStateAbove;
    X11OwnedWindows m_ownedWindows;
};
