#include "platform/QtClock.h"

#include "platform/Timer.h"

#include <QTimer>

namespace {

class QtTimer final : public Timer
{
public:
    explicit QtTimer(QObject *parent) : Timer(parent)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &Timer::ticked);
    }

private:
    // QTimer would fire continuously at interval 0; a timer without an interval never ticks.
    void restart() override
    {
        if (isRunning())
            m_timer.start(interval());
        else
            m_timer.stop();
    }

    QTimer m_timer;
};

} // namespace

Timer *QtClock::createTimer(QObject *parent, const QString &name)
{
    auto *timer = new QtTimer(parent);
    timer->setObjectName(name);
    return timer;
}
