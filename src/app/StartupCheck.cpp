#include "app/StartupCheck.h"

#include "platform/CommandLineOutput.h"
#include "platform/PathText.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

void printLine(const QString &programName, const QString &line)
{
    CommandLineOutput::print(CommandLineOutput::Stream::Error,
                             programName + u": "_s + line + u'\n');
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
        arguments.append(PathText::fromNativeBytes(QByteArray(argv[i])));
    return arguments;
}

LaunchDecision::Mode StartupCheck::decide(const CommandLine::Parsed &commandLine,
                                          const QString &programName,
                                          const std::function<const SettingsStore &()> &settings)
{
    const QString platform = commandLine.platform.isEmpty()
                                 ? qEnvironmentVariable("QT_QPA_PLATFORM")
                                 : commandLine.platform;
    // A platform such as offscreen shows windows whatever the display servers say: then
    // neither is connected to nor are the plugin folders searched.
    bool showsWindows = LaunchDecision::platformShowsWindows(platform, {true, true, true});
    if (!commandLine.headless &&
        showsWindows != LaunchDecision::platformShowsWindows(platform, {false, false, false})) {
        DisplayServers servers = DisplayServers::probe();
        // Only X11 and Wayland have plugins apart from Qt's own (Wayland's in a package of
        // its own); the operating system's window system needs nothing more to be found.
        const QStringList folders = pluginFolders();
        servers.x11 = servers.x11 && platformPluginInstalled(u"xcb"_s, folders);
        servers.wayland = servers.wayland && platformPluginInstalled(u"wayland"_s, folders);
        showsWindows = LaunchDecision::platformShowsWindows(platform, servers);
    }
    const bool windowless = commandLine.headless || !showsWindows;
    const LaunchDecision::Mode mode =
        LaunchDecision::decide(commandLine.headless, showsWindows,
                               windowless ? outlook(settings()) : LaunchDecision::Settings{});
    const QString message = LaunchDecision::message(mode);
    if (!message.isEmpty())
        printLine(programName, message);
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

LaunchDecision::Settings StartupCheck::outlook(const SettingsStore &store)
{
    return {store.unreadable().isEmpty(), store.readTick(Setting::AutoStartTick) == 1 &&
                                              store.readTick(Setting::AutoCloseTick) == 1};
}
