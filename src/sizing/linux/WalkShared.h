#pragma once

#include "platform/SizeQuery.h"

#include <sys/types.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

// What the walkers of one FolderWalk share: the folders handed from one walker to another,
// the turns to run (how many walkers may run, how many do, parking the others), the first
// failure and the stop it causes, the cancel check, the files with several links already
// counted, each walker's count of entries done, the query's control and the test hooks.
//
// FolderWalk owns one and outlives every walker thread; each FolderWalker, and its
// FolderCache, holds it by reference. The growth watcher (FolderWalk's thread of its own)
// reads the counts and changes the turns through the members marked "for the watcher".
//
// Threads: every member may be called from any walker thread while the walk runs, unless
// said otherwise. m_mutex guards the queue, the walker count, the end flags and the failure;
// the idle, queued, allowed and running counts change only under it too, so that a pair of
// them read under it agrees. Those counts, the stop flag and the entries done are also read
// without a lock (by the walkers once per folder or entry, by the watcher once per check):
// they only steer the walk, never its answer, and a stale value only hands work over, parks
// a walker or stops it a folder or an entry later. m_linkMutex guards the link set.
class WalkShared
{
public:
    // A folder handed from one walker to another, already opened by the giver; its
    // descriptor is owned by whoever holds the donation.
    struct Donation
    {
        int fd = -1;
        std::string path; // full path, for failure reasons only
        dev_t dev = 0;
        ino_t ino = 0;
    };

    // For tests: called with the full path of every folder opened inside the tree.
    using EnteredHook = std::function<void(const std::string &path)>;
    // For tests: called on each thread of the walk as it ends: a walker (walker: its
    // number, 0 for the caller's thread) or the growth watcher (watcher true).
    using EndedHook = std::function<void(bool watcher, unsigned walker)>;

    // rootPath: the walk's root, named by a cancel and by a failure of the walk as a whole.
    // walkers: walkers started, and allowed to run, at first (at least one). control (not
    // owned) must outlive this object.
    WalkShared(std::string rootPath, unsigned walkers, SizeQueryControl &control);
    // Closes the folders still queued (after a walk that stopped on a failure or cancel).
    ~WalkShared();
    WalkShared(const WalkShared &) = delete;
    WalkShared &operator=(const WalkShared &) = delete;

    [[nodiscard]] const std::string &rootPath() const { return m_rootPath; }
    // The query's control: its counters, cancel request and whereabouts.
    [[nodiscard]] SizeQueryControl &control() { return m_control; }

    // Set before the walk runs; read by every walker.
    void setEnteredHook(EnteredHook hook) { m_enteredHook = std::move(hook); }
    // Calls the test hook, if any, with path, a folder just opened.
    void entered(const std::string &path) const
    {
        if (m_enteredHook)
            m_enteredHook(path);
    }
    void setEndedHook(EndedHook hook) { m_endedHook = std::move(hook); }
    // Calls the test hook, if any: a thread of the walk ends.
    void ended(bool watcher, unsigned walker) const
    {
        if (m_endedHook)
            m_endedHook(watcher, walker);
    }

    // Work between walkers. For a walker out of work: waits for the next donated folder and
    // for its turn to run; false when the walk is over (complete or stopped). running: the
    // caller ran until now (it was not just started), so its turn is given up first.
    [[nodiscard]] bool take(Donation &donation, bool running);
    // Queues donation (its descriptor owned by the queue from now on) for an idle walker.
    void donate(Donation donation);
    // True while some walker is idle with nothing queued for it, and may run.
    [[nodiscard]] bool wantsDonation() const;
    // Walkers waiting for work right now.
    [[nodiscard]] unsigned idleWalkers() const { return m_idle.load(std::memory_order_relaxed); }

