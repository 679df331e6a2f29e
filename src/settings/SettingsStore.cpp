#include "settings/SettingsStore.h"

#include "platform/Log.h"
#include "platform/SettingsBackend.h"
#include "settings/SettingValue.h"

SettingsStore::SettingsStore(SettingsBackend &backend, QString section)
    : m_backend(backend), m_section(std::move(section))
{}

QString SettingsStore::readText(Setting setting) const
{
    return usableText(setting, readStoredText(setting));
}

std::optional<QString> SettingsStore::readStoredText(Setting setting) const
{
    return m_backend.read(m_section, settingEntry(setting).key);
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

bool SettingsStore::writeText(Setting setting, const QString &text)
{
    const SettingEntry &entry = settingEntry(setting);
    if (m_backend.write(m_section, entry.key, text))
        return true;
    qCWarning(zemraLog).noquote() << "settings not saved:" << m_backend.errorString();
    return false;
}

float SettingsStore::readGeometry(Setting setting) const
{
    // readText() has already replaced unconvertible text with the default.
    return *SettingValue::parseGeometry(readText(setting));
}

bool SettingsStore::writeGeometry(Setting setting, float twips)
{
    return writeText(setting, SettingValue::formatGeometry(twips));
}

qint16 SettingsStore::readTick(Setting setting) const
{
    return *SettingValue::parseTick(readText(setting));
}

bool SettingsStore::writeTick(Setting setting, qint16 value)
{
    return writeText(setting, SettingValue::formatTick(value));
}

QString SettingsStore::storageFilePath() const
{
    return m_backend.storageFilePath();
}
