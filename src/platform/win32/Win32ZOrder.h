#pragma once

#include "platform/WindowZOrder.h"

// WindowZOrder through user32: GetForegroundWindow, and SetWindowPos with HWND_NOTOPMOST or
// HWND_TOPMOST, position and size 0 and exactly SWP_NOMOVE | SWP_NOSIZE (3). The results of
// SetWindowPos are ignored; with a null or stale handle the call fails without effect.
// Includes no Qt, so that it compile-checks with a bare MinGW cross compiler.
class Win32ZOrder final : public WindowZOrder
{
public:
    [[nodiscard]] NativeWindowId foregroundWindow() override;
    void demote(NativeWindowId window) override;
    void promote(NativeWindowId window) override;
};
