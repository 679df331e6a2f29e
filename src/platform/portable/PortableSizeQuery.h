#pragma once

#include "platform/SizeQuery.h"

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
};
