// size_bare_walk PATH [THREADS]
//
// The floor the size engine is measured against when warm: the least a walker of the same
// design does. THREADS threads (default 2) take open folders from one shared stack, read
// each with getdents64, statx every entry (no AT_STATX_DONT_SYNC, as the engine), push the
// subfolders they open, and add up the apparent sizes of regular files, a file with several
// links once per (device, inode). Nothing else: no progress, no cancel, no failure reasons,
// no bound on open descriptors (the soft limit is raised to the hard one). Prints the total.

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct KernelDirent
{
    std::uint64_t ino;
    std::int64_t off;
    unsigned short reclen;
    unsigned char type;
    char name[1];
};

std::mutex g_mutex;
std::condition_variable g_wake;
std::vector<int> g_folders; // open folders not yet read
unsigned g_busy = 0;        // threads reading a folder
std::set<std::pair<std::uint64_t, std::uint64_t>> g_links;
std::atomic<std::uint64_t> g_total{0};

void push(int fd)
{
    {
        std::lock_guard lock(g_mutex);
        g_folders.push_back(fd);
    }
    g_wake.notify_one();
}

void walker()
{
    std::vector<char> buffer(64 * 1024);
    std::uint64_t total = 0;
    for (;;) {
        int fd = -1;
        {
            std::unique_lock lock(g_mutex);
            g_wake.wait(lock, [] { return !g_folders.empty() || g_busy == 0; });
            if (g_folders.empty())
                break;
            fd = g_folders.back();
            g_folders.pop_back();
            ++g_busy;
        }
        long length = 0;
        while ((length = ::syscall(SYS_getdents64, fd, buffer.data(), buffer.size())) > 0) {
            for (long offset = 0; offset < length;) {
                const auto *entry = reinterpret_cast<const KernelDirent *>(&buffer[offset]);
                offset += entry->reclen;
                const char *name = entry->name;
                if (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])))
                    continue;
                bool folder = entry->type == DT_DIR;
                if (entry->type == DT_REG || entry->type == DT_UNKNOWN) {
                    struct statx info = {};
                    if (::statx(fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                                STATX_TYPE | STATX_SIZE | STATX_NLINK | STATX_INO, &info) != 0)
                        continue;
                    folder = S_ISDIR(info.stx_mode);
                    if (S_ISREG(info.stx_mode) && info.stx_nlink < 2) {
                        total += info.stx_size;
                    } else if (S_ISREG(info.stx_mode)) {
                        const std::uint64_t device =
                            (std::uint64_t{info.stx_dev_major} << 32) | info.stx_dev_minor;
                        std::lock_guard lock(g_mutex);
                        if (g_links.insert({device, info.stx_ino}).second)
                            total += info.stx_size;
                    }
                }
                if (folder) {
                    const int child =
                        ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                    if (child >= 0)
                        push(child);
                }
            }
        }
        ::close(fd);
        {
            std::lock_guard lock(g_mutex);
            --g_busy;
        }
        g_wake.notify_all();
    }
    g_total += total;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: size_bare_walk PATH [THREADS]\n");
        return 2;
    }
    const int threads = argc == 3 ? std::atoi(argv[2]) : 2;
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    const int root = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0 || threads < 1) {
        std::perror(argv[1]);
        return 1;
    }
    g_folders.push_back(root);
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i)
        pool.emplace_back(walker);
    for (std::thread &thread : pool)
        thread.join();
    std::printf("%llu\n", static_cast<unsigned long long>(g_total.load()));
    return 0;
}
