#include "sizing/linux/FolderCache.h"

#include "sizing/linux/SizeFailure.h"
#include "sizing/linux/WalkRules.h"
#include "sizing/linux/WalkShared.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

FolderCache::~FolderCache()
{
    // Freed nodes hold no descriptor, so this closes exactly what is still open after a
    // walk that stopped on a failure.
    for (Node &node : m_pool) {
        if (node.fd >= 0)
            ::close(node.fd);
    }
}

void FolderCache::trimPool()
{
    if (m_pool.size() > kPoolKept && m_free.size() == m_pool.size()) {
        m_free.clear();
        m_free.shrink_to_fit();
        m_pool.clear();
        m_pool.shrink_to_fit();
    }
}

int FolderCache::descriptor(Node *node)
{
    if (node->fd >= 0) {
        touch(node);
        return node->fd;
    }
    return reenter(node, -1, 0);
}

int FolderCache::reenter(Node *target, int anchorFd, unsigned anchorDepth)
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
            if (climbTo(target, anchorFd, true, anchorDepth - target->depth, nullptr, climbError))
                return target->fd;
            anchorFd = -1;
        } else if (Node *below = nearestOpenBelow(target)) {
            if (climbTo(target, below->fd, false, below->depth - target->depth, below, climbError))
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
        m_shared.fail(
            sizeFailure(accessError(error), "Cannot open folder", pathOf(failedAt), error));
        return kFailed;
    case Reopen::Vanished:
        break;
    }
    m_shared.fail(SizeResult::failure(SizeError::Other, "Cannot re-enter folder '" +
                                                            pathOf(target) +
                                                            "': the tree changed during the walk"));
    return kFailed;
}

// Reopens target and its evicted ancestors by names from the nearest open ancestor,
// checking that each is still the folder first walked. Vanished when a name is gone or
// now names another folder; Failed with error and failedAt set on any other error.
FolderCache::Reopen FolderCache::reopenByNames(Node *target, int &error, Node *&failedAt)
{
    m_chain.clear();
    Node *open = target;
    for (; open->fd < 0; open = open->parent)
        m_chain.push_back(open);
    touch(open);
    for (auto it = m_chain.rbegin(); it != m_chain.rend(); ++it) {
        Node *reopened = *it;
        const int fd = openFolder(reopened->parent->fd, reopened->name.c_str(), reopened->parent);
        if (fd < 0) {
            error = errno;
            failedAt = reopened;
            return vanished(error) ? Reopen::Vanished : Reopen::Failed;
        }
        if (!isFolderOf(fd, reopened)) {
            ::close(fd);
            return Reopen::Vanished;
        }
        reopened->fd = fd;
        cache(reopened);
    }
    return Reopen::Reached;
}

bool FolderCache::isFolderOf(int fd, const Node *node)
{
    struct stat info = {};
    return ::fstat(fd, &info) == 0 && info.st_dev == node->dev && info.st_ino == node->ino;
}

// Climbs steps levels of ".." from fd (closed by this call when owned) and keeps the
// result as target's descriptor when it is target. keep: a cached node whose descriptor
// must survive when descriptors run short. error: the errno of a failed step.
bool FolderCache::climbTo(Node *target, int fd, bool owned, unsigned steps, Node *keep, int &error)
{
    for (unsigned i = 0; i < steps; ++i) {
        const int up = openFolder(fd, "..", keep);
        // errno means something only when the step failed; a stale value would pass for a
        // system error of the climb.
        error = up < 0 ? errno : 0;
        if (owned)
            ::close(fd);
        if (up < 0)
            return false;
        fd = up;
        owned = true;
    }
    if (!owned || !isFolderOf(fd, target)) {
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
FolderCache::Node *FolderCache::nearestOpenBelow(const Node *target) const
{
    Node *nearest = nullptr;
    for (Node *node = m_newest; node; node = node->older) {
        if (node->depth > target->depth && (!nearest || node->depth < nearest->depth))
            nearest = node;
    }
    return nearest;
}

int FolderCache::openFolder(int parentFd, const char *name, Node *parent)
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

std::string FolderCache::pathOf(const Node *node) const
{
    std::vector<const Node *> chain;
    for (; node; node = node->parent)
        chain.push_back(node);
    std::string path = chain.back()->name;
    // Appended in place, not through joined(): that copies the path at every level, and
    // chains run thousands of folders deep.
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) {
        if (path.empty() || path.back() != '/')
            path += '/';
        path += (*it)->name;
    }
    return path;
}

// LRU cache of open descriptors, newest first.
void FolderCache::cache(Node *node)
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

void FolderCache::uncache(Node *node)
{
    if (!node->cached)
        return;
    (node->newer ? node->newer->older : m_newest) = node->older;
    (node->older ? node->older->newer : m_oldest) = node->newer;
    node->newer = node->older = nullptr;
    node->cached = false;
    --m_cached;
}

void FolderCache::touch(Node *node)
{
    if (node->cached && node != m_newest) {
        uncache(node);
        cache(node);
    }
}

void FolderCache::evict(Node *node)
{
    uncache(node);
    ::close(node->fd);
    node->fd = -1;
}

FolderCache::Node *FolderCache::newNode()
{
    if (m_free.empty())
        return &m_pool.emplace_back();
    Node *node = m_free.back();
    m_free.pop_back();
    return node;
}

void FolderCache::freeNode(Node *node)
{
    std::string name = std::move(node->name);
    name.clear();
    *node = Node();
    node->name = std::move(name); // keeps the buffer for the next name
    m_free.push_back(node);
}
