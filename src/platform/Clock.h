#pragma once

class QObject;
class QString;
class Timer;

// Makes the program's timers. Production code gets real timers; tests get a virtual clock
// whose time only moves when the test advances it.
class Clock
{
public:
    virtual ~Clock() = default;

    // A new timer, disabled and without an interval, owned by parent and named name.
    [[nodiscard]] virtual Timer *createTimer(QObject *parent, const QString &name) = 0;
};
