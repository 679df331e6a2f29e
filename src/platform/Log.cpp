#include "platform/Log.h"

Q_LOGGING_CATEGORY(zemraLog, "zemra")

namespace {

QtMessageHandler g_previousHandler = nullptr;

void filterHarmless(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg && Log::isHarmless(message))
        return;
    g_previousHandler(type, context, message);
}

} // namespace

void Log::install()
{
    qSetMessagePattern(QStringLiteral("%{if-category}%{category}: %{endif}%{message}"));
    g_previousHandler = qInstallMessageHandler(filterHarmless);
}

bool Log::isHarmless(const QString &message)
{
    return message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")) ||
           message.startsWith(QLatin1String("QStandardPaths: wrong permissions on runtime "
                                            "directory"));
}
