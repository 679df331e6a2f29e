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
    // The most walker threads the default tries while walkers wait for storage. Measured on
    // a cold cache, 32 walkers come within a few percent of 64, at less memory (each
    // walker keeps one node per level of the path it is on).
    static constexpr unsigned kGrowthThreads = 32;

    // Environment variable that fixes the walker thread count (1 to kMaxThreads) of
    // queries made with threads == 0, for users whose storage the default does not suit.
    static constexpr const char *kThreadsVariable = "ZEMRA_SIZE_THREADS";

    // threads: walker threads for folderSize. 0: the count in kThreadsVariable when that
    // holds a positive integer; otherwise the count and the way it grows that the storage
    // of the folder wants (WalkerCountRule::startFor: one walker per available core on a
    // local disk, growing at once while the walkers wait on it; one walker behind a FUSE
    // daemon, growing only on lasting evidence; eight on a network share), up to
    // kGrowthThreads.
    explicit LinuxSizeQuery(unsigned threads = 0);

    // The thread count a kThreadsVariable value asks for, clamped to kMaxThreads; 0 when
    // text is null, empty, not a whole decimal number, or zero.
    [[nodiscard]] static unsigned parseThreadCount(const char *text);

    [[nodiscard]] SizeResult fileSize(const std::filesystem::path &path) override;
    [[nodiscard]] SizeResult folderSize(const std::filesystem::path &path) override;

private:
    unsigned m_fixedThreads; // 0: chosen by the measured rate
};
