#include "platform/FolderWhereabouts.h"

void FolderWhereabouts::Place::report(std::string_view path)
{
    const std::lock_guard lock(m_mutex);
    if (path.empty()) {
        m_shown = nullptr;
        m_since = 0;
        return;
    }
    // The copy's buffer is reused, so only a longer path than before allocates.
    m_copy.assign(path);
    m_shown = &m_copy;
    m_since = m_owner.nextEntry();
}

std::pair<std::uint64_t, std::string> FolderWhereabouts::Place::held() const
{
    const std::lock_guard lock(m_mutex);
    if (!m_shown)
        return {0, {}};
    return {m_since, *m_shown};
}

FolderWhereabouts::Place &FolderWhereabouts::place(unsigned worker)
{
    const std::lock_guard lock(m_mutex);
    while (worker >= m_places.size())
        m_places.push_back(std::make_unique<Place>(*this));
    return *m_places[worker];
}

std::string FolderWhereabouts::oldest() const
{
    const std::lock_guard lock(m_mutex);
    std::uint64_t oldestSince = 0;
    std::string oldest;
    for (const std::unique_ptr<Place> &place : m_places) {
        auto [since, path] = place->held();
        if (since != 0 && (oldestSince == 0 || since < oldestSince)) {
            oldestSince = since;
            oldest = std::move(path);
        }
    }
    return oldest;
}
