#pragma once

#include "platform/SizeQuery.h"

#include <filesystem>
#include <optional>

// The size query service on platforms without an engine of their own, written against
// std::filesystem only. Single-threaded, with an explicit stack of pending folders and one
// folder open at a time. Where it falls short of the SizeQuery contract: hard links are
// recognised only where POSIX stat is available (elsewhere each link is counted), pseudo
// filesystems are not recognised, and paths longer than the platform's limit fail
// (SizeError::Other). A cancel request is checked before every entry; the counters of
// control() grow once per folder.
class PortableSizeQuery final : public SizeQuery
{
public:
    [[nodiscard]] SizeResult fileSize(const std::filesystem::path &path) override;
    [[nodiscard]] SizeResult folderSize(const std::filesystem::path &path) override;

private:
    // What a query answers before it looks inside path: refusal(), or when nothing is there
    // NotFound ("Cannot find <kind>"), or unreachable ("Cannot reach file", ...) with the
    // system's reason. Nothing, with status (symbolic links followed) filled in, when the
    // query goes on.
    [[nodiscard]] std::optional<SizeResult> lookUp(const std::filesystem::path &path,
                                                   const char *kind, const char *unreachable,
                                                   std::filesystem::file_status &status) const;
};
