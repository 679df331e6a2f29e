#pragma once

#include "platform/WorkQueue.h"

#include <QObject>
#include <QThreadPool>

// The real WorkQueue: a small thread pool of its own. Make it on the user-interface thread.
// Its destructor waits for the work under way, so it must outlive every object that work
// touches and be destroyed after the windows have asked that work to end.
class ThreadPoolWorkQueue final : public WorkQueue
{
public:
    ThreadPoolWorkQueue();
    ~ThreadPoolWorkQueue() override;
    ThreadPoolWorkQueue(const ThreadPoolWorkQueue &) = delete;
    ThreadPoolWorkQueue &operator=(const ThreadPoolWorkQueue &) = delete;

    void run(QObject *context, std::function<void()> work, std::function<void()> done) override;

private:
    // Lives on the user-interface thread: answers are posted to it, and it checks there
    // that the caller's context still exists.
    QObject m_receiver;
    QThreadPool m_pool;
};
