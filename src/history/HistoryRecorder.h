#pragma once

#include "history/HistoryRecord.h"
#include "history/HistoryStore.h"

#include <QObject>

#include <chrono>
#include <memory>

class WorkQueue;

// Adds the runs of a launch to the size history, away from the calling thread: the window's
// thread hands a record over and goes on at once, whatever the database's file system does.
// A record that cannot be added gives one line on standard error (zemraLog) and changes
// nothing else; the run that made it has ended as it would without a history.
class HistoryRecorder
{
public:
    // The work queue outlives the recorder.
    HistoryRecorder(HistoryStore store, WorkQueue &workQueue);
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder &) = delete;
    HistoryRecorder &operator=(const HistoryRecorder &) = delete;

    [[nodiscard]] const HistoryStore &store() const { return m_store; }

    void add(const HistoryRecord &record);

    // For the end of the process: waits at most bound for the records handed over to be
    // added. Returns true when none is outstanding; otherwise says on standard error that
    // the run was left out and returns false (the write goes on, its result unseen).
    bool waitForWrites(std::chrono::milliseconds bound);

    // How long the end of a launch waits for its records: a few busy timeouts.
    static constexpr std::chrono::milliseconds ExitWait{3 * HistoryStore::BusyTimeoutMs};

private:
    struct Pending;

    HistoryStore m_store;
    WorkQueue &m_workQueue;
    QObject m_context;
    std::shared_ptr<Pending> m_pending;
};
