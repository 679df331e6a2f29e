#pragma once

#include "platform/linux/GrowthState.h"
#include "platform/SizeQuery.h"

#include <sys/types.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
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
class FolderWalk
{
public:
    // rootFd: an open directory, owned by the walk from now on (it is closed by the walk);
    // rootPath names it in failure reasons. threads: walker threads wanted (at least one);
    // fewer run when the descriptor limit is low. control (not owned, must outlive run())
    // counts the files and bytes found as the walk goes, and its cancel request stops the
    // walk: every walker checks it before each entry it handles. Its whereabouts hear, from
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
    using EnteredHook = std::function<void(const std::string &path)>;
    void setEnteredHook(EnteredHook hook) { m_enteredHook = std::move(hook); }

    // For tests: walkers waiting for work right now (from any thread, while run() runs).
    [[nodiscard]] unsigned idleWalkers() const { return m_idle.load(std::memory_order_relaxed); }

private:
    // One thread's share of the walk, and the folders it keeps open: both take work from
    // the walk, hand work to it and report failures to it.
    friend class FolderWalker;
    friend class FolderCache;

    // A folder handed from one walker to another, already opened by the giver.
    struct Donation
    {
        int fd = -1;
        std::string path; // full path, for failure reasons only
        dev_t dev = 0;
        ino_t ino = 0;
    };

    struct FileId
    {
        dev_t dev;
        ino_t ino;
        bool operator==(const FileId &) const = default;
    };

    struct FileIdHash
    {
        std::size_t operator()(const FileId &id) const
        {
            return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(id.ino) ^
                                              (static_cast<std::uint64_t>(id.dev) << 40));
        }
    };

    // number: the walker's number in the whereabouts, 0 for the caller's thread.
    void runWalker(Donation *first, unsigned number);
    // Starts count more walker threads into helpers; m_threads already counts them.
    void addWalkers(std::vector<std::thread> &helpers, unsigned count);
    // Every kGrowthInterval, sets the walkers allowed to run (m_active) as nextGrowthState()
    // says, starting walkers when there are too few. Runs on a thread of its own.
    void tuneWalkers(std::vector<std::thread> &helpers);
    static constexpr std::chrono::milliseconds kGrowthInterval{20};
    // True when more walkers run than are allowed: the caller, a walker between folders,
    // should park(). Cheap enough for every folder.
    [[nodiscard]] bool tooMany() const
    {
        return m_running.load(std::memory_order_relaxed) > m_active.load(std::memory_order_relaxed);
    }
    // Waits, keeping the walker's work, while more walkers run than are allowed.
    void park();
    // Where walker `number` counts the entries it handled, for the rate the watcher
    // measures: a line of its own, so that counting every few entries costs no contention.
    struct alignas(64) DoneCount
    {
        std::atomic<std::uint64_t> entries{0};
    };
    [[nodiscard]] DoneCount &doneCount(unsigned number)
    {
        return m_doneCounts[number % m_doneCounts.size()];
    }
    [[nodiscard]] std::uint64_t entriesDone() const;
    // For a walker out of work: the next donated folder, once a walker more may run; false
    // when the walk is over. running: the caller ran until now (it was not just started).
    [[nodiscard]] bool take(Donation &donation, bool running);
    void donate(Donation donation);
    // True while some walker is idle with nothing queued for it, and may run.
    [[nodiscard]] bool wantsDonation() const;
    void fail(SizeResult failure);
    [[nodiscard]] bool stopped() const { return m_stop.load(std::memory_order_relaxed); }
    // True when the walk must stop: after a failure, or (then stopping it) on a cancel
    // request.
    [[nodiscard]] bool checkCancel();
    [[nodiscard]] SizeResult cancelled() const;
    // True the first time the file (dev, ino) is met, for files with several links.
    [[nodiscard]] bool firstLink(dev_t dev, ino_t ino);

    int m_rootFd;
    std::string m_rootPath;
    long m_available = 0;       // descriptors the walk may use
    unsigned m_threadLimit = 1; // most walkers the descriptor limit allows
    unsigned m_startThreads = 1;
    unsigned m_mostThreads = 1;
    bool m_tuned = false; // setGrowth was called: the watcher runs
    GrowthRule m_rule;
    unsigned m_threads;   // walkers started or being started; guarded by m_mutex once run
    unsigned m_cacheSize; // open directories each walker may keep
    EnteredHook m_enteredHook;
    SizeQueryControl &m_control;

    std::mutex m_mutex; // guards the members below down to m_failure
    std::condition_variable m_wake;
    std::vector<Donation> m_queue;
    std::atomic<unsigned> m_idle{0};
    std::atomic<unsigned> m_queued{0};
    std::atomic<unsigned> m_active{1};         // walkers allowed to run
    std::atomic<unsigned> m_running{1};        // walkers with work that are not parked
    std::atomic<unsigned long> m_idleWaits{0}; // times a walker went to sleep waiting for work
    bool m_done = false;
    bool m_finished = false; // the caller's walker returned: the growth watcher stops
    std::condition_variable m_watcherWake;
    SizeResult m_failure;

    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_bytes{0};
    std::array<DoneCount, 64> m_doneCounts;

    std::mutex m_linkMutex;
    std::unordered_set<FileId, FileIdHash> m_links;
};
