#pragma once

#include "platform/DisplayServers.h"

#include <QString>

#include <vector>

// How a launch that passed the command line goes on, decided before Qt's application object
// exists: Qt aborts the process (status 134) when its platform cannot reach a display, and
// a scheduled job on a machine without a graphical session must not end that way.
class LaunchDecision
{
public:
    enum class Mode {
        Windowed,            // the usual launch
        Headless,            // --headless: offscreen platform, no window shown
        UnattendedNoDisplay, // no display, AutoStart and AutoClose ticked: as Headless
        NoDisplay,           // no display and no unattended settings: exit with an error
    };

    // headlessRequested: --headless was given. showsWindows: the platform Qt would use can
    // show windows (see platformShowsWindows). unattended: the stored AutoStart and
    // AutoClose tickboxes are both ticked.
    [[nodiscard]] static Mode decide(bool headlessRequested, bool showsWindows, bool unattended);

    // Whether Qt's platform can show windows. platform is Qt's platform choice, from -platform
    // or else $QT_QPA_PLATFORM: a ';'-separated list of names Qt tries in turn, each perhaps
    // followed by ':' and plugin options; empty when nothing was chosen, so that Qt uses the
    // operating system's own window system (Windows, macOS) or else X11 or Wayland. Only
    // "xcb" and "wayland..." need a display server; other plugins (offscreen, minimal, eglfs,
    // vnc, windows, cocoa, ...) are left to Qt.
    [[nodiscard]] static bool platformShowsWindows(const QString &platform,
                                                   const DisplayServers &servers);

    // The one line on standard error for the two display-less modes (without program name).
    [[nodiscard]] static QString message(Mode mode);

    // The arguments for Qt's application object: the program's own, with "-platform
    // offscreen" added last when the launch runs without a window, so that it overrides
    // any earlier -platform and $QT_QPA_PLATFORM. The pointers refer to argv and to static
    // text; the vector ends with a null pointer, which the count leaves out.
    [[nodiscard]] static std::vector<char *> qtArguments(int argc, char **argv, Mode mode);

    static constexpr int NoDisplayStatus = 2;
};
