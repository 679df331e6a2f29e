// The Linux walk when the tree changes under it: folders moved or deleted while the walk
// still has work inside them, at descriptor limits low enough that the walk must re-enter
// folders it had to close. A hook the walk calls right after opening a folder makes the
// change happen at the same point of every walk.

#if defined(__linux__)

#include "sizing/linux/FolderWalk.h"
#include "sizing/linux/LinuxSizeQuery.h"

#include "SizeQueryInChild.h"
#include "SizeTestTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

constexpr unsigned kChainDepth = 70; // deeper than any walker's cache of open folders
constexpr unsigned kTriggerDepth = 10;

// Four top folders 1..4, each: a file, and a/ holding a file, three small side folders and
// b/. b/ holds a chain of kChainDepth folders "c" with a file on every level between two
// small folders, so that whatever order the walk takes, b still has work when the walk
// comes back up from the chain, which is long past the point where b was closed.
// Returns the total.
std::uint64_t buildTree(SizeTestTree &tree)
{
    std::uint64_t total = 0;
    tree.folder("t");
    for (int top = 1; top <= 4; ++top) {
        const std::string t = "t/" + std::to_string(top);
        tree.folder(t);
        tree.file(t + "/f", 100);
        tree.folder(t + "/a");
        tree.file(t + "/a/g", 10);
        total += 110;
        for (int side = 1; side <= 3; ++side) {
            const std::string s = t + "/a/s" + std::to_string(side);
            tree.folder(s);
            tree.file(s + "/h", 7);
            tree.chain(s, "d", 5, 1);
            total += 7 + 5;
        }
        tree.folder(t + "/a/b");
        tree.folder(t + "/a/b/side0");
        tree.file(t + "/a/b/side0/e", 5);
        tree.chain(t + "/a/b", "c", kChainDepth, 3);
        tree.folder(t + "/a/b/side1");
        tree.file(t + "/a/b/side1/e", 5);
        total += kChainDepth * 3 + 10;
    }
    return total;
}

std::string triggerPath(const SizeTestTree &tree)
{
    std::string path = tree.path("t/3/a/b");
    for (unsigned i = 0; i < kTriggerDepth; ++i)
        path += "/c";
    return path;
}

void move(const std::string &from, const std::string &to)
{
    if (::rename(from.c_str(), to.c_str()) != 0)
        throw std::runtime_error("rename " + from);
}

enum class Change {
    MoveUp,    // t/3/a/b becomes t/3/b
    MoveOut,   // t/3/a leaves the tree
    MoveTwice, // t/3/a is renamed and its chain is moved out below it
    Delete,    // t/3/a is deleted
};

void apply(Change change, const SizeTestTree &tree)
{
    switch (change) {
    case Change::MoveUp:
        move(tree.path("t/3/a/b"), tree.path("t/3/b"));
        break;
    case Change::MoveOut:
        move(tree.path("t/3/a"), tree.path("moved-a"));
        break;
    case Change::MoveTwice:
        move(tree.path("t/3/a"), tree.path("t/3/renamed"));
        move(tree.path("t/3/renamed/b/c"), tree.path("moved-c"));
        break;
    case Change::Delete: {
        // Removing a deep tree needs more descriptors than the walk is left with.
        rlimit limit{};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        const rlimit lifted{limit.rlim_max, limit.rlim_max};
        ::setrlimit(RLIMIT_NOFILE, &lifted);
        std::filesystem::remove_all(tree.path("t/3/a"));
        ::setrlimit(RLIMIT_NOFILE, &limit);
        break;
    }
    }
}

const char *nameOf(Change change)
{
    switch (change) {
    case Change::MoveUp:
        return "move up";
    case Change::MoveOut:
        return "move out";
    case Change::MoveTwice:
        return "move twice";
    case Change::Delete:
        return "delete";
    }
    return "?";
}

