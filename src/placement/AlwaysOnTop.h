#pragma once

#include "platform/WindowZOrder.h"

class QWidget;

// Keeps the main window above other windows while "Always On Top" is ticked, by polling:
// AlwaysOnTopTimer ticks only while the tickbox is ticked (its change handling switches the
// timer), and each tick that finds another window in the foreground takes that window out
// of the topmost band and puts the main window into it. No window is ever moved or resized.
// Unticking only stops the ticks: a main window already placed on top stays there until the
// program ends.
namespace AlwaysOnTop {

// One tick: asks for the foreground window and, unless it is the main window, asks again
// and demotes the window of that second answer (it may have changed meanwhile; 0 is demoted
// as well and has no effect), then promotes the main window.
void reassert(const QWidget &mainWindow, WindowZOrder &zOrder);

} // namespace AlwaysOnTop
