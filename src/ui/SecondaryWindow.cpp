#include "ui/SecondaryWindow.h"

#include "settings/SettingsStore.h"
#include "ui/WindowStyle.h"

SecondaryWindow::SecondaryWindow(SettingsStore &store, const WindowEntries &entries,
                                 Qt::WindowType type, QWidget *owner)
    : QDialog(owner), m_store(store),
      m_placement(store, entries.left, entries.top, entries.width, entries.height)
{
    setWindowFlags(type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    WindowStyle::apply(*this);
}

void SecondaryWindow::showModal()
{
    qDeleteAll(findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
    buildForm();
    WindowStyle::applyFontToNewControls(*this);
    m_placement.restore(*this);
    loadContents();
    exec();
}

void SecondaryWindow::acceptOk()
{
    savePosition();
    close();
}

// Every way of closing a dialog ends here: the close box and close() through reject(),
// Escape through reject(), OK through close().
void SecondaryWindow::done(int result)
{
    savePosition();
    QDialog::done(result);
}

void SecondaryWindow::savePosition()
{
    m_placement.writePosition(*this);
    m_store.save();
}
