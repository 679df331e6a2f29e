#include "sizing/linux/FolderWalker.h"

#include "sizing/linux/FileFacts.h"
#include "sizing/linux/SizeFailure.h"
#include "sizing/linux/WalkRules.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

void FolderWalker::run(WalkShared::Donation *first)
{
    WalkShared::Donation donation;
    bool working = first ? (donation = std::move(*first), true) : m_shared.take(donation, false);
    while (working) {
        walkFrom(donation, first == nullptr);
        first = nullptr;
        if (m_shared.stopped())
            break;
        m_place.leave();
        working = m_shared.take(donation, true);
    }
    m_place.leave();
}

std::string FolderWalker::pathBelow(const Node *parent, const std::string &name) const
{
    std::string path = m_path.substr(0, parent->pathEnd);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

void FolderWalker::walkFrom(WalkShared::Donation &donation, bool handed)
{
    Node *root = m_cache.newNode();
    m_place.enter(m_path, [&] { m_path = donation.path; });
    root->name = std::move(donation.path);
    root->pathEnd = m_path.size();
    if (handed)
        m_shared.entered(m_path);
    root->fd = donation.fd;
    root->dev = donation.dev;
    root->ino = donation.ino;
    m_cache.setDeepest(root);
    if (!readFolder(root))
        return;
    while (!m_stack.empty() && !m_shared.checkCancel()) {
        Entry entry = std::move(m_stack.back());
        m_stack.pop_back();
        if (!enter(entry))
            return;
        if (m_stack.size() > 1 && m_shared.wantsDonation() && !donateOldest())
            return;
        if (m_shared.tooMany()) {
            // Parked, this walker is in no folder: a watcher must not take its wait for a
            // folder that does not answer.
            m_place.leave();
            m_shared.park();
        }
    }
    // Every node is free again. After a deep subtree the pool holds one node per level of
    // it; with many walkers that adds up, so a large pool is given back.
    if (m_stack.empty())
        m_cache.trimPool();
}

bool FolderWalker::enter(Entry &entry)
{
    Node *parent = entry.parent;
    // Shown before the open: a walker stuck in it, or in reading the folder, names it.
    m_place.enter(m_path, [&] {
        m_path.resize(parent->pathEnd);
        if (m_path.empty() || m_path.back() != '/')
            m_path += '/';
        m_path += entry.name;
    });
    struct stat info = {};
    const int fd = openEntry(parent, entry.name, m_path, info);
    if (fd == kSkipped) {
        release(parent);
        return true;
    }
    if (fd == kFailed)
        return false;
    Node *node = m_cache.newNode();
    node->parent = parent;
    node->name.swap(entry.name);
    node->fd = fd;
    node->dev = info.st_dev;
    node->ino = info.st_ino;
    node->depth = parent->depth + 1;
    node->pathEnd = m_path.size();
    m_cache.setDeepest(node);
    m_cache.cache(node);
    m_shared.entered(m_path);
    return readFolder(node);
}

bool FolderWalker::donateOldest()
{
    Entry entry = std::move(m_stack.front());
    m_stack.pop_front();
    Node *parent = entry.parent;
    std::string path = pathBelow(parent, entry.name);
    m_place.report(path);
    struct stat info = {};
    const int fd = openEntry(parent, entry.name, path, info);
    if (fd == kFailed)
        return false;
    if (fd != kSkipped)
        m_shared.donate({fd, std::move(path), info.st_dev, info.st_ino});
    release(parent);
    return true;
}

SizeResult FolderWalker::entryFailure(int folderFd, const std::string &folderPath,
                                      const std::string &entryPath, const char *what, int error)
{
    // Looking up "." needs the same search permission as any name in the folder, and
    // touches nothing below it: when that fails too, the folder lists its names but may
    // not be searched, and it is the folder at fault. Otherwise the entry itself refused
    // (a mount this user may not enter, say) and is named.
    struct stat probe = {};
    if (error == EACCES && ::fstatat(folderFd, ".", &probe, AT_SYMLINK_NOFOLLOW) != 0 &&
        errno == EACCES)
        return sizeFailure(SizeError::AccessDenied, "Cannot search folder", folderPath, error);
    return sizeFailure(accessError(error), what, entryPath, error);
}

int FolderWalker::openEntry(Node *parent, const std::string &name, const std::string &path,
                            struct stat &info)
{
    const int parentFd = m_cache.descriptor(parent);
    if (parentFd < 0)
        return kFailed;
    const int fd = m_cache.openFolder(parentFd, name.c_str(), parent);
    if (fd < 0) {
        const int error = errno;
        if (vanished(error))
            return kSkipped;
        m_shared.fail(
            entryFailure(parentFd, m_cache.pathOf(parent), path, "Cannot open folder", error));
        return kFailed;
    }
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        m_shared.fail(sizeFailure(SizeError::Other, "Cannot read folder", path, error));
        return kFailed;
    }
    if (info.st_dev != parent->dev && m_pseudo.onPseudo(info.st_dev, fd)) {
        ::close(fd);
        return kSkipped;
    }
    return fd;
}

