#pragma once

#include <filesystem>

// Whether two paths name one and the same existing file: the same device and inode (the
// same volume and file index on Windows), with every symbolic link resolved, so hard links,
// symbolic links and differently spelled paths to one file all count as that file.
namespace FileIdentity {

// False when either path does not exist or cannot be examined. Never throws.
[[nodiscard]] bool same(const std::filesystem::path &a, const std::filesystem::path &b);

} // namespace FileIdentity
