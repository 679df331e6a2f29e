#include "app/StartupCheck.h"

#include "platform/CommandLineOutput.h"
#include "platform/ProcessExecutableName.h"
#include "platform/SettingsBackend.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

// A notice goes to standard error only; an error that ends the launch is shown in a message
// box when standard error leads nowhere (see CommandLineOutput).
enum class Severity { Notice, EndsLaunch };

void printLine(const QString &programName, const QString &line, Severity severity)
{
    const QString text = programName + u": "_s + line + u'\n';
    if (severity == Severity::EndsLaunch)
        CommandLineOutput::printOrShow(CommandLineOutput::Stream::Error, text, programName);
    else
        CommandLineOutput::print(CommandLineOutput::Stream::Error, text);
}

bool unattendedForCurrentUser(const QString &programName)
{
    const std::unique_ptr<SettingsBackend> backend = createSettingsBackend();
    return StartupCheck::unattended(*backend, ProcessExecutableName::fromFileName(programName));
}

} // namespace

QString StartupCheck::programName(const char *argv0)
{
    const QString name = QFileInfo(QString::fromLocal8Bit(argv0 ? argv0 : "")).fileName();
    return name.isEmpty() ? u"zemra"_s : name;
}

QStringList StartupCheck::arguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

LaunchDecision::Mode StartupCheck::decide(const CommandLine::Parsed &commandLine,
                                          const QString &programName)
{
    if (commandLine.headless) {
        // Nothing but a signal ends a launch that shows no window and does not close itself.
        if (!unattendedForCurrentUser(programName))
            printLine(programName,
                      u"AutoStart and AutoClose are not both ticked; this headless launch runs "
                      "until it is ended by a signal"_s,
                      Severity::Notice);
        return LaunchDecision::Mode::Headless;
    }
    const QString platform = commandLine.platform.isEmpty()
                                 ? qEnvironmentVariable("QT_QPA_PLATFORM")
                                 : commandLine.platform;
    // A platform such as offscreen shows windows whatever the display servers say: then
    // neither is connected to nor are the plugin folders searched.
    bool showsWindows = LaunchDecision::platformShowsWindows(platform, {true, true, true});
    if (showsWindows != LaunchDecision::platformShowsWindows(platform, {false, false, false})) {
        DisplayServers servers = DisplayServers::probe();
        // Only X11 and Wayland have plugins apart from Qt's own (Wayland's in a package of
        // its own); the operating system's window system needs nothing more to be found.
        const QStringList folders = pluginFolders();
        servers.x11 = servers.x11 && platformPluginInstalled(u"xcb"_s, folders);
        servers.wayland = servers.wayland && platformPluginInstalled(u"wayland"_s, folders);
        showsWindows = LaunchDecision::platformShowsWindows(platform, servers);
    }
    const LaunchDecision::Mode mode = LaunchDecision::decide(
        false, showsWindows, !showsWindows && unattendedForCurrentUser(programName));
    const QString message = LaunchDecision::message(mode);
    if (!message.isEmpty())
        printLine(programName, message,
                  mode == LaunchDecision::Mode::NoDisplay ? Severity::EndsLaunch
                                                          : Severity::Notice);
    return mode;
}

bool StartupCheck::platformPluginInstalled(const QString &name, const QStringList &pluginFolders)
{
    // Qt's platform plugins are files such as libqxcb.so and libqwayland-egl.so.
    const QStringList patterns{u"libq"_s + name + u"*.so"_s, u"q"_s + name + u"*.dll"_s,
                               u"libq"_s + name + u"*.dylib"_s};
    for (const QString &folder : pluginFolders) {
        const QDir platforms(folder + u"/platforms"_s);
        if (!platforms.entryList(patterns, QDir::Files).isEmpty())
            return true;
    }
    return false;
}

QStringList StartupCheck::pluginFolders()
{
    QStringList folders =
        qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    folders.append(QLibraryInfo::path(QLibraryInfo::PluginsPath));
    return folders;
}

bool StartupCheck::unattended(SettingsBackend &backend, const QString &section)
{
    const SettingsStore store(backend, section);
    return store.readTick(Setting::AutoStartTick) == 1 &&
           store.readTick(Setting::AutoCloseTick) == 1;
}
