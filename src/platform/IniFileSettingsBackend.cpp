#include "platform/IniFileSettingsBackend.h"

#include "platform/IniText.h"
#include "platform/StaleSaveFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// How the file is opened for reading. O_NONBLOCK: a FIFO put in the file's place must not
// make the launch wait for a writer. Windows has no FIFOs, terminals or exec to guard
// against, and needs binary mode, without which it would turn CR LF into LF.
#if defined(_WIN32)
constexpr int ReadFlags = O_RDONLY | O_BINARY;
#else
constexpr int ReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
#endif

QString lockFailure(const QLockFile &lock, const QString &lockPath)
{
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        return u"the file is locked by another program (%1)"_s.arg(lockPath);
    case QLockFile::PermissionError:
        return u"cannot create the lock file %1: permission denied"_s.arg(lockPath);
    case QLockFile::NoError:
    case QLockFile::UnknownError:
        break;
    }
    return u"cannot create the lock file %1"_s.arg(lockPath);
}

// Why the folder could not be created: names the part of the path that is in the way.
QString folderFailure(const QString &folder)
{
    for (QFileInfo part(folder); !part.isRoot() && !part.filePath().isEmpty();
         part = QFileInfo(part.absolutePath())) {
        if (part.exists() && !part.isDir())
            return u"%1 is not a folder"_s.arg(part.filePath());
        if (part.exists())
            break;
    }
    return u"cannot create the folder %1"_s.arg(folder);
}

// Reads all of fd, but never more than limit + 1 bytes. Returns 0 or the failing errno.
int readBounded(int fd, qint64 limit, QByteArray &bytes)
{
    char buffer[16384];
    while (bytes.size() <= limit) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    return 0;
}

} // namespace

IniFileSettingsBackend::IniFileSettingsBackend(QString filePath)
    : IniFileSettingsBackend(std::move(filePath), LockWaits{})
{}

IniFileSettingsBackend::IniFileSettingsBackend(QString filePath, LockWaits waits)
    : m_filePath(std::move(filePath)), m_waits(waits), m_lockWaitLeftMs(waits.perLaunchMs)
{}

QString IniFileSettingsBackend::defaultFilePath()
{
    // Qt would make "/.config" out of an empty HOME; an unset home is no place for settings.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!config.startsWith(u'/')) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            return {};
        config = home + u"/.config"_s;
    }
    return config + u"/ZEMRA/ZEMRA.ini"_s;
}

IniFileSettingsBackend::Content IniFileSettingsBackend::load() const
{
    Content content;
    if (m_filePath.isEmpty()) {
        content.problem = u"neither HOME nor XDG_CONFIG_HOME is set"_s;
        return content;
    }
    const int fd = ::open(QFile::encodeName(m_filePath).constData(), ReadFlags);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            content.problem = qt_error_string(errno);
        return content;
    }
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0) {
        content.problem = qt_error_string(errno);
    } else if (!S_ISREG(status.st_mode)) {
        content.problem = u"it is not a regular file"_s;
    } else if (const int error =
                   status.st_size > MaxFileBytes ? 0 : readBounded(fd, MaxFileBytes, content.bytes);
               error != 0) {
        content.problem = qt_error_string(error);
    } else if (status.st_size > MaxFileBytes || content.bytes.size() > MaxFileBytes) {
        // Also a file that grew past the bound while it was read.
        content.problem = u"it is larger than 1 MiB"_s;
    }
    ::close(fd);
    content.exists = content.problem.isEmpty();
    if (!content.exists)
        content.bytes.clear();
    return content;
}

SettingsSnapshot IniFileSettingsBackend::read(const QString &section)
{
    SettingsSnapshot snapshot;
    const Content content = load();
    if (!content.problem.isEmpty()) {
        m_unreadable = m_filePath.isEmpty()
                           ? u"no settings file: %1"_s.arg(content.problem)
                           : u"cannot read the settings file %1: %2"_s.arg(
                                 QDir::toNativeSeparators(m_filePath), content.problem);
        snapshot.unreadable = m_unreadable;
        return snapshot;
    }
    snapshot.entries = IniText::section(content.bytes, section);
    return snapshot;
}

