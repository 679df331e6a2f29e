#pragma once

#include "platform/WindowZOrder.h"

class QWidget;

// The native id of a top-level widget as the window system knows it now.
namespace NativeWindow {

// 0 while the widget has no native window (before it is first shown). Read from its
// QWindow each time: a change of window flags replaces the native window, and the id
// the widget itself cached can then be stale.
[[nodiscard]] NativeWindowId id(const QWidget &window);

} // namespace NativeWindow