// Walks t on threads, applying change once when the trigger folder is opened, in a child
// with the descriptor limit given (0: unchanged).
SizeResult walkWhileChanging(const SizeTestTree &tree, Change change, unsigned threads,
                             rlim_t limit)
{
    return inChild({false, limit}, [&] {
        const std::string root = tree.path("t");
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return SizeResult{0, SizeError::Other, "setup: open"};
        SizeQueryControl control;
        FolderWalk walk(fd, root, threads, control);
        const std::string trigger = triggerPath(tree);
        std::atomic<bool> fired = false;
        walk.setEnteredHook([&](const std::string &path) {
            if (path == trigger && !fired.exchange(true))
                apply(change, tree);
        });
        SizeResult result = walk.run();
        if (!fired)
            return SizeResult{0, SizeError::Other, "setup: the trigger folder was not met"};
        return result;
    });
}

// Walks t in a child with the descriptor limit given (0: unchanged), from `start` walkers
// that may double, after short measurements, while the walk sees blockedPerBusy sleeps per
// busy walker (the processor test is out of the way), running pause in every folder. On success
// answers, in place of the byte count, how many walkers took part: the total is checked against
// full, and against the live counters, in the child.
SizeResult walkersThatTookPart(const SizeTestTree &tree, std::uint64_t full, rlim_t limit,
                               unsigned start, double blockedPerBusy,
                               const std::function<void()> &pause)
{
    return inChild({false, limit}, [&] {
        const std::string root = tree.path("t");
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return SizeResult{0, SizeError::Other, "setup: open"};
        SizeQueryControl control;
        FolderWalk walk(fd, root, start, control);
        GrowthRule rule;
        rule.most = LinuxSizeQuery::kMaxThreads;
        rule.least = start; // more is tried first
        rule.window = 2;
        rule.busyShare = 1e9;
        rule.blockedPerBusy = blockedPerBusy;
        walk.setGrowth(rule);
        std::mutex mutex;
        std::set<std::thread::id> walkers;
        walk.setEnteredHook([&](const std::string &) {
            {
                std::lock_guard lock(mutex);
                walkers.insert(std::this_thread::get_id());
            }
            pause();
        });
        SizeResult answer = walk.run();
        if (!answer.ok())
            return answer;
        if (answer.bytes != full)
            return SizeResult{0, SizeError::Other,
                              "wrong total " + std::to_string(answer.bytes) + ", expected " +
                                  std::to_string(full)};
        if (control.bytesFound() != answer.bytes)
            return SizeResult{0, SizeError::Other, "the counters missed bytes"};
        answer.bytes = walkers.size();
        return answer;
    });
}

} // namespace

TEST(FolderWalkTest, EntriesDeletedDuringTheWalkAreSkipped)
{
    // A stable part that always counts and a doomed part that the walk's own hook deletes
    // the first time the walk enters a folder inside the tree: the doomed folders still
    // pending then vanish under the walk, which must skip them.
    for (const unsigned threads : {1U, 4U, LinuxSizeQuery::kMaxThreads}) {
        SizeTestTree tree;
        tree.folder("tree");
        tree.folder("tree/stable");
        tree.file("tree/stable/kept", 5000);
        std::uint64_t doomedBytes = 0;
        for (int d = 0; d < 40; ++d) {
            const std::string folder = "tree/doomed" + std::to_string(d);
            tree.folder(folder);
            tree.folder(folder + "/inner");
            for (int f = 0; f < 25; ++f) {
                tree.file(folder + "/f" + std::to_string(f), 100);
                tree.file(folder + "/inner/g" + std::to_string(f), 10);
                doomedBytes += 110;
            }
        }
        const std::string root = tree.path("tree");
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0) << root;
        SizeQueryControl control;
        FolderWalk walk(fd, root, threads, control);
        std::atomic<bool> fired = false;
        std::uintmax_t removed = 0;
        walk.setEnteredHook([&](const std::string &path) {
            if (path.rfind(root + "/", 0) != 0 || fired.exchange(true))
                return;
            for (int d = 0; d < 40; ++d)
                removed +=
                    std::filesystem::remove_all(tree.path("tree/doomed" + std::to_string(d)));
        });
        const SizeResult result = walk.run();
        const std::string label = std::to_string(threads) + " threads: " + result.reason;
        ASSERT_TRUE(fired) << label;
        EXPECT_EQ(removed, 40U * (2 + 50)) << label;
        EXPECT_TRUE(result.ok()) << label;
        EXPECT_GE(result.bytes, 5000U) << label;
        EXPECT_LE(result.bytes, 5000U + doomedBytes) << label;

        LinuxSizeQuery query(threads);
        const SizeResult after = query.folderSize(root);
        EXPECT_TRUE(after.ok()) << after.reason;
        EXPECT_EQ(after.bytes, 5000U) << threads << " threads";
    }
}

