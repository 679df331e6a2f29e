#pragma once

// Which window systems this process could show windows on right now, asked before Qt's
// application object exists (Qt aborts the process when its platform plugin cannot connect).
//
// On Linux each check opens a connection and closes it at once: X11 at $DISPLAY, Wayland at
// the compositor socket $WAYLAND_DISPLAY (relative to $XDG_RUNTIME_DIR). An unset or empty
// variable answers false, as does a check that cannot connect for whatever reason; nothing
// fails.
// Where the operating system has one window system of its own (Windows, macOS), native
// answers true and the other two false: there is always a desktop to show windows on, and
// Qt uses it when no platform is named.
class DisplayServers
{
public:
    bool x11 = false;
    bool wayland = false;
    bool native = false;

    [[nodiscard]] static DisplayServers probe();
};
