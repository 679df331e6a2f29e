#include "platform/doubles/FakeSizeQuery.h"

#include <utility>

FakeSizeQuery::FakeSizeQuery(std::shared_ptr<Log> log) : m_log(std::move(log))
{
    m_log->latest = this;
}

FakeSizeQuery::~FakeSizeQuery()
{
    if (m_log->latest == this)
        m_log->latest = nullptr;
}

SizeResult FakeSizeQuery::fileSize(const std::filesystem::path &path)
{
    return next(Kind::File, path);
}

SizeResult FakeSizeQuery::folderSize(const std::filesystem::path &path)
{
    return next(Kind::Folder, path);
}

std::function<std::unique_ptr<SizeQuery>()> FakeSizeQuery::factory(std::shared_ptr<Log> log)
{
    return [log = std::move(log)]() -> std::unique_ptr<SizeQuery> {
        ++log->instancesCreated;
        return std::make_unique<FakeSizeQuery>(log);
    };
}

SizeResult FakeSizeQuery::answer(std::uint64_t bytes)
{
    return SizeResult::of(bytes);
}

SizeResult FakeSizeQuery::failure(SizeError error, std::string reason)
{
    return SizeResult::failure(error, std::move(reason));
}

SizeResult FakeSizeQuery::next(Kind kind, const std::filesystem::path &path)
{
    m_log->calls.push_back({kind, path});
    if (control().cancelRequested())
        return failure(SizeError::Cancelled, "FakeSizeQuery: cancelled");
    if (m_log->answers.empty())
        return failure(SizeError::Other, "FakeSizeQuery: no scripted answer left");
    SizeResult result = std::move(m_log->answers.front());
    m_log->answers.pop_front();
    return result;
}