bool FolderWalker::readFolder(Node *node)
{
    for (;;) {
        const long length = m_reader.read(node->fd);
        if (length == 0)
            break;
        if (length < 0) {
            const int error = errno;
            if (error == EINTR)
                continue;
            if (error == ENOENT) // the folder was removed while being read
                break;
            m_shared.fail(
                sizeFailure(accessError(error), "Cannot read folder", m_cache.pathOf(node), error));
            return false;
        }
        // The watchers see what this buffer added: a pair of atomic adds per buffer (about
        // a thousand entries) keeps them current without slowing the walk. The growth
        // watcher's count goes every few entries, on this walker's own line: through FUSE
        // a buffer of about a hundred entries can take longer than its interval.
        const std::uint64_t filesBefore = m_files;
        const std::uint64_t bytesBefore = m_bytes;
        std::uint64_t entries = 0;
        for (long offset = 0; offset < length;) {
            if (++entries % kDoneStep == 0)
                m_done.fetch_add(kDoneStep, std::memory_order_relaxed);
            if (m_shared.checkCancel())
                return false;
            const DirectoryReader::Entry entry = m_reader.next(offset);
            if (DirectoryReader::isDotOrDotDot(entry.name))
                continue;
            switch (entry.type) {
            case DT_DIR:
                push(node, entry.name);
                break;
            case DT_REG:
            case DT_UNKNOWN: // some filesystems do not fill d_type: stat decides
                if (!countEntry(node, entry.name))
                    return false;
                break;
            default: // symbolic links, FIFOs, sockets, devices: nothing, never opened
                break;
            }
        }
        if (m_files != filesBefore)
            m_shared.control().addFound(m_files - filesBefore, m_bytes - bytesBefore);
        m_done.fetch_add(entries % kDoneStep, std::memory_order_relaxed);
    }
    if (node->pending == 0)
        finish(node);
    return true;
}

bool FolderWalker::countEntry(Node *node, const char *name)
{
    FileFacts facts;
    if (!FileFacts::ofEntry(node->fd, name, facts)) {
        const int error = errno;
        if (error == ENOENT)
            return true;
        const std::string folder = m_cache.pathOf(node);
        m_shared.fail(entryFailure(node->fd, folder, joined(folder, name), "Cannot read", error));
        return false;
    }
    if (S_ISREG(facts.mode)) {
        if (facts.nlink > 1 && !m_shared.firstLink(facts.dev, facts.ino))
            return true;
        m_bytes += facts.size;
        ++m_files;
    } else if (S_ISDIR(facts.mode)) {
        push(node, name);
    }
    return true;
}

void FolderWalker::push(Node *parent, const char *name)
{
    m_stack.push_back({parent, name});
    ++parent->pending;
    m_shared.control().addFolders(1);
}

void FolderWalker::release(Node *node)
{
    if (--node->pending == 0)
        finish(node);
}

// node is read and nothing below it is pending: frees it and every ancestor that this leaves
// without work. The ancestor that still has work, when evicted, is re-entered while the
// descriptor of the shallowest finished folder is still open: climbing ".." from it reaches
// that ancestor even when a folder on the way was moved or deleted (an open directory keeps
// its chain of parents), and keeps backtracking out of a deep chain linear.
void FolderWalker::finish(Node *node)
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
            m_cache.uncache(node);
            node->fd = -1;
        }
        m_cache.freeNode(node);
        if (!parent) {
            m_cache.setDeepest(nullptr);
            break;
        }
        if (--parent->pending > 0) {
            m_cache.setDeepest(parent);
            if (parent->fd < 0) {
                // A failure is reported by reenter and stops the walk.
                (void)m_cache.reenter(parent, climbFd, climbDepth);
                climbFd = -1;
            }
            break;
        }
        node = parent;
    }
    if (climbFd >= 0)
        ::close(climbFd);
}
