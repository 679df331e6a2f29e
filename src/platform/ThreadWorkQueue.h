#pragma once

#include "platform/WorkQueue.h"

#include <QObject>

#include <memory>

// The real WorkQueue: one detached thread per piece of work. Make it on the user-interface
// thread. Nothing ever joins the threads: destroying the queue drops the answers still to
// come, and a process that ends while work is blocked ends without waiting for it (see
// unfinished()).
class ThreadWorkQueue final : public WorkQueue
{
public:
    ThreadWorkQueue();
    ~ThreadWorkQueue() override;
    ThreadWorkQueue(const ThreadWorkQueue &) = delete;
    ThreadWorkQueue &operator=(const ThreadWorkQueue &) = delete;

    void run(QObject *context, std::function<void()> work, std::function<void()> done) override;

    // Work started whose work() has not returned yet. When it is not zero at exit, the
    // process must end without running static destructors (std::_Exit), which a thread
    // still running could otherwise meet half torn down.
    [[nodiscard]] int unfinished() const;

private:
    struct Shared;

    // Lives on the user-interface thread: answers are posted to it, and it checks there
    // that the caller's context still exists.
    QObject m_receiver;
    std::shared_ptr<Shared> m_shared;
};
