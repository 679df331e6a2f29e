#pragma once

#include "platform/linux/GrowthSample.h"

// How many walkers a folder walk lets run, chosen by the rate at which entries get done.
//
// Walkers that wait on something other than the processors (walkersWait()) may be waiting
// for storage that serves more requests at once (a cold disk, a network share: more walkers
// help) or for a server that answers one request at a time (a FUSE daemon such as
// squashfuse: more walkers only add switches and thrash its caches). Which it is shows only
// in the rate, so the rule tries: it halves the count and keeps the halving when the rate
// stays at least `keep` of what it was; failing that it doubles the count and keeps the
// doubling when the rate rises by at least `gain`; a trial that fails restores the count
// and is not repeated (a failed halving is followed at once by a doubling, measured against
// the rate before the halving). A settled count whose rate falls below `fall` of the rate it was
// chosen at, two measurements in a row, is tried anew in both directions. Every rate is the
// mean over a measurement of `window` intervals, the first interval after a change left
// out (walkers then still start, park or hand work over). Nothing is tried while the
// walkers do not wait (a warm cache keeps the processors busy), so then the count never
// changes.
struct GrowthRule
{
    unsigned least = 1;      // fewest walkers
    unsigned most = 32;      // most walkers
    unsigned window = 3;     // intervals per measurement, the first one not counted
    double busyShare = 0.95; // walkersWait() thresholds
    double blockedPerBusy = 2.0;
    double gain = 0.10; // a doubling must raise the rate by this share
    double keep = 0.90; // a halving must keep this share of the rate
    double fall = 0.60; // a settled rate below this share of its own is measured anew
};

struct GrowthState
{
    enum class Trial { None, Fewer, More };

    unsigned active = 1; // walkers allowed to run
    Trial trial = Trial::None;
    unsigned settled = 1;   // the count a failed trial goes back to
    double settledRate = 0; // entries per second last measured at `settled`
    double chosenRate = 0;  // the rate `settled` was chosen at; 0 before the first measurement
    unsigned slower = 0;    // a count found slower than the one above it (0: none)
    unsigned noFaster = 0;  // a count found no faster than the one below it (0: none)
    unsigned intervals = 0; // intervals seen in the current measurement
    double rateSum = 0;     // their rates, the first left out
    unsigned fallen = 0;    // measurements in a row below `fall` of chosenRate

    // The state at the start of a walk with `walkers` running.
    [[nodiscard]] static GrowthState startingAt(unsigned walkers)
    {
        GrowthState state;
        state.active = state.settled = walkers;
        return state;
    }
};

// The state after one more interval whose facts are sample (sample.rate: entries done per
// second over it). Pure: the walk's watcher applies the answer's `active`.
[[nodiscard]] inline GrowthState nextGrowthState(const GrowthState &state,
                                                 const GrowthSample &sample, const GrowthRule &rule)
{
    GrowthState next = state;
    if (++next.intervals > 1)
        next.rateSum += sample.rate;
    if (next.intervals < rule.window)
        return next;
    const double rate = next.rateSum / (rule.window - 1);
    // A measurement at a count that stays goes on without a left-out interval.
    next.intervals = 1;
    next.rateSum = 0;
    const auto restart = [&next] {
        next.intervals = 0;
        next.rateSum = 0;
    };
    const auto doubled = [&rule](unsigned count) {
        return 2 * count < rule.most ? 2 * count : rule.most;
    };

    switch (state.trial) {
    case GrowthState::Trial::Fewer:
        next.trial = GrowthState::Trial::None;
        if (rate >= rule.keep * state.settledRate) {
            next.noFaster = state.settled;
            next.settled = state.active;
            next.settledRate = next.chosenRate = rate;
            return next;
        }
        // Fewer is slower: more is tried next, against the rate measured before.
        next.slower = state.active;
        next.active = state.settled;
        restart();
        if (const unsigned more = doubled(state.settled);
            more > state.settled && (next.noFaster == 0 || more < next.noFaster) &&
            walkersWait(sample, rule.busyShare, rule.blockedPerBusy)) {
            next.trial = GrowthState::Trial::More;
            next.active = more;
        }
        return next;
    case GrowthState::Trial::More:
        next.trial = GrowthState::Trial::None;
        if (rate >= (1 + rule.gain) * state.settledRate) {
            next.slower = state.settled;
            next.settled = state.active;
            next.settledRate = next.chosenRate = rate;
            return next;
        }
        next.noFaster = state.active;
        next.active = state.settled;
        restart();
        return next;
    case GrowthState::Trial::None:
        break;
    }

    next.settledRate = rate;
    if (next.chosenRate <= 0)
        next.chosenRate = rate;
    next.fallen = rate < rule.fall * next.chosenRate ? next.fallen + 1 : 0;
    if (next.fallen >= 2) {
        // The walk changed (another filesystem, another part of the disk): what was found
        // no longer holds.
        next.slower = next.noFaster = 0;
        next.fallen = 0;
        next.chosenRate = rate;
    }
    if (!walkersWait(sample, rule.busyShare, rule.blockedPerBusy))
        return next;
    const unsigned fewer = state.active / 2 > rule.least ? state.active / 2 : rule.least;
    const unsigned more = doubled(state.active);
    if (fewer < state.active && fewer > next.slower) {
        next.trial = GrowthState::Trial::Fewer;
        next.active = fewer;
    } else if (more > state.active && (next.noFaster == 0 || more < next.noFaster)) {
        next.trial = GrowthState::Trial::More;
        next.active = more;
    } else {
        return next;
    }
    next.settled = state.active;
    restart();
    return next;
}
