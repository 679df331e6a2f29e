// What the filesystem of a walk's root is, for the walker count: the mount table's type of
// a device, and the storage of a real folder.

#if defined(__linux__)

#include "sizing/linux/StorageProbe.h"

#include "SizeTestTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace {

TEST(StorageProbeTest, MountTypeOfADeviceFromTheMountTable)
{
    const std::string table =
        "22 1 254:1 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
        "40 22 0:35 / /proc rw,nosuid - proc proc rw\n"
        "61 22 0:52 / /mnt/my\\040share rw,nosuid,nodev shared:30 master:2 - fuse.sshfs "
        "me@host:/ rw,user_id=0\n"
        "62 22 0:53 / /mnt/image ro,nosuid,nodev - fuse.squashfuse squashfuse ro\n"
        "63 22 0:54 / /mnt/nfs rw - nfs4 server:/export rw,vers=4.2\n"
        "64 62 0:53 /sub /mnt/again ro - fuse.squashfuse squashfuse ro\n"
        "65 22 0:55 / /mnt/over rw - fuse.bindfs /srv rw\n"
        "66 22 0:55 / /mnt/over rw - fuseblk /dev/sdb1 rw\n"
        "67 22 0:56 / /mnt/short rw"; // cut short: no type
    const struct
    {
        unsigned major;
        unsigned minor;
        const char *expected;
    } cases[] = {
        {254, 1, "ext4"},
        {0, 52, "fuse.sshfs"},      // optional fields and an escaped space before the type
        {0, 53, "fuse.squashfuse"}, // a bind mount of the same device
        {0, 54, "nfs4"},
        {0, 55, "fuseblk"}, // mounted over: the last mount is the one seen
        {0, 56, ""},
        {0, 5, ""}, // not mounted; 0:5 is not 0:52's prefix
        {25, 1, ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(StorageProbe::mountTypeIn(table, c.major, c.minor), c.expected)
            << c.major << ":" << c.minor;
    }
    EXPECT_EQ(StorageProbe::mountTypeIn("", 0, 52), "");
}

TEST(StorageProbeTest, AFolderOnTheTestMachinesDiskIsLocal)
{
    // The test folders live on the machine's disk or in memory (ext4, tmpfs, overlay).
    SizeTestTree tree;
    tree.folder("t");
    const std::string path = tree.path("t");
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << path;
    const std::uint32_t type = StorageProbe::filesystemType(fd);
    EXPECT_NE(type, 0U);
    EXPECT_EQ(StorageProbe::storageOf(fd, type), WalkerCountRule::Storage::Local);
    EXPECT_EQ(StorageProbe::storageOf(fd, WalkerCountRule::kFuseMagic),
              WalkerCountRule::Storage::Fuse)
        << "a FUSE magic number with a device the mount table calls ext4";
    ::close(fd);
}

} // namespace

#endif
