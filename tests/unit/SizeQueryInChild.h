#pragma once

#include "platform/SizeQuery.h"

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>

// Runs query in a forked child, optionally as the user "nobody" and with a lower soft
// descriptor limit (the hard limit stays), and brings its answer back through a pipe. The child
// does nothing but the query and leaves with _exit. The step that could not be taken is reported as
// a failure with reason "setup: ...".
struct ChildSetup
{
    bool unprivileged = false;
    rlim_t descriptorLimit = 0; // 0: unchanged
};

inline SizeResult inChild(const ChildSetup &setup, const std::function<SizeResult()> &query)
{
    uid_t uid = 0;
    gid_t gid = 0;
    if (setup.unprivileged && ::geteuid() == 0) {
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody)
            return {0, SizeError::Other, "setup: no user nobody"};
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
    }
    int channel[2];
    if (::pipe(channel) != 0)
        return {0, SizeError::Other, "setup: pipe"};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        SizeResult result;
        if (uid != 0 && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            result = {0, SizeError::Other, "setup: cannot become nobody"};
        // Only the soft limit: a test step may lift it for a moment to change the tree.
        rlimit limit{};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = setup.descriptorLimit;
        if (result.ok() && setup.descriptorLimit > 0 && ::setrlimit(RLIMIT_NOFILE, &limit) != 0)
            result = {0, SizeError::Other, "setup: setrlimit"};
        if (result.ok())
            result = query();
        const int error = static_cast<int>(result.error);
        bool written =
            ::write(channel[1], &error, sizeof error) == sizeof error &&
            ::write(channel[1], &result.bytes, sizeof result.bytes) == sizeof result.bytes;
        if (written && !result.reason.empty())
            written = ::write(channel[1], result.reason.data(), result.reason.size()) ==
                      static_cast<ssize_t>(result.reason.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(channel[1]);
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0 || answer.size() < sizeof(int) + sizeof(std::uint64_t))
        return {0, SizeError::Other, "setup: the child did not answer"};
    SizeResult result;
    int error = 0;
    std::memcpy(&error, answer.data(), sizeof error);
    std::memcpy(&result.bytes, answer.data() + sizeof error, sizeof result.bytes);
    result.error = static_cast<SizeError>(error);
    result.reason = answer.substr(sizeof error + sizeof result.bytes);
    return result;
}
