#include "platform/StandardOutputWriter.h"

#include "platform/SaveFileWriter.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

WriteResult StandardOutputWriter::write(const QString &, const QString &text)
{
    const QByteArray bytes = SaveFileWriter::encode(text);
    // The run log brings its own CR LF line ends; text mode would double the CR.
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    const bool written =
        !m_outputClosed && std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) ==
                               std::size_t(bytes.size());
    if (std::fflush(stdout) == 0 && written && !std::ferror(stdout))
        return WriteResult{true, QString()};
    return WriteResult{false, QStringLiteral("Cannot write the run log to standard output.")};
}
