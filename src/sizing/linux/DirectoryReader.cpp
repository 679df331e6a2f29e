#include "sizing/linux/DirectoryReader.h"

#include <sys/syscall.h>
#include <unistd.h>

DirectoryReader::DirectoryReader() : m_buffer(std::make_unique_for_overwrite<char[]>(kBufferSize))
{}

long DirectoryReader::read(int fd)
{
    return ::syscall(SYS_getdents64, fd, m_buffer.get(), kBufferSize);
}
