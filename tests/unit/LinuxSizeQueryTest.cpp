// What only the Linux engine promises: unbounded depth and path length, a bounded number of
// descriptors, failures inside the tree for a user who really lacks the permission, and
// pseudo filesystems left alone.

#if defined(__linux__)

#include "sizing/linux/LinuxSizeQuery.h"

#include "SizeQueryInChild.h"
#include "SizeTestTree.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/statfs.h>
#include <sys/wait.h>

#include <climits>
#include <cstring>
#include <functional>

// Size of the file on every level of the chains below.
static constexpr std::uint64_t kChainFileBytes = 3;

TEST(LinuxSizeQueryTest, ChainOfTenThousandFoldersBeyondPathMax)
{
    SizeTestTree tree;
    tree.folder("chain");
    const std::string deepest = tree.chain("chain", "level-name", 10000, kChainFileBytes);
    ASSERT_GT(deepest.size(), static_cast<std::size_t>(PATH_MAX));
    for (const unsigned threads : {1U, 2U, LinuxSizeQuery::kMaxThreads}) {
        LinuxSizeQuery query(threads);
        const SizeResult whole = query.folderSize(tree.path("chain"));
        EXPECT_TRUE(whole.ok()) << whole.reason;
        EXPECT_EQ(whole.bytes, 10000 * kChainFileBytes) << threads << " threads";
    }
    // Paths longer than PATH_MAX are accepted as targets too.
    LinuxSizeQuery query;
    const SizeResult file = query.fileSize(deepest + "/f");
    EXPECT_TRUE(file.ok()) << file.reason.substr(0, 200);
    EXPECT_EQ(file.bytes, kChainFileBytes);
    // 100 levels above the deepest: that folder's file and the 100 below it.
    const std::string level9900 =
        deepest.substr(0, deepest.size() - 100 * std::strlen("/level-name"));
    ASSERT_GT(level9900.size(), static_cast<std::size_t>(PATH_MAX));
    const SizeResult folder = query.folderSize(level9900);
    EXPECT_TRUE(folder.ok()) << folder.reason.substr(0, 200);
    EXPECT_EQ(folder.bytes, 101 * kChainFileBytes);
    EXPECT_EQ(query.folderSize(deepest + "/f").error, SizeError::NotAFolder);
    EXPECT_EQ(query.fileSize(deepest).error, SizeError::NotAFile);
    EXPECT_EQ(query.fileSize(deepest + "/missing").error, SizeError::NotFound);
}

// A deep chain with a side folder on every level: backtracking out of it needs folders
// whose descriptors were evicted long ago, and idle threads get subtrees handed over deep
// down. Returns the expected total.
static std::uint64_t buildComb(SizeTestTree &tree, unsigned depth)
{
    tree.folder("comb");
    std::string level = "comb";
    std::uint64_t total = 0;
    for (unsigned i = 0; i < depth; ++i) {
        tree.folder(level + "/side");
        tree.file(level + "/side/s", i);
        tree.file(level + "/f", 1);
        total += i + 1;
        level += "/down";
        tree.folder(level);
    }
    return total;
}

TEST(LinuxSizeQueryTest, DeepTreesWithEvictedFoldersOnAnyThreadCount)
{
    SizeTestTree tree;
    const std::uint64_t combTotal = buildComb(tree, 300);
    // Two deep chains below one folder: after the first, that folder has long been evicted
    // and must be reopened by name to reach the second.
    tree.folder("twins");
    tree.folder("twins/x");
    tree.chain("twins/x", "first", 300, kChainFileBytes);
    tree.chain("twins/x", "second", 300, kChainFileBytes);
    const struct
    {
        std::string path;
        std::uint64_t bytes;
    } cases[] = {
        {tree.path("comb"), combTotal},
        {tree.path("twins"), 600 * kChainFileBytes},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(SizeTestTree::referenceTotal(c.path), c.bytes);
        for (const unsigned threads : {1U, 2U, 3U, 8U, LinuxSizeQuery::kMaxThreads}) {
            LinuxSizeQuery query(threads);
            const SizeResult result = query.folderSize(c.path);
            EXPECT_TRUE(result.ok()) << result.reason;
            EXPECT_EQ(result.bytes, c.bytes) << c.path << ", " << threads << " threads";
        }
    }
}

TEST(LinuxSizeQueryTest, WorksWithSixtyFourDescriptors)
{
    SizeTestTree tree;
    // Both are far deeper than 64 descriptors could hold open at once.
    const std::uint64_t combTotal = buildComb(tree, 200);
    tree.folder("chain");
    tree.chain("chain", "c", 500, kChainFileBytes);
    const struct
    {
        std::string path;
        std::uint64_t bytes;
    } cases[] = {
        {tree.path("comb"), combTotal},
        {tree.path("chain"), 500 * kChainFileBytes},
        {tree.root(), combTotal + 500 * kChainFileBytes},
    };
    for (const auto &c : cases) {
        for (const unsigned threads : {1U, 2U, 8U, LinuxSizeQuery::kMaxThreads}) {
            const SizeResult result =
                inChild({false, 64}, [&] { return LinuxSizeQuery(threads).folderSize(c.path); });
            EXPECT_TRUE(result.ok()) << c.path << ": " << result.reason;
            EXPECT_EQ(result.bytes, c.bytes) << c.path << ", " << threads << " threads";
        }
    }
}

