// Where a walk's walker count starts and how it grows, by what the storage is:
// the storage told from the filesystem's magic number and mount type, and the
// rule that each storage gets run on traces of rates as such storage answers
// (noisy ones from a FUSE daemon among them).

#include "sizing/WalkerCountRule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>

namespace {

using WalkerCountRule::Storage;

TEST(WalkerCountRuleTest, StorageByMagicNumberAndMountType)
{
    const struct
    {
        std::uint32_t magic;
        const char *mountType;
        Storage expected;
    } cases[] = {
        {0x0000ef53, "ext4", Storage::Local},
        {0x58465342, "xfs", Storage::Local},
        {0x9123683e, "btrfs", Storage::Local},
        {0x01021994, "tmpfs", Storage::Local},
        {0x794c7630, "overlay", Storage::Local},
        {0x12345678, "", Storage::Local}, // unknown: the default's home
        {0x00006969, "nfs4", Storage::Network},
        {0xff534d42, "cifs", Storage::Network},
        {0xfe534d42, "smb3", Storage::Network},
        {0x00006969, "", Storage::Network}, // the magic number alone decides
        {WalkerCountRule::kFuseMagic, "fuse.sshfs", Storage::Network},
        {WalkerCountRule::kFuseMagic, "fuse.rclone", Storage::Network},
        {WalkerCountRule::kFuseMagic, "fuse.squashfuse", Storage::Fuse},
        {WalkerCountRule::kFuseMagic, "fuse.bindfs", Storage::Fuse},
        {WalkerCountRule::kFuseMagic, "fuseblk", Storage::Fuse},
        {WalkerCountRule::kFuseMagic, "fuse", Storage::Fuse},
        {WalkerCountRule::kFuseMagic, "", Storage::Fuse},            // mount table unreadable
        {WalkerCountRule::kFuseMagic, "fuse.sshfs2", Storage::Fuse}, // names match whole
        {0x0000ef53, "fuse.sshfs", Storage::Local}, // a FUSE type on another magic number
    };
    for (const auto &c : cases) {
        EXPECT_EQ(WalkerCountRule::storageOf(c.magic, c.mountType), c.expected)
            << std::hex << c.magic << " " << c.mountType;
    }
}

// Entries per second at `walkers` running in interval `interval` (20 ms each).
using Trace = std::function<double(unsigned walkers, unsigned interval)>;

struct RuleRun
{
    unsigned first = 0;   // walkers at the start
    unsigned last = 0;    // walkers at the end
    unsigned highest = 0; // the most that ran at any time
    unsigned reached = 0; // the interval after which `highest` first ran
    unsigned kept = 0;    // the most walkers kept (settled on outside a trial)
};

// Runs the rule of start for `intervals` intervals of trace; waiting: the
// walkers sleep in the kernel and leave processors idle.
RuleRun runRule(const WalkerCountRule::Start &start, const Trace &trace, unsigned intervals,
                bool waiting)
{
    GrowthState state = GrowthState::startingAt(start.walkers);
    RuleRun run;
    run.first = run.highest = start.walkers;
    for (unsigned i = 0; i < intervals; ++i) {
        GrowthSample sample;
        sample.walkers = state.active;
        sample.cores = start.rule.cores;
        sample.cpuUsed = waiting ? 0.5 : 2.0;
        sample.blockedWaits = waiting ? 50L * state.active : 0;
        sample.rate = trace(state.active, i);
        state = nextGrowthState(state, sample, start.rule);
        if (state.trial == GrowthState::Trial::None)
            run.kept = std::max(run.kept, state.settled);
        if (state.active > run.highest) {
            run.highest = state.active;
            run.reached = i + 1;
        }
    }
    run.last = state.active;
    return run;
}

// Runs the rule that storage gets on a two-core machine.
RuleRun runRule(Storage storage, const Trace &trace, unsigned intervals, bool waiting = true)
{
    return runRule(WalkerCountRule::startFor(storage, 2, 32), trace, intervals, waiting);
}

// A fixed pseudo-random factor between 1/spread and spread, the same for every
// run of the same trace (one trace per seed).
double noise(unsigned interval, double spread, unsigned seed = 0)
{
    std::uint32_t x = (interval + seed * 7919U) * 2654435761U + 12345U;
    x ^= x >> 15;
    x *= 2246822519U;
    x ^= x >> 13;
    const double unit = static_cast<double>(x % 10000) / 9999.0; // 0 .. 1
    return std::pow(spread, 2 * unit - 1);
}

// The walk's own pace: shallow folders go fast, deep ones slowly, in stretches
// of 60 ms, 23,000 against 1,700 entries per second at one walker on
// squashfuse.
double pace(unsigned interval)
{
    return (interval / 3) % 2 == 0 ? 23000.0 : 1700.0;
}

TEST(WalkerCountRuleTest, LocalDisksGrowAtOnceAndTheGuardUndoesTooMany)
{
    // A cold disk that serves every request at once: from one walker per core to
    // 32 in one interval per doubling, as the walker count did before it was
    // measured by trials.
    const RuleRun cold = runRule(
        Storage::Local, [](unsigned w, unsigned) { return 1000.0 * w; }, 200);
    EXPECT_EQ(cold.first, 2U);
    EXPECT_EQ(cold.highest, 32U);
    EXPECT_EQ(cold.reached, 4U);
    EXPECT_EQ(cold.last, 32U) << "the guard gave up walkers that help";

    // /usr: past 16 walkers the walk gets slower (32 take 1.15 times as long):
    // the guard's halving finds 16 and keeps it.
    const RuleRun usr = runRule(
        Storage::Local, [](unsigned w, unsigned) { return w <= 16 ? 1000.0 * w : 16000 / 1.15; },
        200);
    EXPECT_EQ(usr.reached, 4U);
    EXPECT_EQ(usr.last, 16U);

    // The same with the walk's own changes of pace on top (shallow and deep
    // folders, and ±30 % from one interval to the next): the trial's alternating
    // order keeps them off the comparison.
    const RuleRun usrPaced = runRule(
        Storage::Local,
        [](unsigned w, unsigned i) {
            return (w <= 16 ? 1.0 * w : 16 / 1.15) * pace(i) * noise(i, 1.3);
        },
        200);
    EXPECT_EQ(usrPaced.last, 16U);

    // Warm: nothing waits, so nothing changes whatever the rate does.
    const RuleRun warm = runRule(
        Storage::Local, [](unsigned w, unsigned) { return 1000.0 / w; }, 200, false);
    EXPECT_EQ(warm.highest, 2U);
    EXPECT_EQ(warm.last, 2U);
}

TEST(WalkerCountRuleTest, FuseDaemonsStartAloneAndGrowOnlyOnLastingEvidence)
{
    const struct
    {
        const char *what;
        Trace trace;
        unsigned most; // the most walkers that may ever run
        unsigned kept; // the most that may be kept
        unsigned last; // the count at the end
    } cases[] = {
        // squashfuse: one request at a time, two walkers 1.5 times slower, and
        // single
        // samples 25 times apart as the walk moves between shallow and deep
        // folders.
        {"a one-request daemon, noisy",
         [](unsigned w, unsigned i) {
             return pace(i) * noise(i, 5) / (w == 1 ? 1 : 1.5 * (w / 2));
         },
         2, 1, 1},
        // As fast with two as with one, on average; the noise alone makes single
        // measurements 25 times apart.
        {"no faster with two, noisy", [](unsigned, unsigned i) { return pace(i) * noise(i, 5); }, 2,
         1, 1},
        // A lucky stretch: two walkers look three times as fast for one
        // measurement only.
        {"one lucky measurement",
         [](unsigned w, unsigned i) { return w > 1 && i >= 6 && i < 12 ? 3000.0 : 1000.0; }, 2, 1,
         1},
        // bindfs: the daemon serves requests in parallel; the evidence holds in
        // every round.
        {"a daemon that serves in parallel",
         [](unsigned w, unsigned i) { return 1000.0 * std::min(w, 8U) * noise(i, 1.2); }, 16, 8, 8},
    };
    for (const auto &c : cases) {
        const RuleRun run = runRule(Storage::Fuse, c.trace, 400);
        EXPECT_EQ(run.first, 1U) << c.what;
        EXPECT_LE(run.highest, c.most) << c.what;
        EXPECT_LE(run.kept, c.kept) << c.what;
        EXPECT_EQ(run.last, c.last) << c.what;
    }
}

TEST(WalkerCountRuleTest, NoisyFuseTracesRarelyKeepADoubling)
{
    // 200 traces of a daemon on which two walkers are 1.5 times slower than one,
    // each with its own noise (single 20 ms samples up to 25 times apart) over
    // the walk's changes of pace, for the first second of a walk. The trial rule
    // that a local disk would get keeps two walkers in 80 of them; FUSE's must
    // keep them in very few.
    const Trace base = [](unsigned w, unsigned i) {
        return pace(i) / (w == 1 ? 1 : 1.5 * (w / 2));
    };
    const auto kept = [&base](const WalkerCountRule::Start &start) {
        unsigned traces = 0;
        for (unsigned seed = 0; seed < 200; ++seed) {
            const Trace noisy = [&base, seed](unsigned w, unsigned i) {
                return base(w, i) * noise(i, 5, seed);
            };
            traces += runRule(start, noisy, 50, true).kept > 1 ? 1 : 0;
        }
        return traces;
    };
    WalkerCountRule::Start byTrial = WalkerCountRule::startFor(Storage::Fuse, 2, 32);
    byTrial.rule = GrowthRule();
    byTrial.rule.cores = 2;
    EXPECT_GE(kept(byTrial), 40U) << "the traces are not noisy enough to tell the rules apart";
    EXPECT_LE(kept(WalkerCountRule::startFor(Storage::Fuse, 2, 32)), 4U);
}

TEST(WalkerCountRuleTest, AFuseDoublingKeptByChanceIsUndone)
{
    // Two walkers win the first trial by a stretch of luck (the daemon was
    // answering from its cache), and are slower ever after: the halving that
    // follows the next, failed, doubling brings the count back to one.
    const Trace trace = [](unsigned w, unsigned i) {
        if (i < 60)
            return w > 1 ? 2000.0 : 1000.0;
        return w == 1 ? 1000.0 : 600.0 / (w / 2);
    };
    const RuleRun run = runRule(Storage::Fuse, trace, 400);
    EXPECT_EQ(run.kept, 2U) << "the lucky trial was not kept: nothing to undo";
    EXPECT_EQ(run.last, 1U);
}

TEST(WalkerCountRuleTest, NetworkSharesStartWithRequestsInFlight)
{
    // A share whose round trips more requests hide, up to 64 in flight.
    const RuleRun share = runRule(
        Storage::Network, [](unsigned w, unsigned) { return 100.0 * std::min(w, 64U); }, 200);
    EXPECT_EQ(share.first, 8U);
    EXPECT_EQ(share.highest, 32U);
    EXPECT_EQ(share.reached, 2U);
    EXPECT_EQ(share.last, 32U);
    // sshfs to this machine: the daemon's processor is the limit, and beyond 4
    // walkers each doubling costs 10 %: the guard halves back as far as that
    // pays.
    const RuleRun loopback = runRule(
        Storage::Network,
        [](unsigned w, unsigned) {
            return w <= 4 ? 1000.0 * w : 4000.0 / std::pow(1.1, std::log2(w / 4.0));
        },
        400);
    EXPECT_EQ(loopback.last, 4U);
}

TEST(WalkerCountRuleTest, StartingCountsStayWithinTheLimits)
{
    // A machine with more cores than the walk may have, and a limit under the
    // network's starting count (a low descriptor limit).
    EXPECT_EQ(WalkerCountRule::startFor(Storage::Local, 96, 32).walkers, 32U);
    EXPECT_EQ(WalkerCountRule::startFor(Storage::Network, 2, 4).walkers, 4U);
    EXPECT_EQ(WalkerCountRule::startFor(Storage::Fuse, 0, 0).walkers, 1U);
    EXPECT_EQ(WalkerCountRule::startFor(Storage::Local, 0, 32).walkers, 1U);
}

} // namespace
