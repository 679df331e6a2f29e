#include "platform/linux/X11OwnedWindows.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

X11OwnedWindows::X11OwnedWindows(xcb_connection_t *connection) : m_connection(connection)
{
    qGuiApp->installEventFilter(this);
}

X11OwnedWindows::~X11OwnedWindows()
{
    qGuiApp->removeEventFilter(this);
}

bool X11OwnedWindows::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Expose && event->type() != QEvent::Hide)
        return false;
    const auto *window = qobject_cast<QWindow *>(watched);
    if (!window || window->type() != Qt::Window || !window->transientParent() ||
        !window->handle() || !window->transientParent()->handle())
        return false;

    const auto id = xcb_window_t(window->winId());
    if (event->type() == QEvent::Hide) {
        m_declared.remove(id);
        return false;
    }
    // The exposure comes after Qt's own mapping, which removed any declaration.
    if (m_declared.contains(id))
        return false;
    m_declared.insert(id);
    const auto owner = xcb_window_t(window->transientParent()->winId());
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &owner);
    xcb_flush(m_connection);
    return false;
}
