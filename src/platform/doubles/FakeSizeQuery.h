#pragma once

#include "platform/SizeQuery.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// Test double for SizeQuery: answers from a script and records every call; a call made
// after a cancel request answers SizeError::Cancelled and uses no scripted answer. The script and
// the record live in a Log shared by the test and every FakeSizeQuery made from it, so they
// outlive the service objects that the code under test creates and releases per pass.
class FakeSizeQuery final : public SizeQuery
{
public:
    enum class Kind { File, Folder };

    struct Call
    {
        Kind kind;
        std::filesystem::path path;
    };

    struct Log
    {
        // Answers given out in call order, whatever the kind; when none is left a call
        // fails with SizeError::Other.
        std::deque<SizeResult> answers;
        std::vector<Call> calls;  // every call made, in order
        int instancesCreated = 0; // objects made by factory()
        // The newest FakeSizeQuery while it exists, else null: lets a test report progress.
        FakeSizeQuery *latest = nullptr;
    };

    explicit FakeSizeQuery(std::shared_ptr<Log> log);
    ~FakeSizeQuery() override;
    FakeSizeQuery(const FakeSizeQuery &) = delete;
    FakeSizeQuery &operator=(const FakeSizeQuery &) = delete;

    [[nodiscard]] SizeResult fileSize(const std::filesystem::path &path) override;
    [[nodiscard]] SizeResult folderSize(const std::filesystem::path &path) override;

    // A factory for code that makes one service object per pass: every call makes a new
    // FakeSizeQuery on log and counts it in log->instancesCreated.
    [[nodiscard]] static std::function<std::unique_ptr<SizeQuery>()>
    factory(std::shared_ptr<Log> log);

    // Script entries.
    [[nodiscard]] static SizeResult answer(std::uint64_t bytes);
    [[nodiscard]] static SizeResult failure(SizeError error, std::string reason);

private:
    SizeResult next(Kind kind, const std::filesystem::path &path);

    std::shared_ptr<Log> m_log;
};
