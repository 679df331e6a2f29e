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

    int interval() const override { return m_interval; }

    void setInterval(int milliseconds) override
    {
        m_interval = milliseconds;
        restart();
    }

    bool isEnabled() const override { return m_enabled; }

    void setEnabled(bool enabled) override
    {
        if (enabled == m_enabled)
            return;
        m_enabled = enabled;
        restart();
    }

private:
    // QTimer would fire continuously at interval 0; a timer without an interval never ticks.
    void restart()
    {
        if (m_enabled && m_interval > 0)
            m_timer.start(m_interval);
        else
            m_timer.stop();
    }

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};

} // namespace

Timer *QtClock::createTimer(QObject *parent, const QString &name)
{
    auto *timer = new QtTimer(parent);
    timer->setObjectName(name);
    return timer;
}
