#pragma once

#include "history/HistoryRecord.h"
#include "measure/RunInputs.h"
#include "measure/StallWatch.h"
#include "platform/SizeQuery.h"

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
// too, and so is a run that measured nothing because neither target kind is ticked (its log
// file is still written, with the run log the box holds). The status then keeps an error
// text instead of "!!! COMPLETED !!!" and the hand-over state's own text, while the
// hand-over itself still happens, so a new run can be requested. Every failed run prints
// one line on standard error with the reasons the status line's tooltip gives.
//
// A query that does not answer never holds the program: cancelling abandons it (its answer,
// if it ever comes, is ignored) and the next run's query gets a thread of its own. While
// MaxAbandoned abandoned queries are still blocked, a new run fails at once, naming the
// folder they wait on. A query that makes no progress for a while prints one line on
// standard error naming the folder it waits on (StallWatch).
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

    // Cancels the size query under way: the run ends at once without writing the log file
    // and without a hand-over (the caller puts the window in the state it wants); the size
    // display shows again what it showed before the pass. The query itself stops on its
    // thread shortly after. Counts as a failed run. Returns false when no query was under way.
    bool cancel();

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
    struct Query;

    void startPass(TargetKind kind);
    void passAnswered(TargetKind kind, const SizeResult &result);
    // What follows the file pass: the folder pass, or the end of the run.
    void continueAfter(TargetKind kind);
    // Writes the log file, unless it is the target or the settings file, then hands over.
    void finish();
    // Shows the outcome (status, its tooltip) and hands over to Ready or to the autoclose
    // countdown.
    void handOver();
    // Runs one step of the run; an exception ends the run as a failure instead of
    // escaping to the event loop.
    void guarded(const std::function<void()> &step);
    // Ends a run that an exception cut short, as a failure with reason.
    void abandon(const QString &reason);
    void showProgress();
    void endQuery();
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

    // The run under way: its inputs, its query (null when none is under way), and the first
    // failure's status text.
    RunInputs m_inputs;
    std::shared_ptr<Query> m_query;
    QString m_failure;
    // What the size display showed when the query started, shown again if it is cancelled.
    QString m_displayBeforeQuery;
    // Whether the run took its timer's enabled flag off for a query.
    bool m_timerTakenOff = false;
    bool m_lastRunFailed = false;
    // Full reasons of the current run's failures, for the status line's tooltip.
    QStringList m_failureReasons;
    QString m_standingNotice;
    // Queries cancelled while their thread was still busy; expired once it returned.
    std::vector<std::weak_ptr<Query>> m_abandoned;
    StallWatch m_stallWatch;
    // The size history record of the run under way, and whether a pass made it.
    HistoryRecord m_record;
    bool m_measured = false;
    QElapsedTimer m_passClock;
    RunEnded m_runEnded;
};
