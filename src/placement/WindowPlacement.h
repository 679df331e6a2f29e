#pragma once

#include "placement/WindowGeometry.h"
#include "settings/Setting.h"

#include <QString>

#include <optional>

class QWidget;
class SettingsStore;

// Restores a window's geometry from its four settings entries and writes its position back.
// All three windows follow the same rule: left, top, width and height are read in that order
// at every load; only left and top are ever written.
//
// Two deliberate refinements: a stored position that no present screen shows (a monitor
// since unplugged) opens at the default position instead; and a window that was not moved
// writes back exactly the text its left and top entries held (the default when absent), so
// positions that fall between two pixels do not creep from launch to launch and a position
// on an absent monitor is still there when the monitor returns.
class WindowPlacement
{
public:
    WindowPlacement(SettingsStore &store, Setting left, Setting top, Setting width, Setting height);

    // Moves the window's outer frame and fixes its client size. Call before showing it.
    void restore(QWidget &window);

    // Writes the outer frame's current left edge, then its top edge, into the store; the
    // caller saves the store.
    void writePosition(const QWidget &window);

private:
    void writeBack(Setting setting, const std::optional<QString> &stored, float restored);

    SettingsStore &m_store;
    Setting m_left;
    Setting m_top;
    Setting m_width;
    Setting m_height;
    TwipsGeometry m_restored;
    std::optional<QString> m_storedLeft;
    std::optional<QString> m_storedTop;
    QPoint m_restoredPosition{INT_MIN, INT_MIN};
};
