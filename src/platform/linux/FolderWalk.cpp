#include "platform/linux/FolderWalk.h"

#include "platform/linux/FolderWalker.h"
#include "platform/linux/GrowthSample.h"
#include "platform/linux/SizeFailure.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <system_error>
#include <thread>
#include <utility>

FolderWalk::FolderWalk(int rootFd, std::string rootPath, unsigned threads,
                       SizeQueryControl &control)
    : m_rootFd(rootFd), m_rootPath(std::move(rootPath)), m_control(control)
{
    // Leave room for the rest of the process; each walker needs a few descriptors beyond
    // its cache (its subtree root, a climb, a donation in flight).
    rlimit limit{};
    long available = 1024;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        available = static_cast<long>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
    available = available > 32 ? available - 16 : available / 2;
    m_available = available;
    m_threadLimit = static_cast<unsigned>(std::max(1L, available / 8));
    m_threads = std::clamp(threads, 1U, m_threadLimit);
    m_startThreads = m_mostThreads = m_threads;
    m_active.store(m_threads, std::memory_order_relaxed);
    m_cacheSize = static_cast<unsigned>(std::clamp<long>(available / m_threads / 2 - 2, 2, 64));
}

void FolderWalk::setGrowth(const GrowthRule &rule)
{
    m_tuned = true;
    m_rule = rule;
    m_mostThreads = std::clamp(rule.most, m_startThreads, m_threadLimit);
    m_rule.most = m_mostThreads;
    m_rule.least = std::clamp(rule.least, 1U, m_startThreads);
    // Sized for the most walkers that may run, so the descriptors stay bounded.
    m_cacheSize =
        static_cast<unsigned>(std::clamp<long>(m_available / m_mostThreads / 2 - 2, 2, 64));
}

FolderWalk::~FolderWalk()
{
    if (m_rootFd >= 0)
        ::close(m_rootFd);
    for (const Donation &donation : m_queue)
        ::close(donation.fd);
}

SizeResult FolderWalk::run()
{
    struct stat info = {};
    if (::fstat(m_rootFd, &info) != 0)
        return sizeFailure(SizeError::Other, "Cannot read folder", m_rootPath, errno);
    Donation root{m_rootFd, m_rootPath, info.st_dev, info.st_ino};
    m_rootFd = -1;

    std::vector<std::thread> helpers;
    addWalkers(helpers, m_threads - 1);
    std::thread watcher;
    if (m_tuned) {
        try {
            watcher = std::thread([this, &helpers] { tuneWalkers(helpers); });
        } catch (const std::system_error &) {
            // No growth: the walk goes on with the walkers it has.
        }
    }
    runWalker(&root, 0);
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_watcherWake.notify_all();
    if (watcher.joinable())
        watcher.join();
    for (std::thread &helper : helpers)
        helper.join();

    if (m_control.cancelRequested())
        return cancelled();
    if (m_failure.error != SizeError::None)
        return m_failure;
    return SizeResult::of(m_bytes.load());
}

void FolderWalk::addWalkers(std::vector<std::thread> &helpers, unsigned count)
{
    for (unsigned started = 0; started < count; ++started) {
        try {
            const auto number = static_cast<unsigned>(helpers.size() + 1);
            helpers.emplace_back([this, number] { runWalker(nullptr, number); });
        } catch (const std::system_error &) {
            // Fewer threads than planned: the walk is just slower. Walkers waiting for the
            // missing ones must see the new count to notice the end of the walk.
            {
                std::lock_guard lock(m_mutex);
                m_threads -= count - started;
            }
            m_wake.notify_all();
            return;
        }
    }
}

static double processCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

static long voluntarySwitches()
{
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    return usage.ru_nvcsw;
}

void FolderWalk::tuneWalkers(std::vector<std::thread> &helpers)
{
    using Clock = std::chrono::steady_clock;
    auto lastWall = Clock::now();
    double lastCpu = processCpuSeconds();
    long lastSwitches = voluntarySwitches();
    unsigned long lastIdleWaits = m_idleWaits.load(std::memory_order_relaxed);
    std::uint64_t lastDone = entriesDone();
    GrowthState state = GrowthState::startingAt(m_startThreads);
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_watcherWake.wait_for(lock, kGrowthInterval,
                                   [this] { return m_finished || m_done || stopped(); }))
            return;
        const auto wall = Clock::now();
        const double seconds = std::chrono::duration<double>(wall - lastWall).count();
        const double cpu = processCpuSeconds();
        const long switches = voluntarySwitches();
        const unsigned long idleWaits = m_idleWaits.load(std::memory_order_relaxed);
        const std::uint64_t done = entriesDone();
        const unsigned active = m_active.load(std::memory_order_relaxed);
        const unsigned running = m_running.load(std::memory_order_relaxed);
        GrowthSample sample;
        sample.walkers = active;
        sample.idle = running < active ? active - running : 0;
        sample.cores = m_startThreads;
        sample.cpuUsed = (cpu - lastCpu) / seconds;
        // The watcher's own sleep and the walkers' waits for work or for their turn are
        // not storage.
        sample.blockedWaits = std::max(0L, switches - lastSwitches - 1 -
                                               static_cast<long>(idleWaits - lastIdleWaits));
        sample.rate = static_cast<double>(done - lastDone) / seconds;
        lastWall = wall;
        lastCpu = cpu;
        lastSwitches = switches;
        lastIdleWaits = idleWaits;
        lastDone = done;
        state = nextGrowthState(state, sample, m_rule);
        if (state.active == active)
            continue;
        m_active.store(state.active, std::memory_order_relaxed);
        const unsigned more = state.active > m_threads ? state.active - m_threads : 0;
        m_threads += more;
        lock.unlock();
        m_wake.notify_all(); // parked walkers may run again
        addWalkers(helpers, more);
        lock.lock();
    }
}