TEST(FolderWalkTest, MovedFoldersGiveTheFullTotalOrNameTheChange)
{
    const Change changes[] = {Change::MoveUp, Change::MoveOut, Change::MoveTwice};
    for (const rlim_t limit : {rlim_t{12}, rlim_t{24}, rlim_t{64}, rlim_t{0}}) {
        for (const unsigned threads : {1U, 2U, LinuxSizeQuery::kMaxThreads}) {
            for (const Change change : changes) {
                SizeTestTree tree;
                const std::uint64_t full = buildTree(tree);
                ASSERT_EQ(SizeTestTree::referenceTotal(tree.path("t")), full);
                const SizeResult result = walkWhileChanging(tree, change, threads, limit);
                const std::string label = std::string(nameOf(change)) + ", limit " +
                                          std::to_string(limit) + ", " + std::to_string(threads) +
                                          " threads: " + result.reason;
                ASSERT_EQ(result.reason.rfind("setup:", 0), std::string::npos) << label;
                if (change == Change::MoveTwice && !result.ok()) {
                    // Nothing open reaches t/3/a any more: the walk must say so.
                    EXPECT_EQ(result.error, SizeError::Other) << label;
                    EXPECT_NE(result.reason.find("the tree changed during the walk"),
                              std::string::npos)
                        << label;
                    EXPECT_NE(result.reason.find("'" + tree.path("t/3/")), std::string::npos)
                        << label;
                    continue;
                }
                // A moved folder is still reached through descriptors that stay valid.
                EXPECT_TRUE(result.ok()) << label;
                EXPECT_EQ(result.bytes, full) << label;
            }
        }
    }
}

TEST(FolderWalkTest, FoldersDeletedWhileTheWalkIsInsideAreSkipped)
{
    for (const rlim_t limit : {rlim_t{12}, rlim_t{24}, rlim_t{64}, rlim_t{0}}) {
        for (const unsigned threads : {1U, 2U, LinuxSizeQuery::kMaxThreads}) {
            SizeTestTree tree;
            const std::uint64_t full = buildTree(tree);
            const std::uint64_t deleted = SizeTestTree::referenceTotal(tree.path("t/3/a"));
            const SizeResult result = walkWhileChanging(tree, Change::Delete, threads, limit);
            const std::string label = "limit " + std::to_string(limit) + ", " +
                                      std::to_string(threads) + " threads: " + result.reason;
            ASSERT_EQ(result.reason.rfind("setup:", 0), std::string::npos) << label;
            EXPECT_TRUE(result.ok()) << label;
            EXPECT_GE(result.bytes, full - deleted) << label;
            EXPECT_LE(result.bytes, full) << label;
        }
    }
}

TEST(FolderWalkTest, CancelFromAnotherThreadStopsInsideALargeFolder)
{
    // Small folders around one of 10,000 files. The walk pauses right after opening the
    // large folder until another thread has requested the cancel; it must then stop before
    // counting any file of it.
    SizeTestTree tree;
    tree.folder("t");
    std::uint64_t smallFiles = 0;
    for (int folder = 0; folder < 6; ++folder) {
        const std::string name = "t/small" + std::to_string(folder);
        tree.folder(name);
        for (int f = 0; f < 20; ++f, ++smallFiles)
            tree.file(name + "/" + std::to_string(f), 1);
    }
    tree.folder("t/large");
    for (int f = 0; f < 10000; ++f)
        tree.file("t/large/" + std::to_string(f), 1);
    const std::string large = tree.path("t/large");

    for (const unsigned threads : {1U, 2U, LinuxSizeQuery::kMaxThreads}) {
        const std::string root = tree.path("t");
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        SizeQueryControl control;
        FolderWalk walk(fd, root, threads, control);
        std::mutex mutex;
        std::condition_variable changed;
        bool entered = false;
        bool released = false;
        walk.setEnteredHook([&](const std::string &path) {
            if (path != large)
                return;
            std::unique_lock lock(mutex);
            entered = true;
            changed.notify_all();
            changed.wait_for(lock, std::chrono::seconds(10), [&] { return released; });
        });
        bool sawEntered = false;
        std::thread canceller([&] {
            std::unique_lock lock(mutex);
            sawEntered = changed.wait_for(lock, std::chrono::seconds(10), [&] { return entered; });
            control.requestCancel();
            released = true;
            changed.notify_all();
        });
        const SizeResult result = walk.run();
        canceller.join();
        ASSERT_TRUE(sawEntered) << threads << " threads: the large folder was never opened";
        EXPECT_EQ(result.error, SizeError::Cancelled) << threads << " threads: " << result.reason;
        EXPECT_NE(result.reason.find(root), std::string::npos) << result.reason;
        EXPECT_LE(control.filesFound(), smallFiles) << threads << " threads";
    }
}

