#include "measure/GuardedSizeQuery.h"

#include "platform/PathText.h"

#include <exception>

using namespace Qt::Literals::StringLiterals;

std::optional<std::filesystem::path> GuardedSizeQuery::path(const QString &targetText,
                                                            SizeResult &refusal)
{
    QString problem;
    auto path = PathText::toPath(targetText, &problem);
    if (!path) {
        const QString reason =
            u"The target \"%1\" cannot be measured: %2, so it names no file."_s.arg(
                PathText::printable(targetText), problem);
        refusal = SizeResult::failure(SizeError::NotFound, reason.toStdString());
    }
    return path;
}

namespace {

SizeResult unexpected(const QString &targetText, const char *what)
{
    const QString reason = what ? u"Measuring \"%1\" failed unexpectedly: %2"_s.arg(
                                      targetText, QString::fromLocal8Bit(what))
                                : u"Measuring \"%1\" failed unexpectedly."_s.arg(targetText);
    return SizeResult::failure(SizeError::Other, reason.toStdString());
}

} // namespace

std::unique_ptr<SizeQuery>
GuardedSizeQuery::make(const std::function<std::unique_ptr<SizeQuery>()> &create,
                       const QString &targetText, SizeResult &failure)
{
    try {
        return create();
    } catch (const std::exception &error) {
        failure = unexpected(targetText, error.what());
    } catch (...) {
        failure = unexpected(targetText, nullptr);
    }
    return nullptr;
}

SizeResult GuardedSizeQuery::ask(SizeQuery &service, Kind kind, const std::filesystem::path &path,
                                 const QString &targetText)
{
    try {
        return kind == Kind::File ? service.fileSize(path) : service.folderSize(path);
    } catch (const std::exception &error) {
        return unexpected(targetText, error.what());
    } catch (...) {
        return unexpected(targetText, nullptr);
    }
}
