#include "platform/linux/FolderWalk.h"

#include "platform/linux/SizeFailure.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <deque>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

// Every folder inside the tree is opened this way: never through a symbolic link, never
// blocking, never inherited by a child process.
static constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// getdents64 reads as many entries as fit; 64 KiB holds about a thousand typical names.
static constexpr std::size_t kBufferSize = 64 * 1024;

// The kernel's record for one directory entry, as getdents64 lays it out.
struct KernelDirent
{
    std::uint64_t ino;
    std::int64_t off;
    unsigned short reclen;
    unsigned char type;
    char name[1]; // NUL-terminated, as long as the record
};

// An entry that vanished while the walk ran, or was replaced by something that is not a
// folder (a symbolic link gives ELOOP under O_NOFOLLOW): skipped, not a failure.
static bool vanished(int error)
{
    return error == ENOENT || error == ENOTDIR || error == ELOOP;
}

static std::string joined(const std::string &folder, const std::string &name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

// What counting an entry needs to know of it.
struct FileFacts
{
    mode_t mode = 0;
    std::uint64_t size = 0;
    std::uint64_t nlink = 0;
    dev_t dev = 0;
    ino_t ino = 0;
};

// lstat of name below dirFd; false with errno set on failure. statx asks only for these
// facts and never for a sync with a remote server; fstatat is the fallback where statx is
// missing (kernels before 4.11) or refused by a sandbox.
static bool statEntry(int dirFd, const char *name, FileFacts &facts)
{
    static std::atomic<bool> statxMissing{false};
    if (!statxMissing.load(std::memory_order_relaxed)) {
        struct statx info = {};
        if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC,
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

bool FolderWalk::isPseudoFilesystem(int fd)
{
    // Magic numbers from linux/magic.h, listed here because not every libc ships them all.
    static constexpr std::uint32_t kPseudo[] = {
        0x00009fa0, // proc
        0x62656572, // sysfs
        0x0027e0eb, // cgroup
        0x63677270, // cgroup2
        0x64626720, // debugfs
        0x74726163, // tracefs
        0x73636673, // securityfs
        0x6165676c, // pstore
        0xcafe4a11, // bpf
        0x62656570, // configfs
        0x00001cd1, // devpts
        0xde5e81e4, // efivarfs
        0x42494e4d, // binfmt_misc
        0x65735543, // fusectl
    };
    struct statfs info = {};
    if (::fstatfs(fd, &info) != 0)
        return false;
    const auto type = static_cast<std::uint32_t>(info.f_type);
    return std::find(std::begin(kPseudo), std::end(kPseudo), type) != std::end(kPseudo);
}

// One thread's share of the walk.
//
// The thread's folders form a tree of Nodes: a node lives while it is being read or while
// folders below it are still pending, so the live nodes are the current path plus nothing
// else, and memory grows with depth, never with the number of files. Pending folders sit on
// m_stack as (parent node, name). A node's descriptor is kept in a small LRU cache; the root
// of the thread's current subtree stays open until that subtree is done, so any evicted node
// can be reopened by names from its nearest open ancestor, or by climbing ".." from an open
// folder below it; the shorter way goes first, the other is the fallback when folders were
// moved meanwhile.
class FolderWalk::Walker
{
public:
    Walker(FolderWalk &walk, unsigned cacheSize)
        : m_walk(walk), m_buffer(std::make_unique_for_overwrite<char[]>(kBufferSize)),
          m_capacity(cacheSize)
    {}

    ~Walker()
    {
        // Freed nodes hold no descriptor, so this closes exactly what is still open after a
        // walk that stopped on a failure.
        for (Node &node : m_pool) {
            if (node.fd >= 0)
                ::close(node.fd);
        }
    }

    Walker(const Walker &) = delete;
    Walker &operator=(const Walker &) = delete;

    // Walks from first (when given), then from every folder other walkers hand over, until
    // the walk is over.
    void run(Donation *first)
    {
        Donation donation;
        if (first)
            donation = std::move(*first);
        else if (!m_walk.take(donation))
            return;
        for (;;) {
            walkFrom(donation);
            if (m_walk.stopped() || !m_walk.take(donation))
                return;
        }
    }

    [[nodiscard]] std::uint64_t bytes() const { return m_bytes; }

private:
    struct Node
    {
        Node *parent = nullptr; // null for the root of a subtree
        std::string name;       // name in parent; a subtree root holds its full path
        int fd = -1;            // open descriptor, or -1 while evicted
        dev_t dev = 0;
        ino_t ino = 0;
        unsigned depth = 0;
        unsigned pending = 0; // entries on the stack plus live child nodes
        bool cached = false;  // in the LRU list (subtree roots never are)
        Node *newer = nullptr;
        Node *older = nullptr;
    };

    struct Entry
    {
        Node *parent;
        std::string name;
    };

    void walkFrom(Donation &donation)
    {
        Node *root = newNode();
        root->name = std::move(donation.path);
        root->fd = donation.fd;
        root->dev = donation.dev;
        root->ino = donation.ino;
        m_deepest = root;
        if (!readFolder(root))
            return;
        while (!m_stack.empty() && !m_walk.checkCancel()) {
            Entry entry = std::move(m_stack.back());
            m_stack.pop_back();
            if (!enter(entry))
                return;
            if (m_stack.size() > 1 && m_walk.wantsDonation() && !donateOldest())
                return;
        }
        // Every node is free again. After a deep subtree the pool holds one node per level
        // of it; with many walkers that adds up, so a large pool is given back.
        if (m_stack.empty() && m_pool.size() > kPoolKept && m_free.size() == m_pool.size()) {
            m_free.clear();
            m_free.shrink_to_fit();
            m_pool.clear();
            m_pool.shrink_to_fit();
        }
    }

    static constexpr std::size_t kPoolKept = 64;

    // Opens the pending folder entry and reads it. False when the walk must stop.
    bool enter(Entry &entry)
    {
        Node *parent = entry.parent;
        struct stat info = {};
        const int fd = openEntry(parent, entry.name, info);
        if (fd == kSkipped) {
            release(parent);
            return true;
        }
        if (fd == kFailed)
            return false;
        Node *node = newNode();
        node->parent = parent;
        node->name.swap(entry.name);
        node->fd = fd;
        node->dev = info.st_dev;
        node->ino = info.st_ino;
        node->depth = parent->depth + 1;
        m_deepest = node;
        cache(node);
        return readFolder(node);
    }

    // Hands the oldest pending folder to an idle walker. False when the walk must stop.
    bool donateOldest()
    {
        Entry entry = std::move(m_stack.front());
        m_stack.pop_front();
        Node *parent = entry.parent;
        struct stat info = {};
        const int fd = openEntry(parent, entry.name, info);
        if (fd == kFailed)
            return false;
        if (fd != kSkipped)
            m_walk.donate({fd, joined(pathOf(parent), entry.name), info.st_dev, info.st_ino});
        release(parent);
        return true;
    }

    static constexpr int kSkipped = -1;
    static constexpr int kFailed = -2;

    // Opens the folder name below parent: its descriptor, with info filled in; kSkipped
    // when it vanished or lies on a pseudo filesystem; kFailed after reporting a failure.
    int openEntry(Node *parent, const std::string &name, struct stat &info)
    {
        const int parentFd = descriptor(parent);
        if (parentFd < 0)
            return kFailed;
        const int fd = openFolder(parentFd, name.c_str(), parent);
        if (fd < 0) {
            const int error = errno;
            if (vanished(error))
                return kSkipped;
            struct stat probe = {};
            if (error == EACCES &&
                ::fstatat(parentFd, name.c_str(), &probe, AT_SYMLINK_NOFOLLOW) != 0 &&
                errno == EACCES) {
                // The parent lists its names but may not be searched: it is the folder at
                // fault, not the child.
                m_walk.fail(sizeFailure(SizeError::AccessDenied, "Cannot search folder",
                                        pathOf(parent), error));
            } else {
                m_walk.fail(sizeFailure(accessError(error), "Cannot open folder",
                                        joined(pathOf(parent), name), error));
            }
            return kFailed;
        }
        if (::fstat(fd, &info) != 0) {
            const int error = errno;
            ::close(fd);
            m_walk.fail(sizeFailure(SizeError::Other, "Cannot read folder",
                                    joined(pathOf(parent), name), error));
            return kFailed;
        }
        if (info.st_dev != parent->dev && onPseudoFilesystem(info.st_dev, fd)) {
            ::close(fd);
            return kSkipped;
        }
        if (m_walk.m_enteredHook)
            m_walk.m_enteredHook(joined(pathOf(parent), name));
        return fd;
    }

    // Counts the regular files of node and pushes its subfolders. False when the walk must
    // stop.
    bool readFolder(Node *node)
    {
        char *buffer = m_buffer.get();
        for (;;) {
            const long length = ::syscall(SYS_getdents64, node->fd, buffer, kBufferSize);
            if (length == 0)
                break;
            if (length < 0) {
                const int error = errno;
                if (error == EINTR)
                    continue;
                if (error == ENOENT) // the folder was removed while being read
                    break;
                m_walk.fail(
                    sizeFailure(accessError(error), "Cannot read folder", pathOf(node), error));
                return false;
            }
            // The watchers see what this buffer added: one pair of atomic adds per buffer
            // (about a thousand entries) keeps them current without slowing the walk.
            const std::uint64_t filesBefore = m_files;
            const std::uint64_t bytesBefore = m_bytes;
            for (long offset = 0; offset < length;) {
                if (m_walk.checkCancel())
                    return false;
                const auto *entry = reinterpret_cast<const KernelDirent *>(buffer + offset);
                offset += entry->reclen;
                const char *name = buffer + (offset - entry->reclen) + offsetof(KernelDirent, name);
                if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                    continue;
                switch (entry->type) {
                case DT_DIR:
                    push(node, name);
                    break;
                case DT_REG:
                case DT_UNKNOWN: // some filesystems do not fill d_type: stat decides
                    if (!countEntry(node, name))
                        return false;
                    break;
                default: // symbolic links, FIFOs, sockets, devices: nothing, never opened
                    break;
                }
            }
            if (m_files != filesBefore)
                m_walk.m_control.addFound(m_files - filesBefore, m_bytes - bytesBefore);
        }
        if (node->pending == 0)
            finish(node);
        return true;
    }

    bool countEntry(Node *node, const char *name)
    {
        FileFacts facts;
        if (!statEntry(node->fd, name, facts)) {
            const int error = errno;
            if (error == ENOENT)
                return true;
            if (error == EACCES) {
                // Readable but not searchable: the names can be listed, their files not
                // reached.
                m_walk.fail(sizeFailure(SizeError::AccessDenied, "Cannot search folder",
                                        pathOf(node), error));
            } else {
                m_walk.fail(sizeFailure(SizeError::Other, "Cannot read", joined(pathOf(node), name),
                                        error));
            }
            return false;
        }
        if (S_ISREG(facts.mode)) {
            if (facts.nlink > 1 && !m_walk.firstLink(facts.dev, facts.ino))
                return true;
            m_bytes += facts.size;
            ++m_files;
        } else if (S_ISDIR(facts.mode)) {
            push(node, name);
        }
        return true;
    }

    void push(Node *parent, const char *name)
    {
        m_stack.push_back({parent, name});
        ++parent->pending;
    }

    // One pending entry or child of node is done.
    void release(Node *node)
    {
        if (--node->pending == 0)
            finish(node);
    }

    // node is read and nothing below it is pending: frees it and every ancestor that this
    // leaves without work. The ancestor that still has work, when evicted, is re-entered
    // while the descriptor of the shallowest finished folder is still open: climbing ".."
    // from it reaches that ancestor even when a folder on the way was moved or deleted
    // (an open directory keeps its chain of parents), and keeps backtracking out of a deep
    // chain linear.
    void finish(Node *node)
    {
        int climbFd = -1;
        unsigned climbDepth = 0;
        for (;;) {
            Node *parent = node->parent;
            if (node->fd >= 0) {
                if (climbFd >= 0)
                    ::close(climbFd);
                climbFd = node->fd;
                climbDepth = node->depth;
                uncache(node);
                node->fd = -1;
            }
            freeNode(node);
            if (!parent) {
                m_deepest = nullptr;
                break;
            }
            if (--parent->pending > 0) {
                m_deepest = parent;
                if (parent->fd < 0) {
                    // A failure is reported by reenter and stops the walk.
                    (void)reenter(parent, climbFd, climbDepth);
                    climbFd = -1;
                }
                break;
            }
            node = parent;
        }
        if (climbFd >= 0)
            ::close(climbFd);
    }

    // The open descriptor of node, re-entering it when it was evicted; kFailed after a
    // failure was reported.
    int descriptor(Node *node)
    {
        if (node->fd >= 0) {
            touch(node);
            return node->fd;
        }
        return reenter(node, -1, 0);
    }

    enum class Reopen { Reached, Vanished, Failed };

    // Re-enters the evicted folder target, as the very folder first walked (same device and
    // inode), wherever it is now. Two ways: down by names from its nearest open ancestor,
    // and up through ".." from an open folder below it: anchorFd (owned by this call, -1 for
    // none) at depth anchorDepth, or else the nearest cached folder below target. The
    // cheaper way goes first. A folder that neither way reaches was moved where the walk
    // cannot follow: the walk fails naming it rather than answer a total that silently
    // leaves out its subtree. A deleted folder is still reached through its open
    // descendants; its remaining entries then vanish and are skipped.
    // Returns target's descriptor, or kFailed after reporting the failure.
    int reenter(Node *target, int anchorFd, unsigned anchorDepth)
    {
        unsigned down = 0;
        for (const Node *node = target; node->fd < 0; node = node->parent)
            ++down;
        bool climbed = false;
        int climbError = 0;
        if (anchorFd >= 0 && anchorDepth - target->depth <= down) {
            climbed = true;
            if (climbTo(target, anchorFd, true, anchorDepth - target->depth, nullptr, climbError))
                return target->fd;
            anchorFd = -1;
        }
        int error = 0;
        Node *failedAt = target;
        Reopen byNames = reopenByNames(target, error, failedAt);
        if (byNames != Reopen::Reached && !climbed) {
            if (anchorFd >= 0) {
                if (climbTo(target, anchorFd, true, anchorDepth - target->depth, nullptr,
                            climbError))
                    return target->fd;
                anchorFd = -1;
            } else if (Node *below = nearestOpenBelow(target)) {
                if (climbTo(target, below->fd, false, below->depth - target->depth, below,
                            climbError))
                    return target->fd;
            }
        }
        if (anchorFd >= 0)
            ::close(anchorFd);
        if (byNames == Reopen::Vanished && climbError != 0 && !vanished(climbError)) {
            // The climb broke off on a system error (such as running out of descriptors),
            // not on a change of the tree: that error is the reason.
            byNames = Reopen::Failed;
            error = climbError;
            failedAt = target;
        }
        switch (byNames) {
        case Reopen::Reached:
            return target->fd;
        case Reopen::Failed:
            m_walk.fail(
                sizeFailure(accessError(error), "Cannot open folder", pathOf(failedAt), error));
            return kFailed;
        case Reopen::Vanished:
            break;
        }
        SizeResult changed;
        changed.error = SizeError::Other;
        changed.reason =
            "Cannot re-enter folder '" + pathOf(target) + "': the tree changed during the walk";
        m_walk.fail(std::move(changed));
        return kFailed;
    }

    // Reopens target and its evicted ancestors by names from the nearest open ancestor,
    // checking that each is still the folder first walked. Vanished when a name is gone or
    // now names another folder; Failed with error and failedAt set on any other error.
    Reopen reopenByNames(Node *target, int &error, Node *&failedAt)
    {
        m_chain.clear();
        Node *open = target;
        for (; open->fd < 0; open = open->parent)
            m_chain.push_back(open);
        touch(open);
        for (auto it = m_chain.rbegin(); it != m_chain.rend(); ++it) {
            Node *reopened = *it;
            const int fd =
                openFolder(reopened->parent->fd, reopened->name.c_str(), reopened->parent);
            if (fd < 0) {
                error = errno;
                failedAt = reopened;
                return vanished(error) ? Reopen::Vanished : Reopen::Failed;
            }
            struct stat info = {};
            if (::fstat(fd, &info) != 0 || info.st_dev != reopened->dev ||
                info.st_ino != reopened->ino) {
                ::close(fd);
                return Reopen::Vanished;
            }
            reopened->fd = fd;
            cache(reopened);
        }
        return Reopen::Reached;
    }

    // Climbs steps levels of ".." from fd (closed by this call when owned) and keeps the
    // result as target's descriptor when it is target. keep: a cached node whose descriptor
    // must survive when descriptors run short. error: the errno of a failed step.
    bool climbTo(Node *target, int fd, bool owned, unsigned steps, Node *keep, int &error)
    {
        for (unsigned i = 0; i < steps; ++i) {
            const int up = openFolder(fd, "..", keep);
            error = errno;
            if (owned)
                ::close(fd);
            if (up < 0)
                return false;
            fd = up;
            owned = true;
        }
        struct stat info = {};
        if (!owned || ::fstat(fd, &info) != 0 || info.st_dev != target->dev ||
            info.st_ino != target->ino) {
            if (owned)
                ::close(fd);
            return false;
        }
        target->fd = fd;
        cache(target);
        return true;
    }

    // The cached folder nearest below target, or null. All live nodes of a walker lie on
    // one path, so any cached node deeper than target is below it.
    Node *nearestOpenBelow(const Node *target) const
    {
        Node *nearest = nullptr;
        for (Node *node = m_newest; node; node = node->older) {
            if (node->depth > target->depth && (!nearest || node->depth < nearest->depth))
                nearest = node;
        }
        return nearest;
    }

    // openat of a folder below parentFd (the descriptor of parent). When the process runs
    // out of descriptors, the cache is emptied (but for parent) and the open tried once more.
    int openFolder(int parentFd, const char *name, Node *parent)
    {
        int fd = ::openat(parentFd, name, kFolderFlags);
        if (fd < 0 && (errno == EMFILE || errno == ENFILE) && m_cached > 1) {
            while (m_oldest && m_cached > 1) {
                if (m_oldest == parent)
                    touch(parent);
                else
                    evict(m_oldest);
            }
            fd = ::openat(parentFd, name, kFolderFlags);
        }
        return fd;
    }

    bool onPseudoFilesystem(dev_t dev, int fd)
    {
        for (const auto &[known, pseudo] : m_devices) {
            if (known == dev)
                return pseudo;
        }
        const bool pseudo = FolderWalk::isPseudoFilesystem(fd);
        m_devices.emplace_back(dev, pseudo);
        return pseudo;
    }

    std::string pathOf(const Node *node) const
    {
        std::vector<const Node *> chain;
        for (; node; node = node->parent)
            chain.push_back(node);
        std::string path = chain.back()->name;
        for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) {
            if (path.empty() || path.back() != '/')
                path += '/';
            path += (*it)->name;
        }
        return path;
    }

    // LRU cache of open descriptors, newest first.
    void cache(Node *node)
    {
        node->cached = true;
        node->older = m_newest;
        node->newer = nullptr;
        if (m_newest)
            m_newest->newer = node;
        m_newest = node;
        if (!m_oldest)
            m_oldest = node;
        ++m_cached;
        while (m_cached > m_capacity) {
            // The deepest live folder stays open: every other live folder is its ancestor,
            // so a climb from it reaches any of them, also after a move.
            if (m_oldest == m_deepest && m_capacity > 1)
                touch(m_deepest);
            else
                evict(m_oldest);
        }
    }

    void uncache(Node *node)
    {
        if (!node->cached)
            return;
        (node->newer ? node->newer->older : m_newest) = node->older;
        (node->older ? node->older->newer : m_oldest) = node->newer;
        node->newer = node->older = nullptr;
        node->cached = false;
        --m_cached;
    }

    void touch(Node *node)
    {
        if (node->cached && node != m_newest) {
            uncache(node);
            cache(node);
        }
    }

    void evict(Node *node)
    {
        uncache(node);
        ::close(node->fd);
        node->fd = -1;
    }

    Node *newNode()
    {
        if (m_free.empty())
            return &m_pool.emplace_back();
        Node *node = m_free.back();
        m_free.pop_back();
        return node;
    }

    void freeNode(Node *node)
    {
        std::string name = std::move(node->name);
        name.clear();
        *node = Node();
        node->name = std::move(name); // keeps the buffer for the next name
        m_free.push_back(node);
    }

    FolderWalk &m_walk;
    std::unique_ptr<char[]> m_buffer;
    const unsigned m_capacity;
    std::deque<Entry> m_stack;
    std::deque<Node> m_pool; // stable addresses; freed nodes go to m_free for reuse
    std::vector<Node *> m_free;
    std::vector<Node *> m_chain;
    Node *m_newest = nullptr;
    Node *m_oldest = nullptr;
    Node *m_deepest = nullptr; // the last folder of the current path
    unsigned m_cached = 0;
    std::vector<std::pair<dev_t, bool>> m_devices; // filesystems met, and whether pseudo
    std::uint64_t m_bytes = 0;
    std::uint64_t m_files = 0;
};

FolderWalk::FolderWalk(int rootFd, std::string rootPath, unsigned threads,
                       SizeQueryControl &control)
    : m_rootFd(rootFd), m_rootPath(std::move(rootPath)), m_control(control)
{
    // Leave room for the rest of the process; each walker needs a few descriptors beyond
    // its cache (its subtree root, a climb, a donation in flight).
    rlimit limit{};
    long available = 1024;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        available = static_cast<long>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
    available = available > 32 ? available - 16 : available / 2;
    m_available = available;
    m_threadLimit = static_cast<unsigned>(std::max(1L, available / 8));
    m_threads = std::clamp(threads, 1U, m_threadLimit);
    m_startThreads = m_mostThreads = m_threads;
    m_cacheSize = static_cast<unsigned>(std::clamp<long>(available / m_threads / 2 - 2, 2, 64));
}

void FolderWalk::setGrowth(unsigned mostThreads, double busyShare)
{
    m_busyShare = busyShare;
    m_mostThreads = std::clamp(mostThreads, m_startThreads, m_threadLimit);
    // Sized for the most walkers that may run, so the descriptors stay bounded.
    m_cacheSize =
        static_cast<unsigned>(std::clamp<long>(m_available / m_mostThreads / 2 - 2, 2, 64));
}

FolderWalk::~FolderWalk()
{
    if (m_rootFd >= 0)
        ::close(m_rootFd);
    for (const Donation &donation : m_queue)
        ::close(donation.fd);
}

SizeResult FolderWalk::run()
{
    struct stat info = {};
    if (::fstat(m_rootFd, &info) != 0)
        return sizeFailure(SizeError::Other, "Cannot read folder", m_rootPath, errno);
    Donation root{m_rootFd, m_rootPath, info.st_dev, info.st_ino};
    m_rootFd = -1;

    std::vector<std::thread> helpers;
    addWalkers(helpers, m_threads - 1);
    std::thread watcher;
    if (m_mostThreads > m_startThreads) {
        try {
            watcher = std::thread([this, &helpers] { growWhileBlocked(helpers); });
        } catch (const std::system_error &) {
            // No growth: the walk goes on with the walkers it has.
        }
    }
    runWalker(&root);
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_watcherWake.notify_all();
    if (watcher.joinable())
        watcher.join();
    for (std::thread &helper : helpers)
        helper.join();

    if (m_control.cancelRequested())
        return cancelled();
    if (m_failure.error != SizeError::None)
        return m_failure;
    SizeResult result;
    result.bytes = m_bytes.load();
    return result;
}

void FolderWalk::addWalkers(std::vector<std::thread> &helpers, unsigned count)
{
    for (unsigned started = 0; started < count; ++started) {
        try {
            helpers.emplace_back([this] { runWalker(nullptr); });
        } catch (const std::system_error &) {
            // Fewer threads than planned: the walk is just slower. Walkers waiting for the
            // missing ones must see the new count to notice the end of the walk.
            {
                std::lock_guard lock(m_mutex);
                m_threads -= count - started;
            }
            m_wake.notify_all();
            return;
        }
    }
}

static double processCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void FolderWalk::growWhileBlocked(std::vector<std::thread> &helpers)
{
    using Clock = std::chrono::steady_clock;
    auto lastWall = Clock::now();
    double lastCpu = processCpuSeconds();
    std::unique_lock lock(m_mutex);
    while (m_threads < m_mostThreads) {
        if (m_watcherWake.wait_for(lock, kGrowthInterval,
                                   [this] { return m_finished || m_done || stopped(); }))
            return;
        const auto wall = Clock::now();
        const double cpu = processCpuSeconds();
        const double used =
            (cpu - lastCpu) / std::chrono::duration<double>(wall - lastWall).count();
        lastWall = wall;
        lastCpu = cpu;
        // Walkers with work that together leave a quarter (1 - m_busyShare) or more of the
        // processors they could keep busy idle are waiting for the storage: more requests
        // in flight is what helps. On a warm cache they use their processors fully. More
        // walkers only help when there is work to hand them: not while a quarter or more
        // of the walkers are idle already (a deep chain keeps one walker busy, whatever
        // the count).
        const unsigned idle = std::min(m_threads, m_idle.load());
        const unsigned busy = m_threads - idle;
        if (busy == 0 || 4 * idle >= m_threads ||
            used >= m_busyShare * std::min(busy, m_startThreads))
            continue;
        const unsigned more = std::min(m_threads, m_mostThreads - m_threads);
        m_threads += more;
        lock.unlock();
        addWalkers(helpers, more);
        lock.lock();
    }
}

void FolderWalk::runWalker(Donation *first)
{
    try {
        Walker walker(*this, m_cacheSize);
        walker.run(first);
        m_bytes.fetch_add(walker.bytes(), std::memory_order_relaxed);
    } catch (const std::bad_alloc &) {
        SizeResult failure;
        failure.error = SizeError::Other;
        failure.reason = "Cannot size folder '" + m_rootPath + "': out of memory";
        fail(std::move(failure));
    }
}

bool FolderWalk::take(Donation &donation)
{
    std::unique_lock lock(m_mutex);
    m_idle.fetch_add(1, std::memory_order_relaxed);
    for (;;) {
        if (m_done || stopped())
            return false;
        if (!m_queue.empty()) {
            donation = std::move(m_queue.back());
            m_queue.pop_back();
            m_queued.fetch_sub(1, std::memory_order_relaxed);
            m_idle.fetch_sub(1, std::memory_order_relaxed);
            return true;
        }
        if (m_idle.load(std::memory_order_relaxed) == m_threads) {
            // Nobody holds work and nothing is queued: the walk is complete.
            m_done = true;
            m_wake.notify_all();
            m_watcherWake.notify_all();
            return false;
        }
        m_wake.wait(lock);
    }
}

void FolderWalk::donate(Donation donation)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(donation));
        m_queued.fetch_add(1, std::memory_order_relaxed);
    }
    m_wake.notify_one();
}

bool FolderWalk::wantsDonation() const
{
    return m_idle.load(std::memory_order_relaxed) > m_queued.load(std::memory_order_relaxed);
}

void FolderWalk::fail(SizeResult failure)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_failure.error == SizeError::None)
            m_failure = std::move(failure);
        m_stop.store(true, std::memory_order_relaxed);
    }
    m_wake.notify_all();
    m_watcherWake.notify_all();
}

SizeResult FolderWalk::cancelled() const
{
    SizeResult result;
    result.error = SizeError::Cancelled;
    result.reason = "Sizing folder '" + m_rootPath + "' was cancelled";
    return result;
}

bool FolderWalk::checkCancel()
{
    if (stopped())
        return true;
    if (!m_control.cancelRequested())
        return false;
    fail(cancelled());
    return true;
}

bool FolderWalk::firstLink(dev_t dev, ino_t ino)
{
    std::lock_guard lock(m_linkMutex);
    return m_links.insert({dev, ino}).second;
}
