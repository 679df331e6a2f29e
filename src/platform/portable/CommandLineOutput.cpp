#include "platform/CommandLineOutput.h"

#include <cstdio>

bool CommandLineOutput::print(Stream stream, const QString &text)
{
    std::FILE *file = stream == Stream::Output ? stdout : stderr;
    const bool written = std::fputs(qPrintable(text), file) >= 0;
    return std::fflush(file) == 0 && written;
}

// Standard output and standard error always exist here; a stream closed by the caller is the
// caller's choice, and no window system is at hand before the application object exists.
void CommandLineOutput::printOrShow(Stream stream, const QString &text, const QString &)
{
    print(stream, text);
}
