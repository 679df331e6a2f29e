#include "platform/ProcessExecutableName.h"

#include <QCoreApplication>
#include <QFileInfo>

ProcessExecutableName::ProcessExecutableName(QString invokedPath)
    : m_invokedPath(std::move(invokedPath))
{}

QString ProcessExecutableName::name() const
{
    return fromPaths(m_invokedPath, QCoreApplication::applicationFilePath());
}

QString ProcessExecutableName::fromPaths(const QString &invokedPath, const QString &resolvedPath)
{
    const QString invoked = fromFileName(QFileInfo(invokedPath).fileName());
    return invoked.isEmpty() ? fromFileName(QFileInfo(resolvedPath).fileName()) : invoked;
}

QString ProcessExecutableName::fromFileName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    // A leading dot names a hidden file, not an extension.
    return dot > 0 ? fileName.left(dot) : fileName;
}
