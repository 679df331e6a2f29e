#include "sizing/portable/PortableSizeQuery.h"

#include <optional>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

static std::string bytesOf(const fs::path &path)
{
    // u8string keeps Windows names intact; on POSIX the native bytes are the name.
#if defined(_WIN32)
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.native();
#endif
}

static SizeResult failure(SizeError error, std::string reason)
{
    return SizeResult::failure(error, std::move(reason));
}

static SizeResult failure(SizeError error, const char *what, const fs::path &path,
                          const std::error_code &code)
{
    return failure(error, std::string(what) + " '" + bytesOf(path) + "': " + code.message());
}

static SizeResult cancelled(const char *kind, const fs::path &path)
{
    return SizeResult::cancelled(kind, bytesOf(path));
}

static bool isMissing(const std::error_code &code)
{
    return code == std::errc::no_such_file_or_directory || code == std::errc::not_a_directory;
}

static SizeError accessError(const std::error_code &code)
{
    return code == std::errc::permission_denied || code == std::errc::operation_not_permitted
               ? SizeError::AccessDenied
               : SizeError::Other;
}

std::optional<SizeResult> PortableSizeQuery::lookUp(const fs::path &path, const char *kind,
                                                    const char *unreachable,
                                                    fs::file_status &status) const
{
    if (auto refused = refusal(kind, bytesOf(path)))
        return refused;
    std::error_code code;
    status = fs::status(path, code);
    if (fs::exists(status))
        return std::nullopt;
    if (code && !isMissing(code))
        return failure(accessError(code), unreachable, path, code);
    return failure(SizeError::NotFound, (std::string("Cannot find ") + kind).c_str(), path,
                   std::make_error_code(std::errc::no_such_file_or_directory));
}

SizeResult PortableSizeQuery::fileSize(const fs::path &path)
{
    fs::file_status status;
    if (auto early = lookUp(path, "file", "Cannot reach file", status))
        return std::move(*early);
    std::error_code code;
    if (fs::is_directory(status))
        return failure(SizeError::NotAFile, "'" + bytesOf(path) + "' is a folder, not a file");
    if (!fs::is_regular_file(status))
        return failure(SizeError::NotAFile, "'" + bytesOf(path) + "' is not a regular file");
    const std::uintmax_t size = fs::file_size(path, code);
    if (code)
        return failure(accessError(code), "Cannot read file", path, code);
    if (control().cancelRequested())
        return cancelled("file", path);
    control().addFound(1, size);
    return SizeResult::of(size);
}

SizeResult PortableSizeQuery::folderSize(const fs::path &path)
{
    fs::file_status status;
    if (auto early = lookUp(path, "folder", "Cannot open folder", status))
        return std::move(*early);
    std::error_code code;
    if (!fs::is_directory(status))
        return failure(SizeError::NotAFolder, "'" + bytesOf(path) + "' is not a folder");

#if !defined(_WIN32)
    std::set<std::pair<dev_t, ino_t>> linked;
#endif
    std::uint64_t total = 0;
    // Each folder is listed to its end before the next is opened, so only one directory
    // handle is open at any time and depth costs heap, not stack.
    std::vector<fs::path> pending{path};
    while (!pending.empty()) {
        const fs::path folder = std::move(pending.back());
        pending.pop_back();
        control().whereabouts().report(0, bytesOf(folder));
        fs::directory_iterator it(folder, code);
        if (code) {
            if (isMissing(code) && folder != path) // vanished during the walk
                continue;
            return failure(accessError(code), "Cannot open folder", folder, code);
        }
        // The watchers see each folder's files once it is listed: one pair of atomic adds
        // per folder.
        std::uint64_t folderFiles = 0;
        std::uint64_t folderBytes = 0;
        for (; it != fs::directory_iterator(); it.increment(code)) {
            if (control().cancelRequested())
                return cancelled("folder", path);
            const fs::directory_entry &entry = *it;
            const fs::file_status own = entry.symlink_status(code);
            if (code) {
                if (isMissing(code))
                    continue;
                return failure(accessError(code), "Cannot read", entry.path(), code);
            }
            if (fs::is_directory(own)) {
                pending.push_back(entry.path());
                control().addFolders(1);
            } else if (fs::is_regular_file(own)) {
                const std::uintmax_t size = entry.file_size(code);
                if (code) {
                    if (isMissing(code))
                        continue;
                    return failure(accessError(code), "Cannot read", entry.path(), code);
                }
#if !defined(_WIN32)
                struct stat info
                {
                };
                if (entry.hard_link_count(code) > 1 && !code &&
                    ::lstat(entry.path().c_str(), &info) == 0 &&
                    !linked.emplace(info.st_dev, info.st_ino).second)
                    continue;
#endif
                total += size;
                ++folderFiles;
                folderBytes += size;
            }
        }
        if (folderFiles > 0)
            control().addFound(folderFiles, folderBytes);
        if (code) {
            if (isMissing(code))
                continue;
            return failure(accessError(code), "Cannot read folder", folder, code);
        }
    }
    control().whereabouts().report(0, {});
    if (control().cancelRequested())
        return cancelled("folder", path);
    return SizeResult::of(total);
}
