#include "ui/MainWindowAccessible.h"

#include "ui/MainWindow.h"

namespace {

// Qt asks the factories about each class of an object, most derived first, so this one is
// asked about MainWindow before Qt's own is asked about QWidget.
QAccessibleInterface *createForMainWindow(const QString &className, QObject *object)
{
    if (className != QLatin1StringView(MainWindow::staticMetaObject.className()))
        return nullptr;
    auto *window = qobject_cast<MainWindow *>(object);
    return window ? new MainWindowAccessible(*window) : nullptr;
}

} // namespace

MainWindowAccessible::MainWindowAccessible(MainWindow &window)
    : QAccessibleWidget(&window, QAccessible::Window)
{}

void MainWindowAccessible::install()
{
    // Qt keeps each factory once.
    QAccessible::installFactory(createForMainWindow);
}
