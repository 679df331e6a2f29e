#pragma once

#include <cstdint>
#include <memory>

// A top-level window as the window system names it: an HWND on Windows, an X11 window id on
// X11 (the same value as Qt's WId, which QWindow::winId() answers). 0 names no window.
using NativeWindowId = std::uintptr_t;

// The window system's stacking of top-level windows, as far as keeping one window above the
// others needs it. Free of Qt, so that the Windows implementation compiles without it.
//
// The topmost band is the set of windows that the window system keeps above all ordinary
// windows. Neither operation moves, resizes or activates any window; neither reports
// failure: a window that no longer exists, or 0, is passed to the window system as is and
// the call has no effect.
class WindowZOrder
{
public:
    virtual ~WindowZOrder() = default;

    // The window that has the foreground (keyboard focus) now, of any program; 0 when none.
    [[nodiscard]] virtual NativeWindowId foregroundWindow() = 0;

    // Takes the window out of the topmost band.
    virtual void demote(NativeWindowId window) = 0;

    // Puts the window into the topmost band, above the windows already there.
    virtual void promote(NativeWindowId window) = 0;
};

// The platform's real z-order: user32 on Windows; EWMH through xcb under an X11 session;
// elsewhere (Wayland, other systems) Qt's stay-on-top window flag, which can only promote
// the program's own windows. Call after the application object exists.
[[nodiscard]] std::unique_ptr<WindowZOrder> createWindowZOrder();
