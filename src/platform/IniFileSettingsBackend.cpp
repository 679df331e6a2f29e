#include "platform/IniFileSettingsBackend.h"

#include "platform/IniText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {

// Long enough for another copy of the program to finish its own write, short enough not to
// freeze the window for long when a lock is never released.
constexpr int LockTimeoutMs = 5000;

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

} // namespace

IniFileSettingsBackend::IniFileSettingsBackend(QString filePath) : m_filePath(std::move(filePath))
{}

QString IniFileSettingsBackend::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/ZEMRA/ZEMRA.ini"_s;
}

std::optional<QString> IniFileSettingsBackend::read(const QString &section, const QString &key)
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return IniText::value(file.readAll(), section, key);
}

bool IniFileSettingsBackend::write(const QString &section, const QString &key, const QString &value)
{
    const QString reason = writeLocked(section, key, value);
    if (reason.isEmpty())
        return true;
    m_error = u"cannot save %1 in %2: %3"_s.arg(key, QDir::toNativeSeparators(m_filePath), reason);
    return false;
}

QString IniFileSettingsBackend::writeLocked(const QString &section, const QString &key,
                                            const QString &value)
{
    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!QDir().mkpath(folder))
        return folderFailure(folder);

    const QString lockPath = m_filePath + u".lock"_s;
    QLockFile lock(lockPath);
    if (!lock.tryLock(LockTimeoutMs))
        return lockFailure(lock, lockPath);

    QByteArray before;
    QFile current(m_filePath);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly))
            return u"cannot read the file: %1"_s.arg(current.errorString());
        before = current.readAll();
        if (current.error() != QFileDevice::NoError)
            return u"cannot read the file: %1"_s.arg(current.errorString());
        current.close();
    }

    const QByteArray after = IniText::withValue(before, section, key, value);
    if (after == before && current.exists())
        return {};

    // QSaveFile writes a temporary file and renames it over the old one, so a failure at any
    // point leaves the old file whole. It keeps the file's permissions and refuses a file the
    // user may not write.
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(after) != after.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
