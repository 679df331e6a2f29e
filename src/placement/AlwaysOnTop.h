#pragma once

namespace Ui {
class ZEMRA_MAIN;
}
class Timer;

// Keeps the main window above other windows while "Always On Top" is ticked, by re-asserting
// its place at every tick of AlwaysOnTopTimer.
class AlwaysOnTop
{
public:
    // Connects the tickbox's change handling; form and timer outlive the connections.
    static void attach(Ui::ZEMRA_MAIN &form, Timer &timer);
};
