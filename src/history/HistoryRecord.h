#pragma once

#include <QDateTime>
#include <QLatin1StringView>
#include <QString>

#include <cstdint>
#include <optional>

// One measurement run as the size history keeps it: when it started, which program made it,
// what it measured and what came of it.
struct HistoryRecord
{
    // When the measurement started, in UTC.
    QDateTime time;
    // The executable name, as the run log names the program.
    QString executable;
    // The target path as the run log shows it.
    QString target;
    // The target kind: a folder tree, or a single file.
    bool folder = false;
    // What the size query counted: the size in bytes, the regular files, and the folders
    // inside the tree (none for a file). Absent when the size query failed.
    std::optional<std::uint64_t> bytes;
    std::optional<std::uint64_t> files;
    std::optional<std::uint64_t> folders;
    // How long the measurement took, in seconds.
    double seconds = 0;
    // goodOutcome(), or why the run failed (the reasons the run reports on standard error).
    QString outcome;

    static constexpr QLatin1StringView goodOutcome() { return QLatin1StringView("good"); }
    [[nodiscard]] QLatin1StringView kind() const
    {
        return folder ? QLatin1StringView("folder") : QLatin1StringView("file");
    }
};
