#include "sizing/linux/StorageProbe.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <iterator>

std::uint32_t StorageProbe::filesystemType(int fd)
{
    struct statfs info = {};
    if (::fstatfs(fd, &info) != 0)
        return 0;
    return static_cast<std::uint32_t>(info.f_type);
}

std::string StorageProbe::mountTypeIn(std::string_view mountinfo, unsigned major, unsigned minor)
{
    // A line: ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL...] - TYPE
    // SOURCE ... Spaces inside the fields are written as \040, so fields split at
    // spaces.
    const std::string device = std::to_string(major) + ":" + std::to_string(minor);
    std::string found;
    while (!mountinfo.empty()) {
        const std::size_t end = std::min(mountinfo.find('\n'), mountinfo.size());
        std::string_view line = mountinfo.substr(0, end);
        mountinfo.remove_prefix(std::min(end + 1, mountinfo.size()));
        const auto field = [&line]() {
            const std::size_t start = std::min(line.find_first_not_of(' '), line.size());
            line.remove_prefix(start);
            const std::size_t stop = std::min(line.find(' '), line.size());
            const std::string_view word = line.substr(0, stop);
            line.remove_prefix(stop);
            return word;
        };
        (void)field();
        (void)field();
        if (field() != device)
            continue;
        for (std::string_view word = field(); !word.empty(); word = field()) {
            if (word == "-") {
                found = std::string(field());
                break;
            }
        }
    }
    return found;
}

WalkerCountRule::Storage StorageProbe::storageOf(int fd, std::uint32_t type)
{
    if (type != WalkerCountRule::kFuseMagic)
        return WalkerCountRule::storageOf(type, {});
    struct stat info = {};
    std::string mountType;
    if (::fstat(fd, &info) == 0) {
        std::ifstream file("/proc/self/mountinfo");
        const std::string text{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
        mountType = mountTypeIn(text, major(info.st_dev), minor(info.st_dev));
    }
    return WalkerCountRule::storageOf(type, mountType);
}
