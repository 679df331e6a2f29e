#include "platform/VirtualClock.h"

#include "platform/Timer.h"

#include <limits>

class VirtualTimer final : public Timer
{
public:
    VirtualTimer(VirtualClock &clock, QObject *parent) : Timer(parent), m_clock(clock) {}

    int interval() const override { return m_interval; }

    void setInterval(int milliseconds) override
    {
        m_interval = milliseconds;
        schedule();
    }

    bool isEnabled() const override { return m_enabled; }

    void setEnabled(bool enabled) override
    {
        if (enabled == m_enabled)
            return;
        m_enabled = enabled;
        schedule();
    }

    // Time of the next tick, or the largest value when the timer cannot tick.
    qint64 due() const { return m_due; }

    void fire()
    {
        m_due += m_interval;
        emit ticked();
    }

private:
    void schedule()
    {
        m_due = (m_enabled && m_interval > 0) ? m_clock.m_now + m_interval
                                              : std::numeric_limits<qint64>::max();
    }

    VirtualClock &m_clock;
    int m_interval = 0;
    bool m_enabled = false;
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
