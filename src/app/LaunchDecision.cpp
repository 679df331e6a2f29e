#include "app/LaunchDecision.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

LaunchDecision::Mode LaunchDecision::decide(bool headlessRequested, bool showsWindows,
                                            bool unattended)
{
    if (headlessRequested)
        return Mode::Headless;
    if (showsWindows)
        return Mode::Windowed;
    return unattended ? Mode::UnattendedNoDisplay : Mode::NoDisplay;
}

bool LaunchDecision::platformShowsWindows(const QString &platform, const DisplayServers &servers)
{
    if (platform.trimmed().isEmpty())
        return servers.native || servers.x11 || servers.wayland;
    for (const QString &candidate : platform.split(u';', Qt::SkipEmptyParts)) {
        const QString name = candidate.section(u':', 0, 0).trimmed();
        if (name == "xcb"_L1) {
            if (servers.x11)
                return true;
        } else if (name.startsWith("wayland"_L1)) {
            if (servers.wayland)
                return true;
        } else if (!name.isEmpty()) {
            return true;
        }
    }
    return false;
}

QString LaunchDecision::message(Mode mode)
{
    switch (mode) {
    case Mode::UnattendedNoDisplay:
        return u"no display reachable; AutoStart and AutoClose are ticked, so running "
               "unattended without a window"_s;
    case Mode::NoDisplay:
        return u"no display reachable (neither X11 nor Wayland). Use --headless to run "
               "without a window, or tick AutoStart and AutoClose for unattended runs."_s;
    case Mode::Windowed:
    case Mode::Headless:
        break;
    }
    return {};
}

std::vector<char *> LaunchDecision::qtArguments(int argc, char **argv, Mode mode)
{
    static char platformOption[] = "-platform";
    static char offscreen[] = "offscreen";
    std::vector<char *> arguments(argv, argv + argc);
    if (mode == Mode::Headless || mode == Mode::UnattendedNoDisplay) {
        arguments.push_back(platformOption);
        arguments.push_back(offscreen);
    }
    arguments.push_back(nullptr);
    return arguments;
}
