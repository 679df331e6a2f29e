#pragma once

#include "platform/TextFileWriter.h"

// Standard output as a TextFileWriter: write() ignores the path and sends the text, encoded
// as SaveFileWriter encodes a log file, to standard output, all of it or a failure. A write
// error (a full disk, a reader that went away, an output that was closed when the program
// started) fails with a reason; so does a file behind standard output whose data cannot be
// flushed to disk. May block as long as the reader does: call it off the user-interface
// thread. One writer at a time.
class StandardOutputWriter final : public TextFileWriter
{
public:
    // outputClosed: standard output was closed at start (StandardStreams::prepare()), so
    // nothing written now would reach the caller.
    explicit StandardOutputWriter(bool outputClosed) : m_outputClosed(outputClosed) {}

    [[nodiscard]] WriteResult write(const QString &path, const QString &text) override;

private:
    bool m_outputClosed;
};