TEST(FolderWalkTest, WalkersAddedDuringTheWalkGiveExactTotals)
{
    // Growth tried at every measurement (a huge busy share, no sleeps needed), on trees
    // that need folders re-entered and hand-overs to new walkers; each folder is slowed a
    // little so that the walk outlasts several checks.
    SizeTestTree tree;
    const std::uint64_t full = buildTree(tree);
    ASSERT_EQ(SizeTestTree::referenceTotal(tree.path("t")), full);
    for (const rlim_t limit : {rlim_t{24}, rlim_t{64}, rlim_t{0}}) {
        for (const unsigned start : {1U, 2U}) {
            const SizeResult result = walkersThatTookPart(tree, full, limit, start, 0, [] {
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            });
            const std::string label = "limit " + std::to_string(limit) + ", starting with " +
                                      std::to_string(start) + ": " + result.reason;
            ASSERT_TRUE(result.ok()) << label;
            // The walk only needs more walkers than it started with when growth works.
            if (limit != 24) {
                EXPECT_GT(result.bytes, start) << label << "no walker was added";
            }
        }
    }
}

TEST(FolderWalkTest, WalkersAreAddedOnlyWhileTheWalkSleepsInTheKernel)
{
    // The same slow walk twice, with the processor test out of the way (a huge busy share):
    // a walker that sleeps on every folder, as one waiting for storage does, gets helpers;
    // one that keeps its processor busy, as on a warm cache, stays alone.
    SizeTestTree tree;
    const std::uint64_t full = buildTree(tree);
    const auto sleep = [] {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    };
    const auto spin = [] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(500);
        while (std::chrono::steady_clock::now() < until) {
        }
    };
    const SizeResult sleeping = walkersThatTookPart(tree, full, 0, 1, 2.0, sleep);
    ASSERT_TRUE(sleeping.ok()) << sleeping.reason;
    EXPECT_GT(sleeping.bytes, 1U) << "a walk that sleeps got no helpers";
    const SizeResult busy = walkersThatTookPart(tree, full, 0, 1, 2.0, spin);
    ASSERT_TRUE(busy.ok()) << busy.reason;
    EXPECT_EQ(busy.bytes, 1U) << "a walk that keeps its processor busy got helpers";
}

