#include "platform/ProcessExecutableName.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ProcessExecutableName::name() const
{
    return fromFileName(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

QString ProcessExecutableName::fromFileName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    // A leading dot names a hidden file, not an extension.
    return dot > 0 ? fileName.left(dot) : fileName;
}
