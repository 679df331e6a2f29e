#include "app/GuardedApplication.h"

#include "platform/Log.h"

#include <exception>

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        qCWarning(zemraLog).noquote() << "an event handler failed and was stopped:" << error.what();
    } catch (...) {
        qCWarning(zemraLog).noquote() << "an event handler failed and was stopped.";
    }
    return false;
}
