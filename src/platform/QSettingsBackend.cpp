#include "platform/QSettingsBackend.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString entryPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QSettingsBackend::QSettingsBackend(const QString &filePath)
    : QSettingsBackend(filePath, QSettings::IniFormat)
{}

QSettingsBackend::QSettingsBackend(const QString &location, QSettings::Format format)
    : m_settings(location, format)
{
    // Without this an absent key could be answered from a system-wide file.
    m_settings.setFallbacksEnabled(false);
}

std::unique_ptr<QSettingsBackend> QSettingsBackend::forCurrentUser()
{
#ifdef Q_OS_WIN
    return std::unique_ptr<QSettingsBackend>(new QSettingsBackend(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\ZEMRA"), QSettings::NativeFormat));
#else
    return std::make_unique<QSettingsBackend>(defaultFilePath());
#endif
}

QString QSettingsBackend::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/ZEMRA/ZEMRA.ini");
}

std::optional<QString> QSettingsBackend::read(const QString &section, const QString &key)
{
    // sync() picks up what another copy of the program wrote since our last call.
    m_settings.sync();
    const QString path = entryPath(section, key);
    if (!m_settings.contains(path))
        return std::nullopt;
    return m_settings.value(path).toString();
}

bool QSettingsBackend::write(const QString &section, const QString &key, const QString &value)
{
    const QString path = entryPath(section, key);
    m_settings.setValue(path, value);
    // QSettings creates a missing folder itself only in some versions; do it explicitly.
    if (m_settings.format() == QSettings::IniFormat)
        QDir().mkpath(QFileInfo(m_settings.fileName()).absolutePath());
    m_settings.sync();
    if (m_settings.status() == QSettings::NoError)
        return true;

    m_error = QStringLiteral("cannot write %1 to %2").arg(path, m_settings.fileName());
    // Forget the unsaved value, so that reads keep answering what the file holds.
    m_settings.remove(path);
    m_settings.sync();
    return false;
}

QString QSettingsBackend::storageFilePath() const
{
    return m_settings.format() == QSettings::IniFormat ? m_settings.fileName() : QString();
}
