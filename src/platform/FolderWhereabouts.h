#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Which folder each worker of one size query is in, so that a watcher on another thread can
// name the folder a query that stopped making progress is waiting on (a network share or a
// user-space filesystem that no longer answers).
//
// A worker reports the folder it is about to open, and keeps it reported while it reads the
// folder and looks at its entries; it reports an empty path when it holds no folder (waiting
// for work, or done). oldest() answers the folder reported longest ago that is still held:
// when every other worker has moved on or gone idle, that is where the stuck one waits.
// Workers report once per folder, never per entry. Every member may be called from any thread.
class FolderWhereabouts
{
public:
    // worker: the worker's number, from 0 (the thread that called the query). path: a full
    // path, as bytes; empty when the worker holds no folder.
    void report(unsigned worker, std::string path);

    // The folder held longest by any worker, or empty when none is held.
    [[nodiscard]] std::string oldest() const;

private:
    struct Held
    {
        std::uint64_t since = 0; // report order; 0 when nothing is held
        std::string path;
    };

    mutable std::mutex m_mutex;
    std::vector<Held> m_workers;
    std::uint64_t m_reports = 0;
};
