#include "platform/SaveFileWriter.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

WriteResult failure(const QString &path, const QString &message)
{
    return WriteResult{false, QStringLiteral("Cannot write the log file \"%1\": %2")
                                  .arg(QDir::toNativeSeparators(path), message)};
}

#ifdef Q_OS_UNIX
using FileStatus = struct stat;

WriteResult systemFailure(const QString &path, int error)
{
    return failure(path, qt_error_string(error));
}

// Writes all of bytes to fd, resuming after signals and short writes. Returns 0 or the
// errno of the failing write, which Qt's buffered writes would not pass on.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        left -= written;
    }
    return 0;
}

// Writes in place to a device or FIFO, which must never be swapped for a regular file.
// O_NONBLOCK makes opening a FIFO without a reader fail with ENXIO instead of waiting for
// one; once open, the descriptor is made blocking so a slow reader gets the whole text.
WriteResult writeInPlace(const QString &path, const QByteArray &bytes)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return systemFailure(path, errno);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);

    const int error = writeAll(fd, bytes);
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        return systemFailure(path, errno);
    if (error != 0)
        return systemFailure(path, error);
    return WriteResult{true, QString()};
}
#endif

} // namespace

QByteArray SaveFileWriter::encode(const QString &text)
{
    // An unpaired surrogate is no character at all; the encoders would turn it into a
    // replacement character or drop it, where every other unrepresentable one becomes "?".
    QString clean = text;
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const QChar c = clean.at(i);
        if (c.isHighSurrogate() && i + 1 < clean.size() && clean.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            clean[i] = u'?';
    }
    QStringEncoder encoder(QStringConverter::System);
    return encoder(clean);
}

WriteResult SaveFileWriter::write(const QString &path, const QString &text)
{
    if (path.isEmpty())
        return WriteResult{false, QStringLiteral("Cannot write the log file: no path was given.")};

    const QByteArray bytes = encode(text);

#ifdef Q_OS_UNIX
    // stat() follows symbolic links, so a link to a device counts as the device.
    FileStatus status{};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return failure(path, QStringLiteral("it is a folder"));
        if (!S_ISREG(status.st_mode))
            return writeInPlace(path, bytes);
    }
#endif

    // QSaveFile follows symbolic links, keeps an existing file's permissions and refuses a
    // file the user may not write. A writable log in a folder the user may not write to
    // (no room for a temporary file) is still written, in place: refusing it would break a
    // setup that worked, at the cost of atomicity in that one case.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(path, file.errorString());
#ifdef Q_OS_UNIX
    // Written and synced here rather than through QSaveFile, whose buffered write reports a
    // full disk as "Unknown error" and whose commit ignores a failing sync; either failure
    // must keep the previous file.
    int error = writeAll(file.handle(), bytes);
    if (error == 0 && ::fsync(file.handle()) != 0)
        error = errno;
    if (error != 0) {
        file.cancelWriting();
        return systemFailure(path, error);
    }
#else
    if (file.write(bytes) != bytes.size()) {
        const QString message = file.errorString();
        file.cancelWriting();
        return failure(path, message);
    }
#endif
    if (!file.commit())
        return failure(path, file.errorString());
    return WriteResult{true, QString()};
}
