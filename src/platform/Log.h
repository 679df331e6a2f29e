#pragma once

#include <QLoggingCategory>
#include <QString>

// The program's messages on stderr (a settings save refused, a run that failed, a measurement
// cancelled or waiting): warnings in this category, shown as "zemra: MESSAGE".
Q_DECLARE_LOGGING_CATEGORY(zemraLog)

namespace Log {

// Shows each message with its category in front ("zemra: ..."), Qt's own included, and
// drops the platform's known harmless notices (isHarmless), so that a scheduled run that
// succeeds prints nothing and an administrator can treat any output as worth reading.
// Call once, at start; QT_MESSAGE_PATTERN still overrides the pattern.
void install();

// Whether a message of Qt's is a notice about the environment that changes nothing for this
// program: a missing or loose XDG_RUNTIME_DIR, which cron and systemd services do not set
// up, and which the program never uses. Pure.
[[nodiscard]] bool isHarmless(const QString &message);

} // namespace Log
