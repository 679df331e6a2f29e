#include "app/CommandLine.h"
#include "app/GuardedApplication.h"
#include "app/LaunchDecision.h"
#include "app/MainController.h"
#include "app/StartupCheck.h"
#include "platform/Log.h"
#include "platform/ProcessExecutableName.h"
#include "platform/QtClock.h"
#include "platform/QtPlatformDefaults.h"
#include "platform/SaveFileWriter.h"
#include "platform/SettingsBackend.h"
#include "platform/SizeQuery.h"
#include "platform/SystemNumberLocale.h"
#include "platform/ThreadPoolWorkQueue.h"
#include "platform/WindowZOrder.h"

int main(int argc, char *argv[])
{
    // The command line and the display are checked before QApplication exists: it aborts
    // the process when its platform cannot reach a display.
    const QString programName = StartupCheck::programName(argv[0]);
    const CommandLine::Parsed commandLine = CommandLine::parse(StartupCheck::arguments(argc, argv));
    if (commandLine.action != CommandLine::Action::Run)
        return CommandLine::answer(commandLine, programName);
    const LaunchDecision::Mode mode = StartupCheck::decide(commandLine, programName);
    if (mode == LaunchDecision::Mode::NoDisplay)
        return LaunchDecision::NoDisplayStatus;
    QtPlatformDefaults::apply();
    std::vector<char *> qtArguments = LaunchDecision::qtArguments(argc, argv, mode);
    int qtArgumentCount = static_cast<int>(qtArguments.size()) - 1;

    Log::install();
    GuardedApplication app(qtArgumentCount, qtArguments.data());

    // Made first, so that it is destroyed last: it waits for a cancelled query to finish.
    ThreadPoolWorkQueue workQueue;
    QtClock clock;
    const std::unique_ptr<SettingsBackend> settings = createSettingsBackend();
    ProcessExecutableName executableName(QCoreApplication::arguments().value(0));
    SystemNumberLocale numberLocale;
    SaveFileWriter textFileWriter;
    const std::unique_ptr<WindowZOrder> zOrder = createWindowZOrder();
    MainController controller({clock, *settings, executableName, &createSizeQuery, numberLocale,
                               textFileWriter, *zOrder, workQueue});
    controller.window().show();
    const int status = app.exec();
    // A scheduled unattended launch can tell from the exit status whether its run failed.
    return status != 0 ? status : (controller.lastRunFailed() ? 1 : 0);
}
