// The sign, from what the walk's watcher saw over one interval, that a folder walk's walkers
// wait on something other than the processors.

#include "sizing/GrowthSample.h"

#include <gtest/gtest.h>

namespace {

struct GrowthCase
{
    const char *what;
    GrowthSample sample;
    bool wanted;
};

TEST(GrowthSampleTest, WaitOnlyWhenBusyWalkersSleepAndLeaveProcessorsIdle)
{
    // Thresholds of the program's default: below 95 % of the processors, two sleeps per busy
    // walker and interval.
    const GrowthCase cases[] = {
        {"cold cache: two walkers sleeping, processors partly idle", {2, 0, 2, 0.8, 68}, true},
        {"cold cache, walkers beyond the cores: still short of the cores",
         {8, 1, 2, 1.7, 90},
         true},
        {"warm cache: processors full, no sleeps", {2, 0, 2, 2.0, 0}, false},
        {"warm cache on a loaded machine: processors short, no sleeps", {2, 0, 2, 1.0, 1}, false},
        {"sleeping but every processor busy: more walkers only contend",
         {4, 0, 2, 1.96, 110},
         false},
        {"sleeps just at the threshold", {4, 0, 2, 1.5, 8}, true},
        {"sleeps just under the threshold", {4, 0, 2, 1.5, 7}, false},
        {"a quarter of the walkers idle: no work to hand new ones", {4, 1, 2, 0.5, 50}, false},
        {"a deep chain: one busy walker, one idle", {2, 1, 2, 0.9, 40}, false},
        {"all idle", {2, 2, 2, 0.0, 40}, false},
        {"more idle counted than walkers (racy read)", {2, 3, 2, 0.0, 40}, false},
        {"one busy walker on many cores is judged against one core", {1, 0, 8, 0.9, 10}, true},
        {"one busy walker keeping its core busy", {1, 0, 8, 0.97, 10}, false},
    };
    for (const GrowthCase &c : cases)
        EXPECT_EQ(walkersWait(c.sample, 0.95, 2.0), c.wanted) << c.what;
}

} // namespace
