#include "platform/QtPlatformDefaults.h"

#include <QByteArray>

void QtPlatformDefaults::apply()
{
    // A -platform option on the command line still wins over the variable.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("windows:fontengine=directwrite"));
    // The offscreen platform (--headless, launches without a desktop) reads font files from
    // a folder of its own, by default one beside Qt that a deployed program does not have.
    const QByteArray windows = qgetenv("WINDIR");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR") && !windows.isEmpty())
        qputenv("QT_QPA_FONTDIR", windows + QByteArrayLiteral("\\Fonts"));
}
