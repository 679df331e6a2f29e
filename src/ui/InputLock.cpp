#include "ui/InputLock.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

InputLock::InputLock(QWidget &window) : m_window(window) {}

InputLock::~InputLock()
{
    release();
}

void InputLock::engage(const QList<QWidget *> &exceptions)
{
    m_exceptions.clear();
    for (QWidget *widget : exceptions)
        m_exceptions.append(widget);
    if (m_engaged)
        return;
    m_engaged = true;
    m_window.setCursor(Qt::BusyCursor);
    // Input reaches a control directly, not through its window, so the lock has to see
    // every event on its way.
    qApp->installEventFilter(this);
}

void InputLock::release()
{
    if (!m_engaged)
        return;
    m_engaged = false;
    qApp->removeEventFilter(this);
    m_window.unsetCursor();
}

bool InputLock::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserInput(event->type()) || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (widget != &m_window && !m_window.isAncestorOf(widget))
        return false;
    for (const QPointer<QWidget> &exception : m_exceptions) {
        if (exception && (exception == widget || exception->isAncestorOf(widget)))
            return false;
    }
    return true;
}
