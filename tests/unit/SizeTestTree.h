#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// A temporary folder tree for the size query tests, removed with everything in it (also
// chains deeper than PATH_MAX and folders without permissions) when the object goes.
// Relative names are below root(); every helper throws std::runtime_error on failure.
class SizeTestTree
{
public:
    // In /dev/shm where it can be written: creating folders costs a journal write on some
    // disk filesystems, which makes a 10,000-deep chain take seconds instead of milliseconds.
    SizeTestTree()
    {
        const std::filesystem::path base = ::access("/dev/shm", W_OK | X_OK) == 0
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = base / "zemra-size-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            fail("mkdtemp", pattern);
        m_root = pattern;
    }

    ~SizeTestTree() { removeAll(m_root); }

    SizeTestTree(const SizeTestTree &) = delete;
    SizeTestTree &operator=(const SizeTestTree &) = delete;

    [[nodiscard]] const std::string &root() const { return m_root; }
    [[nodiscard]] std::string path(const std::string &relative) const
    {
        return m_root + "/" + relative;
    }

    // A file of apparent size bytes (sparse: nothing is written).
    void file(const std::string &relative, std::uint64_t bytes) const
    {
        const std::string name = path(relative);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            fail("create", name);
        const bool sized = ::ftruncate(fd, static_cast<off_t>(bytes)) == 0;
        ::close(fd);
        if (!sized)
            fail("ftruncate", name);
    }

    void folder(const std::string &relative, mode_t mode = 0755) const
    {
        const std::string name = path(relative);
        if (::mkdir(name.c_str(), mode) != 0 || ::chmod(name.c_str(), mode) != 0)
            fail("mkdir", name);
    }

    void symlink(const std::string &target, const std::string &relative) const
    {
        if (::symlink(target.c_str(), path(relative).c_str()) != 0)
            fail("symlink", relative);
    }

    void hardlink(const std::string &existing, const std::string &relative) const
    {
        if (::link(path(existing).c_str(), path(relative).c_str()) != 0)
            fail("link", relative);
    }

    void fifo(const std::string &relative) const
    {
        if (::mkfifo(path(relative).c_str(), 0644) != 0)
            fail("mkfifo", relative);
    }

    void chmod(const std::string &relative, mode_t mode) const
    {
        const std::string name = relative.empty() ? m_root : path(relative);
        if (::chmod(name.c_str(), mode) != 0)
            fail("chmod", name);
    }

    // depth nested folders named name below relative, each holding one file "f" of
    // bytesPerLevel bytes; built with names relative to an open folder, so the total path
    // may exceed PATH_MAX. Returns the full path of the deepest folder.
    std::string chain(const std::string &relative, const std::string &name, unsigned depth,
                      std::uint64_t bytesPerLevel) const
    {
        int fd = ::open(path(relative).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        std::string deepest = path(relative);
        for (unsigned level = 0; level < depth && fd >= 0; ++level) {
            if (::mkdirat(fd, name.c_str(), 0755) != 0)
                break;
            const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = child;
            deepest += "/" + name;
            const int file = ::openat(fd, "f", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (file < 0 || ::ftruncate(file, static_cast<off_t>(bytesPerLevel)) != 0)
                fail("chain file", deepest);
            ::close(file);
        }
        if (fd < 0)
            fail("chain", deepest);
        ::close(fd);
        return deepest;
    }

    // An independent total for trees with paths below PATH_MAX: std::filesystem's
    // recursive iterator, counting each (device, inode) of a regular file once.
    [[nodiscard]] static std::uint64_t referenceTotal(const std::string &folder)
    {
        std::uint64_t total = 0;
        std::set<std::pair<dev_t, ino_t>> seen;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(folder)) {
            struct stat info = {};
            if (::lstat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                seen.emplace(info.st_dev, info.st_ino).second)
                total += static_cast<std::uint64_t>(info.st_size);
        }
        return total;
    }

private:
    [[noreturn]] static void fail(const char *what, const std::string &name)
    {
        throw std::runtime_error(std::string(what) + " failed on " + name);
    }

    // Removes folder and everything below it with one descriptor open at a time: down by
    // name, back up through "..", so depth is no limit.
    static void removeAll(const std::string &folder)
    {
        ::chmod(folder.c_str(), 0700);
        int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        std::vector<std::string> names;
        while (fd >= 0) {
            std::string subfolder;
            DIR *listing = ::fdopendir(::dup(fd));
            while (dirent *entry = listing ? ::readdir(listing) : nullptr) {
                const std::string name = entry->d_name;
                if (name == "." || name == "..")
                    continue;
                if (::unlinkat(fd, name.c_str(), 0) != 0 && subfolder.empty())
                    subfolder = name;
            }
            if (listing)
                ::closedir(listing);
            if (!subfolder.empty()) {
                ::fchmodat(fd, subfolder.c_str(), 0700, 0);
                const int child = ::openat(fd, subfolder.c_str(),
                                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (child < 0)
                    break; // cannot go on: leave the rest rather than loop
                ::close(fd);
                fd = child;
                names.push_back(subfolder);
                continue;
            }
            if (names.empty())
                break;
            const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = parent;
            if (fd >= 0)
                ::unlinkat(fd, names.back().c_str(), AT_REMOVEDIR);
            names.pop_back();
        }
        if (fd >= 0)
            ::close(fd);
        ::rmdir(folder.c_str());
    }

    std::string m_root;
};
