#include "platform/Log.h"

Q_LOGGING_CATEGORY(zemraLog, "zemra")

void Log::install()
{
    qSetMessagePattern(QStringLiteral("%{if-category}%{category}: %{endif}%{message}"));
}
