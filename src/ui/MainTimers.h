#pragma once

class Timer;

// The main window's five timers, named as the window's other controls are. The window owns
// them; each starts disabled and without an interval.
struct MainTimers
{
    Timer *FIVE_MIN_REPEAT_TIMER = nullptr;
    Timer *AUTOCLOSE_TIMER = nullptr;
    Timer *AlwaysOnTopTimer = nullptr;
    Timer *AUTOSTART_TIMER = nullptr;
    Timer *FILE_FOLDER_SIZER_TIMER = nullptr;
};
