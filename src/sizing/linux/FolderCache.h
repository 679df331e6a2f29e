#pragma once

#include <sys/types.h>

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

class WalkShared;

// The folders of one walker thread and their open descriptors.
//
// The walker's folders form a tree of Nodes: a node lives while it is being read or while
// folders below it are still pending, so the live nodes are the current path plus nothing
// else, and memory grows with depth, never with the number of files. Nodes come from a pool
// with stable addresses. A node's descriptor is kept in a small LRU cache; the root of the
// walker's current subtree stays open until that subtree is done, so any evicted node can be
// reopened by names from its nearest open ancestor, or by climbing ".." from an open folder
// below it; the shorter way goes first, the other is the fallback when folders were moved
// meanwhile. One object per walker thread; not thread-safe.
class FolderCache
{
public:
    struct Node
    {
        Node *parent = nullptr; // null for the root of a subtree
        std::string name;       // name in parent; a subtree root holds its full path
        int fd = -1;            // open descriptor, or -1 while evicted
        dev_t dev = 0;
        ino_t ino = 0;
        unsigned depth = 0;
        unsigned pending = 0;    // entries on the walker's stack plus live child nodes
        std::size_t pathEnd = 0; // length of the full path in the walker's current path
        bool cached = false;     // in the LRU list (subtree roots never are)
        Node *newer = nullptr;
        Node *older = nullptr;
    };

    // What descriptor() and reenter() answer after reporting a failure to the walk.
    static constexpr int kFailed = -2;

    // shared (not owned, outlives the cache): the walk's shared state, which hears the
    // failures; capacity: most descriptors kept open in the LRU list (subtree roots come on
    // top).
    FolderCache(WalkShared &shared, unsigned capacity) : m_shared(shared), m_capacity(capacity) {}
    // Closes every descriptor still open (after a walk that stopped on a failure).
    ~FolderCache();
    FolderCache(const FolderCache &) = delete;
    FolderCache &operator=(const FolderCache &) = delete;

    // A cleared node from the pool; give it back with freeNode.
    [[nodiscard]] Node *newNode();
    // Returns node, whose descriptor is closed or handed on, to the pool.
    void freeNode(Node *node);
    // When every node is free again and the pool grew past a few dozen nodes (after a deep
    // subtree, one per level), gives its memory back.
    void trimPool();

    // Puts node, whose fd is open, first in the LRU list; evicts the oldest beyond capacity.
    void cache(Node *node);
    // Takes node out of the LRU list (its descriptor stays open); nothing when not in it.
    void uncache(Node *node);
    // Marks node as the most recently used.
    void touch(Node *node);

    // The last folder of the walker's current path: it is never evicted while the cache can
    // hold another, so a climb from it reaches every live folder. Null between subtrees.
    void setDeepest(Node *node) { m_deepest = node; }

    // The open descriptor of node, re-entering it when it was evicted; kFailed after a
    // failure was reported to the walk.
    [[nodiscard]] int descriptor(Node *node);

    // Re-enters the evicted folder target, as the very folder first walked (same device and
    // inode), wherever it is now. Two ways: down by names from its nearest open ancestor,
    // and up through ".." from an open folder below it: anchorFd (owned by this call, -1 for
    // none) at depth anchorDepth, or else the nearest cached folder below target. The
    // cheaper way goes first. A folder that neither way reaches was moved where the walk
    // cannot follow: the walk fails naming it rather than answer a total that silently
    // leaves out its subtree. A deleted folder is still reached through its open
    // descendants; its remaining entries then vanish and are skipped.
    // Returns target's descriptor, or kFailed after reporting the failure.
    [[nodiscard]] int reenter(Node *target, int anchorFd, unsigned anchorDepth);

    // openat of a folder below parentFd (the descriptor of parent). When the process runs
    // out of descriptors, the cache is emptied (but for parent) and the open tried once more.
    // The descriptor, or -1 with errno set.
    [[nodiscard]] int openFolder(int parentFd, const char *name, Node *parent);

    // The full path of node, for failure reasons.
    [[nodiscard]] std::string pathOf(const Node *node) const;

private:
    enum class Reopen { Reached, Vanished, Failed };

    void evict(Node *node);
    [[nodiscard]] Reopen reopenByNames(Node *target, int &error, Node *&failedAt);
    // Whether fd is the folder node was when the walk first met it (same device and inode).
    [[nodiscard]] static bool isFolderOf(int fd, const Node *node);
    [[nodiscard]] bool climbTo(Node *target, int fd, bool owned, unsigned steps, Node *keep,
                               int &error);
    [[nodiscard]] Node *nearestOpenBelow(const Node *target) const;

    static constexpr std::size_t kPoolKept = 64;

    WalkShared &m_shared;
    const unsigned m_capacity;
    std::deque<Node> m_pool; // stable addresses; freed nodes go to m_free for reuse
    std::vector<Node *> m_free;
    std::vector<Node *> m_chain;
    Node *m_newest = nullptr;
    Node *m_oldest = nullptr;
    Node *m_deepest = nullptr;
    unsigned m_cached = 0;
};
