#include "platform/MemorySettingsBackend.h"

namespace {

QString entryPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

std::optional<QString> MemorySettingsBackend::read(const QString &section, const QString &key)
{
    const auto it = m_entries.constFind(entryPath(section, key));
    if (it == m_entries.constEnd())
        return std::nullopt;
    return *it;
}

bool MemorySettingsBackend::write(const QString &section, const QString &key, const QString &value)
{
    if (m_failWrites) {
        m_error = QStringLiteral("store refused the write of %1").arg(entryPath(section, key));
        return false;
    }
    m_entries.insert(entryPath(section, key), value);
    m_writeLog.append(entryPath(section, key));
    return true;
}

void MemorySettingsBackend::seed(const QString &section, const QString &key, const QString &value)
{
    m_entries.insert(entryPath(section, key), value);
}
