#pragma once

#include "app/CommandLine.h"
#include "app/LaunchDecision.h"

#include <QString>
#include <QStringList>

#include <functional>

class SettingsStore;

// What main() finds out before Qt's application object exists: the program's name, its
// arguments, and how the launch goes on (LaunchDecision) given the environment, the display
// servers that answer and the stored settings. Nothing here needs an application object.
namespace StartupCheck {

// The file name the program was started under (argv[0] without its folder).
[[nodiscard]] QString programName(const char *argv0);
[[nodiscard]] QStringList arguments(int argc, char **argv);

// For a command line whose action is Run. Probes the display servers only when needed
// and asks for the settings (settings() reads them on its first call) only when no
// display answers or for --headless. Prints the one-line notice or error of the decided
// mode on standard error, prefixed with programName.
[[nodiscard]] LaunchDecision::Mode decide(const CommandLine::Parsed &commandLine,
                                          const QString &programName,
                                          const std::function<const SettingsStore &()> &settings);

// Whether a Qt platform plugin whose name starts with name ("xcb", "wayland") is in a
// "platforms" subfolder of one of pluginFolders. A display is of no use to Qt without
// its plugin (Wayland's comes in a package of its own).
[[nodiscard]] bool platformPluginInstalled(const QString &name, const QStringList &pluginFolders);

// Where Qt looks for plugins: $QT_PLUGIN_PATH, then Qt's own plugin folder.
[[nodiscard]] QStringList pluginFolders();

// What the stored settings say for a launch without a window: whether they could be
// read, and whether AutoStart and AutoClose are both ticked (the value 1; absent or
// unusable entries count as unticked).
[[nodiscard]] LaunchDecision::Settings outlook(const SettingsStore &store);

} // namespace StartupCheck
