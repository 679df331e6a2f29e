#include "sizing/linux/FileFacts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <atomic>
#include <cerrno>

// statx asks only for these facts, with the default sync mode, as stat(2) does: a
// user-space or network filesystem then asks its server or daemon when its cached
// attributes are out of date, rather than answering a size that may be old
// (AT_STATX_DONT_SYNC would; local filesystems ignore the mode). fstatat is the fallback
// where statx is missing (kernels before 4.11) or refused by a sandbox.
bool FileFacts::ofEntry(int dirFd, const char *name, FileFacts &facts)
{
    static std::atomic<bool> statxMissing{false};
    if (!statxMissing.load(std::memory_order_relaxed)) {
        struct statx info = {};
        if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                    STATX_TYPE | STATX_SIZE | STATX_NLINK | STATX_INO, &info) == 0) {
            facts.mode = info.stx_mode;
            facts.size = info.stx_size;
            facts.nlink = info.stx_nlink;
            facts.dev = makedev(info.stx_dev_major, info.stx_dev_minor);
            facts.ino = info.stx_ino;
            return true;
        }
        if (errno != ENOSYS && errno != EPERM)
            return false;
        statxMissing.store(true, std::memory_order_relaxed);
    }
    struct stat info = {};
    if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    facts.mode = info.st_mode;
    facts.size = static_cast<std::uint64_t>(info.st_size);
    facts.nlink = info.st_nlink;
    facts.dev = info.st_dev;
    facts.ino = info.st_ino;
    return true;
}
