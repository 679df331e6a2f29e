#pragma once

#include <sys/types.h>

#include <cstdint>
#include <utility>
#include <vector>

// Pseudo filesystems (proc, sysfs, cgroup, ...): their files have no meaningful size, so a
// walk neither enters nor counts them. An object remembers the answer per device, for one
// walker thread (not thread-safe); the static check is safe from any thread.
class PseudoFilesystems
{
public:
    // True when the open descriptor fd lies on a pseudo filesystem; false also when the
    // filesystem cannot be asked.
    [[nodiscard]] static bool isPseudo(int fd);
    // True when type, a statfs magic number, is that of a pseudo filesystem.
    [[nodiscard]] static bool isPseudoType(std::uint32_t type);

    // isPseudo(fd) for fd, an open descriptor on device dev, asked once per device.
    [[nodiscard]] bool onPseudo(dev_t dev, int fd);

private:
    std::vector<std::pair<dev_t, bool>> m_devices; // filesystems met, and whether pseudo
};
