#pragma once

#include "platform/SizeQuery.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class MainWindow;
class NumberFormatter;
class SettingsStore;
class TextFileWriter;

// One measurement run: the handling of a tick of FILE_FOLDER_SIZER_TIMER. It saves both
// paths, sizes the target as a file and/or a folder as the target tickboxes say, fills the
// size display, composes the run log, writes it to the log file and hands the window over to
// Ready or to the autoclose countdown. It disables its timer last, so one request gives one
// run. The run blocks the window while the size query runs; the query's own threads keep
// that short.
//
// A failed step ends the run truthfully instead of leaving an earlier result on record: a
// failed size query skips any later pass, empties the size display and turns the run log
// into an error report naming the reason; a log file that cannot be written is a failure
// too. The status then keeps an error text instead of "!!! COMPLETED !!!" and the hand-over
// state's own text, while the hand-over itself still happens, so a new run can be requested.
class MeasurementRun
{
public:
    using SizeQueryFactory = std::function<std::unique_ptr<SizeQuery>()>;

    MeasurementRun(MainWindow &window, SettingsStore &store, QString executableName,
                   SizeQueryFactory createSizeQuery, const NumberFormatter &numberFormatter,
                   TextFileWriter &textFileWriter);

    // Connects the run to its timer; the window outlives the connection.
    void attach();

    void perform();

    // Whether the latest run failed (false before any run).
    [[nodiscard]] bool lastRunFailed() const { return m_lastRunFailed; }

private:
    enum class TargetKind { File, Folder };

    // One pass; returns the status text of its failure, or an empty text when it succeeded.
    QString pass(TargetKind kind);
    // Shows the outcome (status, its tooltip) and hands over to Ready or to the autoclose
    // countdown; failure is the status text of the run's failure, empty when it succeeded.
    void finish(const QString &failure);
    // Ends a run that an exception cut short, as a failure with reason.
    void abandon(const QString &reason);
    QString composeLog(const QString &targetLabel, const QString *errorReason) const;

    MainWindow &m_window;
    SettingsStore &m_store;
    QString m_executableName;
    SizeQueryFactory m_createSizeQuery;
    const NumberFormatter &m_numberFormatter;
    TextFileWriter &m_textFileWriter;
    bool m_lastRunFailed = false;
    // Full reasons of the current run's failures, for the status line's tooltip.
    QStringList m_failureReasons;
};
