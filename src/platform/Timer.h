#pragma once

#include <QObject>

// A window's timer: an interval in milliseconds and an enabled flag. While enabled with an
// interval above zero it emits ticked() once per interval on the user-interface thread.
//
// Enabling a disabled timer starts a fresh interval; enabling an enabled one changes
// nothing. Changing the interval of an enabled timer starts a fresh interval. A timer
// created without an interval has interval 0 and never ticks.
class Timer : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Timer)

public:
    using QObject::QObject;
    ~Timer() override = default;

    [[nodiscard]] int interval() const { return m_interval; }
    void setInterval(int milliseconds);
    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // Whether the timer ticks at all: enabled, with an interval above zero.
    [[nodiscard]] bool isRunning() const { return m_enabled && m_interval > 0; }

signals:
    void ticked();

protected:
    // Called after every change that starts a fresh interval or stops the ticks; the clock
    // behind the timer reschedules its next tick from isRunning() and interval().
    virtual void restart() = 0;

private:
    int m_interval = 0;
    bool m_enabled = false;
};
