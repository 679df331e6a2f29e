#include "platform/QtPlatformDefaults.h"

#include <QByteArray>

void QtPlatformDefaults::apply()
{
    // A -platform option on the command line still wins over the variable.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("windows:fontengine=directwrite"));
}
