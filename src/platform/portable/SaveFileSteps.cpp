#include "platform/SaveFileSteps.h"

#include <QFileInfo>
#include <QSaveFile>

std::optional<WriteResult> SaveFileSteps::writeIfNotRegular(const QString &path,
                                                            const QByteArray &bytes)
{
    Q_UNUSED(bytes);
    // Devices are not told apart here; QSaveFile refuses what it cannot replace.
    if (QFileInfo(path).isDir())
        return failure(path, QStringLiteral("it is a folder"));
    return std::nullopt;
}

QString SaveFileSteps::writeAndFlush(QSaveFile &file, const QByteArray &bytes)
{
    if (file.write(bytes) != bytes.size())
        return file.errorString();
    return file.flush() ? QString() : file.errorString();
}
