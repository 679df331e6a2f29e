#include "measure/LogFileGuard.h"

#include "platform/FileIdentity.h"
#include "platform/PathText.h"
#include "platform/TextFileWriter.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(PathText::printable(path));
}

} // namespace

QString LogFileGuard::refusal(const QString &logPath, const QString &targetPath,
                              const QString &settingsFilePath)
{
    QString problem;
    const auto log = PathText::toPath(logPath, &problem);
    if (!log)
        return u"Cannot write the log file \"%1\": %2, so it names no file."_s.arg(shown(logPath),
                                                                                   problem);

    // The writer names files through Qt, which cannot name bytes that are not UTF-8.
    if (PathText::holdsKeptBytes(logPath))
        return u"Cannot write the log file \"%1\": its name holds bytes that are not UTF-8 "
               u"(shown as \uFFFD); such a file can be measured but not written."_s.arg(
                   shown(logPath));

    const auto target = PathText::toPath(targetPath);
    if (target && FileIdentity::same(*log, *target))
        return u"The log file \"%1\" was not written: it is the target being measured, \"%2\", "
               u"which the log would replace."_s.arg(shown(logPath), shown(targetPath));

    const auto settings = PathText::toPath(settingsFilePath);
    if (settings && FileIdentity::same(*log, *settings))
        return u"The log file \"%1\" was not written: it is the program's settings file, "
               u"\"%2\", which the log would replace."_s.arg(
                   shown(logPath), QDir::toNativeSeparators(settingsFilePath));
    return {};
}

WriteResult LogFileGuard::write(TextFileWriter &writer, const QString &logPath,
                                const QString &runLog, const QString &targetPath,
                                const QString &settingsFilePath)
{
    try {
        if (const QString reason = refusal(logPath, targetPath, settingsFilePath);
            !reason.isEmpty())
            return WriteResult{false, reason};
        return writer.write(logPath, runLog);
    } catch (const std::exception &error) {
        return WriteResult{false, u"Cannot write the log file \"%1\": %2"_s.arg(
                                      shown(logPath), QString::fromLocal8Bit(error.what()))};
    }
}
