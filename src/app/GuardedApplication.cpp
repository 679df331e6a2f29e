#include "app/GuardedApplication.h"

#include <QDebug>

#include <exception>

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        qWarning().noquote() << "zemra: an event handler failed and was stopped:" << error.what();
    } catch (...) {
        qWarning().noquote() << "zemra: an event handler failed and was stopped.";
    }
    return false;
}
