#pragma once

#include "sizing/GrowthSample.h"

// How many walkers a folder walk lets run, chosen by the rate at which entries get done.
//
// Walkers that wait on something other than the processors (walkersWait()) may be waiting for
// storage that serves more requests at once (a cold disk, a network share: more walkers help)
// or for a server that answers one request at a time (a FUSE daemon such as squashfuse: more
// walkers only add switches and thrash its caches). The rule has two ways to grow, chosen by
// what the storage is (WalkerCountRule.h):
//
// - eager (local disks, network shares): every interval in which the walkers wait doubles the
//   count at once, up to `most`, as a cold disk wants, since a short cold walk has no time to
//   lose;
// - by trial (FUSE daemons): the count is doubled for a trial and the doubling kept only when
//   the rate rises by at least `gain` over the whole trial and in at least `wins` of its
//   rounds, so that a single lucky measurement keeps nothing.
//
// Either way the rate check guards the count: when a doubling was not worth it, or the count
// has reached `most`, half the count is tried, and kept when its rate stays at least `keep` of
// the settled count's. That undoes a growth that went too far (past 16 walkers a cold /usr
// gets slower) or one that a noisy trial let through.
//
// A trial alternates measurements at the tried count and at the settled one, `trialRounds`
// rounds of one each, in the order tried-settled, settled-tried, ... so that a change of pace
// that the walk itself makes meanwhile (deep folders after shallow ones, other load) falls on
// both counts alike, and compares the sums; a round whose sums so far differ by the factor
// `clear` decides a trial at once when the tried count is worse (or, with `clearMore`, when it
// is a doubling that is better). A failed trial restores the count and is not repeated, until
// the settled count's rate falls below `fall` of the rate it was chosen at for
// `fallMeasurements` measurements in a row: then both directions are tried anew. A
// measurement is the mean rate over `window` intervals, the first interval after a change left
// out (walkers then still start, park or hand work over). Nothing is tried while the walkers
// do not wait (a warm cache keeps the processors busy), so then the count never changes.
struct GrowthRule
{
    unsigned least = 1;       // fewest walkers
    unsigned most = 32;       // most walkers
    unsigned cores = 0;       // processors the walk may keep busy; 0: as many as walkers start
    bool eager = false;       // double at every interval that waits, without a trial
    unsigned window = 2;      // intervals per measurement, the first one not counted
    unsigned trialRounds = 4; // measurements at each of the two counts a trial compares
    double busyShare = 0.95;  // walkersWait() thresholds
    double blockedPerBusy = 2.0;
    double gain = 0.10;             // a doubling must raise the rate by this share
    unsigned wins = 0;              // and win by it in this many rounds (0: the sums decide alone)
    double keep = 0.90;             // a halving must keep this share of the rate
    double clear = 1.4;             // rates this far apart after a round decide a trial at once
    bool clearMore = true;          // a doubling clearly better after a round is kept at once
    double fall = 0.50;             // a settled rate below this share of its own is measured anew
    unsigned fallMeasurements = 10; // when it stays there for this many measurements
};

struct GrowthState
{
    enum class Trial { None, Fewer, More };

    unsigned active = 1; // walkers allowed to run
    Trial trial = Trial::None;
    unsigned settled = 1;    // the count a trial compares with and a failed one goes back to
    double chosenRate = 0;   // the rate `settled` was chosen at; 0 before the first measurement
    unsigned slower = 0;     // a count found slower than the one above it (0: none)
    unsigned noFaster = 0;   // a count found no faster than the one below it (0: none)
    unsigned tried = 0;      // the count on trial
    unsigned step = 0;       // measurements of the trial taken
    double triedSum = 0;     // the trial's rates at the tried count
    double settledSum = 0;   // and at the settled count
    double roundTried = 0;   // the current round's rate at the tried count (0: not yet)
    double roundSettled = 0; // and at the settled count
    unsigned roundsWon = 0;  // rounds in which the tried count beat the settled by `gain`
    unsigned intervals = 0;  // intervals seen in the current measurement
    double rateSum = 0;      // their rates, the first left out
    unsigned fallen = 0;     // measurements in a row below `fall` of chosenRate

    // The state at the start of a walk with `walkers` running.
    [[nodiscard]] static GrowthState startingAt(unsigned walkers)
    {
        GrowthState state;
        state.active = state.settled = walkers;
        return state;
    }

    // Whether measurement number step of a trial is taken at the tried count:
    // rounds go tried-settled, settled-tried, and so on, so a steady change of
    // pace cancels out.
    [[nodiscard]] static bool atTried(unsigned step) { return (step + step / 2) % 2 == 0; }
};

