#pragma once

#include "history/HistoryRecord.h"
#include "measure/RunLogPieces.h"
#include "measure/StallWatch.h"
#include "platform/SizeQuery.h"
#include "platform/WriteResult.h"
#include "ui_MainWindow.h"

#include <QElapsedTimer>
#include <QObject>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class NumberLocale;
class TextFileWriter;
class Timer;
class WorkQueue;

// One measurement from the command line (--file or --folder with --log): sizes the target
// at once, without a window, countdowns or settings, composes the run log a window run of
// that target composes (from the same form texts and the same code, so the bytes are the
// same), and writes it to the log file or, for the log path "-", to standard output.
//
// Ends with finished(): 0 after a good run; 1 when the size query failed or the log could
// not be written, whole, to its file or to standard output, with the reason on standard
// error and the error report in the log file, as a window run does. While the query makes no
// progress it says once where it waits (StallWatch). The query and the log's write both run
// on the work queue, so a signal ends the run at once, whatever a mount does: it abandons
// the work under way and finishes without writing the log.
class OneShotRun final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OneShotRun)

public:
    struct Request
    {
        bool folder = false;
        QString target;  // as typed
        QString logPath; // "-": standard output
    };

    // The services outlive the run. settingsFilePath: the settings file, which the log never
    // replaces (empty when the settings are not kept in a file).
    struct Services
    {
        Clock &clock;
        std::function<std::unique_ptr<SizeQuery>()> createSizeQuery;
        const NumberLocale &numberLocale;
        TextFileWriter &textFileWriter;
        WorkQueue &workQueue;
        // Takes the run log when the log path is "-"; its path argument is not used.
        TextFileWriter &standardOutput;
        QString executableName;
        QString settingsFilePath;
    };

    OneShotRun(Services services, Request request);
    ~OneShotRun() override;

    // Starts the query; finished() follows, perhaps before start() returns.
    void start();

    // A request to end the program: abandons the query and finishes with 128 + the number.
    void cancelOnSignal(int signalNumber);

    // Once finished() was emitted: the run's size history record (target, kind, counts,
    // time taken and outcome: good, or the failure's reasons); nullopt when a signal ended
    // the run before it measured.
    [[nodiscard]] const std::optional<HistoryRecord> &record() const { return m_record; }

signals:
    void finished(int exitStatus);

private:
    struct Query;
    struct LogWrite;

    void answered(const SizeResult &result);
    void written(const WriteResult &result);
    void watchProgress();
    void finish(int exitStatus);

    Services m_services;
    Request m_request;
    // The form, never shown, whose offstage boxes hold the run log's fixed texts.
    QWidget m_formHost;
    Ui::ZEMRA_MAIN m_form;
    RunLogPieces m_pieces;
    std::shared_ptr<Query> m_query;
    std::shared_ptr<LogWrite> m_write;
    // Reasons the run failed, for the line on standard error.
    QStringList m_reasons;
    Timer *m_progressTimer = nullptr;
    StallWatch m_stallWatch;
    bool m_finished = false;
    std::optional<HistoryRecord> m_record;
    // The record under way, and how long its measurement has taken.
    HistoryRecord m_measuring;
    QElapsedTimer m_clock;
};
