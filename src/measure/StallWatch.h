#pragma once

#include <QString>

#include <cstdint>

class SizeQueryControl;

// Tells when a size query has made no progress for a while: a filesystem that stopped
// answering. It speaks once per stall, on standard error, so that a scheduler's journal
// shows which folder hangs without filling up, and again only after the query moved and
// stalled anew.
class StallWatch
{
public:
    static constexpr int LimitMs = 30000;

    // Called at every progress tick of the query under way, with the milliseconds since the
    // previous tick. At the tick that completes LimitMs without a change of its counters,
    // prints one line naming the folder the query waits on, or else target.
    void watch(const SizeQueryControl &control, int sinceLastTickMs, const QString &target);

    // Forgets the counters: a new query starts.
    void reset() { *this = StallWatch(); }

private:
    [[nodiscard]] bool stalledAt(std::uint64_t files, std::uint64_t bytes, int sinceLastTickMs);

    std::uint64_t m_files = 0;
    std::uint64_t m_bytes = 0;
    int m_stalledMs = 0;
    bool m_reported = false;
};
