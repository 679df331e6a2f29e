#pragma once

#include "sizing/GrowthState.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

// Where a folder walk's walker count starts and how it grows, from what the filesystem of the
// walk's root is. Pure: the Linux engine reads the filesystem's magic number (statfs f_type)
// and, for FUSE, the type the mount table gives it ("fuse.sshfs"), and passes them here.
namespace WalkerCountRule {

// What the walk's storage is, as far as the walker count is concerned.
//   Local    a filesystem on a block device or in memory (ext4, xfs, btrfs, tmpfs, ...):
//            cold, it waits on reads that a queue of requests serves faster
//   Fuse     a FUSE daemon on this machine (squashfuse, bindfs, ntfs-3g, ...): many of them
//            answer one request at a time, and more walkers only queue up there
//   Network  a network filesystem (NFS, CIFS/SMB, sshfs, ...): each request waits a round
//            trip, which more requests in flight hide
enum class Storage { Local, Fuse, Network };

// Magic numbers from linux/magic.h, listed here because not every libc ships them all.
inline constexpr std::uint32_t kFuseMagic = 0x65735546;
inline constexpr std::uint32_t kNetworkMagics[] = {
    0x00006969, // nfs
    0xff534d42, // cifs
    0xfe534d42, // smb2 / smb3
    0x0000517b, // smbfs
    0x5346414f, // afs
    0x00c36400, // ceph
    0x01021997, // 9p (v9fs)
    0x73757245, // coda
    0x0000564c, // ncpfs
};

// FUSE daemons whose requests go over a network (the mount table names them fuse.NAME).
inline constexpr std::string_view kNetworkFuse[] = {
    "sshfs", "rclone", "s3fs", "gcsfuse", "glusterfs", "davfs", "curlftpfs", "smbnetfs",
};

// The storage of a filesystem whose statfs magic number is type; mountType is the type the
// mount table gives it ("fuse.sshfs", "nfs4"; may be empty when unknown). An unknown magic
// number counts as local: that is where the walk's default belongs.
[[nodiscard]] inline Storage storageOf(std::uint32_t type, std::string_view mountType)
{
    if (std::find(std::begin(kNetworkMagics), std::end(kNetworkMagics), type) !=
        std::end(kNetworkMagics))
        return Storage::Network;
    if (type != kFuseMagic)
        return Storage::Local;
    constexpr std::string_view prefix = "fuse.";
    if (mountType.substr(0, prefix.size()) == prefix) {
        const std::string_view daemon = mountType.substr(prefix.size());
        if (std::find(std::begin(kNetworkFuse), std::end(kNetworkFuse), daemon) !=
            std::end(kNetworkFuse))
            return Storage::Network;
    }
    return Storage::Fuse;
}

// The walkers a walk starts with and the rule that then chooses their count.
struct Start
{
    unsigned walkers = 1;
    GrowthRule rule;
};

// How a walk on storage starts, on a machine with cores processors for it, growing to at most
// `most` walkers:
//   Local    one walker per core, and eager growth: the count doubles at every 20 ms interval
//            in which the walkers sleep in the kernel and leave processors idle, as a cold disk
//            wants; half the count is then tried and kept when it is as fast (past 16 walkers
//            a cold /usr gets slower).
//   Fuse     one walker, and a doubling is kept only when it is 25 % faster over three rounds
//            of 100 ms measurements and in every one of them: a daemon's single 20 ms samples
//            differ by up to 25 times as the walk moves between shallow and deep folders. A
//            kept doubling is checked again by a halving trial.
//   Network  eight walkers (a round trip of a few milliseconds against the microseconds a
//            request costs here: requests in flight are what helps), and eager growth as on a
//            local disk.
[[nodiscard]] inline Start startFor(Storage storage, unsigned cores, unsigned most)
{
    cores = std::max(1U, cores);
    most = std::max(1U, most);
    Start start;
    start.rule.most = most;
    start.rule.cores = cores;
    switch (storage) {
    case Storage::Local:
        start.walkers = cores;
        start.rule.eager = true;
        start.rule.keep = 1.0;
        break;
    case Storage::Fuse:
        start.walkers = 1;
        start.rule.window = 6;
        start.rule.trialRounds = 3;
        start.rule.gain = 0.25;
        start.rule.wins = 3;
        start.rule.clear = 1.3;
        start.rule.clearMore = false;
        break;
    case Storage::Network:
        start.walkers = 8;
        start.rule.eager = true;
        start.rule.keep = 1.0;
        break;
    }
    start.walkers = std::min(start.walkers, most);
    return start;
}

} // namespace WalkerCountRule