// The state after one more interval whose facts are sample (sample.rate:
// entries done per second over it). Pure: the walk's watcher applies the
// answer's `active`.
[[nodiscard]] inline GrowthState nextGrowthState(const GrowthState &state,
                                                 const GrowthSample &sample, const GrowthRule &rule)
{
    GrowthState next = state;
    const auto changeTo = [&next](unsigned count) {
        if (next.active == count)
            return; // the measurement goes on without a left-out interval
        next.active = count;
        next.intervals = 0;
        next.rateSum = 0;
    };
    const auto halved = [&rule](unsigned count) {
        return count / 2 > rule.least ? count / 2 : rule.least;
    };
    const auto doubled = [&rule](unsigned count) {
        return 2 * count < rule.most ? 2 * count : rule.most;
    };
    const auto beginTrial = [&next, &changeTo](GrowthState::Trial trial, unsigned count) {
        next.trial = trial;
        next.tried = count;
        next.step = 0;
        next.triedSum = next.settledSum = 0;
        next.roundTried = next.roundSettled = 0;
        next.roundsWon = 0;
        changeTo(count);
    };
    const bool waiting = walkersWait(sample, rule.busyShare, rule.blockedPerBusy);

    // Eager growth: a doubling at every interval that waits, no measurement needed.
    if (rule.eager && state.trial == GrowthState::Trial::None && waiting) {
        const unsigned more = doubled(state.active);
        if (more > state.active && (state.noFaster == 0 || more < state.noFaster)) {
            next.settled = more;
            next.chosenRate = 0;
            next.fallen = 0;
            changeTo(more);
            return next;
        }
    }

    if (++next.intervals > 1)
        next.rateSum += sample.rate;
    if (next.intervals < rule.window)
        return next;
    const double rate = next.rateSum / (rule.window - 1);
    // A measurement at a count that stays goes on without a left-out interval.
    next.intervals = 1;
    next.rateSum = 0;

    if (state.trial != GrowthState::Trial::None) {
        const bool atTried = GrowthState::atTried(state.step);
        (atTried ? next.triedSum : next.settledSum) += rate;
        (atTried ? next.roundTried : next.roundSettled) = rate;
        next.step = state.step + 1;
        const bool roundDone = next.step % 2 == 0;
        if (roundDone) {
            if (next.roundTried >= (1 + rule.gain) * next.roundSettled)
                ++next.roundsWon;
            next.roundTried = next.roundSettled = 0;
        }
        // After a round, a ratio far from 1 decides at once: a worse count is
        // dropped after one round. Keeping fewer walkers always takes every round:
        // a wrong halving on a cold disk costs the most.
        const bool better = next.triedSum >= rule.clear * next.settledSum;
        const bool worse = rule.clear * next.triedSum <= next.settledSum;
        const bool clear =
            roundDone &&
            (worse || (better && rule.clearMore && state.trial == GrowthState::Trial::More));
        if (next.step < 2 * rule.trialRounds && !clear) {
            changeTo(GrowthState::atTried(next.step) ? state.tried : state.settled);
            return next;
        }
        // Both sums hold one measurement per round.
        const double rounds = next.step / 2.0;
        const double tried = next.triedSum / rounds;
        const double settled = next.settledSum / rounds;
        next.trial = GrowthState::Trial::None;
        const auto keepTried = [&] {
            next.settled = state.tried;
            next.chosenRate = tried;
            changeTo(state.tried);
        };
        const auto dropTried = [&] {
            next.chosenRate = settled;
            changeTo(state.settled);
        };
        if (state.trial == GrowthState::Trial::Fewer) {
            if (tried >= rule.keep * settled) {
                next.noFaster = state.settled;
                keepTried();
            } else {
                next.slower = state.tried;
                dropTried();
            }
            return next;
        }
        const bool won = next.roundsWon >= rule.wins || (clear && better);
        if (tried >= (1 + rule.gain) * settled && won) {
            keepTried();
            return next;
        }
        // More is no faster: fewer is tried next, which also checks the doubling
        // kept last.
        next.noFaster = state.tried;
        dropTried();
        const unsigned fewer = halved(state.settled);
        if (waiting && fewer < state.settled && fewer > next.slower)
            beginTrial(GrowthState::Trial::Fewer, fewer);
        return next;
    }

    if (next.chosenRate <= 0)
        next.chosenRate = rate;
    next.fallen = rate < rule.fall * next.chosenRate ? next.fallen + 1 : 0;
    if (next.fallen >= rule.fallMeasurements) {
        // The walk changed (another filesystem, another part of the disk): what was
        // found no longer holds.
        next.slower = next.noFaster = 0;
        next.fallen = 0;
        next.chosenRate = rate;
    }
    if (!waiting)
        return next;
    const unsigned fewer = halved(state.active);
    const unsigned more = doubled(state.active);
    if (!rule.eager && more > state.active && (next.noFaster == 0 || more < next.noFaster))
        beginTrial(GrowthState::Trial::More, more);
    else if (fewer < state.active && fewer > next.slower)
        beginTrial(GrowthState::Trial::Fewer, fewer);
    return next;
}
