#include "platform/win32/Win32ZOrder.h"

#include <windows.h>

namespace {

// SWP_NOMOVE | SWP_NOSIZE and nothing else: no SWP_NOACTIVATE, so the call may also bring
// the window forward, as the plain call does.
constexpr UINT KeepPositionAndSize = SWP_NOMOVE | SWP_NOSIZE;
static_assert(KeepPositionAndSize == 3);

void insertAfter(NativeWindowId window, HWND band)
{
    SetWindowPos(reinterpret_cast<HWND>(window), band, 0, 0, 0, 0, KeepPositionAndSize);
}

} // namespace

NativeWindowId Win32ZOrder::foregroundWindow()
{
    return reinterpret_cast<NativeWindowId>(GetForegroundWindow());
}

void Win32ZOrder::demote(NativeWindowId window)
{
    insertAfter(window, HWND_NOTOPMOST);
}

void Win32ZOrder::promote(NativeWindowId window)
{
    insertAfter(window, HWND_TOPMOST);
}
