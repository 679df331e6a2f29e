#pragma once

#include "platform/SizeQuery.h"

// The size query service on Linux: stat for a file, a multi-threaded FolderWalk for a tree.
// Paths of any length are accepted; one longer than PATH_MAX is opened component by
// component.
class LinuxSizeQuery final : public SizeQuery
{
public:
    // The most walker threads a query runs; more are clamped to this.
    static constexpr unsigned kMaxThreads = 64;

    // threads: walker threads for folderSize; 0 means one per available core.
    explicit LinuxSizeQuery(unsigned threads = 0);

    [[nodiscard]] SizeResult fileSize(const std::filesystem::path &path) override;
    [[nodiscard]] SizeResult folderSize(const std::filesystem::path &path) override;

private:
    unsigned m_threads;
};
