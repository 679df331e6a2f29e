#pragma once

#include "history/HistoryStore.h"

#include <QDateTime>
#include <QString>

// --history PATH [--since DATE]: the size history of one target as CSV on standard output.
namespace HistoryCommand {

struct Answer
{
    int exitStatus = 0;
    QString output; // for standard output
    QString error;  // one line for standard error, or empty
};

// The records of target made at or after since (all when it is invalid), oldest first, as
// CSV with its header: exit status 0. When there is none: no output and exit status 1; when
// the history cannot be read, also one line saying why.
[[nodiscard]] Answer answer(const HistoryStore &history, const QString &target,
                            const QDateTime &since);

// Carries out answer() on the standard streams; returns the exit status.
[[nodiscard]] int run(const HistoryStore &history, const QString &target, const QDateTime &since);

} // namespace HistoryCommand
