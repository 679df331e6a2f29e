#pragma once

#include "history/HistoryStore.h"

#include <QChar>
#include <QPoint>

class HistoryWindow;
class MainWindow;
class QAction;
class SettingsStore;
class WorkQueue;

// The ways from the main window to the History window: the action "History..." with its
// shortcut Ctrl+H, which works anywhere in the main window, and the size display's context
// menu, which offers the action below the display's own entries. Neither adds or moves a
// control. The window shows the records of the target the TARGET box holds, and is made on
// its first opening; the main window owns it.
class HistoryAccess
{
public:
    // Everything given outlives this object. decimal: the decimal separator for the sizes.
    HistoryAccess(MainWindow &window, SettingsStore &store, HistoryStore history,
                  WorkQueue &workQueue, QChar decimal);
    HistoryAccess(const HistoryAccess &) = delete;
    HistoryAccess &operator=(const HistoryAccess &) = delete;

    // Opens the History window modally; returns once it has closed.
    void open();
    // Closes the History window when it is open (its close writes its position).
    void close();

    [[nodiscard]] QAction *action() const { return m_action; }

private:
    void showMenu(const QPoint &at);

    MainWindow &m_window;
    SettingsStore &m_store;
    HistoryStore m_history;
    WorkQueue &m_workQueue;
    QChar m_decimal;
    QAction *m_action = nullptr;
    HistoryWindow *m_historyWindow = nullptr;
};
