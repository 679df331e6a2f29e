#include "app/LaunchDecision.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

LaunchDecision::Mode LaunchDecision::decide(bool headlessRequested, bool showsWindows,
                                            const Settings &settings)
{
    if (!headlessRequested && showsWindows)
        return Mode::Windowed;
    if (!settings.readable)
        return Mode::SettingsUnreadable;
    if (headlessRequested)
        return settings.unattended ? Mode::Headless : Mode::NothingToDo;
    return settings.unattended ? Mode::UnattendedNoDisplay : Mode::NoDisplay;
}

bool LaunchDecision::endsAtOnce(Mode mode)
{
    return mode == Mode::NoDisplay || mode == Mode::NothingToDo || mode == Mode::SettingsUnreadable;
}

bool LaunchDecision::platformShowsWindows(const QString &platform, const DisplayServers &servers)
{
    if (platform.trimmed().isEmpty())
        return servers.x11 || servers.wayland;
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
        return u"no display reachable (neither X11 nor Wayland). Tick AutoStart and AutoClose "
               "for unattended runs, or measure once with --folder PATH --log FILE."_s;
    case Mode::NothingToDo:
        return u"AutoStart and AutoClose are not both ticked, so a headless launch has "
               "nothing to do. Tick both in the window, or measure once with --folder PATH "
               "--log FILE."_s;
    case Mode::SettingsUnreadable:
        return u"the settings cannot be read, so there is nothing to run without a window"_s;
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