bool IniFileSettingsBackend::write(const QString &section,
                                   const QList<std::pair<QString, QString>> &changes)
{
    const QString reason =
        m_unreadable.isEmpty() ? writeLocked(section, changes) : u"it could not be read at start"_s;
    if (reason.isEmpty())
        return true;
    m_error = m_filePath.isEmpty() ? u"cannot save the settings: %1"_s.arg(reason)
                                   : u"cannot save the settings in %1: %2"_s.arg(
                                         QDir::toNativeSeparators(m_filePath), reason);
    return false;
}

QString IniFileSettingsBackend::writeLocked(const QString &section,
                                            const QList<std::pair<QString, QString>> &changes)
{
    if (m_filePath.isEmpty())
        return u"neither HOME nor XDG_CONFIG_HOME is set"_s;
    // The program's own folder is made when missing; a link's target folder is the user's.
    if (!QFileInfo(m_filePath).isSymLink()) {
        const QString folder = QFileInfo(m_filePath).absolutePath();
        if (!QDir().mkpath(folder))
            return folderFailure(folder);
    }

    const QString lockPath = m_filePath + u".lock"_s;
    QLockFile lock(lockPath);
    if (!takeLock(lock))
        return lockFailure(lock, lockPath);

    const Content before = load();
    if (!before.problem.isEmpty())
        return u"cannot read the file: %1"_s.arg(before.problem);
    QByteArray after = before.bytes;
    for (const auto &[key, value] : changes)
        after = IniText::withValue(after, section, key, value);
    if (after == before.bytes && before.exists)
        return {};

    // The next launch would refuse the file and run on the defaults, a scheduled launch would
    // stop: the file stays as it is, which this and later launches still read.
    if (after.size() > MaxFileBytes)
        return u"it would grow past 1 MiB, the largest settings file that is read; it is left as "
               u"it was"_s;

    // Every save of the file holds the lock while its temporary file exists, so under the
    // lock each one beside the file, whatever its age, is a killed save's.
    const QString target = StaleSaveFiles::fileBehindLinks(m_filePath);
    StaleSaveFiles::remove(target, std::chrono::seconds(0));

    // QSaveFile writes a temporary file and renames it over the old one, so a failure at any
    // point leaves the old file whole. It keeps the file's permissions and refuses a file the
    // user may not write.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(after) != after.size()) {
        QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

bool IniFileSettingsBackend::takeLock(QLockFile &lock)
{
    const int boundMs = std::min(m_waits.perSaveMs, m_lockWaitLeftMs);
    QElapsedTimer waited;
    waited.start();
    bool locked = false;
    // QLockFile's own wait tries only five times in a second (its pauses start at 100 ms and
    // double), and misses a lock that other launches take and release in between.
    for (int failed = 0;; ++failed) {
        locked = lock.tryLock(0);
        if (locked || lock.error() != QLockFile::LockFailedError)
            break;
        const int pauseMs = lockPauseMs(failed, boundMs - static_cast<int>(waited.elapsed()));
        if (pauseMs <= 0)
            break;
        QThread::msleep(static_cast<unsigned long>(pauseMs));
    }
    m_lockWaitLeftMs = std::max(0, m_lockWaitLeftMs - static_cast<int>(waited.elapsed()));
    return locked;
}

int IniFileSettingsBackend::lockPauseMs(int failedAttempts, int leftMs)
{
    if (leftMs <= 0)
        return 0;
    int pauseMs = FirstLockPauseMs;
    for (int i = 0; i < failedAttempts && pauseMs < MaxLockPauseMs; ++i)
        pauseMs *= 2;
    return std::min({pauseMs, MaxLockPauseMs, leftMs});
}
