#pragma once

#include "sizing/WalkerCountRule.h"

#include <cstdint>
#include <string>
#include <string_view>

// What the filesystem of an open folder is, for the walker count
// (WalkerCountRule): its statfs magic number and, on FUSE, the type the mount
// table gives the mount, which names the daemon ("fuse.sshfs").
namespace StorageProbe {

// The statfs magic number of the filesystem fd lies on; 0 when it cannot be asked.
[[nodiscard]] std::uint32_t filesystemType(int fd);

// The type that mountinfo, the text of a /proc/PID/mountinfo file, gives the
// mount of device major:minor ("fuse.sshfs", "ext4"): of several, the last,
// which is mounted over the others; empty when none is listed. Pure.
[[nodiscard]] std::string mountTypeIn(std::string_view mountinfo, unsigned major, unsigned minor);

// The storage of the filesystem fd lies on, whose statfs magic number is type.
// For FUSE it reads this process's mount table, which the kernel answers
// without asking the daemon.
[[nodiscard]] WalkerCountRule::Storage storageOf(int fd, std::uint32_t type);

} // namespace StorageProbe
