#pragma once

#include "platform/WorkQueue.h"

#include <QPointer>

#include <deque>

// Test double for WorkQueue: no threads. By default work and its done() run at once, inside
// run(), so a measurement completes within the timer tick that starts it. hold() keeps work
// waiting until the test calls finishNext(), which runs the oldest held work and its done().
class FakeWorkQueue final : public WorkQueue
{
public:
    void run(QObject *context, std::function<void()> work, std::function<void()> done) override;

    // From now on work waits in the queue until finishNext().
    void hold() { m_holding = true; }

    // Runs the oldest waiting work, then its done() unless its context is gone. Returns false
    // when nothing was waiting.
    bool finishNext();

    // The same for the newest waiting work, leaving older work waiting.
    bool finishLatest();

    [[nodiscard]] std::size_t waiting() const { return m_waiting.size(); }

private:
    struct Item
    {
        QPointer<QObject> context;
        std::function<void()> work;
        std::function<void()> done;
    };

    static void finish(const Item &item);

    bool m_holding = false;
    std::deque<Item> m_waiting;
};
