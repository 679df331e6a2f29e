#pragma once

#include <QLoggingCategory>

// The program's messages on stderr (a settings write refused, a log file not written, a
// measurement cancelled): warnings in this category, shown as "zemra: MESSAGE".
Q_DECLARE_LOGGING_CATEGORY(zemraLog)

class Log
{
public:
    // Shows each message with its category in front ("zemra: ..."), Qt's own included.
    // Call once, at start; QT_MESSAGE_PATTERN still overrides it.
    static void install();
};
