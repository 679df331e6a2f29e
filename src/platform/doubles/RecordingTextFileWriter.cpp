#include "platform/doubles/RecordingTextFileWriter.h"

WriteResult RecordingTextFileWriter::write(const QString &path, const QString &text)
{
    m_writes.append(Write{path, text});
    if (!m_failure.isEmpty())
        return WriteResult{false, m_failure};
    return WriteResult{true, QString()};
}
