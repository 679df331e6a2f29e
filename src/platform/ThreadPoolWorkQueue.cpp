#include "platform/ThreadPoolWorkQueue.h"

#include <QMetaObject>
#include <QPointer>

ThreadPoolWorkQueue::ThreadPoolWorkQueue()
{
    // A cancelled query may still be finishing when the next one starts; two threads let
    // the new one begin at once.
    m_pool.setMaxThreadCount(2);
}

ThreadPoolWorkQueue::~ThreadPoolWorkQueue()
{
    m_pool.waitForDone();
}

void ThreadPoolWorkQueue::run(QObject *context, std::function<void()> work,
                              std::function<void()> done)
{
    // The context is only looked at on its own thread: the answer goes to the receiver,
    // which outlives all work, and there the pointer tells whether the context still exists.
    auto deliver = [target = QPointer<QObject>(context), done = std::move(done)] {
        if (target)
            done();
    };
    m_pool.start([this, work = std::move(work), deliver = std::move(deliver)]() mutable {
        work();
        // Posting through the event queue also publishes what work() wrote to done().
        QMetaObject::invokeMethod(&m_receiver, std::move(deliver), Qt::QueuedConnection);
    });
}
