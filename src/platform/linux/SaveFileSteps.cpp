#include "platform/SaveFileSteps.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

WriteResult systemFailure(const QString &path, int error)
{
    return SaveFileSteps::failure(path, qt_error_string(error));
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

} // namespace

std::optional<WriteResult> SaveFileSteps::writeIfNotRegular(const QString &path,
                                                            const QByteArray &bytes)
{
    // stat() follows symbolic links, so a link to a device counts as the device.
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return std::nullopt;
    if (S_ISDIR(status.st_mode))
        return failure(path, QStringLiteral("it is a folder"));
    return writeInPlace(path, bytes);
}

QString SaveFileSteps::writeAndFlush(QSaveFile &file, const QByteArray &bytes)
{
    // Written and synced here rather than through QSaveFile, whose buffered write reports a
    // full disk as "Unknown error" and whose commit ignores a failing sync; either failure
    // must keep the previous file.
    int error = writeAll(file.handle(), bytes);
    if (error == 0 && ::fsync(file.handle()) != 0)
        error = errno;
    return error == 0 ? QString() : qt_error_string(error);
}
