#include "platform/ThreadWorkQueue.h"

#include <QMetaObject>
#include <QPointer>

#include <mutex>
#include <thread>

// What the worker threads share with the queue and may outlive it with: whether there is
// still a receiver for their answers.
struct ThreadWorkQueue::Shared
{
    std::mutex mutex;
    QObject *receiver = nullptr;
    int unfinished = 0;
};

ThreadWorkQueue::ThreadWorkQueue() : m_shared(std::make_shared<Shared>())
{
    m_shared->receiver = &m_receiver;
}

ThreadWorkQueue::~ThreadWorkQueue()
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->receiver = nullptr;
}

void ThreadWorkQueue::run(QObject *context, std::function<void()> work, std::function<void()> done)
{
    // The context is only looked at on its own thread: the answer goes to the receiver,
    // and there the pointer tells whether the context still exists.
    auto deliver = [target = QPointer<QObject>(context), done = std::move(done)] {
        if (target)
            done();
    };
    {
        const std::lock_guard lock(m_shared->mutex);
        ++m_shared->unfinished;
    }
    std::thread([shared = m_shared, work = std::move(work),
                 deliver = std::move(deliver)]() mutable {
        work();
        const std::lock_guard lock(shared->mutex);
        --shared->unfinished;
        // Posting through the event queue also publishes what work() wrote to done(). The
        // receiver cannot go away meanwhile: its owner clears it under the same lock first.
        if (shared->receiver)
            QMetaObject::invokeMethod(shared->receiver, std::move(deliver), Qt::QueuedConnection);
    }).detach();
}

int ThreadWorkQueue::unfinished() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->unfinished;
}
