#include "sizing/linux/WalkShared.h"

#include <unistd.h>

WalkShared::WalkShared(std::string rootPath, unsigned walkers, SizeQueryControl &control)
    : m_rootPath(std::move(rootPath)), m_control(control), m_threads(walkers), m_active(walkers)
{}

WalkShared::~WalkShared()
{
    for (const Donation &donation : m_queue)
        ::close(donation.fd);
}

bool WalkShared::take(Donation &donation, bool running)
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

void WalkShared::donate(Donation donation)
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

bool WalkShared::wantsDonation() const
{
    return m_idle.load(std::memory_order_relaxed) > m_queued.load(std::memory_order_relaxed) &&
           m_running.load(std::memory_order_relaxed) < m_active.load(std::memory_order_relaxed);
}

void WalkShared::park()
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

void WalkShared::fail(SizeResult failure)
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

SizeResult WalkShared::cancelled() const
{
    return SizeResult::cancelled("folder", m_rootPath);
}

bool WalkShared::checkCancel()
{
    if (stopped())
        return true;
    if (!m_control.cancelRequested())
        return false;
    fail(cancelled());
    return true;
}

bool WalkShared::firstLink(dev_t dev, ino_t ino)
{
    std::lock_guard lock(m_linkMutex);
    return m_links.insert({dev, ino}).second;
}

std::uint64_t WalkShared::entriesDone() const
{
    std::uint64_t done = 0;
    for (const DoneCount &count : m_doneCounts)
        done += count.entries.load(std::memory_order_relaxed);
    return done;
}

std::optional<WalkShared::Turns> WalkShared::waitForCheck(std::chrono::milliseconds interval)
{
    {
        std::unique_lock lock(m_mutex);
        if (!m_watcherWake.wait_for(lock, interval, [this] {
                return m_callerReturned || m_done || stopped() || m_control.cancelRequested();
            }))
            return Turns{m_active.load(std::memory_order_relaxed),
                         m_running.load(std::memory_order_relaxed)};
    }
    // A cancel that no walker saw, because each is idle, parked or blocked in the kernel (a
    // mount that stopped answering), stops the walk here: the idle and parked walkers wake
    // and return, and the watcher with them, so an abandoned walk wakes nobody any more.
    (void)checkCancel();
    return std::nullopt;
}

unsigned WalkShared::allow(unsigned active)
{
    unsigned more = 0;
    {
        std::lock_guard lock(m_mutex);
        m_active.store(active, std::memory_order_relaxed);
        more = active > m_threads ? active - m_threads : 0;
        m_threads += more;
    }
    m_wake.notify_all(); // parked walkers may run again
    return more;
}

void WalkShared::notStarted(unsigned count)
{
    {
        std::lock_guard lock(m_mutex);
        m_threads -= count;
    }
    m_wake.notify_all();
}

void WalkShared::callerReturned()
{
    {
        std::lock_guard lock(m_mutex);
        m_callerReturned = true;
    }
    m_watcherWake.notify_all();
}
