#include "platform/doubles/VirtualClock.h"
#include "platform/Timer.h"

#include <QObject>

#include <gtest/gtest.h>

namespace {

// Records "name@time" for every tick of the timers it watches.
class TickLog
{
public:
    explicit TickLog(VirtualClock &clock) : m_clock(clock) {}

    void watch(Timer *timer)
    {
        QObject::connect(timer, &Timer::ticked, timer, [this, timer] {
            m_ticks.append(QStringLiteral("%1@%2").arg(timer->objectName()).arg(m_clock.now()));
        });
    }
    QStringList take() { return std::exchange(m_ticks, {}); }

private:
    VirtualClock &m_clock;
    QStringList m_ticks;
};

} // namespace

TEST(VirtualClockTest, DeliversTicksInTimeOrderAcrossTimers)
{
    VirtualClock clock;
    QObject owner;
    TickLog log(clock);
    Timer *fast = clock.createTimer(&owner, QStringLiteral("fast"));
    Timer *slow = clock.createTimer(&owner, QStringLiteral("slow"));
    log.watch(fast);
    log.watch(slow);
    fast->setInterval(1000);
    slow->setInterval(2500);
    fast->setEnabled(true);
    slow->setEnabled(true);
    clock.advance(5000);
    EXPECT_EQ(log.take(), (QStringList{"fast@1000", "fast@2000", "slow@2500", "fast@3000",
                                       "fast@4000", "fast@5000", "slow@5000"}));
}

TEST(VirtualClockTest, HonoursEnableDisableAndReEnable)
{
    VirtualClock clock;
    QObject owner;
    TickLog log(clock);
    Timer *timer = clock.createTimer(&owner, QStringLiteral("t"));
    log.watch(timer);

    timer->setEnabled(true);
    clock.advance(10000);
    EXPECT_TRUE(log.take().isEmpty()) << "a timer without an interval never ticks";

    timer->setInterval(3000);
    clock.advance(2000);
    timer->setEnabled(true); // already enabled: the interval keeps running
    clock.advance(1000);
    EXPECT_EQ(log.take(), QStringList{"t@13000"});

    timer->setEnabled(false);
    clock.advance(10000);
    EXPECT_TRUE(log.take().isEmpty());

    timer->setEnabled(true); // re-enabling starts a fresh interval
    clock.advance(2999);
    EXPECT_TRUE(log.take().isEmpty());
    clock.advance(1);
    EXPECT_EQ(log.take(), QStringList{"t@26000"});
}

TEST(VirtualClockTest, HandlersMayRescheduleAndDeleteTimers)
{
    VirtualClock clock;
    auto *owner = new QObject;
    TickLog log(clock);
    Timer *once = clock.createTimer(owner, QStringLiteral("once"));
    Timer *other = clock.createTimer(owner, QStringLiteral("other"));
    log.watch(once);
    log.watch(other);
    once->setInterval(3000);
    other->setInterval(1000);
    // A one-shot: its own tick disables it, as the measurement run does.
    QObject::connect(once, &Timer::ticked, once, [once] { once->setEnabled(false); });
    QObject::connect(other, &Timer::ticked, other, [&] {
        if (clock.now() == 4000)
            delete owner; // a window closing from a tick takes its timers along
    });
    once->setEnabled(true);
    other->setEnabled(true);
    clock.advance(10000);
    EXPECT_EQ(log.take(),
              (QStringList{"other@1000", "other@2000", "once@3000", "other@3000", "other@4000"}));
    EXPECT_EQ(clock.now(), 10000);
}
