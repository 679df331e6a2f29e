#pragma once

#include "platform/SizeQuery.h"
#include "sizing/GrowthState.h"
#include "sizing/linux/WalkShared.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// One total of a folder tree on Linux, counted as SizeQuery::folderSize describes.
//
// The walk runs on several threads, the caller's among them. Each thread walks depth first
// from a stack of its own and hands its oldest pending folder (the root of its largest
// unexplored subtree) to another thread only while that one is idle, so a deep chain costs
// no more than on one thread. Every system call takes a name relative to an open directory,
// so path length is unbounded; each thread keeps a bounded cache of open directories, sized
// from RLIMIT_NOFILE, and reopens an evicted one when it needs it again. Byte counts are
// kept per thread and added up at the end; only files with several links are remembered.
//
// This class sizes the walk from the descriptor limit, starts and joins the walker threads
// (one FolderWalker each) and the growth watcher, and adds up the answer. What the walkers
// share while they run lives in the WalkShared it owns, which they take by reference.
class FolderWalk
{
public:
    // rootFd: an open directory, owned by the walk from now on (it is closed by the walk);
    // rootPath names it in failure reasons. threads: walker threads wanted (at least one);
    // fewer run when the descriptor limit is low. control (not owned, must outlive run())
    // counts the files and bytes found as the walk goes, and its cancel request stops the
    // walk: every walker checks it before each entry it handles, and the growth watcher at
    // its next check, so that walkers idle or parked while the others are blocked in the
    // kernel end too and a walk left behind on a stuck mount wakes nobody (only the blocked
    // walkers stay, asleep in the kernel, until their call returns). Its whereabouts hear, from
    // walker 0 (the thread that calls run()) and walkers 1..N (the walk's own threads), the
    // folder each is about to open, once per folder, and an empty path when it waits for
    // work or is done.
    FolderWalk(int rootFd, std::string rootPath, unsigned threads, SizeQueryControl &control);
    ~FolderWalk();
    FolderWalk(const FolderWalk &) = delete;
    FolderWalk &operator=(const FolderWalk &) = delete;

    // Walks the whole tree and answers the total, or the first failure met, or
    // SizeError::Cancelled when a cancel was requested before the answer was complete.
    // Call once.
    // A folder that was moved while the walk still had work in it is followed when an open
    // descriptor still reaches it; otherwise the walk fails with a reason naming it ("the
    // tree changed during the walk"), never with a smaller total.
    [[nodiscard]] SizeResult run();

    // Lets the walk choose how many walkers run, from rule.least up to rule.most (clamped
    // like threads), by the rate at which entries get done, while the walkers sleep in the
    // kernel and leave processors idle (GrowthState.h): on a cold cache, a disk or a network
    // share more requests in flight speed the walk up; behind a FUSE daemon that answers one
    // request at a time fewer walkers do. Walkers beyond the chosen count park at their next
    // folder, keeping their work, and walkers are started when the count grows past those
    // there are. On a warm cache the walkers neither sleep nor leave processors idle and the
    // count never changes. Set before run(). Tests pass a huge busyShare and no
    // blockedPerBusy to make every measurement try another count.
    void setGrowth(const GrowthRule &rule);

    // For tests: hook is called with the full path of every folder inside the tree right
    // after the walk opens it (before reading it), on the walker thread that reads it (a
    // folder handed to another walker is opened by the giver), so it may be called from
    // several threads at once. Set before run().
    using EnteredHook = WalkShared::EnteredHook;
    void setEnteredHook(EnteredHook hook) { m_shared.setEnteredHook(std::move(hook)); }

    // For tests: hook is called on each thread of the walk as it ends, the caller's walker
    // and the growth watcher included (WalkShared::EndedHook). Set before run().
    using EndedHook = WalkShared::EndedHook;
    void setEndedHook(EndedHook hook) { m_shared.setEndedHook(std::move(hook)); }

    // For tests: walkers waiting for work right now (from any thread, while run() runs).
    [[nodiscard]] unsigned idleWalkers() const { return m_shared.idleWalkers(); }

private:
    // Runs one walker on the calling thread. first: the folder it starts from (the root, for
    // the caller's walker), or null for a walker that takes donated folders only. number:
    // the walker's number in the whereabouts, 0 for the caller's thread.
    void runWalker(WalkShared::Donation *first, unsigned number);
    // Starts count more walker threads into helpers; m_shared already counts them.
    void addWalkers(std::vector<std::thread> &helpers, unsigned count);
    // Every kGrowthInterval, lets as many walkers run as nextGrowthState() says, starting
    // walkers when there are too few. Runs on a thread of its own.
    void tuneWalkers(std::vector<std::thread> &helpers);
    static constexpr std::chrono::milliseconds kGrowthInterval{20};

    // Set up by the constructor and setGrowth(), read-only once run() starts.
    int m_rootFd;               // owned until run() hands it to the caller's walker
    long m_available = 0;       // descriptors the walk may use
    unsigned m_threadLimit = 1; // most walkers the descriptor limit allows
    unsigned m_startThreads = 1;
    unsigned m_mostThreads = 1;
    unsigned m_cacheSize = 2; // open directories each walker may keep
    bool m_tuned = false;     // setGrowth was called: the watcher runs
    GrowthRule m_rule;

    std::atomic<std::uint64_t> m_bytes{0}; // each walker adds its own total as it returns
    WalkShared m_shared;
};
