#include "platform/StandardOutputWriter.h"

#include "platform/SaveFileWriter.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

WriteResult failure(const QString &message)
{
    return WriteResult{
        false, QStringLiteral("Cannot write the run log to standard output: %1").arg(message)};
}

QString systemMessage(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

WriteResult StandardOutputWriter::write(const QString &, const QString &text)
{
    if (m_outputClosed)
        return failure(QStringLiteral("it was closed when the program started"));
    const QByteArray bytes = SaveFileWriter::encode(text);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(STDOUT_FILENO, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            // EPIPE: the reader went away (SIGPIPE is ignored, so this is where it shows).
            return failure(systemMessage(errno));
        }
        done += written;
    }
    // A file behind standard output may report a full disk only when its data reach it.
    struct stat status
    {
    };
    if (::fstat(STDOUT_FILENO, &status) == 0 && S_ISREG(status.st_mode) &&
        ::fsync(STDOUT_FILENO) != 0 && errno != EINVAL && errno != EROFS)
        return failure(systemMessage(errno));
    return WriteResult{true, QString()};
}
