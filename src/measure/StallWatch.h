#pragma once

#include <QString>

#include <cstdint>

// Tells when a size query has made no progress for a while: a filesystem that stopped
// answering. It speaks once per stall, so that a scheduler's journal shows which folder
// hangs without filling up, and again only after the query moved and stalled anew.
class StallWatch
{
public:
    static constexpr int LimitMs = 30000;

    // Called at every progress tick: the query's counters, and the milliseconds since the
    // previous tick. True exactly at the tick that completes LimitMs without a change.
    [[nodiscard]] bool stalledAt(std::uint64_t files, std::uint64_t bytes, int sinceLastTickMs);

    // Forgets the counters: a new query starts.
    void reset() { *this = StallWatch(); }

    // The line for standard error: the folder the query waits on, or else its target.
    [[nodiscard]] static QString notice(const QString &folder);

private:
    std::uint64_t m_files = 0;
    std::uint64_t m_bytes = 0;
    int m_stalledMs = 0;
    bool m_reported = false;
};
