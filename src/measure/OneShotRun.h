#pragma once

#include "history/HistoryRecord.h"
#include "measure/RunLogPieces.h"
#include "measure/StallWatch.h"
#include "platform/SizeQuery.h"
#include "ui_MainWindow.h"

#include <QElapsedTimer>
#include <QObject>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class NumberLocale;
class QIODevice;
class TextFileWriter;
class Timer;
class WorkQueue;

// One measurement from the command line (--file or --folder with --log): sizes the target
// at once, without a window, countdowns or settings, composes the run log a window run of
// that target composes (from the same form texts and the same code, so the bytes are the
// same), and writes it to the log file or, for the log path "-", to standard output.
//
// Ends with finished(): 0 after a good run; 1 when the size query failed or the log could
// not be written, with the reason on standard error and the error report in the log file, as
// a window run does. While the query makes no progress it says once where it waits
// (StallWatch). A signal abandons the query and ends the run without writing the log.
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
        QIODevice &standardOutput;
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

    void answered(const SizeResult &result);
    void watchProgress();
    void finish(int exitStatus);

    Services m_services;
    Request m_request;
    // The form, never shown, whose offstage boxes hold the run log's fixed texts.
    QWidget m_formHost;
    Ui::ZEMRA_MAIN m_form;
    RunLogPieces m_pieces;
    std::shared_ptr<Query> m_query;
    Timer *m_progressTimer = nullptr;
    StallWatch m_stallWatch;
    bool m_finished = false;
    std::optional<HistoryRecord> m_record;
    // The record under way, and how long its measurement has taken.
    HistoryRecord m_measuring;
    QElapsedTimer m_clock;
};