    // Turns to run. True when more walkers run than are allowed: the caller, a walker
    // between folders, should park(). Cheap enough for every folder.
    [[nodiscard]] bool tooMany() const
    {
        return m_running.load(std::memory_order_relaxed) > m_active.load(std::memory_order_relaxed);
    }
    // Waits, keeping the walker's work, while more walkers run than are allowed.
    void park();

    // Failure and cancel. Keeps the first failure reported and stops every walker.
    void fail(SizeResult failure);
    [[nodiscard]] bool stopped() const { return m_stop.load(std::memory_order_relaxed); }
    // True when the walk must stop: after a failure, or (then stopping it) on a cancel
    // request.
    [[nodiscard]] bool checkCancel();
    // The answer of a cancelled walk.
    [[nodiscard]] SizeResult cancelled() const;
    // The first failure reported, or a result without error. Only once every walker has
    // returned.
    [[nodiscard]] const SizeResult &failure() const { return m_failure; }

    // True the first time the file (dev, ino) is met, for files with several links.
    [[nodiscard]] bool firstLink(dev_t dev, ino_t ino);

    // Where walker `number` counts the entries it handled, for the rate the watcher
    // measures: a cache line of its own, so that counting every few entries costs no
    // contention. Written by that walker only.
    [[nodiscard]] std::atomic<std::uint64_t> &doneCount(unsigned number)
    {
        return m_doneCounts[number % m_doneCounts.size()].entries;
    }

    // For the watcher: entries done by all walkers so far.
    [[nodiscard]] std::uint64_t entriesDone() const;
    // For the watcher: times a walker went to sleep waiting for work or for its turn.
    [[nodiscard]] unsigned long idleWaits() const
    {
        return m_idleWaits.load(std::memory_order_relaxed);
    }
    // For the watcher: walkers allowed to run and walkers running.
    struct Turns
    {
        unsigned active = 0;
        unsigned running = 0;
    };
    // For the watcher: waits up to interval and answers the turns as they are then (read
    // together, under the mutex); nothing when the walk is over (complete, stopped, or its
    // caller's walker returned) and the watcher should return: at once when it ends, and at
    // the end of the interval when a cancel was requested, which then stops the walk.
    [[nodiscard]] std::optional<Turns> waitForCheck(std::chrono::milliseconds interval);
    // For the watcher: lets active walkers run, waking parked ones; answers how many
    // walkers must be started for that, which count as walkers from now on.
    [[nodiscard]] unsigned allow(unsigned active);
    // count walkers counted by the constructor or by allow() could not be started. Walkers
    // waiting for the missing ones see the new count and notice the end of the walk.
    void notStarted(unsigned count);
    // The caller's walker returned: the watcher stops. Called by the thread that runs the
    // walk.
    void callerReturned();

private:
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

    struct alignas(64) DoneCount
    {
        std::atomic<std::uint64_t> entries{0};
    };

    const std::string m_rootPath;
    SizeQueryControl &m_control;
    EnteredHook m_enteredHook;
    EndedHook m_endedHook;

    mutable std::mutex m_mutex;     // guards the members below down to m_failure
    std::condition_variable m_wake; // walkers waiting for work or for their turn
    std::vector<Donation> m_queue;
    unsigned m_threads; // walkers started or being started
    std::atomic<unsigned> m_idle{0};
    std::atomic<unsigned> m_queued{0};
    std::atomic<unsigned> m_active;            // walkers allowed to run
    std::atomic<unsigned> m_running{1};        // walkers with work that are not parked
    std::atomic<unsigned long> m_idleWaits{0}; // sleeps waiting for work or for a turn
    bool m_done = false;                       // the walk is complete: no work held, none queued
    bool m_callerReturned = false;             // the caller's walker returned: the watcher stops
    std::condition_variable m_watcherWake;     // the growth watcher, between its checks
    SizeResult m_failure;

    std::atomic<bool> m_stop{false};
    std::array<DoneCount, 64> m_doneCounts;

    std::mutex m_linkMutex; // guards m_links
    std::unordered_set<FileId, FileIdHash> m_links;
};
