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

    [[nodiscard]] virtual int interval() const = 0;
    virtual void setInterval(int milliseconds) = 0;
    [[nodiscard]] virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;

signals:
    void ticked();
};
