#include "platform/linux/FolderWalker.h"

#include "platform/linux/FileFacts.h"
#include "platform/linux/SizeFailure.h"
#include "platform/linux/WalkRules.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

void FolderWalker::run(FolderWalk::Donation *first)
{
    FolderWalk::Donation donation;
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

void FolderWalker::walkFrom(FolderWalk::Donation &donation)
{
    Node *root = m_cache.newNode();
    root->name = std::move(donation.path);
    root->fd = donation.fd;
    root->dev = donation.dev;
    root->ino = donation.ino;
    m_cache.setDeepest(root);
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
    // Every node is free again. After a deep subtree the pool holds one node per level of
    // it; with many walkers that adds up, so a large pool is given back.
    if (m_stack.empty())
        m_cache.trimPool();
}

bool FolderWalker::enter(Entry &entry)
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
    Node *node = m_cache.newNode();
    node->parent = parent;
    node->name.swap(entry.name);
    node->fd = fd;
    node->dev = info.st_dev;
    node->ino = info.st_ino;
    node->depth = parent->depth + 1;
    m_cache.setDeepest(node);
    m_cache.cache(node);
    return readFolder(node);
}

bool FolderWalker::donateOldest()
{
    Entry entry = std::move(m_stack.front());
    m_stack.pop_front();
    Node *parent = entry.parent;
    struct stat info = {};
    const int fd = openEntry(parent, entry.name, info);
    if (fd == kFailed)
        return false;
    if (fd != kSkipped)
        m_walk.donate({fd, joined(m_cache.pathOf(parent), entry.name), info.st_dev, info.st_ino});
    release(parent);
    return true;
}

int FolderWalker::openEntry(Node *parent, const std::string &name, struct stat &info)
{
    const int parentFd = m_cache.descriptor(parent);
    if (parentFd < 0)
        return kFailed;
    const int fd = m_cache.openFolder(parentFd, name.c_str(), parent);
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
                                    m_cache.pathOf(parent), error));
        } else {
            m_walk.fail(sizeFailure(accessError(error), "Cannot open folder",
                                    joined(m_cache.pathOf(parent), name), error));
        }
        return kFailed;
    }
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        m_walk.fail(sizeFailure(SizeError::Other, "Cannot read folder",
                                joined(m_cache.pathOf(parent), name), error));
        return kFailed;
    }
    if (info.st_dev != parent->dev && m_pseudo.onPseudo(info.st_dev, fd)) {
        ::close(fd);
        return kSkipped;
    }
    if (m_walk.m_enteredHook)
        m_walk.m_enteredHook(joined(m_cache.pathOf(parent), name));
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
            m_walk.fail(
                sizeFailure(accessError(error), "Cannot read folder", m_cache.pathOf(node), error));
            return false;
        }
        // The watchers see what this buffer added: one pair of atomic adds per buffer
        // (about a thousand entries) keeps them current without slowing the walk.
        const std::uint64_t filesBefore = m_files;
        const std::uint64_t bytesBefore = m_bytes;
        for (long offset = 0; offset < length;) {
            if (m_walk.checkCancel())
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
            m_walk.m_control.addFound(m_files - filesBefore, m_bytes - bytesBefore);
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
        if (error == EACCES) {
            // Readable but not searchable: the names can be listed, their files not
            // reached.
            m_walk.fail(sizeFailure(SizeError::AccessDenied, "Cannot search folder",
                                    m_cache.pathOf(node), error));
        } else {
            m_walk.fail(sizeFailure(SizeError::Other, "Cannot read",
                                    joined(m_cache.pathOf(node), name), error));
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

void FolderWalker::push(Node *parent, const char *name)
{
    m_stack.push_back({parent, name});
    ++parent->pending;
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
