#pragma once

#include "platform/WindowZOrder.h"

class QWidget;

// WindowZOrder for window systems that let a program neither read nor change the stacking of
// other programs' windows (Wayland among them). It sees only this program's own windows:
// the foreground window is this program's active window (0 while another program has the
// foreground), and demote and promote clear or set Qt's stay-on-top flag on one of this
// program's top-level windows; for any other id they do nothing. Whether the flag keeps a
// window above the others is up to the compositor.
//
// Changing the flag makes the window system create the window anew, so the window's native
// id changes; a visible window is shown again at once.
class QtFlagZOrder final : public WindowZOrder
{
public:
    [[nodiscard]] NativeWindowId foregroundWindow() override;
    void demote(NativeWindowId window) override;
    void promote(NativeWindowId window) override;

private:
    static void setStaysOnTop(NativeWindowId window, bool staysOnTop);
    [[nodiscard]] static QWidget *findTopLevel(NativeWindowId window);
};
