#include "platform/FolderWhereabouts.h"

void FolderWhereabouts::report(unsigned worker, std::string path)
{
    const std::lock_guard lock(m_mutex);
    if (worker >= m_workers.size())
        m_workers.resize(worker + 1);
    Held &held = m_workers[worker];
    held.since = path.empty() ? 0 : ++m_reports;
    held.path = std::move(path);
}

std::string FolderWhereabouts::oldest() const
{
    const std::lock_guard lock(m_mutex);
    const Held *oldest = nullptr;
    for (const Held &held : m_workers) {
        if (held.since != 0 && (!oldest || held.since < oldest->since))
            oldest = &held;
    }
    return oldest ? oldest->path : std::string();
}
