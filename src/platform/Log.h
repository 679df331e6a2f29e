#pragma once

#include <QLoggingCategory>

// The program's messages on stderr (a settings write refused, a log file not written, a
// measurement cancelled): warnings in this category, shown as "zemra: MESSAGE".
Q_DECLARE_LOGGING_CATEGORY(zemraLog)

class Log
{
public:
    // Shows each message with its category in front ("zemra: ..."), Qt's own included, on
    // standard error also where Qt would send it elsewhere (no console on Windows). Call
    // once, at start; QT_MESSAGE_PATTERN and QT_FORCE_STDERR_LOGGING still override it.
    static void install();
};
