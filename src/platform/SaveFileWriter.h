#pragma once

#include "platform/TextFileWriter.h"

#include <QByteArray>

// The real TextFileWriter.
//
// A regular file, new or existing, is replaced atomically: the text goes to a temporary
// file in the same folder, which is flushed to disk and then renamed over the file, so the
// file holds either its previous content or the complete new text, never part of it. An
// existing file keeps its permissions; a symbolic link is followed and its target replaced.
// A file that the user may not write is not replaced, even where the folder would allow it.
// Before it writes, it removes the temporary files that earlier writes of the same file left
// when they were killed before their rename, once they are ten minutes old (see
// StaleSaveFiles).
//
// A path naming an existing device, FIFO or other non-regular file is opened and written
// in place, never replaced by a regular file. A FIFO without a reader fails at once.
//
// Encoding: the system's 8-bit encoding (UTF-8 on Linux, the ANSI code page on Windows).
// A character the encoding cannot represent, including an unpaired UTF-16 surrogate,
// becomes "?".
//
// Fails, with a reason naming the path and the system's message, for an empty path, a
// missing folder, a folder, missing permission, a full disk and a read-only filesystem,
// among others. The previous content of a regular file survives every failure.
class SaveFileWriter final : public TextFileWriter
{
public:
    [[nodiscard]] WriteResult write(const QString &path, const QString &text) override;

    // text in the system's 8-bit encoding, unrepresentable characters as "?".
    [[nodiscard]] static QByteArray encode(const QString &text);
};