std::uint64_t FolderWalk::entriesDone() const
{
    std::uint64_t done = 0;
    for (const DoneCount &count : m_doneCounts)
        done += count.entries.load(std::memory_order_relaxed);
    return done;
}

void FolderWalk::park()
{
    std::unique_lock lock(m_mutex);
    if (m_running.load(std::memory_order_relaxed) <= m_active.load(std::memory_order_relaxed))
        return;
    m_running.fetch_sub(1, std::memory_order_relaxed);
    m_idleWaits.fetch_add(1, std::memory_order_relaxed);
    m_wake.wait(lock, [this] {
        return m_running.load(std::memory_order_relaxed) <
                   m_active.load(std::memory_order_relaxed) ||
               stopped();
    });
    m_running.fetch_add(1, std::memory_order_relaxed);
}

void FolderWalk::runWalker(Donation *first, unsigned number)
{
    try {
        FolderWalker walker(*this, number, m_cacheSize);
        walker.run(first);
        m_bytes.fetch_add(walker.bytes(), std::memory_order_relaxed);
    } catch (const std::bad_alloc &) {
        fail(SizeResult::failure(SizeError::Other,
                                 "Cannot size folder '" + m_rootPath + "': out of memory"));
        m_control.whereabouts().report(number, {});
    }
}

bool FolderWalk::take(Donation &donation, bool running)
{
    std::unique_lock lock(m_mutex);
    if (running) {
        // Its turn goes to a parked walker, if one waits for it.
        m_running.fetch_sub(1, std::memory_order_relaxed);
        m_wake.notify_all();
    }
    m_idle.fetch_add(1, std::memory_order_relaxed);
    for (;;) {
        if (m_done || stopped())
            return false;
        if (!m_queue.empty() &&
            m_running.load(std::memory_order_relaxed) < m_active.load(std::memory_order_relaxed)) {
            donation = std::move(m_queue.back());
            m_queue.pop_back();
            m_queued.fetch_sub(1, std::memory_order_relaxed);
            m_idle.fetch_sub(1, std::memory_order_relaxed);
            m_running.fetch_add(1, std::memory_order_relaxed);
            return true;
        }
        if (m_idle.load(std::memory_order_relaxed) == m_threads) {
            // Nobody holds work and nothing is queued: the walk is complete.
            m_done = true;
            m_wake.notify_all();
            m_watcherWake.notify_all();
            return false;
        }
        m_idleWaits.fetch_add(1, std::memory_order_relaxed);
        m_wake.wait(lock);
    }
}

void FolderWalk::donate(Donation donation)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(donation));
        m_queued.fetch_add(1, std::memory_order_relaxed);
    }
    // Parked walkers wait on the same condition: one woken in place of an idle walker would
    // leave the folder queued.
    m_wake.notify_all();
}

bool FolderWalk::wantsDonation() const
{
    return m_idle.load(std::memory_order_relaxed) > m_queued.load(std::memory_order_relaxed) &&
           m_running.load(std::memory_order_relaxed) < m_active.load(std::memory_order_relaxed);
}

void FolderWalk::fail(SizeResult failure)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_failure.error == SizeError::None)
            m_failure = std::move(failure);
        m_stop.store(true, std::memory_order_relaxed);
    }
    m_wake.notify_all();
    m_watcherWake.notify_all();
}

SizeResult FolderWalk::cancelled() const
{
    return SizeResult::cancelled("folder", m_rootPath);
}

bool FolderWalk::checkCancel()
{
    if (stopped())
        return true;
    if (!m_control.cancelRequested())
        return false;
    fail(cancelled());
    return true;
}

bool FolderWalk::firstLink(dev_t dev, ino_t ino)
{
    std::lock_guard lock(m_linkMutex);
    return m_links.insert({dev, ino}).second;
}
