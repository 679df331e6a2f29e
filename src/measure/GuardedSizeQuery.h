#pragma once

#include "platform/SizeQuery.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

// The two halves of a pass's size query that must never throw. A path that names no file (a
// NUL character, an unpaired surrogate) is refused before any service is asked, and an
// exception from asking the service comes back as a failure with its message, so neither
// can escape the run, whichever thread it runs on.
namespace GuardedSizeQuery {

enum class Kind { File, Folder };

// The file name for targetText, or nullopt with *refusal set to a SizeError::NotFound
// failure whose reason names the target. Pure.
[[nodiscard]] std::optional<std::filesystem::path> path(const QString &targetText,
                                                        SizeResult &refusal);

// A new service from create, or null with *failure set to a SizeError::Other failure
// naming the target when create throws.
[[nodiscard]] std::unique_ptr<SizeQuery>
make(const std::function<std::unique_ptr<SizeQuery>()> &create, const QString &targetText,
     SizeResult &failure);

// Asks service for the size of path (the file name of targetText, which names it in
// reasons). An exception is answered as SizeError::Other with its message. Safe to call
// on any thread.
[[nodiscard]] SizeResult ask(SizeQuery &service, Kind kind, const std::filesystem::path &path,
                             const QString &targetText);

} // namespace GuardedSizeQuery
