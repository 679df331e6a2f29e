#include "measure/StallWatch.h"

#include "platform/Log.h"
#include "platform/SizeQuery.h"

void StallWatch::watch(const SizeQueryControl &control, int sinceLastTickMs, const QString &target)
{
    if (!stalledAt(control.filesFound(), control.bytesFound(), sinceLastTickMs))
        return;
    const std::string folder = control.whereabouts().oldest();
    qCWarning(zemraLog).noquote() << QStringLiteral(
                                         "no progress for %1 s; the measurement is waiting on '%2'")
                                         .arg(LimitMs / 1000)
                                         .arg(folder.empty() ? target
                                                             : QString::fromStdString(folder));
}

bool StallWatch::stalledAt(std::uint64_t files, std::uint64_t bytes, int sinceLastTickMs)
{
    if (files != m_files || bytes != m_bytes) {
        m_files = files;
        m_bytes = bytes;
        m_stalledMs = 0;
        m_reported = false;
        return false;
    }
    if (m_reported)
        return false;
    m_stalledMs += sinceLastTickMs;
    m_reported = m_stalledMs >= LimitMs;
    return m_reported;
}
