#pragma once

#include "platform/SettingsBackend.h"

#include <QByteArray>

// Settings kept in an INI file, one [section] per executable name, which the user may also
// edit by hand (see IniText for how the file is read and changed).
//
// Reading: a missing file (or a symbolic link to one) holds no entries. A file that exists
// but cannot be read is unreadable, and so is one that is not a regular file once links
// are followed (a device, a FIFO: never opened) or is larger than MaxFileBytes, and a path
// the system refuses (too long, a loop of links, no permission to search a folder); and
// when there is no place for the file at all (neither HOME nor XDG_CONFIG_HOME set).
//
// Saving is one transaction under the lock file "<file>.lock" (the one earlier versions
// used, so two running copies never interleave their changes): take the lock, read the file
// again, change only the given entries in place, and replace the file atomically. When the
// settings path is a symbolic link, the file it names is replaced (created when missing, if
// its folder exists) and the link stays. A save fails, leaving the file byte for byte as it
// was, when the folder cannot be created, the lock cannot be taken, the file has become
// unreadable (rewriting it would lose its entries), the new file cannot be written, or the
// file was unreadable when the launch read it. A save that changes nothing does not touch
// the file.
//
// Waiting for the lock is bounded: at most LockWaits::perSaveMs for one save, and at most
// LockWaits::perLaunchMs in all for the backend's lifetime (one launch); once that is spent,
// a save that finds the lock taken fails at once. The file is never written without it.
class IniFileSettingsBackend final : public SettingsBackend
{
public:
    struct LockWaits
    {
        int perSaveMs = 1000;
        int perLaunchMs = 5000;
    };

    // The largest settings file that is read: far more than the program ever writes.
    static constexpr qint64 MaxFileBytes = qint64{1024} * 1024;

    // filePath empty: there is no place for the settings (see defaultFilePath()).
    explicit IniFileSettingsBackend(QString filePath);
    IniFileSettingsBackend(QString filePath, LockWaits waits);

    // $XDG_CONFIG_HOME/ZEMRA/ZEMRA.ini, else $HOME/.config/ZEMRA/ZEMRA.ini; empty when neither
    // variable is set, rather than a folder at the filesystem root.
    [[nodiscard]] static QString defaultFilePath();

    [[nodiscard]] SettingsSnapshot read(const QString &section) override;
    [[nodiscard]] bool write(const QString &section,
                             const QList<std::pair<QString, QString>> &changes) override;
    // E.g. "cannot save the settings in /x/ZEMRA.ini: the file is locked by another program
    // (/x/ZEMRA.ini.lock)".
    [[nodiscard]] QString errorString() const override { return m_error; }
    [[nodiscard]] QString storageFilePath() const override { return m_filePath; }

private:
    // The file's bytes, or why they cannot be had; an absent file gives empty bytes.
    struct Content
    {
        bool exists = false;
        QByteArray bytes;
        QString problem;
    };
    [[nodiscard]] Content load() const;
    // Empty on success, else why the file could not be changed.
    [[nodiscard]] QString writeLocked(const QString &section,
                                      const QList<std::pair<QString, QString>> &changes);

    QString m_filePath;
    LockWaits m_waits;
    int m_lockWaitLeftMs;
    // Set when the launch found the file unreadable: it is then never written.
    QString m_unreadable;
    QString m_error;
};
