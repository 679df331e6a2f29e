#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// Which folder each worker of one size query is in, so that a watcher on another thread can
// name the folder a query that stopped making progress is waiting on (a network share or a
// user-space filesystem that no longer answers).
//
// A worker says which folder it is about to open, and keeps saying so while it reads the
// folder and looks at its entries; it says it holds none while it waits for work, or once
// done. oldest() answers the folder entered longest ago that is still held: when every other
// worker has moved on or gone idle, that is where the stuck one waits. Workers speak once per
// folder, never per entry, and a worker that keeps its folder's path itself shows that text
// instead of copying it (Place::enter), so a deep tree costs no copying of long paths.
// Every member may be called from any thread.
class FolderWhereabouts
{
public:
    // One worker's place.
    class Place
    {
    public:
        // Runs change() and then shows path, the worker's own text, as its folder: the
        // worker keeps path alive and changes it only inside enter() while it is shown, so
        // that a reader never copies it half changed. The folder counts as entered now.
        template <typename Change> void enter(const std::string &path, Change &&change)
        {
            const std::lock_guard lock(m_mutex);
            change();
            m_shown = &path;
            m_since = m_owner.nextEntry();
        }

        // Shows a copy of path (empty: no folder); for a worker that keeps no path itself.
        void report(std::string_view path);

        // The worker holds no folder.
        void leave() { report({}); }

        // When the shown folder was entered (0: none) and its path.
        [[nodiscard]] std::pair<std::uint64_t, std::string> held() const;

        explicit Place(FolderWhereabouts &owner) : m_owner(owner) {}
        Place(const Place &) = delete;
        Place &operator=(const Place &) = delete;

    private:
        FolderWhereabouts &m_owner;
        mutable std::mutex m_mutex;
        const std::string *m_shown = nullptr;
        std::string m_copy;
        std::uint64_t m_since = 0;
    };

    // The place of worker number worker, from 0 (the thread that called the query). It stays
    // where it is as long as the whereabouts live.
    [[nodiscard]] Place &place(unsigned worker);

    // Shorthand for place(worker).report(path).
    void report(unsigned worker, std::string_view path) { place(worker).report(path); }

    // The folder held longest by any worker, or empty when none is held.
    [[nodiscard]] std::string oldest() const;

private:
    [[nodiscard]] std::uint64_t nextEntry() { return ++m_entries; }

    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<Place>> m_places;
    std::atomic<std::uint64_t> m_entries{0};
};
