#pragma once

#include "sizing/linux/DirectoryReader.h"
#include "sizing/linux/FolderCache.h"
#include "sizing/linux/PseudoFilesystems.h"
#include "sizing/linux/WalkShared.h"

#include <sys/stat.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>

// One thread's share of a FolderWalk.
//
// Walks depth first from a stack of its own: pending folders sit on it as (parent node,
// name), the folders themselves live in a FolderCache. While another walker is idle, the
// oldest pending folder (the root of the largest unexplored subtree) is opened and handed
// to the walk for it. Files are counted into this walker's own totals; the walk's control
// hears them once per batch of directory entries. Failures and cancellation go to the
// walk's shared state (WalkShared), which stops every walker. The walker keeps the full path
// of the folder it is in, built a name at a time, and reports it to the control's
// whereabouts before opening each folder (an empty path while it waits for work or when it
// is done). One object per walker thread, made, run and destroyed on that thread.
class FolderWalker
{
public:
    // shared: what the walkers of the walk share (not owned, outlives the walker); number:
    // the walker's number in the whereabouts (0 on the thread that called the query);
    // cacheSize: open directories it may keep.
    FolderWalker(WalkShared &shared, unsigned number, unsigned cacheSize)
        : m_shared(shared), m_done(shared.doneCount(number)),
          m_place(shared.control().whereabouts().place(number)), m_cache(shared, cacheSize)
    {}
    FolderWalker(const FolderWalker &) = delete;
    FolderWalker &operator=(const FolderWalker &) = delete;

    // Walks from first (when given; its descriptor is owned by the walker from now on), then
    // from every folder other walkers hand over, until the walk is over.
    void run(WalkShared::Donation *first);

    // Bytes of the regular files this walker counted.
    [[nodiscard]] std::uint64_t bytes() const { return m_bytes; }

private:
    using Node = FolderCache::Node;

    struct Entry
    {
        Node *parent;
        std::string name;
    };

    static constexpr int kSkipped = -1;
    static constexpr int kFailed = FolderCache::kFailed;

    // Walks the subtree of donation; handed: it came from another walker (not the root).
    void walkFrom(WalkShared::Donation &donation, bool handed);
    // Opens the pending folder entry and reads it. False when the walk must stop.
    [[nodiscard]] bool enter(Entry &entry);
    // Hands the oldest pending folder to an idle walker. False when the walk must stop.
    [[nodiscard]] bool donateOldest();
    // Opens the folder name below parent, whose full path is path: its descriptor, with info
    // filled in; kSkipped when it vanished or lies on a pseudo filesystem; kFailed after
    // reporting a failure.
    [[nodiscard]] int openEntry(Node *parent, const std::string &name, const std::string &path,
                                struct stat &info);
    // The full path of name below parent, a folder on the current path.
    [[nodiscard]] std::string pathBelow(const Node *parent, const std::string &name) const;
    // The failure for an entry of folder (whose path is folderPath) that could not be
    // reached with error: when folder itself may not be searched, it is the folder at fault
    // and is named; otherwise the entry is (a mount this user may not enter, say).
    [[nodiscard]] static SizeResult entryFailure(int folderFd, const std::string &folderPath,
                                                 const std::string &entryPath, const char *what,
                                                 int error);
    // Counts the regular files of node and pushes its subfolders. False when the walk must
    // stop.
    [[nodiscard]] bool readFolder(Node *node);
    // Stats the entry name of node: counts it when it is a regular file (once per file with
    // several links), pushes it when it is a folder. False when the walk must stop.
    [[nodiscard]] bool countEntry(Node *node, const char *name);
    void push(Node *parent, const char *name);
    // One pending entry or child of node is done.
    void release(Node *node);
    void finish(Node *node);

    WalkShared &m_shared;
    std::atomic<std::uint64_t> &m_done; // entries handled, told every kDoneStep entries
    static constexpr std::uint64_t kDoneStep = 8;
    // The full path of the folder entered last: the live nodes' paths are its prefixes
    // (Node::pathEnd), since every live node lies on the current path. Shown in the
    // whereabouts (m_place) as it is, and changed only through m_place.enter().
    std::string m_path;
    FolderWhereabouts::Place &m_place;
    DirectoryReader m_reader;
    FolderCache m_cache;
    PseudoFilesystems m_pseudo;
    std::deque<Entry> m_stack;
    std::uint64_t m_bytes = 0;
    std::uint64_t m_files = 0;
};
