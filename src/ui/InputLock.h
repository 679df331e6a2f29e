#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// Holds a window still while it waits for work running elsewhere: the busy cursor shows over
// it, and mouse, keyboard, wheel and drop input to it and its controls is discarded, not
// queued, so nothing typed or clicked meanwhile acts later against a changed window. The
// window keeps repainting and answering the window manager, and a close request still
// arrives. Controls passed as exceptions keep working.
class InputLock final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InputLock)

public:
    // window outlives the lock.
    explicit InputLock(QWidget &window);
    ~InputLock() override;

    void engage(const QList<QWidget *> &exceptions);
    void release();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    QList<QPointer<QWidget>> m_exceptions;
    bool m_engaged = false;
};
