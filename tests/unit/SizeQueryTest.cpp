// The size query service's contract, checked on real temporary trees against every engine
// that can run here: the Linux engine on one and on several threads, and the portable
// std::filesystem engine.

// The trees are built with POSIX calls (symbolic links, FIFOs, sparse files).
#if !defined(_WIN32)

#include "platform/SizeQuery.h"

#include "SizeTestTree.h"

#include "sizing/portable/PortableSizeQuery.h"
#if defined(__linux__)
#include "sizing/linux/LinuxSizeQuery.h"
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

TEST(SizeResultTest, FactoriesFillEveryField)
{
    const std::string longPath(300, 'x');
    const struct
    {
        SizeResult made;
        bool ok;
        std::uint64_t bytes;
        SizeError error;
        std::string reason;
    } cases[] = {
        {SizeResult::of(0), true, 0, SizeError::None, ""},
        {SizeResult::of(5'000'000'000ULL), true, 5'000'000'000ULL, SizeError::None, ""},
        {SizeResult::failure(SizeError::AccessDenied, "no"), false, 0, SizeError::AccessDenied,
         "no"},
        {SizeResult::failure(SizeError::Other, ""), false, 0, SizeError::Other, ""},
        {SizeResult::cancelled("file", "/a b/c"), false, 0, SizeError::Cancelled,
         "Sizing file '/a b/c' was cancelled"},
        {SizeResult::cancelled("folder", std::string_view("n\0ul\xff", 5)), false, 0,
         SizeError::Cancelled, std::string("Sizing folder 'n\0ul\xff' was cancelled", 35)},
        {SizeResult::cancelled("folder", longPath), false, 0, SizeError::Cancelled,
         "Sizing folder '" + longPath + "' was cancelled"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.made.ok(), c.ok) << c.reason;
        EXPECT_EQ(c.made.bytes, c.bytes) << c.reason;
        EXPECT_EQ(c.made.error, c.error) << c.reason;
        EXPECT_EQ(c.made.reason, c.reason);
    }
}

struct SizeEngine
{
    const char *name;
    std::function<std::unique_ptr<SizeQuery>()> make;
};

static void PrintTo(const SizeEngine &engine, std::ostream *out)
{
    *out << engine.name;
}

static constexpr std::uint64_t kFiveGigabytes = 5ULL * 1000 * 1000 * 1000;

class SizeQueryTest : public ::testing::TestWithParam<SizeEngine>
{
protected:
    SizeQueryTest() : m_query(GetParam().make()) {}

    // A tree holding every kind of entry the walk must treat specially. Regular files
    // total kMixedTotal; each hard-linked file counts once.
    void buildMixedTree()
    {
        m_tree.folder("mixed");
        m_tree.folder("mixed/a");
        m_tree.folder("mixed/a/deeper");
        m_tree.folder("mixed/b");
        m_tree.folder("mixed/empty-folder");
        m_tree.file("mixed/a/plain", 1000);
        m_tree.file("mixed/a/deeper/linked", 300);
        m_tree.hardlink("mixed/a/deeper/linked", "mixed/a/deeper/linked-same-folder");
        m_tree.hardlink("mixed/a/deeper/linked", "mixed/b/linked-other-folder");
        m_tree.file("mixed/b/sparse", kFiveGigabytes);
        m_tree.file("mixed/b/empty", 0);
        m_tree.file("mixed/b/caf\xe9-not-utf8", 7);
        m_tree.file("mixed/b/line\nbreak", 11);
        m_tree.folder("mixed/b/\xff\xfe-folder");
        m_tree.file("mixed/b/\xff\xfe-folder/inside", 13);
        m_tree.fifo("mixed/b/fifo");
        // Links inside the tree count nothing: not even what they point at outside it.
        m_tree.file("outside", 1'000'000);
        m_tree.folder("outside-folder");
        m_tree.file("outside-folder/big", 2'000'000);
        m_tree.symlink("../../outside", "mixed/a/to-outside-file");
        m_tree.symlink("../../outside-folder", "mixed/a/to-outside-folder");
        m_tree.symlink("../b", "mixed/a/to-sibling-folder");
        m_tree.symlink("loop", "mixed/b/loop");
        m_tree.symlink("nowhere", "mixed/b/dangling");
    }
    static constexpr std::uint64_t kMixedTotal = 1000 + 300 + kFiveGigabytes + 0 + 7 + 11 + 13;

    SizeTestTree m_tree;
    std::unique_ptr<SizeQuery> m_query;
};

TEST_P(SizeQueryTest, FileSizeIsTheApparentSizeOfTheNamedFile)
{
    m_tree.file("empty", 0);
    m_tree.file("one", 1);
    m_tree.file("page", 4096);
    m_tree.file("beyond-32-bits", kFiveGigabytes);
    m_tree.file("caf\xe9", 5);
    m_tree.symlink("page", "link-to-page");
    const struct
    {
        const char *name;
        std::uint64_t bytes;
    } cases[] = {
        {"empty", 0},   {"one", 1},
        {"page", 4096}, {"beyond-32-bits", kFiveGigabytes},
        {"caf\xe9", 5}, {"link-to-page", 4096}, // the named link is followed
    };
    for (const auto &c : cases) {
        const SizeResult result = m_query->fileSize(m_tree.path(c.name));
        EXPECT_TRUE(result.ok()) << c.name << ": " << result.reason;
        EXPECT_EQ(result.bytes, c.bytes) << c.name;
    }
}

TEST_P(SizeQueryTest, WrongKindMissingAndEmptyPathsFail)
{
    m_tree.file("file", 10);
    m_tree.folder("folder");
    m_tree.fifo("fifo");
    m_tree.symlink("nowhere", "dangling");
    m_tree.symlink("file", "link-to-file");
    m_tree.symlink("folder", "link-to-folder");
    enum Ask { File, Folder };
    const struct
    {
        Ask ask;
        std::string path;
        SizeError error;
    } cases[] = {
        {File, "", SizeError::NotFound},
        {Folder, "", SizeError::NotFound},
        {File, m_tree.path("missing"), SizeError::NotFound},
        {Folder, m_tree.path("missing"), SizeError::NotFound},
        {File, m_tree.path("missing/below"), SizeError::NotFound},
        {File, m_tree.path("file/below"), SizeError::NotFound},
        {Folder, m_tree.path("file/below"), SizeError::NotFound},
        {File, m_tree.path("dangling"), SizeError::NotFound},
        {Folder, m_tree.path("dangling"), SizeError::NotFound},
        {File, m_tree.path("folder"), SizeError::NotAFile},
        {File, m_tree.path("link-to-folder"), SizeError::NotAFile},
        {File, m_tree.path("fifo"), SizeError::NotAFile}, // and it must not block
        {File, "/dev/null", SizeError::NotAFile},
        {Folder, m_tree.path("file"), SizeError::NotAFolder},
        {Folder, m_tree.path("link-to-file"), SizeError::NotAFolder},
        {Folder, m_tree.path("fifo"), SizeError::NotAFolder},
    };
    for (const auto &c : cases) {
        const SizeResult result =
            c.ask == File ? m_query->fileSize(c.path) : m_query->folderSize(c.path);
        const std::string label = (c.ask == File ? "file " : "folder ") + c.path;
        EXPECT_EQ(result.error, c.error) << label << ": " << result.reason;
        EXPECT_FALSE(result.ok()) << label;
        EXPECT_NE(result.reason.find(c.path), std::string::npos) << label << ": " << result.reason;
        EXPECT_FALSE(result.reason.empty()) << label;
    }
}

TEST_P(SizeQueryTest, FailureReasonsAreTheSameSentencesOnEveryEngine)
{
    m_tree.file("file", 10);
    m_tree.folder("folder");
    const std::string file = m_tree.path("file");
    const std::string folder = m_tree.path("folder");
    const std::string missing = m_tree.path("missing");
    enum Ask { File, Folder };
    const struct
    {
        Ask ask;
        std::string path;
        std::string reasonStart;
    } cases[] = {
        {File, "", "No file to size: the path is empty"},
        {Folder, "", "No folder to size: the path is empty"},
        {File, missing, "Cannot find file '" + missing + "': "},
        {Folder, missing, "Cannot find folder '" + missing + "': "},
        {File, folder, "'" + folder + "' is a folder, not a file"},
        {Folder, file, "'" + file + "' is not a folder"},
    };
    for (const auto &c : cases) {
        const SizeResult result =
            c.ask == File ? m_query->fileSize(c.path) : m_query->folderSize(c.path);
        EXPECT_EQ(result.reason.substr(0, c.reasonStart.size()), c.reasonStart);
        EXPECT_FALSE(result.ok()) << c.reasonStart;
    }
}

TEST_P(SizeQueryTest, FolderSizeCountsRegularFilesOnceAndNothingElse)
{
    buildMixedTree();
    const std::string mixed = m_tree.path("mixed");
    m_tree.symlink("mixed", "link-to-mixed");
    ASSERT_EQ(SizeTestTree::referenceTotal(mixed), kMixedTotal);
    const struct
    {
        std::string path;
        std::uint64_t bytes;
    } cases[] = {
        {mixed, kMixedTotal},
        {mixed + "/", kMixedTotal},
        {m_tree.path("link-to-mixed"), kMixedTotal}, // the named link is followed
        {mixed + "/a/deeper", 300},
        {mixed + "/b/\xff\xfe-folder", 13},
        {mixed + "/empty-folder", 0},
    };
    for (const auto &c : cases) {
        const SizeResult result = m_query->folderSize(c.path);
        EXPECT_TRUE(result.ok()) << c.path << ": " << result.reason;
        EXPECT_EQ(result.bytes, c.bytes) << c.path;
    }
}

TEST_P(SizeQueryTest, WideAndBranchingTreesMatchTheReference)
{
    // Enough folders that several walker threads share the work.
    std::uint64_t expected = 0;
    for (int top = 0; top < 8; ++top) {
        const std::string t = "wide/t" + std::to_string(top);
        if (top == 0)
            m_tree.folder("wide");
        m_tree.folder(t);
        for (int sub = 0; sub < 12; ++sub) {
            const std::string s = t + "/s" + std::to_string(sub);
            m_tree.folder(s);
            for (int f = 0; f < 6; ++f) {
                const std::uint64_t bytes = 1 + top * 1000 + sub * 10 + f;
                m_tree.file(s + "/f" + std::to_string(f), bytes);
                expected += bytes;
            }
        }
    }
    ASSERT_EQ(SizeTestTree::referenceTotal(m_tree.path("wide")), expected);
    const SizeResult result = m_query->folderSize(m_tree.path("wide"));
    EXPECT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(result.bytes, expected);
}

TEST_P(SizeQueryTest, ACancelRequestedBeforeTheCallAnswersCancelled)
{
    buildMixedTree();
    m_query->control().requestCancel();
    enum Ask { File, Folder };
    const struct
    {
        Ask ask;
        std::string path;
    } cases[] = {
        {Folder, m_tree.path("mixed")},
        {Folder, m_tree.path("mixed/a/deeper")},
        {File, m_tree.path("outside")},
        {Folder, m_tree.path("missing")}, // cancelled before the path is even looked at
    };
    for (const auto &c : cases) {
        const SizeResult result =
            c.ask == File ? m_query->fileSize(c.path) : m_query->folderSize(c.path);
        EXPECT_EQ(result.error, SizeError::Cancelled) << c.path << ": " << result.reason;
        EXPECT_EQ(result.bytes, 0U) << c.path;
        EXPECT_NE(result.reason.find(c.path), std::string::npos) << result.reason;
    }
    EXPECT_EQ(m_query->control().filesFound(), 0U);
    EXPECT_EQ(m_query->control().bytesFound(), 0U);
}

TEST_P(SizeQueryTest, CountersOnlyGrowWhileWalkingAndEndAtTheTotal)
{
    // Enough files that a watching thread sees the counters move, and hard links that must
    // be counted once there too.
    buildMixedTree();
    std::uint64_t expected = kMixedTotal;
    std::uint64_t files = 7; // the mixed tree's regular files, the hard-linked one once
    // Its folders below "mixed" (a, a/deeper, b, b/<non-UTF-8>-folder, empty-folder), and the
    // twenty added here; symbolic links to folders are none.
    const std::uint64_t folders = 5 + 20;
    for (int folder = 0; folder < 20; ++folder) {
        const std::string name = "mixed/many" + std::to_string(folder);
        m_tree.folder(name);
        for (int f = 0; f < 300; ++f) {
            m_tree.file(name + "/" + std::to_string(f), static_cast<std::uint64_t>(f));
            expected += static_cast<std::uint64_t>(f);
            ++files;
        }
    }
    ASSERT_EQ(SizeTestTree::referenceTotal(m_tree.path("mixed")), expected);

    SizeQueryControl &control = m_query->control();
    std::atomic<bool> done = false;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> samples;
    std::thread watcher([&] {
        while (!done.load()) {
            samples.emplace_back(control.filesFound(), control.bytesFound());
            std::this_thread::yield();
        }
    });
    const SizeResult result = m_query->folderSize(m_tree.path("mixed"));
    done = true;
    watcher.join();

    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(result.bytes, expected);
    EXPECT_EQ(control.bytesFound(), expected);
    EXPECT_EQ(control.filesFound(), files);
    EXPECT_EQ(control.foldersFound(), folders);
    for (std::size_t i = 1; i < samples.size(); ++i) {
        EXPECT_GE(samples[i].first, samples[i - 1].first) << "sample " << i;
        EXPECT_GE(samples[i].second, samples[i - 1].second) << "sample " << i;
        EXPECT_LE(samples[i].second, expected) << "sample " << i;
    }
    // A file asked for alone counts as one file of its size.
    const SizeResult single = m_query->fileSize(m_tree.path("mixed/a/plain"));
    ASSERT_TRUE(single.ok()) << single.reason;
    EXPECT_EQ(control.filesFound(), files + 1);
    EXPECT_EQ(control.bytesFound(), expected + 1000);
}

#if defined(__linux__)
static std::unique_ptr<SizeQuery> linuxOneThread()
{
    return std::make_unique<LinuxSizeQuery>(1);
}

static std::unique_ptr<SizeQuery> linuxFourThreads()
{
    return std::make_unique<LinuxSizeQuery>(4);
}

static std::unique_ptr<SizeQuery> linuxMostThreads()
{
    return std::make_unique<LinuxSizeQuery>(LinuxSizeQuery::kMaxThreads);
}
#endif

static std::unique_ptr<SizeQuery> portable()
{
    return std::make_unique<PortableSizeQuery>();
}

static std::string engineName(const ::testing::TestParamInfo<SizeEngine> &engine)
{
    return engine.param.name;
}

INSTANTIATE_TEST_SUITE_P(Engines, SizeQueryTest,
                         ::testing::Values(
#if defined(__linux__)
                             SizeEngine{"LinuxOneThread", linuxOneThread},
                             SizeEngine{"LinuxFourThreads", linuxFourThreads},
                             SizeEngine{"LinuxMostThreads", linuxMostThreads},
#endif
                             SizeEngine{"Portable", portable},
                             SizeEngine{"Default", createSizeQuery}),
                         engineName);

#endif
