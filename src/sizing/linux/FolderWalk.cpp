#include "sizing/linux/FolderWalk.h"

#include "sizing/GrowthSample.h"
#include "sizing/linux/FolderWalker.h"
#include "sizing/linux/SizeFailure.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// Descriptors the walk may use: the soft limit, less room for the rest of the process.
long availableDescriptors()
{
    rlimit limit{};
    long available = 1024;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        available = static_cast<long>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
    return available > 32 ? available - 16 : available / 2;
}

// Open directories each of walkers may keep: each also needs a few descriptors beyond its
// cache (its subtree root, a climb, a donation in flight).
unsigned cacheSizeFor(long available, unsigned walkers)
{
    return static_cast<unsigned>(std::clamp<long>(available / walkers / 2 - 2, 2, 64));
}

double processCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long voluntarySwitches()
{
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    return usage.ru_nvcsw;
}

} // namespace

FolderWalk::FolderWalk(int rootFd, std::string rootPath, unsigned threads,
                       SizeQueryControl &control)
    : m_rootFd(rootFd), m_available(availableDescriptors()),
      m_threadLimit(static_cast<unsigned>(std::max(1L, m_available / 8))),
      m_startThreads(std::clamp(threads, 1U, m_threadLimit)), m_mostThreads(m_startThreads),
      m_cacheSize(cacheSizeFor(m_available, m_startThreads)),
      m_shared(std::move(rootPath), m_startThreads, control)
{}

void FolderWalk::setGrowth(const GrowthRule &rule)
{
    m_tuned = true;
    m_rule = rule;
    m_mostThreads = std::clamp(rule.most, m_startThreads, m_threadLimit);
    m_rule.most = m_mostThreads;
    m_rule.least = std::clamp(rule.least, 1U, m_startThreads);
    // Sized for the most walkers that may run, so the descriptors stay bounded.
    m_cacheSize = cacheSizeFor(m_available, m_mostThreads);
}

FolderWalk::~FolderWalk()
{
    if (m_rootFd >= 0)
        ::close(m_rootFd);
}

SizeResult FolderWalk::run()
{
    struct stat info = {};
    if (::fstat(m_rootFd, &info) != 0)
        return sizeFailure(SizeError::Other, "Cannot read folder", m_shared.rootPath(), errno);
    WalkShared::Donation root{m_rootFd, m_shared.rootPath(), info.st_dev, info.st_ino};
    m_rootFd = -1;

    std::vector<std::thread> helpers;
    addWalkers(helpers, m_startThreads - 1);
    std::thread watcher;
    if (m_tuned) {
        try {
            watcher = std::thread([this, &helpers] { tuneWalkers(helpers); });
        } catch (const std::system_error &) {
            // No growth: the walk goes on with the walkers it has.
        }
    }
    runWalker(&root, 0);
    m_shared.callerReturned();
    if (watcher.joinable())
        watcher.join();
    for (std::thread &helper : helpers)
        helper.join();

    if (m_shared.control().cancelRequested())
        return m_shared.cancelled();
    if (m_shared.failure().error != SizeError::None)
        return m_shared.failure();
    return SizeResult::of(m_bytes.load());
}

void FolderWalk::addWalkers(std::vector<std::thread> &helpers, unsigned count)
{
    for (unsigned started = 0; started < count; ++started) {
        try {
            const auto number = static_cast<unsigned>(helpers.size() + 1);
            helpers.emplace_back([this, number] { runWalker(nullptr, number); });
        } catch (const std::system_error &) {
            // Fewer threads than planned: the walk is just slower.
            m_shared.notStarted(count - started);
            return;
        }
    }
}

void FolderWalk::tuneWalkers(std::vector<std::thread> &helpers)
{
    using Clock = std::chrono::steady_clock;
    auto lastWall = Clock::now();
    double lastCpu = processCpuSeconds();
    long lastSwitches = voluntarySwitches();
    unsigned long lastIdleWaits = m_shared.idleWaits();
    std::uint64_t lastDone = m_shared.entriesDone();
    GrowthState state = GrowthState::startingAt(m_startThreads);
    for (;;) {
        const std::optional<WalkShared::Turns> turns = m_shared.waitForCheck(kGrowthInterval);
        if (!turns) {
            m_shared.ended(true, 0);
            return;
        }
        const auto wall = Clock::now();
        const double seconds = std::chrono::duration<double>(wall - lastWall).count();
        const double cpu = processCpuSeconds();
        const long switches = voluntarySwitches();
        const unsigned long idleWaits = m_shared.idleWaits();
        const std::uint64_t done = m_shared.entriesDone();
        GrowthSample sample;
        sample.walkers = turns->active;
        sample.idle = turns->running < turns->active ? turns->active - turns->running : 0;
        sample.cores = m_rule.cores > 0 ? m_rule.cores : m_startThreads;
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
        if (state.active != turns->active)
            addWalkers(helpers, m_shared.allow(state.active));
    }
}

void FolderWalk::runWalker(WalkShared::Donation *first, unsigned number)
{
    try {
        FolderWalker walker(m_shared, number, m_cacheSize);
        walker.run(first);
        m_bytes.fetch_add(walker.bytes(), std::memory_order_relaxed);
    } catch (const std::bad_alloc &) {
        m_shared.fail(SizeResult::failure(
            SizeError::Other, "Cannot size folder '" + m_shared.rootPath() + "': out of memory"));
        m_shared.control().whereabouts().report(number, {});
    }
    m_shared.ended(false, number);
}
