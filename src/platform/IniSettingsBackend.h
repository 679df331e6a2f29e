#pragma once

#include "platform/SettingsBackend.h"

#include <QSettings>

// Settings kept in one INI file, one [section] per executable name. Used on Linux, where the
// file is $XDG_CONFIG_HOME/ZEMRA/ZEMRA.ini (~/.config/ZEMRA/ZEMRA.ini when unset).
//
// QSettings replaces the file atomically on every write, so a failed write (read-only folder,
// full disk) leaves the previous file whole. A file that cannot be read behaves as empty.
class IniSettingsBackend final : public SettingsBackend
{
public:
    explicit IniSettingsBackend(const QString &filePath);

    // The per-user file for the application name "ZEMRA".
    [[nodiscard]] static QString defaultFilePath();

    [[nodiscard]] std::optional<QString> read(const QString &section, const QString &key) override;
    [[nodiscard]] bool write(const QString &section, const QString &key,
                             const QString &value) override;
    [[nodiscard]] QString errorString() const override { return m_error; }

private:
    QSettings m_settings;
    QString m_error;
};
