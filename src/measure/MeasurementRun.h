#pragma once

#include "history/HistoryRecord.h"
#include "measure/RunInputs.h"
#include "measure/StallWatch.h"
#include "platform/SizeQuery.h"
#include "platform/WriteResult.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Clock;
class InputLock;
class MainWindow;
class NumberLocale;
class SettingsStore;
class TextFileWriter;
class Timer;
class WorkQueue;

// One measurement run: the handling of a tick of FILE_FOLDER_SIZER_TIMER. It saves both
// paths, sizes the target as a file and/or a folder as the target tickboxes say, fills the
// size display, composes the run log, writes it to the log file and hands the window over to
// Ready or to the autoclose countdown, in that order.
//
// Each size query runs on the work queue, away from the user-interface thread; the run
// resumes with its next step when the answer arrives. Meanwhile the window repaints, shows
// the busy cursor and ignores input except the START/STOP button and the close box; after
// half a second the size display shows the bytes found so far, at most five times a second.
// The run takes its timer's enabled flag off while a query is under way, so the timer cannot
// start a second run meanwhile; a run requested during the query enables it again and
// happens at a later tick, after this run has ended.
//
// A failed step ends the run truthfully instead of leaving an earlier result on record: a
// failed size query skips any later pass, empties the size display and turns the run log
// into an error report naming the reason; a log file that cannot be written is a failure
// too. The status then keeps an error text instead of "!!! COMPLETED !!!" and the hand-over
// state's own text, while the hand-over itself still happens, so a new run can be
// requested. A run that measured nothing because neither target kind is ticked still writes
// its log file (the run log the box holds) and shows the run's own texts, but counts as
// failed: the tooltip says why and the launch's exit status is 1. Every failed run prints
// one line on standard error with the reasons the status line's tooltip gives.
//
// Nothing the run does on the filesystem happens on the user-interface thread: the size
// queries and the log file's write (with its check that the log is not the target or the
// settings file) both run on the work queue, with the window locked as during a query. Work
// that does not answer never holds the program: cancelling abandons it (its answer, if it
// ever comes, is ignored) and the next piece of work gets a thread of its own. While
// MaxAbandoned abandoned pieces are still blocked, a new run's query fails at once, naming
// what they wait on. A query that makes no progress for a while prints one line on standard
// error naming the folder it waits on (StallWatch).
class MeasurementRun
{
public:
    using SizeQueryFactory = std::function<std::unique_ptr<SizeQuery>()>;

    // Every reference outlives the run.
    MeasurementRun(MainWindow &window, SettingsStore &store, QString executableName,
                   SizeQueryFactory createSizeQuery, const NumberLocale &numberLocale,
                   TextFileWriter &textFileWriter, WorkQueue &workQueue, Clock &clock);
    ~MeasurementRun();
    MeasurementRun(const MeasurementRun &) = delete;
    MeasurementRun &operator=(const MeasurementRun &) = delete;

    // Connects the run to its timer.
    void attach();

    // The timer's tick: starts a run, unless one is waiting for its size query.
    void perform();

    // What cancel() stopped.
    enum class Cancelled {
        Nothing,     // no work was under way
        Measurement, // a size query: no log file was written
        LogWrite,    // the log file's write, which may or may not still complete
    };

    // Cancels the work under way: the run ends at once without a hand-over (the caller puts
    // the window in the state it wants). A size query is abandoned before the log file is
    // written, and the size display shows again what it showed before the pass; the query
    // itself stops on its thread shortly after. A log write is abandoned where it waits.
    // Counts as a failed run.
    Cancelled cancel();

    // Whether the latest run failed or was cancelled (false before any run).
    [[nodiscard]] bool lastRunFailed() const { return m_lastRunFailed; }

    // The current run log (the placeholder before the first pass), as the main window's run
    // log box shows it: followed by the reason the last run could not write it, if so.
    [[nodiscard]] QString shownRunLog() const;

    // A notice the status line's tooltip keeps above the reasons of every run (the settings
    // could not be read); shown at once.
    void setStandingNotice(const QString &notice);

    // Called at the end of every run that hands over (a cancelled run does not), after the
    // hand-over, with the run's size history record when it measured: the last pass's
    // target, kind, counts and time, and its outcome (good, or the run's failure reasons).
    // nullopt for a run that measured nothing.
    using RunEnded = std::function<void(const std::optional<HistoryRecord> &)>;
    void setRunEndedHandler(RunEnded handler) { m_runEnded = std::move(handler); }

    static constexpr std::size_t MaxAbandoned = 8;

private:
    enum class TargetKind { File, Folder };
    struct Pending;
    struct Query;
    struct LogWrite;

    void startPass(TargetKind kind);
    void passAnswered(TargetKind kind, const SizeResult &result);
    // What follows the file pass: the folder pass, or the end of the run.
    void continueAfter(TargetKind kind);
    // Writes the log file on the work queue, unless it is the target or the settings file,
    // then hands over.
    void finish();
    void logWritten(const WriteResult &written);
    // Locks the window while work runs on the work queue; endWork() releases it.
    void awaitWork();
    // Shows the outcome (status, its tooltip) and hands over to Ready or to the autoclose
    // countdown.
    void handOver();
    // Runs one step of the run; an exception ends the run as a failure instead of
    // escaping to the event loop.
    void guarded(const std::function<void()> &step);
    // Ends a run that an exception cut short, as a failure with reason.
    void abandon(const QString &reason);
    void showProgress();
    void endWork();
    // Sets the status line's tooltip: the standing notice, then reasons, one per line.
    void showReasons(const QStringList &reasons);
    // A reason for a new query to fail at once, while too many abandoned ones are still
    // blocked; empty otherwise.
    [[nodiscard]] QString abandonedLimitReason();
    QString composeLog(const QString &targetLabel, const QString *errorReason) const;

    MainWindow &m_window;
    SettingsStore &m_store;
    QString m_executableName;
    SizeQueryFactory m_createSizeQuery;
    const NumberLocale &m_numberLocale;
    TextFileWriter &m_textFileWriter;
    WorkQueue &m_workQueue;
    // Answers are delivered only while it exists; it also owns the progress timer.
    QObject m_context;
    Timer *m_progressTimer;
    std::unique_ptr<InputLock> m_inputLock;

    // What the runs produce and the boxes show: the current run log (what the log file
    // gets; kept until a pass composes another, so a run without a pass repeats it), the
    // line about a failed write shown below it, and the size block of the last good pass.
    QString m_runLog;
    QString m_writeFailureLine;
    QString m_sizeBlock;

    // The run under way: its inputs, its query or log write (null when none is under way),
    // and the first failure's status text (empty when the run's own texts are shown).
    RunInputs m_inputs;
    std::shared_ptr<Query> m_query;
    std::shared_ptr<LogWrite> m_write;
    QString m_failure;
    // What the size display showed when the query started, shown again if it is cancelled.
    QString m_displayBeforeQuery;
    // Whether the run took its timer's enabled flag off for a query.
    bool m_timerTakenOff = false;
    bool m_lastRunFailed = false;
    // Full reasons of the current run's failures, for the status line's tooltip; the run
    // failed when there is one.
    QStringList m_failureReasons;
    QString m_standingNotice;
    // Work cancelled while its thread was still busy; expired once it returned.
    std::vector<std::weak_ptr<Pending>> m_abandoned;
    StallWatch m_stallWatch;
    // The size history record of the run under way, and whether a pass made it.
    HistoryRecord m_record;
    bool m_measured = false;
    QElapsedTimer m_passClock;
    RunEnded m_runEnded;
};