TEST(LinuxSizeQueryTest, UnreadableFolderFailsNamingItForAnUnprivilegedUser)
{
    // Root reads every folder, so the failures are looked for in a child that has become
    // "nobody" (or already is unprivileged).
    if (::geteuid() == 0 && !::getpwnam("nobody"))
        GTEST_SKIP() << "running as root without a user nobody to become";
    SizeTestTree tree;
    tree.chmod("", 0755);
    tree.folder("tree");
    tree.folder("tree/open");
    tree.file("tree/open/fine", 10);
    tree.folder("tree/open/locked");
    tree.file("tree/open/locked/hidden", 20);
    tree.chmod("tree/open/locked", 0000);
    tree.folder("other");
    tree.folder("other/listable");
    tree.file("other/listable/unreachable", 30);
    tree.chmod("other/listable", 0444); // names can be read, files not reached
    tree.folder("third");
    tree.folder("third/sealed");
    tree.folder("third/sealed/sub");
    tree.chmod("third/sealed", 0444); // only subfolders: opening them is what fails
    tree.folder("readable");
    tree.file("readable/fine", 10);

    const struct
    {
        std::string target;
        bool folder;
        std::string named; // the folder the reason must name
    } cases[] = {
        {tree.path("tree"), true, tree.path("tree/open/locked")},
        {tree.path("tree/open/locked"), true, tree.path("tree/open/locked")},
        {tree.path("tree/open/locked/hidden"), false, tree.path("tree/open/locked/hidden")},
        {tree.path("other"), true, tree.path("other/listable")},
        {tree.path("third"), true, tree.path("third/sealed")},
    };
    for (const auto &c : cases) {
        const SizeResult result = inChild({true, 0}, [&] {
            LinuxSizeQuery query(2);
            return c.folder ? query.folderSize(c.target) : query.fileSize(c.target);
        });
        ASSERT_EQ(result.reason.rfind("setup:", 0), std::string::npos) << result.reason;
        EXPECT_EQ(result.error, SizeError::AccessDenied) << c.target << ": " << result.reason;
        EXPECT_NE(result.reason.find("'" + c.named + "'"), std::string::npos)
            << c.target << ": " << result.reason;
    }
    // The same user sizes what it may read.
    const SizeResult fine =
        inChild({true, 0}, [&] { return LinuxSizeQuery(2).folderSize(tree.path("readable")); });
    EXPECT_TRUE(fine.ok()) << fine.reason;
    EXPECT_EQ(fine.bytes, 10U);
}

TEST(LinuxSizeQueryTest, ThreadCountVariableAcceptsOnlyPositiveWholeNumbers)
{
    const struct
    {
        const char *text;
        unsigned threads;
    } cases[] = {
        {nullptr, 0},
        {"", 0},
        {"0", 0},
        {"1", 1},
        {"16", 16},
        {"64", 64},
        {"65", LinuxSizeQuery::kMaxThreads},
        {"100000000000000000000", 0}, // out of range
        {"-3", 0},
        {"+3", 0},
        {" 3", 0},
        {"3 ", 0},
        {"3x", 0},
        {"four", 0},
        {"2.5", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LinuxSizeQuery::parseThreadCount(c.text), c.threads)
            << (c.text ? c.text : "(null)");
}

TEST(LinuxSizeQueryTest, ThreadCountFromTheEnvironmentGivesTheSameTotals)
{
    SizeTestTree tree;
    const std::uint64_t combTotal = buildComb(tree, 120);
    for (const char *threads : {"1", "2", "64", "junk"}) {
        const SizeResult result = inChild({false, 0}, [&] {
            ::setenv(LinuxSizeQuery::kThreadsVariable, threads, 1);
            return LinuxSizeQuery().folderSize(tree.path("comb"));
        });
        EXPECT_TRUE(result.ok()) << threads << ": " << result.reason;
        EXPECT_EQ(result.bytes, combTotal) << threads;
    }
}

TEST(LinuxSizeQueryTest, PseudoFilesystemsCountNothing)
{
    LinuxSizeQuery query;
    int checked = 0;
    for (const char *mountPoint : {"/proc", "/sys"}) {
        struct statfs info = {};
        if (::statfs(mountPoint, &info) != 0)
            continue;
        const SizeResult result = query.folderSize(mountPoint);
        EXPECT_TRUE(result.ok()) << result.reason;
        EXPECT_EQ(result.bytes, 0U) << mountPoint;
        ++checked;
    }
    if (checked == 0)
        GTEST_SKIP() << "neither /proc nor /sys is mounted";
}

#endif
