#include "settings/SettingsStore.h"

#include "platform/SettingsBackend.h"
#include "settings/SettingValue.h"

#include <QDebug>

SettingsStore::SettingsStore(SettingsBackend &backend, QString section)
    : m_backend(backend), m_section(std::move(section))
{}

QString SettingsStore::readText(Setting setting) const
{
    const SettingEntry &entry = settingEntry(setting);
    const std::optional<QString> stored = m_backend.read(m_section, entry.key);
    if (!stored)
        return entry.defaultText;
    switch (entry.form) {
    case ValueForm::Geometry:
        return SettingValue::parseGeometry(*stored) ? *stored : QString(entry.defaultText);
    case ValueForm::Tick:
        return SettingValue::parseTick(*stored) ? *stored : QString(entry.defaultText);
    case ValueForm::Path:
        break;
    }
    return *stored;
}

bool SettingsStore::writeText(Setting setting, const QString &text)
{
    const SettingEntry &entry = settingEntry(setting);
    if (m_backend.write(m_section, entry.key, text))
        return true;
    qWarning().noquote() << "zemra: settings not saved:" << m_backend.errorString();
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
