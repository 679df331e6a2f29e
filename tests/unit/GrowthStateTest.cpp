// The rule that chooses how many walkers a folder walk runs, from the rate at which
// entries get done: fed interval after interval with rates that depend on the count it
// chose, as storage of each kind would answer.

#include "sizing/GrowthState.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Entries per second at `walkers` running, in interval `interval`.
using RateModel = std::function<double(unsigned walkers, unsigned interval)>;

struct RuleCase
{
    const char *what;
    bool waiting; // the walkers sleep and leave processors idle (walkersWait())
    RateModel rate;
    unsigned expected; // the count the rule ends at
    unsigned most;     // the most it may reach on the way (at least expected)
};

// Runs the rule from 2 walkers (a two-core machine) for `intervals` intervals.
// Answers the final state and, in `highest`, the highest count it tried.
GrowthState run(const RuleCase &c, unsigned intervals, unsigned &highest)
{
    const GrowthRule rule;
    GrowthState state = GrowthState::startingAt(2);
    highest = state.active;
    for (unsigned i = 0; i < intervals; ++i) {
        GrowthSample sample;
        sample.walkers = state.active;
        sample.cores = 2;
        sample.cpuUsed = c.waiting ? 0.5 : 2.0;
        sample.blockedWaits = c.waiting ? 50L * state.active : 0;
        sample.rate = c.rate(state.active, i);
        state = nextGrowthState(state, sample, rule);
        highest = std::max(highest, state.active);
    }
    return state;
}

// The final count of run().
unsigned settle(const RuleCase &c, unsigned intervals, unsigned &highest)
{
    return run(c, intervals, highest).active;
}

// Whether run() ends with the trial decided and count walkers kept.
bool decidedAt(const RuleCase &c, unsigned intervals, unsigned count)
{
    unsigned highest = 0;
    const GrowthState state = run(c, intervals, highest);
    return state.trial == GrowthState::Trial::None && state.settled == count &&
           state.active == count;
}

double scaling(unsigned walkers, unsigned limit)
{
    return 1000.0 * std::min(walkers, limit);
}

TEST(GrowthStateTest, SettlesWhereMoreWalkersStopRaisingTheRate)
{
    const RuleCase cases[] = {
        {"rising: a cold disk that serves every request at once", true,
         [](unsigned w, unsigned) { return scaling(w, 64); }, 32, 32},
        {"rising until 8, flat beyond", true, [](unsigned w, unsigned) { return scaling(w, 8); }, 8,
         16},
        {"falling: a daemon that answers one request at a time and thrashes with more", true,
         [](unsigned w, unsigned) { return 1000.0 / w; }, 1, 4},
        {"flat: one walker does as much as two", true, [](unsigned, unsigned) { return 1000.0; }, 1,
         4},
        {"noisy (±5 % each interval), rising until 8", true,
         [](unsigned w, unsigned i) { return scaling(w, 8) * (i % 2 ? 1.05 : 0.95); }, 8, 16},
        {"a gain under 10 % is not worth a doubling", true,
         [](unsigned w, unsigned) { return w > 2 ? 1050.0 : 1000.0 * w / 2; }, 2, 4},
        {"warm: nothing waits, so nothing is tried however the rate goes", false,
         [](unsigned w, unsigned) { return 1000.0 / w; }, 2, 2},
    };
    for (const RuleCase &c : cases) {
        unsigned highest = 0;
        EXPECT_EQ(settle(c, 200, highest), c.expected) << c.what;
        EXPECT_EQ(highest, c.most) << c.what;
    }
}

TEST(GrowthStateTest, ClearDifferencesAreDecidedInOneRound)
{
    // A cold disk: each doubling doubles the rate, so every trial is decided after one
    // round (a measurement at each count) and 32 walkers run after 24 intervals; with all
    // four rounds it would take 72.
    const RuleCase cold{"cold disk", true, [](unsigned w, unsigned) { return scaling(w, 64); }, 32,
                        32};
    unsigned highest = 0;
    EXPECT_EQ(settle(cold, 23, highest), 16U);
    EXPECT_EQ(settle(cold, 24, highest), 32U);
    // A rate that moves by less than the factor of a clear decision needs every round.
    // Rounds alternate the order of the two counts (tried first, then settled first), so a
    // count that stays from one round to the next needs no left-out interval.
    const RuleCase slight{"20 % better with fewer", true,
                          [](unsigned w, unsigned) { return w == 1 ? 1200.0 : 1000.0; }, 1, 2};
    // (a doubling, no faster, takes four rounds; then the halving four more)
    EXPECT_FALSE(decidedAt(slight, 27, 1)) << "decided before the fourth round";
    EXPECT_TRUE(decidedAt(slight, 28, 1));
    // Keeping fewer walkers, however clear, waits for every round: a wrong halving on a
    // cold disk would cost the most.
    const RuleCase halving{"twice as fast with fewer", true,
                           [](unsigned w, unsigned) { return 2000.0 / w; }, 1, 2};
    // (the doubling, clearly slower, is dropped after one round)
    EXPECT_FALSE(decidedAt(halving, 18, 1)) << "a halving kept after fewer rounds";
    EXPECT_TRUE(decidedAt(halving, 19, 1));

    // The rate a count was chosen at is a mean, whether the trial took one round or four:
    // a walk that then goes on at that very rate is not taken for one that slowed down.
    GrowthState state = GrowthState::startingAt(2);
    for (unsigned i = 0; i < 40; ++i) { // the halving is kept at 34, a wrong fall shows at 44
        const double rate = state.active == 1 ? 1000.0 : 950.0; // a close call: four rounds
        state = nextGrowthState(state, {state.active, 0, 2, 0.5, 100, rate}, GrowthRule());
    }
    EXPECT_EQ(state.active, 1U);
    EXPECT_DOUBLE_EQ(state.chosenRate, 1000.0);
}

TEST(GrowthStateTest, TriesAnewOnlyWhenTheRateStaysLow)
{
    // 200 intervals like a cold disk, then like a daemon that answers one request at a
    // time: the settled 32 walkers see the rate fall and the count goes down to 1.
    const RuleCase changing{
        "changing storage", true,
        [](unsigned w, unsigned i) { return i < 200 ? scaling(w, 64) : 32000.0 / w / w; }, 1, 32};
    unsigned highest = 0;
    EXPECT_EQ(settle(changing, 400, highest), 1U);

    // One low measurement (a large file's folder, a hiccup) changes nothing.
    const RuleCase blip{
        "one low measurement", true,
        [](unsigned w, unsigned i) { return (i >= 200 && i < 203 ? 0.3 : 1.0) * scaling(w, 8); }, 8,
        16};
    GrowthState state = GrowthState::startingAt(2);
    bool moved = false;
    for (unsigned i = 0; i < 260; ++i) {
        GrowthSample sample{
            state.active, 0, 2, 0.5, 50L * state.active, blip.rate(state.active, i)};
        const unsigned before = state.active;
        state = nextGrowthState(state, sample, GrowthRule());
        moved = moved || (i >= 150 && state.active != before);
    }
    EXPECT_EQ(state.active, 8U);
    EXPECT_FALSE(moved) << "a single low measurement made the rule try another count";
}

} // namespace
