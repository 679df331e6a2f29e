#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Reads the entries of open directories in batches straight from the kernel (getdents64),
// into a buffer of its own. One object per walker thread; not thread-safe.
class DirectoryReader
{
public:
    // One entry of the last batch: its NUL-terminated name (valid until the next read) and
    // its d_type (DT_UNKNOWN where the filesystem does not fill it).
    struct Entry
    {
        const char *name;
        unsigned char type;
    };

    DirectoryReader();
    DirectoryReader(const DirectoryReader &) = delete;
    DirectoryReader &operator=(const DirectoryReader &) = delete;

    // Reads the next batch of entries of the directory fd: the bytes read (entries lie at
    // offsets 0 up to that length), 0 at the end of the directory, or -1 with errno set.
    [[nodiscard]] long read(int fd);

    // The entry at offset in the last batch (offset below the length read returned);
    // advances offset to the next entry.
    [[nodiscard]] Entry next(long &offset) const
    {
        const char *record = m_buffer.get() + offset;
        const auto *entry = reinterpret_cast<const KernelDirent *>(record);
        offset += entry->reclen;
        return {record + offsetof(KernelDirent, name), entry->type};
    }

    // True for the "." and ".." entries every directory lists.
    [[nodiscard]] static bool isDotOrDotDot(const char *name)
    {
        return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
    }

private:
    // The kernel's record for one directory entry, as getdents64 lays it out.
    struct KernelDirent
    {
        std::uint64_t ino;
        std::int64_t off;
        unsigned short reclen;
        unsigned char type;
        char name[1]; // NUL-terminated, as long as the record
    };

    // getdents64 reads as many entries as fit; 64 KiB holds about a thousand typical names.
    static constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

    std::unique_ptr<char[]> m_buffer;
};
