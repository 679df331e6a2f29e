#pragma once

#include "platform/FolderWhereabouts.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// Why a size query failed.
//   NotFound     the path is empty, does not exist, or a component of it is missing
//   NotAFile     a file was asked for but the path names a folder, device, FIFO or socket
//   NotAFolder   a folder was asked for but the path names something else
//   AccessDenied the target, or a folder inside the tree, cannot be read or searched
//   Other        any other system failure (I/O error, too many symbolic links, ...)
//   Cancelled    SizeQueryControl::requestCancel() was called before the answer was complete
enum class SizeError { None, NotFound, NotAFile, NotAFolder, AccessDenied, Other, Cancelled };

// The answer of one size query: a byte count, or a failure with its reason.
struct SizeResult
{
    std::uint64_t bytes = 0; // valid only when error == SizeError::None
    SizeError error = SizeError::None;
    // On failure: a full sentence naming the path concerned (the folder inside the tree that
    // could not be read, when that is the cause) and the system's message. Paths are copied
    // as bytes, so the text is UTF-8 only when the names are.
    std::string reason;
    [[nodiscard]] bool ok() const { return error == SizeError::None; }

    // A successful answer: bytes.
    [[nodiscard]] static SizeResult of(std::uint64_t bytes) { return {bytes, SizeError::None, {}}; }
    // A failure of kind error (anything but None) for the reason given.
    [[nodiscard]] static SizeResult failure(SizeError error, std::string reason)
    {
        return {0, error, std::move(reason)};
    }
    // The answer of a query that was cancelled: "Sizing <kind> '<path>' was cancelled",
    // kind being "file" or "folder", the path copied as bytes.
    [[nodiscard]] static SizeResult cancelled(std::string_view kind, std::string_view path)
    {
        std::string reason = "Sizing ";
        reason.append(kind).append(" '").append(path).append("' was cancelled");
        return failure(SizeError::Cancelled, std::move(reason));
    }
};

// Progress and cancellation of one query, shared between the thread that runs the query and
// the threads that watch or cancel it. Every member may be called from any thread at any
// time, without locks. The counters only grow; after a successful query bytesFound() equals
// the answer. Files counted are regular files whose size went into the total; folders
// counted are the folders found inside the tree (the named folder itself not included).
class SizeQueryControl
{
public:
    void requestCancel() noexcept { m_cancel.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool cancelRequested() const noexcept
    {
        return m_cancel.load(std::memory_order_relaxed);
    }

    void addFound(std::uint64_t files, std::uint64_t bytes) noexcept
    {
        m_files.fetch_add(files, std::memory_order_relaxed);
        m_bytes.fetch_add(bytes, std::memory_order_relaxed);
    }
    [[nodiscard]] std::uint64_t filesFound() const noexcept
    {
        return m_files.load(std::memory_order_relaxed);
    }
    [[nodiscard]] std::uint64_t bytesFound() const noexcept
    {
        return m_bytes.load(std::memory_order_relaxed);
    }
    void addFolders(std::uint64_t folders) noexcept
    {
        m_folders.fetch_add(folders, std::memory_order_relaxed);
    }
    [[nodiscard]] std::uint64_t foldersFound() const noexcept
    {
        return m_folders.load(std::memory_order_relaxed);
    }

    // Which folder each worker of the query is in: what a query that stopped making progress
    // waits on.
    [[nodiscard]] FolderWhereabouts &whereabouts() noexcept { return m_whereabouts; }
    [[nodiscard]] const FolderWhereabouts &whereabouts() const noexcept { return m_whereabouts; }

private:
    std::atomic<bool> m_cancel{false};
    std::atomic<std::uint64_t> m_files{0};
    std::atomic<std::uint64_t> m_bytes{0};
    std::atomic<std::uint64_t> m_folders{0};
    FolderWhereabouts m_whereabouts;
};

// The size query service: the size in bytes of one file or of one folder tree. One object
// per pass; each call is synchronous and returns only with the complete answer (an
// implementation may use threads of its own inside a call). Qt-free.
//
// fileSize: the apparent size (st_size) of the named file. A symbolic link as the named
// path is followed. Fails when the path is empty or missing (NotFound) or names anything
// but a regular file (NotAFile).
//
// folderSize: the sum of the apparent sizes of all regular files at any depth below the
// named folder; a symbolic link as the named path is followed. Inside the tree:
//   - symbolic links are neither followed nor counted;
//   - a file with several hard links is counted once per (device, inode);
//   - directories' own sizes are not counted;
//   - FIFOs, sockets and devices count nothing and are never opened;
//   - entries that vanish during the walk are skipped;
//   - mount points are crossed, except pseudo filesystems (proc, sysfs, cgroup, cgroup2,
//     debugfs, tracefs, securityfs, pstore, bpf, configfs, devpts, efivarfs, binfmt_misc,
//     fusectl), which count nothing, also when named as the folder itself.
// Fails when the path is empty or missing (NotFound) or is not a folder (NotAFolder), and
// when any folder inside the tree cannot be read (AccessDenied, the reason names that
// folder). A partial total is never answered.
//
// Cancellation: once control().requestCancel() is called, a call under way answers
// SizeError::Cancelled within 0.2 s (never a partial total), and so does any later call.
// Progress: control() counts files, bytes and folders as they are found.
//
// Names are bytes: names that are not UTF-8 work, and so do trees whose paths are longer
// than PATH_MAX. The walk keeps no state per file, does not recurse on the call stack and
// keeps the number of open descriptors bounded.
class SizeQuery
{
public:
    virtual ~SizeQuery() = default;
    [[nodiscard]] virtual SizeResult fileSize(const std::filesystem::path &path) = 0;
    [[nodiscard]] virtual SizeResult folderSize(const std::filesystem::path &path) = 0;

    [[nodiscard]] SizeQueryControl &control() noexcept { return m_control; }

protected:
    // The answer every query gives before it looks at the path: Cancelled once a cancel was
    // requested, NotFound for an empty path; nothing when the query goes on. kind: "file" or
    // "folder"; path: the asked path as bytes.
    [[nodiscard]] std::optional<SizeResult> refusal(std::string_view kind,
                                                    std::string_view path) const
    {
        if (m_control.cancelRequested())
            return SizeResult::cancelled(kind, path);
        if (path.empty()) {
            std::string reason = "No ";
            reason.append(kind).append(" to size: the path is empty");
            return SizeResult::failure(SizeError::NotFound, std::move(reason));
        }
        return std::nullopt;
    }

private:
    SizeQueryControl m_control;
};

// The platform's real service: the Linux engine on Linux, the std::filesystem engine
// elsewhere (chosen in CMake by the platform folder that is compiled).
[[nodiscard]] std::unique_ptr<SizeQuery> createSizeQuery();
