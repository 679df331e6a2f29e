#pragma once

#include "platform/WriteResult.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QSaveFile;

// The steps of SaveFileWriter that differ between operating systems, each implemented in
// the platform's folder (POSIX in linux/, plain Qt in portable/).
namespace SaveFileSteps {

// For a path that names an existing folder, device, FIFO or other non-regular file: the
// outcome of writing there (a folder fails; anything else is written in place, never
// replaced). nullopt for a regular file or a missing one, which the save file replaces.
[[nodiscard]] std::optional<WriteResult> writeIfNotRegular(const QString &path,
                                                           const QByteArray &bytes);

// Writes all of bytes into the open save file and flushes them to the disk. Returns the
// empty text, or the system's message when a write or the flush failed.
[[nodiscard]] QString writeAndFlush(QSaveFile &file, const QByteArray &bytes);

// "Cannot write the log file "PATH": MESSAGE": the reason of every failed write.
[[nodiscard]] WriteResult failure(const QString &path, const QString &message);

} // namespace SaveFileSteps