TEST(FolderWalkTest, WhereaboutsNameTheFolderABlockedWalkerHolds)
{
    // One walker blocks right after opening "stuck", as one whose filesystem stopped
    // answering would; the others walk on and run out of work. The folder held longest must
    // be the blocked one, whichever walker holds it; once the walk ends nothing is held.
    SizeTestTree tree;
    tree.folder("t");
    std::uint64_t total = 0;
    for (int i = 0; i < 12; ++i) {
        const std::string folder = "t/a" + std::to_string(i);
        tree.folder(folder);
        tree.file(folder + "/f", 10);
        (void)tree.chain(folder, "sub", 3, 1);
        total += 10 + 3;
    }
    tree.folder("t/stuck");
    tree.file("t/stuck/g", 1000);
    total += 1000;
    const std::string root = tree.path("t");
    const std::string stuck = tree.path("t/stuck");
    for (const unsigned threads : {2U, 4U}) {
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        SizeQueryControl control;
        FolderWalk walk(fd, root, threads, control);
        std::mutex mutex;
        std::condition_variable changed;
        bool released = false;
        walk.setEnteredHook([&](const std::string &path) {
            if (path != stuck)
                return;
            std::unique_lock lock(mutex);
            changed.wait_for(lock, std::chrono::seconds(10), [&] { return released; });
        });
        SizeResult result;
        std::thread walker([&] { result = walk.run(); });
        // Once every other folder is counted and the other walkers wait for work, the
        // folder held longest is the blocked one.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        bool othersDone = false;
        while (!othersDone && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            othersDone = control.bytesFound() == total - 1000 && walk.idleWalkers() == threads - 1;
        }
        const std::string named = control.whereabouts().oldest();
        {
            std::lock_guard lock(mutex);
            released = true;
        }
        changed.notify_all();
        walker.join();
        ASSERT_TRUE(othersDone) << threads << " threads: the other walkers did not finish";
        EXPECT_EQ(named, stuck) << threads << " threads";
        EXPECT_TRUE(result.ok()) << result.reason;
        EXPECT_EQ(result.bytes, total) << threads << " threads";
        EXPECT_EQ(control.whereabouts().oldest(), "") << threads << " threads";
    }
}

TEST(FolderWalkTest, ACancelThatNoWalkerSeesEndsEveryThreadButTheBlockedOne)
{
    // The one walker with work blocks right after opening "stuck", as one whose mount
    // stopped answering would (the others have nothing to take and wait for work), and the
    // query is then cancelled and left behind. No walker that checks the cancel runs, so
    // the growth watcher must see it: it ends, and the idle walkers with it, leaving only
    // the blocked walker, asleep, until its call returns.
    SizeTestTree tree;
    tree.folder("t");
    tree.folder("t/stuck");
    tree.file("t/stuck/f", 10);
    const std::string root = tree.path("t");
    const std::string stuck = tree.path("t/stuck");
    for (const unsigned threads : {2U, 4U}) {
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        SizeQueryControl control;
        FolderWalk walk(fd, root, threads, control);
        GrowthRule rule;
        rule.busyShare = 0; // the walkers never count as waiting: the count stays
        walk.setGrowth(rule);
        std::mutex mutex;
        std::condition_variable changed;
        bool blocked = false;
        bool released = false;
        bool watcherEnded = false;
        std::set<unsigned> walkersEnded;
        walk.setEnteredHook([&](const std::string &path) {
            if (path != stuck)
                return;
            std::unique_lock lock(mutex);
            blocked = true;
            changed.notify_all();
            changed.wait(lock, [&] { return released; });
        });
        walk.setEndedHook([&](bool watcher, unsigned walker) {
            const std::lock_guard lock(mutex);
            if (watcher)
                watcherEnded = true;
            else
                walkersEnded.insert(walker);
            changed.notify_all();
        });
        SizeResult result;
        std::thread runner([&] { result = walk.run(); });
        std::unique_lock lock(mutex);
        const bool sawBlock =
            changed.wait_for(lock, std::chrono::seconds(20), [&] { return blocked; });
        control.requestCancel();
        const bool quiet = changed.wait_for(lock, std::chrono::seconds(20), [&] {
            return watcherEnded && walkersEnded.size() == threads - 1;
        });
        const std::set<unsigned> endedWhileBlocked = walkersEnded;
        const bool watcherEndedWhileBlocked = watcherEnded;
        released = true;
        changed.notify_all();
        lock.unlock();
        runner.join();
        const std::string label = std::to_string(threads) + " walkers";
        ASSERT_TRUE(sawBlock) << label << ": the stuck folder was never opened";
        EXPECT_TRUE(quiet) << label << ": threads still running after the cancel";
        EXPECT_TRUE(watcherEndedWhileBlocked) << label << ": the watcher went on";
        EXPECT_EQ(endedWhileBlocked.size(), threads - 1) << label;
        EXPECT_EQ(endedWhileBlocked.count(0), 0U) << label << ": walker 0 holds the stuck folder";
        EXPECT_EQ(walkersEnded.size(), threads) << label;
        EXPECT_EQ(result.error, SizeError::Cancelled) << label << ": " << result.reason;
    }
}

#endif
