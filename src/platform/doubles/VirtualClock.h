#pragma once

#include "platform/Clock.h"

#include <QList>
#include <QPointer>

class VirtualTimer;

// Test double for Clock: time stands still until advance() moves it. Ticks fall due in
// time order across all its timers and are delivered synchronously from advance(); a tick
// handler may enable, disable or re-time any timer, and the schedule follows.
class VirtualClock final : public Clock
{
public:
    [[nodiscard]] Timer *createTimer(QObject *parent, const QString &name) override;

    // Moves time forward by milliseconds, delivering every tick that falls due on the way.
    void advance(qint64 milliseconds);

    // Milliseconds since the clock was made.
    [[nodiscard]] qint64 now() const { return m_now; }

private:
    friend class VirtualTimer;
    QList<QPointer<VirtualTimer>> m_timers;
    qint64 m_now = 0;
};
