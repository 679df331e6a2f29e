#include "platform/doubles/FakeWorkQueue.h"

void FakeWorkQueue::run(QObject *context, std::function<void()> work, std::function<void()> done)
{
    m_waiting.push_back({context, std::move(work), std::move(done)});
    if (!m_holding)
        finishNext();
}

bool FakeWorkQueue::finishNext()
{
    if (m_waiting.empty())
        return false;
    Item item = std::move(m_waiting.front());
    m_waiting.pop_front();
    finish(item);
    return true;
}

bool FakeWorkQueue::finishLatest()
{
    if (m_waiting.empty())
        return false;
    Item item = std::move(m_waiting.back());
    m_waiting.pop_back();
    finish(item);
    return true;
}

void FakeWorkQueue::finish(const Item &item)
{
    item.work();
    if (item.context)
        item.done();
}
