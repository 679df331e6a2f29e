#include "platform/doubles/VirtualClock.h"

#include "platform/Timer.h"

#include <limits>

class VirtualTimer final : public Timer
{
public:
    VirtualTimer(VirtualClock &clock, QObject *parent) : Timer(parent), m_clock(clock) {}

    // Time of the next tick, or the largest value when the timer cannot tick.
    qint64 due() const { return m_due; }

    void fire()
    {
        m_due += interval();
        emit ticked();
    }

private:
    void restart() override
    {
        m_due = isRunning() ? m_clock.m_now + interval() : std::numeric_limits<qint64>::max();
    }

    VirtualClock &m_clock;
    qint64 m_due = std::numeric_limits<qint64>::max();
};

Timer *VirtualClock::createTimer(QObject *parent, const QString &name)
{
    auto *timer = new VirtualTimer(*this, parent);
    timer->setObjectName(name);
    m_timers.append(timer);
    return timer;
}

void VirtualClock::advance(qint64 milliseconds)
{
    const qint64 end = m_now + milliseconds;
    for (;;) {
        // Timers deleted by a tick handler (a window closing) drop out of the schedule.
        m_timers.removeIf([](const QPointer<VirtualTimer> &t) { return t.isNull(); });
        VirtualTimer *next = nullptr;
        for (const auto &timer : std::as_const(m_timers)) {
            if (timer->due() <= end && (!next || timer->due() < next->due()))
                next = timer;
        }
        if (!next)
            break;
        m_now = next->due();
        next->fire();
    }
    m_now = end;
}
