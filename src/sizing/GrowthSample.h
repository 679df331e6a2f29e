#pragma once

// What the folder walk's watcher saw over one check interval, and the sign that its
// walkers wait on something other than the processors.
struct GrowthSample
{
    unsigned walkers = 0;  // walkers allowed to run
    unsigned idle = 0;     // of those, walkers without work
    unsigned cores = 0;    // processors the walk may keep busy
    double cpuUsed = 0;    // processor time the process used over the interval, in processors
    long blockedWaits = 0; // times a thread went to sleep over the interval for a reason
                           // other than waiting for work: storage, a network share, a lock
    double rate = 0;       // directory entries done per second over the interval
};

// Another walker count can only help when the walkers with work leave processors idle
// because they sleep in the kernel. Both signs are needed: processor time alone also drops
// when other programs or the hypervisor take the processors (then more walkers only add
// contention), and sleeps alone also come from a walk that already keeps every processor
// busy. Nothing is to be tried while a quarter or more of the walkers are idle: there is no
// work to hand new ones (a deep chain keeps one walker busy whatever the count). busyShare:
// the share of the processors below which the busy walkers count as not keeping them busy;
// blockedPerBusy: the sleeps per busy walker and interval that count as waiting.
[[nodiscard]] inline bool walkersWait(const GrowthSample &sample, double busyShare,
                                      double blockedPerBusy)
{
    const unsigned idle = sample.idle < sample.walkers ? sample.idle : sample.walkers;
    const unsigned busy = sample.walkers - idle;
    if (busy == 0 || 4 * idle >= sample.walkers)
        return false;
    const unsigned couldUse = busy < sample.cores ? busy : sample.cores;
    return sample.cpuUsed < busyShare * couldUse &&
           static_cast<double>(sample.blockedWaits) >= blockedPerBusy * busy;
}
