#include "platform/Log.h"

Q_LOGGING_CATEGORY(zemraLog, "zemra")

void Log::install()
{
    qSetMessagePattern(QStringLiteral("%{if-category}%{category}: %{endif}%{message}"));
    // Without a console Qt sends messages to the debugger on Windows (and to the journal
    // where it is built for one) instead of standard error, so a scheduled run's redirected
    // stderr would never see them.
    if (qEnvironmentVariableIsEmpty("QT_FORCE_STDERR_LOGGING"))
        qputenv("QT_FORCE_STDERR_LOGGING", QByteArrayLiteral("1"));
}
