#pragma once

#include "platform/TextFileWriter.h"

#include <QList>

// Test double for TextFileWriter: touches no file; records every write asked of it and
// answers success, or failure with a reason once failWith() has been called.
class RecordingTextFileWriter final : public TextFileWriter
{
public:
    struct Write
    {
        QString path;
        QString text;
    };

    [[nodiscard]] WriteResult write(const QString &path, const QString &text) override;

    // Makes every later write fail with reason; an empty reason makes them succeed again.
    void failWith(const QString &reason) { m_failure = reason; }

    // Every write asked for, failed ones included, oldest first.
    [[nodiscard]] const QList<Write> &writes() const { return m_writes; }

private:
    QList<Write> m_writes;
    QString m_failure;
};
