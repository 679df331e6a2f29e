#pragma once

#include "platform/DisplayServers.h"

#include <QString>

#include <vector>

// How a launch that passed the command line goes on, decided before Qt's application object
// exists: Qt aborts the process (status 134) when its platform cannot reach a display, and
// a scheduled job on a machine without a graphical session must not end that way.
namespace LaunchDecision {

// A launch without a window must end by itself: it runs only when the settings can be
// read and have AutoStart and AutoClose ticked, and otherwise ends at once with status
// EndsAtOnceStatus and its message, never waiting for a signal.
enum class Mode {
    Windowed,            // the usual launch
    Headless,            // --headless, unattended settings: offscreen platform
    UnattendedNoDisplay, // no display, unattended settings: as Headless
    NoDisplay,           // no display, settings not unattended: ends at once
    NothingToDo,         // --headless, settings not unattended: ends at once
    SettingsUnreadable,  // no window, and the settings cannot be read: ends at once
};

// What a launch without a window needs to know of the stored settings.
struct Settings
{
    bool readable = true;
    // AutoStart and AutoClose are both ticked.
    bool unattended = false;
};

// headlessRequested: --headless was given. showsWindows: the platform Qt would use can
// show windows (see platformShowsWindows). settings is looked at only for launches
// that show no window.
[[nodiscard]] Mode decide(bool headlessRequested, bool showsWindows, const Settings &settings);

// Whether the launch ends at once, with EndsAtOnceStatus, instead of starting.
[[nodiscard]] bool endsAtOnce(Mode mode);

// Whether Qt's platform can show windows. platform is Qt's platform choice, from -platform
// or else $QT_QPA_PLATFORM: a ';'-separated list of names Qt tries in turn, each perhaps
// followed by ':' and plugin options; empty when nothing was chosen, so that Qt uses the
// operating system's own window system (Windows, macOS) or else X11 or Wayland. Only
// "xcb" and "wayland..." need a display server; other plugins (offscreen, minimal, eglfs,
// vnc, windows, cocoa, ...) are left to Qt.
[[nodiscard]] bool platformShowsWindows(const QString &platform, const DisplayServers &servers);

// The one line on standard error for the modes without a window (without program name);
// empty for the others.
[[nodiscard]] QString message(Mode mode);

// The arguments for Qt's application object: the program's own, with "-platform
// offscreen" added last when the launch runs without a window, so that it overrides
// any earlier -platform and $QT_QPA_PLATFORM. The pointers refer to argv and to static
// text; the vector ends with a null pointer, which the count leaves out.
[[nodiscard]] std::vector<char *> qtArguments(int argc, char **argv, Mode mode);

inline constexpr int EndsAtOnceStatus = 2;

} // namespace LaunchDecision
