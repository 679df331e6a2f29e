#include "sizing/linux/LinuxSizeQuery.h"

#include "sizing/linux/FolderWalk.h"
#include "sizing/linux/PseudoFilesystems.h"
#include "sizing/linux/SizeFailure.h"
#include "sizing/linux/StorageProbe.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <utility>

static unsigned availableCores()
{
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (::sched_getaffinity(0, sizeof cpus, &cpus) == 0)
        return static_cast<unsigned>(std::max(1, CPU_COUNT(&cpus)));
    return std::max(1U, std::thread::hardware_concurrency());
}

// open(2) for a path of any length. A path that fits PATH_MAX goes to the kernel as it is;
// a longer one is opened one component at a time (symbolic links in the middle are
// followed, as the kernel would).
static int openPath(const std::string &path, int flags)
{
    if (path.size() < PATH_MAX)
        return ::open(path.c_str(), flags);
    int dir = AT_FDCWD;
    std::size_t pos = 0;
    if (path[0] == '/') {
        dir = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0)
            return -1;
    }
    for (;;) {
        pos = path.find_first_not_of('/', pos);
        if (pos == std::string::npos) // nothing but slashes: the directory itself
            pos = path.size();
        const std::size_t end = std::min(path.find('/', pos), path.size());
        const std::size_t rest = path.find_first_not_of('/', end);
        const bool last = rest == std::string::npos;
        const std::string name = end > pos ? path.substr(pos, end - pos) : std::string(".");
        // A trailing slash asks for a directory, as it does for the kernel.
        const int lastFlags = end < path.size() ? flags | O_DIRECTORY : flags;
        const int next =
            ::openat(dir, name.c_str(), last ? lastFlags : O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        if (dir != AT_FDCWD)
            ::close(dir);
        errno = error;
        if (next < 0 || last)
            return next;
        dir = next;
        pos = rest;
    }
}

static int statPath(const std::string &path, struct stat &info)
{
    if (path.size() < PATH_MAX)
        return ::stat(path.c_str(), &info);
    const int fd = openPath(path, O_PATH | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const int result = ::fstat(fd, &info);
    const int error = errno;
    ::close(fd);
    errno = error;
    return result;
}

static SizeResult wrongKind(SizeError error, const std::string &path, const char *what)
{
    return SizeResult::failure(error, "'" + path + "' " + what);
}

unsigned LinuxSizeQuery::parseThreadCount(const char *text)
{
    if (!text || *text < '0' || *text > '9')
        return 0;
    char *end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (errno != 0 || *end != '\0' || value == 0)
        return 0;
    return static_cast<unsigned>(std::min<unsigned long>(value, kMaxThreads));
}

LinuxSizeQuery::LinuxSizeQuery(unsigned threads)
    : m_fixedThreads(std::min(
          threads > 0 ? threads : parseThreadCount(std::getenv(kThreadsVariable)), kMaxThreads))
{}

SizeResult LinuxSizeQuery::fileSize(const std::filesystem::path &path)
{
    const std::string &name = path.native();
    if (auto refused = refusal("file", name))
        return std::move(*refused);
    struct stat info = {};
    if (statPath(name, info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return sizeFailure(SizeError::NotFound, "Cannot find file", name, error);
        return sizeFailure(accessError(error), "Cannot reach file", name, error);
    }
    if (S_ISDIR(info.st_mode))
        return wrongKind(SizeError::NotAFile, name, "is a folder, not a file");
    if (!S_ISREG(info.st_mode))
        return wrongKind(SizeError::NotAFile, name, "is not a regular file");
    if (control().cancelRequested())
        return SizeResult::cancelled("file", name);
    const auto bytes = static_cast<std::uint64_t>(info.st_size);
    control().addFound(1, bytes);
    return SizeResult::of(bytes);
}

SizeResult LinuxSizeQuery::folderSize(const std::filesystem::path &path)
{
    const std::string &name = path.native();
    if (auto refused = refusal("folder", name))
        return std::move(*refused);
    // The walk's first walker is this thread: it names the folder before opening it, so a
    // target on a filesystem that no longer answers is named too.
    FolderWhereabouts &whereabouts = control().whereabouts();
    whereabouts.report(0, name);
    const int fd = openPath(name, O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        whereabouts.report(0, {});
        struct stat info = {};
        if (error == ENOTDIR && statPath(name, info) == 0 && !S_ISDIR(info.st_mode))
            return wrongKind(SizeError::NotAFolder, name, "is not a folder");
        if (error == ENOENT || error == ENOTDIR)
            return sizeFailure(SizeError::NotFound, "Cannot find folder", name, error);
        return sizeFailure(accessError(error), "Cannot open folder", name, error);
    }
    const std::uint32_t type = StorageProbe::filesystemType(fd);
    if (PseudoFilesystems::isPseudoType(type)) {
        ::close(fd);
        whereabouts.report(0, {});
        return SizeResult::of(0);
    }
    if (m_fixedThreads > 0) {
        FolderWalk walk(fd, name, m_fixedThreads, control());
        return walk.run();
    }
    // Without a fixed count: the count and the way it grows that the storage wants.
    const WalkerCountRule::Start start = WalkerCountRule::startFor(
        StorageProbe::storageOf(fd, type), std::min(availableCores(), kMaxThreads), kGrowthThreads);
    FolderWalk walk(fd, name, start.walkers, control());
    walk.setGrowth(start.rule);
    return walk.run();
}
