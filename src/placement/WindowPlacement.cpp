#include "placement/WindowPlacement.h"

#include "settings/SettingsStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

WindowPlacement::WindowPlacement(SettingsStore &store, Setting left, Setting top, Setting width,
                                 Setting height)
    : m_store(store), m_left(left), m_top(top), m_width(width), m_height(height)
{}

void WindowPlacement::restore(QWidget &window)
{
    TwipsGeometry geometry;
    const SettingsStore::GeometryEntry left = m_store.readGeometryEntry(m_left);
    const SettingsStore::GeometryEntry top = m_store.readGeometryEntry(m_top);
    m_storedLeft = left.storedText;
    m_storedTop = top.storedText;
    geometry.left = left.twips;
    geometry.top = top.twips;
    geometry.width = m_store.readGeometry(m_width);
    geometry.height = m_store.readGeometry(m_height);

    const QSize client = WindowGeometry::clientSize(geometry);
    const QSize frameExtra(
        WindowGeometry::toPixels(2 * WindowGeometry::FrameSideTwips),
        WindowGeometry::toPixels(WindowGeometry::FrameTopTwips + WindowGeometry::FrameSideTwips));
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QRect frame(WindowGeometry::framePosition(geometry), client + frameExtra);
    if (!screens.isEmpty() && !WindowGeometry::isOnAnyScreen(frame, screens)) {
        geometry.left = SettingsStore::defaultGeometry(m_left);
        geometry.top = SettingsStore::defaultGeometry(m_top);
    }

    m_restored = geometry;
    m_restoredPosition = WindowGeometry::framePosition(geometry);
    window.move(m_restoredPosition);
    window.setFixedSize(client);
}

void WindowPlacement::writePosition(const QWidget &window)
{
    const QPoint position = window.pos();
    if (position != m_restoredPosition) {
        m_store.writeGeometry(m_left, WindowGeometry::toTwips(position.x()));
        m_store.writeGeometry(m_top, WindowGeometry::toTwips(position.y()));
        return;
    }
    // Not moved: the entries keep what they held, even when the window opened elsewhere
    // because no present screen shows the stored position (the monitor may come back).
    writeBack(m_left, m_storedLeft, m_restored.left);
    writeBack(m_top, m_storedTop, m_restored.top);
}

void WindowPlacement::writeBack(Setting setting, const std::optional<QString> &stored,
                                float restored)
{
    if (stored)
        m_store.writeText(setting, *stored);
    else
        m_store.writeGeometry(setting, restored);
}
