#include "sizing/linux/PseudoFilesystems.h"

#include <sys/statfs.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

bool PseudoFilesystems::isPseudoType(std::uint32_t type)
{
    // Magic numbers from linux/magic.h, listed here because not every libc ships them all.
    static constexpr std::uint32_t kPseudo[] = {
        0x00009fa0, // proc
        0x62656572, // sysfs
        0x0027e0eb, // cgroup
        0x63677270, // cgroup2
        0x64626720, // debugfs
        0x74726163, // tracefs
        0x73636673, // securityfs
        0x6165676c, // pstore
        0xcafe4a11, // bpf
        0x62656570, // configfs
        0x00001cd1, // devpts
        0xde5e81e4, // efivarfs
        0x42494e4d, // binfmt_misc
        0x65735543, // fusectl
    };
    return std::find(std::begin(kPseudo), std::end(kPseudo), type) != std::end(kPseudo);
}

bool PseudoFilesystems::isPseudo(int fd)
{
    struct statfs info = {};
    if (::fstatfs(fd, &info) != 0)
        return false;
    return isPseudoType(static_cast<std::uint32_t>(info.f_type));
}

bool PseudoFilesystems::onPseudo(dev_t dev, int fd)
{
    for (const auto &[known, pseudo] : m_devices) {
        if (known == dev)
            return pseudo;
    }
    const bool pseudo = isPseudo(fd);
    m_devices.emplace_back(dev, pseudo);
    return pseudo;
}
