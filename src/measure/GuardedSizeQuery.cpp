#include "measure/GuardedSizeQuery.h"

#include "platform/PathText.h"

#include <exception>

using namespace Qt::Literals::StringLiterals;

SizeResult GuardedSizeQuery::ask(const Factory &createService, Kind kind, const QString &targetText)
{
    QString problem;
    const auto path = PathText::toPath(targetText, &problem);
    if (!path) {
        const QString reason =
            u"The target \"%1\" cannot be measured: %2, so it names no file."_s.arg(
                PathText::printable(targetText), problem);
        return SizeResult{0, SizeError::NotFound, reason.toStdString()};
    }

    try {
        const std::unique_ptr<SizeQuery> service = createService();
        return kind == Kind::File ? service->fileSize(*path) : service->folderSize(*path);
    } catch (const std::exception &error) {
        const QString reason = u"Measuring \"%1\" failed unexpectedly: %2"_s.arg(
            targetText, QString::fromLocal8Bit(error.what()));
        return SizeResult{0, SizeError::Other, reason.toStdString()};
    } catch (...) {
        const QString reason = u"Measuring \"%1\" failed unexpectedly."_s.arg(targetText);
        return SizeResult{0, SizeError::Other, reason.toStdString()};
    }
}
