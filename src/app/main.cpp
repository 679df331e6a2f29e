#include "app/CommandLine.h"
#include "app/GuardedApplication.h"
#include "app/HistoryCommand.h"
#include "app/LaunchDecision.h"
#include "app/MainController.h"
#include "app/OneShotHistory.h"
#include "app/StartupCheck.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "measure/OneShotRun.h"
#include "platform/Log.h"
#include "platform/ProcessExecutableName.h"
#include "platform/QtClock.h"
#include "platform/QtPlatformDefaults.h"
#include "platform/SaveFileWriter.h"
#include "platform/SettingsBackend.h"
#include "platform/SizeQuery.h"
#include "platform/StandardOutputWriter.h"
#include "platform/StandardStreams.h"
#include "platform/SystemNumberLocale.h"
#include "platform/TerminationSignals.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/WindowZOrder.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// Ends the process once the event loop has returned: by the signal that asked it to end
// (signalNumber, 0 when none), else with status. A query blocked in a filesystem that does
// not answer is left behind: the process ends without waiting for it, and without static
// destructors that its thread could meet.
int leave(int status, int signalNumber, const ThreadWorkQueue &workQueue)
{
    if (signalNumber != 0)
        TerminationSignals::endBy(signalNumber);
    std::fflush(nullptr);
    if (workQueue.unfinished() > 0)
        std::_Exit(status);
    return status;
}

// --file or --folder with --log: one measurement at once, without a window or settings.
int measureOnce(int argc, char *argv[], const CommandLine::Parsed &commandLine,
                const StandardStreams::Found &streams)
{
    std::vector<char *> qtArguments =
        LaunchDecision::qtArguments(argc, argv, LaunchDecision::Mode::Headless);
    int qtArgumentCount = static_cast<int>(qtArguments.size()) - 1;
    GuardedApplication app(qtArgumentCount, qtArguments.data());

    ThreadWorkQueue workQueue;
    QtClock clock;
    SystemNumberLocale numberLocale;
    SaveFileWriter textFileWriter;
    StandardOutputWriter standardOutput(streams.outputClosed);
    // Made only to name the settings file, which a log path must not replace; not read.
    const QString settingsFile = createSettingsBackend()->storageFilePath();
    OneShotRun run(
        {clock, &createSizeQuery, numberLocale, textFileWriter, workQueue, standardOutput,
         ProcessExecutableName(QCoreApplication::arguments().value(0)).name(), settingsFile},
        {commandLine.folder, commandLine.target, commandLine.logPath});
    // After the run: its record into the size history, and its alarms.
    OneShotHistory history(
        HistoryStore(HistoryStore::defaultPath()),
        {!commandLine.noHistory, commandLine.alertAbove, commandLine.alertGrowth}, workQueue,
        clock);
    QObject::connect(&run, &OneShotRun::finished, &history,
                     [&history, &run](int status) { history.afterRun(status, run.record()); });
    QObject::connect(&history, &OneShotHistory::finished, &app, &QCoreApplication::exit);
    TerminationSignals terminationSignals;
    int endingSignal = 0;
    QObject::connect(&terminationSignals, &TerminationSignals::received, &run,
                     [&run, &endingSignal](int signalNumber) {
                         endingSignal = signalNumber;
                         run.cancelOnSignal(signalNumber);
                     });
    QObject::connect(&terminationSignals, &TerminationSignals::received, &history,
                     &OneShotHistory::cancelOnSignal);
    QMetaObject::invokeMethod(&run, &OneShotRun::start, Qt::QueuedConnection);
    const int status = app.exec();
    return leave(status, endingSignal, workQueue);
}

// --history PATH: the records of one target, without a window or settings. The application
// object is there for Qt SQL's driver plugin.
int showHistory(int argc, char *argv[], const CommandLine::Parsed &commandLine)
{
    std::vector<char *> qtArguments =
        LaunchDecision::qtArguments(argc, argv, LaunchDecision::Mode::Headless);
    int qtArgumentCount = static_cast<int>(qtArguments.size()) - 1;
    const QCoreApplication app(qtArgumentCount, qtArguments.data());
    return HistoryCommand::run(HistoryStore(HistoryStore::defaultPath()), commandLine.historyTarget,
                               commandLine.since);
}

} // namespace

int main(int argc, char *argv[])
{
    const StandardStreams::Found streams = StandardStreams::prepare();
    Log::install();
    QtPlatformDefaults::apply();
    // The command line and the display are checked before QApplication exists: it aborts
    // the process when its platform cannot reach a display.
    const QString programName = StartupCheck::programName(argv[0]);
    const CommandLine::Parsed commandLine = CommandLine::parse(StartupCheck::arguments(argc, argv));
    if (commandLine.action == CommandLine::Action::MeasureOnce)
        return measureOnce(argc, argv, commandLine, streams);
    if (commandLine.action == CommandLine::Action::ShowHistory)
        return showHistory(argc, argv, commandLine);
    if (commandLine.action != CommandLine::Action::Run)
        return CommandLine::answer(commandLine, programName);

    // The settings are read once per launch: here when a launch without a window needs them
    // to decide, else once the application object can name the executable.
    const std::unique_ptr<SettingsBackend> settingsBackend = createSettingsBackend();
    std::optional<SettingsStore> store;
    const LaunchDecision::Mode mode =
        StartupCheck::decide(commandLine, programName, [&]() -> const SettingsStore & {
            store.emplace(*settingsBackend, ProcessExecutableName::fromFileName(programName));
            return *store;
        });
    if (LaunchDecision::endsAtOnce(mode))
        return LaunchDecision::EndsAtOnceStatus;
    std::vector<char *> qtArguments = LaunchDecision::qtArguments(argc, argv, mode);
    int qtArgumentCount = static_cast<int>(qtArguments.size()) - 1;

    GuardedApplication app(qtArgumentCount, qtArguments.data());

    ProcessExecutableName executableName(QCoreApplication::arguments().value(0));
    if (!store)
        store.emplace(*settingsBackend, executableName.name());
    ThreadWorkQueue workQueue;
    QtClock clock;
    SystemNumberLocale numberLocale;
    SaveFileWriter textFileWriter;
    const std::unique_ptr<WindowZOrder> zOrder = createWindowZOrder();
    MainController controller(
        {clock, executableName, &createSizeQuery, numberLocale, textFileWriter, *zOrder, workQueue},
        *store);
    // Every run adds its record to the size history, away from the window's thread.
    std::optional<HistoryRecorder> recorder;
    if (!commandLine.noHistory)
        recorder.emplace(HistoryStore(HistoryStore::defaultPath()), workQueue);
    controller.keepHistory(HistoryStore(HistoryStore::defaultPath()),
                           recorder ? &*recorder : nullptr);
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::received, &app,
                     [&controller](int signalNumber) { controller.closeOnSignal(signalNumber); });
    controller.window().show();
    // A scheduled unattended launch can tell from the exit status whether its run failed.
    const int status = controller.exitStatus(app.exec());
    // A signal asked for an end within a second: the history gets half of it.
    if (recorder)
        recorder->waitForWrites(controller.endingSignal() != 0 ? std::chrono::milliseconds(500)
                                                               : HistoryRecorder::ExitWait);
    return leave(status, controller.endingSignal(), workQueue);
}
