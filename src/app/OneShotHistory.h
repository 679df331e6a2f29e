#pragma once

#include "history/HistoryRecord.h"
#include "history/HistoryStore.h"
#include "history/SizeGrowth.h"

#include <QObject>

#include <cstdint>
#include <optional>

class Clock;
class Timer;
class WorkQueue;

// What follows a one-shot run: its record goes into the size history, and its alarms are
// checked. The history is reached on the work queue, for at most LimitMs; a history that
// cannot be reached in time, opened or written gives one line on standard error and leaves
// the run's exit status as it was. An alarm that goes off gives one line on standard error
// and the exit status 3 (AlarmStatus); only a good run's size is checked.
class OneShotHistory final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OneShotHistory)

public:
    struct Request
    {
        // false: --no-history, nothing is added (the growth alarm still reads the history).
        bool addRecord = true;
        std::optional<std::uint64_t> alertAbove;
        std::optional<SizeGrowth::Bound> alertGrowth;
    };

    // The work queue and the clock outlive this object.
    OneShotHistory(HistoryStore history, Request request, WorkQueue &workQueue, Clock &clock);

    // The run has finished with runStatus; record is what it measured (nullopt when a
    // signal ended it first). finished() follows, perhaps before this returns.
    void afterRun(int runStatus, const std::optional<HistoryRecord> &record);

    // A request to end the program while the history is being reached: finished() with
    // 128 + the number at once. Before afterRun() it does nothing: the run ends first.
    void cancelOnSignal(int signalNumber);

    static constexpr int LimitMs = 3 * HistoryStore::BusyTimeoutMs;
    static constexpr int AlarmStatus = 3;

signals:
    void finished(int exitStatus);

private:
    // Checks the alarms against records (the target's history so far) and finishes.
    void conclude(const QList<HistoryRecord> &records);
    void finish(int exitStatus);

    HistoryStore m_history;
    Request m_request;
    WorkQueue &m_workQueue;
    Timer *m_limit = nullptr;
    int m_runStatus = 0;
    std::optional<HistoryRecord> m_record;
    bool m_started = false;
    bool m_finished = false;
};
