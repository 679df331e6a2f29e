#pragma once

#include "platform/SettingsBackend.h"

// Settings kept in an INI file, one [section] per executable name, which the user may also
// edit by hand (see IniText for how the file is read and changed).
//
// Every read reads the file afresh, so it answers what the file holds at that moment; a file
// that is absent or cannot be read answers no entry. Every write changes only its own entry:
// under the lock file "<file>.lock" (the one earlier versions used, so two running copies
// never interleave their changes) it reads the file, changes that one value in place and
// replaces the file atomically. A write fails, leaving the file byte for byte as it was, when
// the folder cannot be created, the lock cannot be taken, the existing file cannot be read
// (rewriting it would lose its entries) or the new file cannot be written. A write that
// changes nothing succeeds without touching the file.
class IniFileSettingsBackend final : public SettingsBackend
{
public:
    explicit IniFileSettingsBackend(QString filePath);

    // $XDG_CONFIG_HOME/ZEMRA/ZEMRA.ini (~/.config/ZEMRA/ZEMRA.ini when unset).
    [[nodiscard]] static QString defaultFilePath();

    [[nodiscard]] std::optional<QString> read(const QString &section, const QString &key) override;
    [[nodiscard]] bool write(const QString &section, const QString &key,
                             const QString &value) override;
    // Names the key, the file and the reason, e.g. "cannot save MAIN-Left in /x/ZEMRA.ini:
    // cannot create the lock file /x/ZEMRA.ini.lock: permission denied".
    [[nodiscard]] QString errorString() const override { return m_error; }
    [[nodiscard]] QString storageFilePath() const override { return m_filePath; }

private:
    // Empty on success, else why the file could not be changed.
    [[nodiscard]] QString writeLocked(const QString &section, const QString &key,
                                      const QString &value);

    QString m_filePath;
    QString m_error;
};
