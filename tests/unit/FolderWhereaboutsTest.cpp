#include "platform/FolderWhereabouts.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct WhereaboutsCase
{
    const char *name;
    std::vector<std::pair<unsigned, std::string>> reports;
    std::string oldest;
};

// The folder named must be the one held longest: a worker that moved on, or went idle,
// no longer counts, however early its first report came.
TEST(FolderWhereaboutsTest, NamesTheFolderHeldLongest)
{
    const std::vector<WhereaboutsCase> cases = {
        {"nothing reported", {}, ""},
        {"one worker", {{0, "/a"}}, "/a"},
        {"a worker moving on", {{0, "/a"}, {0, "/b"}}, "/b"},
        {"two workers, the first stuck", {{0, "/stuck"}, {1, "/x"}, {1, "/y"}}, "/stuck"},
        {"the stuck one is the later", {{0, "/a"}, {1, "/stuck"}, {0, "/b"}}, "/stuck"},
        {"the others idle", {{1, "/x"}, {0, "/stuck"}, {1, ""}, {2, "/z"}, {2, ""}}, "/stuck"},
        {"every worker idle", {{0, "/a"}, {3, "/b"}, {0, ""}, {3, ""}}, ""},
    };
    for (const WhereaboutsCase &c : cases) {
        FolderWhereabouts whereabouts;
        for (const auto &[worker, path] : c.reports)
            whereabouts.report(worker, path);
        EXPECT_EQ(whereabouts.oldest(), c.oldest) << c.name;
    }
}

} // namespace
