#pragma once

#include "platform/SettingsBackend.h"

#include <QByteArray>

class QLockFile;

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
// unreadable (rewriting it would lose its entries), the new file cannot be written, the
// file was unreadable when the launch read it, or the new file would be larger than
// MaxFileBytes (the program never writes a file that it would refuse to read). A save that
// changes nothing does not touch the file. A save that writes the file first removes the
// temporary files that earlier saves left beside it when they were killed before their
// rename (see StaleSaveFiles): under the lock no other save can be writing one.
//
// Waiting for the lock is bounded: at most LockWaits::perSaveMs for one save, and at most
// LockWaits::perLaunchMs in all for the backend's lifetime (one launch); once that is spent,
// a save that finds the lock taken tries it once and fails. Within its bound a save tries
// the lock again and again, after the pauses lockPauseMs() gives, so a lock that another
// launch holds for a few milliseconds is taken soon after its release. The file is never
// written without it.
class IniFileSettingsBackend final : public SettingsBackend
{
public:
    struct LockWaits
    {
        int perSaveMs = 1000;
        int perLaunchMs = 5000;
    };

    // The largest settings file that is read, and written: far more than the program's own
    // entries can fill (the two paths, a text box's 32767 characters each, stay under
    // 400 KiB in their written form); only text added by hand comes near it.
    static constexpr qint64 MaxFileBytes = qint64{1024} * 1024;

    // How long a save pauses, in milliseconds, before it tries the lock again, after
    // failedAttempts attempts that found it taken, with leftMs of its wait left: a short
    // pause that doubles up to MaxLockPauseMs, never past the end of the wait, so the last
    // attempt falls at its end. 0 when no wait is left: the save gives up. Pure.
    static constexpr int FirstLockPauseMs = 2;
    static constexpr int MaxLockPauseMs = 25;
    [[nodiscard]] static int lockPauseMs(int failedAttempts, int leftMs);

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
    // Tries the lock within this save's bound, and takes what it waited off the launch's.
    [[nodiscard]] bool takeLock(QLockFile &lock);

    QString m_filePath;
    LockWaits m_waits;
    int m_lockWaitLeftMs;
    // Set when the launch found the file unreadable: it is then never written.
    QString m_unreadable;
    QString m_error;
};
