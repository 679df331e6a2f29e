#pragma once

#include <fcntl.h>

#include <cerrno>
#include <string>

// Rules every part of the folder walk shares.

// Every folder inside the tree is opened this way: never through a symbolic link, never
// blocking, never inherited by a child process.
inline constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// An entry that vanished while the walk ran, or was replaced by something that is not a
// folder (a symbolic link gives ELOOP under O_NOFOLLOW): skipped, not a failure.
[[nodiscard]] inline bool vanished(int error)
{
    return error == ENOENT || error == ENOTDIR || error == ELOOP;
}

// folder + "/" + name, without doubling a slash that ends folder (the root "/").
[[nodiscard]] inline std::string joined(const std::string &folder, const std::string &name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}
