#include "app/HistoryAccess.h"

#include "platform/PathText.h"
#include "ui/HistoryWindow.h"
#include "ui/MainWindow.h"
#include "ui/TextBox.h"

#include <QAction>
#include <QMenu>

#include <memory>

using namespace Qt::Literals::StringLiterals;

HistoryAccess::HistoryAccess(MainWindow &window, SettingsStore &store, HistoryStore history,
                             WorkQueue &workQueue, QChar decimal)
    : m_window(window), m_store(store), m_history(std::move(history)), m_workQueue(workQueue),
      m_decimal(decimal), m_action(new QAction(u"&History..."_s, &window))
{
    m_action->setObjectName(u"HISTORY_ACTION"_s);
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    m_action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(m_action);
    QObject::connect(m_action, &QAction::triggered, &window, [this] { open(); });

    TextBox *display = window.form().OUTPUT_WINDOW_TEXTBOX;
    display->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(display, &QWidget::customContextMenuRequested, &window,
                     [this](const QPoint &at) { showMenu(at); });
}

void HistoryAccess::open()
{
    if (!m_historyWindow) {
        m_historyWindow = new HistoryWindow(
            m_store, m_history, m_workQueue,
            [this] { return PathText::printable(m_window.form().FF_LOCATION_TEXTBOX->text()); },
            m_decimal, &m_window);
    }
    if (!m_historyWindow->isVisible())
        m_historyWindow->showModal();
}

void HistoryAccess::close()
{
    if (m_historyWindow && m_historyWindow->isVisible())
        m_historyWindow->close();
}

void HistoryAccess::showMenu(const QPoint &at)
{
    TextBox *display = m_window.form().OUTPUT_WINDOW_TEXTBOX;
    const std::unique_ptr<QMenu> menu(display->createStandardContextMenu());
    menu->setObjectName(u"SIZE_DISPLAY_MENU"_s);
    menu->addSeparator();
    menu->addAction(m_action);
    // A scroll area's context menu position is in its viewport's coordinates.
    menu->exec(display->viewport()->mapToGlobal(at));
}
