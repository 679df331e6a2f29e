#pragma once

#include <sys/types.h>

#include <cstdint>

// What counting a directory entry needs to know of it: its type and permission bits, its
// apparent size in bytes, its link count and its identity (device, inode).
struct FileFacts
{
    mode_t mode = 0;
    std::uint64_t size = 0;
    std::uint64_t nlink = 0;
    dev_t dev = 0;
    ino_t ino = 0;

    // lstat of name below the open directory dirFd into facts; false with errno set on
    // failure (facts then partly filled or untouched). Never follows a symbolic link, never
    // triggers an automount. Attributes are as fresh as stat(2) gives them: a network or
    // user-space filesystem revalidates what it has cached as it does for stat. Safe from
    // any thread.
    [[nodiscard]] static bool ofEntry(int dirFd, const char *name, FileFacts &facts);
};
