#pragma once

#include "platform/SettingsBackend.h"

#include <QSettings>

#include <memory>

// Settings kept through QSettings under the application name "ZEMRA", one section (INI
// section or registry key) per executable name.
//
// The per-user store is the registry key HKEY_CURRENT_USER\Software\ZEMRA on Windows and the
// INI file $XDG_CONFIG_HOME/ZEMRA/ZEMRA.ini (~/.config/ZEMRA/ZEMRA.ini when unset) elsewhere.
// QSettings replaces an INI file atomically on every write, so a failed write (read-only
// folder, full disk) leaves the previous file whole. A file that cannot be read behaves as
// empty.
class QSettingsBackend final : public SettingsBackend
{
public:
    // An INI file at filePath.
    explicit QSettingsBackend(const QString &filePath);

    // The current user's store.
    [[nodiscard]] static std::unique_ptr<QSettingsBackend> forCurrentUser();

    // The per-user INI file where the platform has no native store of its own.
    [[nodiscard]] static QString defaultFilePath();

    [[nodiscard]] std::optional<QString> read(const QString &section, const QString &key) override;
    [[nodiscard]] bool write(const QString &section, const QString &key,
                             const QString &value) override;
    [[nodiscard]] QString errorString() const override { return m_error; }
    // The INI file's path; empty for the registry.
    [[nodiscard]] QString storageFilePath() const override;

private:
    QSettingsBackend(const QString &location, QSettings::Format format);

    QSettings m_settings;
    QString m_error;
};
