#include "history/HistoryRecorder.h"

#include "platform/Log.h"
#include "platform/WorkQueue.h"

#include <condition_variable>
#include <mutex>

// Shared with the threads that add the records, which may outlive the recorder.
struct HistoryRecorder::Pending
{
    std::mutex mutex;
    std::condition_variable changed;
    int count = 0;
};

HistoryRecorder::HistoryRecorder(HistoryStore store, WorkQueue &workQueue)
    : m_store(std::move(store)), m_workQueue(workQueue), m_pending(std::make_shared<Pending>())
{}

HistoryRecorder::~HistoryRecorder() = default;

void HistoryRecorder::add(const HistoryRecord &record)
{
    {
        const std::lock_guard lock(m_pending->mutex);
        ++m_pending->count;
    }
    // The line is written by the worker itself: at the end of a launch no event loop is
    // left to deliver an answer.
    m_workQueue.run(
        &m_context,
        [store = m_store, record, pending = m_pending] {
            const WriteResult written = store.add(record);
            if (!written.ok)
                qCWarning(zemraLog).noquote() << written.reason;
            const std::lock_guard lock(pending->mutex);
            --pending->count;
            pending->changed.notify_all();
        },
        [] {});
}

bool HistoryRecorder::waitForWrites(std::chrono::milliseconds bound)
{
    std::unique_lock lock(m_pending->mutex);
    if (m_pending->changed.wait_for(lock, bound, [this] { return m_pending->count == 0; }))
        return true;
    qCWarning(zemraLog).noquote()
        << QStringLiteral("The size history did not answer within %1 s; this run may be "
                          "missing from it.")
               .arg(bound.count() / 1000);
    return false;
}
