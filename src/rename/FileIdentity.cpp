#include "rename/FileIdentity.h"
#include "rename/SafeRename.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace
{
using Inode = FileIdentity::Inode;
using Match = FileIdentity::Match;

enum class Kind { regular, link, folder, other };

// Reads an entry relative to a folder handle (AT_FDCWD: a path), not following a last link unless asked.
bool read (int folderHandle, const char* name, bool followLink, Inode& inode, Kind& kind)
{
    const int flags = followLink ? 0 : AT_SYMLINK_NOFOLLOW;
    mode_t mode = 0;

   #if defined (__linux__)
    struct statx info;
    if (::statx (folderHandle, name, flags | (*name == 0 ? AT_EMPTY_PATH : 0), STATX_TYPE | STATX_INO | STATX_BTIME, &info) != 0)
        return false;

    inode.device = ((uint64_t) info.stx_dev_major << 32) | info.stx_dev_minor;
    inode.inode = info.stx_ino;
    inode.bornKnown = (info.stx_mask & STATX_BTIME) != 0;
    inode.bornSeconds = inode.bornKnown ? info.stx_btime.tv_sec : 0;
    inode.bornNanoseconds = inode.bornKnown ? info.stx_btime.tv_nsec : 0;
    mode = info.stx_mode;
   #else
    struct stat info;
    if (*name == 0 ? ::fstat (folderHandle, &info) != 0 : ::fstatat (folderHandle, name, &info, flags) != 0)
        return false;

    inode.device = (uint64_t) info.st_dev;
    inode.inode = (uint64_t) info.st_ino;
    mode = info.st_mode;
   #endif

    kind = S_ISREG (mode) ? Kind::regular : S_ISLNK (mode) ? Kind::link : S_ISDIR (mode) ? Kind::folder : Kind::other;
    return true;
}

// Call right after read: a failed read leaves its reason in errno.
Match compare (bool found, bool known, const Inode& now, const Inode& taken)
{
    if (! found)
        return errno == ENOENT || errno == ENOTDIR ? Match::missing : Match::other;

    return known && now.isSameAs (taken) ? Match::same : Match::other;
}
} // namespace

bool FileIdentity::Inode::isSameAs (const Inode& other) const noexcept
{
    return device == other.device && inode == other.inode
        && (! bornKnown || ! other.bornKnown || (bornSeconds == other.bornSeconds && bornNanoseconds == other.bornNanoseconds));
}

FileIdentity FileIdentity::of (const std::string& path)
{
    FileIdentity identity;
    Kind kind {}, targetKind {}, folderKind {};
    Inode target;

    // A link is renamed as the link it is, so the entry is what counts; it must lead to a regular file.
    identity.known = read (AT_FDCWD, path.c_str(), false, identity.file, kind)
                  && (kind == Kind::regular || (kind == Kind::link && read (AT_FDCWD, path.c_str(), true, target, targetKind)
                                                                    && targetKind == Kind::regular))
                  && read (AT_FDCWD, SafeRename::folderOf (path).c_str(), true, identity.folder, folderKind)
                  && folderKind == Kind::folder;
    return identity;
}

bool FileIdentity::readFolder (int folderHandle, Inode& folderRead)
{
    Kind kind {};
    return read (folderHandle, "", false, folderRead, kind) && kind == Kind::folder;
}

FileIdentity::Match FileIdentity::matchesEntry (int folderHandle, const std::string& name) const
{
    Inode now;
    Kind kind {};
    const bool found = read (folderHandle, name.c_str(), false, now, kind);
    return compare (found, known, now, file);
}
