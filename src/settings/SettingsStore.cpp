#include "settings/SettingsStore.h"

#include "platform/Log.h"
#include "platform/SettingsBackend.h"
#include "settings/SettingValue.h"

namespace {

std::size_t indexOf(Setting setting)
{
    return static_cast<std::size_t>(setting);
}

} // namespace

SettingsStore::SettingsStore(SettingsBackend &backend, QString section)
    : m_backend(backend), m_section(std::move(section))
{
    const SettingsSnapshot snapshot = m_backend.read(m_section);
    m_unreadable = snapshot.unreadable;
    if (!m_unreadable.isEmpty())
        qCWarning(zemraLog).noquote() << "settings not read:" << m_unreadable;
    for (const SettingEntry &entry : settingEntries()) {
        const auto found = snapshot.entries.constFind(QString(entry.key));
        if (found != snapshot.entries.cend())
            m_stored[indexOf(entry.setting)] = *found;
    }
}

QString SettingsStore::readText(Setting setting) const
{
    return usableText(setting, readStoredText(setting));
}

std::optional<QString> SettingsStore::readStoredText(Setting setting) const
{
    const std::size_t i = indexOf(setting);
    return m_written[i] ? m_written[i] : m_stored[i];
}

QString SettingsStore::usableText(Setting setting, const std::optional<QString> &stored)
{
    const SettingEntry &entry = settingEntry(setting);
    if (!stored)
        return entry.defaultText;
    bool usable = true;
    switch (entry.form) {
    case ValueForm::Geometry:
        usable = isWindowExtent(setting) ? SettingValue::parseWindowExtent(*stored).has_value()
                                         : SettingValue::parseWindowEdge(*stored).has_value();
        break;
    case ValueForm::Tick:
        usable = SettingValue::parseTick(*stored).has_value();
        break;
    case ValueForm::Path:
        break;
    }
    return usable ? *stored : QString(entry.defaultText);
}

bool SettingsStore::sameValue(Setting setting, const std::optional<QString> &stored,
                              const QString &value)
{
    if (!stored)
        return false;
    const QString usable = usableText(setting, stored);
    switch (settingEntry(setting).form) {
    case ValueForm::Geometry:
        return SettingValue::parseGeometry(usable) == SettingValue::parseGeometry(value);
    case ValueForm::Tick:
        return SettingValue::parseTick(usable) == SettingValue::parseTick(value);
    case ValueForm::Path:
        break;
    }
    return usable == value;
}

void SettingsStore::writeText(Setting setting, const QString &text)
{
    std::optional<QString> &written = m_written[indexOf(setting)];
    if (!written)
        m_writeOrder.push_back(setting);
    written = text;
}

float SettingsStore::readGeometry(Setting setting) const
{
    return readGeometryEntry(setting).twips;
}

SettingsStore::GeometryEntry SettingsStore::readGeometryEntry(Setting setting) const
{
    GeometryEntry entry;
    entry.storedText = readStoredText(setting);
    // usableText() has already replaced unconvertible text with the default.
    entry.twips = *SettingValue::parseGeometry(usableText(setting, entry.storedText));
    return entry;
}

float SettingsStore::defaultGeometry(Setting setting)
{
    return *SettingValue::parseGeometry(QString(settingEntry(setting).defaultText));
}

void SettingsStore::writeGeometry(Setting setting, float twips)
{
    writeText(setting, SettingValue::formatGeometry(twips));
}

qint16 SettingsStore::readTick(Setting setting) const
{
    return *SettingValue::parseTick(readText(setting));
}

void SettingsStore::writeTick(Setting setting, qint16 value)
{
    writeText(setting, SettingValue::formatTick(value));
}

bool SettingsStore::save()
{
    return save(1);
}

bool SettingsStore::saveLast()
{
    return save(2);
}

bool SettingsStore::save(int attempts)
{
    if (!m_unreadable.isEmpty())
        return false;
    QList<std::pair<QString, QString>> changes;
    std::vector<Setting> changed;
    for (const Setting setting : m_writeOrder) {
        const std::size_t i = indexOf(setting);
        if (!sameValue(setting, m_stored[i], *m_written[i])) {
            changes.append({QString(settingEntry(setting).key), *m_written[i]});
            changed.push_back(setting);
        }
    }
    bool saved = changes.isEmpty();
    for (int attempt = 0; attempt < attempts && !saved; ++attempt)
        saved = m_backend.write(m_section, changes);
    if (!saved) {
        // Kept: later reads answer them, and the next save tries them again.
        const QString reason = m_backend.errorString();
        if (!m_reported.contains(reason)) {
            m_reported.insert(reason);
            qCWarning(zemraLog).noquote() << "settings not saved:" << reason;
        }
        return false;
    }
    for (const Setting setting : changed)
        m_stored[indexOf(setting)] = m_written[indexOf(setting)];
    m_written.fill(std::nullopt);
    m_writeOrder.clear();
    return true;
}

QString SettingsStore::storageFilePath() const
{
    return m_backend.storageFilePath();
}
