#include "rename/SafeRename.h"
#include "rename/NameSuggestion.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if JUCE_WINDOWS
 #error "SafeRename needs a POSIX file system interface"
#endif

namespace SafeRename
{
namespace
{
// Reads the entry itself: a link is not followed.
bool readEntry (const Entry& entry, struct stat& info)
{
    return ::fstatat (entry.folder, entry.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool entryExists (const Entry& entry)
{
    struct stat info;
    return readEntry (entry, info);
}

// The folder an entry stands in, as an entry of the same handle.
Entry folderEntryOf (const Entry& entry)
{
    return { entry.folder, folderOf (entry.name) };
}

MoveResult resultOfFailedMove (int error, const Entry& from)
{
    if (error == EEXIST)
        return MoveResult::targetExists;

    if (error == ENOENT && ! entryExists (from))
        return MoveResult::sourceMissing;

    return MoveResult::failed;
}

bool folderLists (const Entry& folder, const std::string& name)
{
    const int fd = ::openat (folder.folder, folder.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    auto* dir = fd >= 0 ? ::fdopendir (fd) : nullptr;

    if (dir == nullptr)
    {
        if (fd >= 0)
            ::close (fd);

        return true; // unknown: assume a separate entry, which only costs a suffix
    }

    bool found = false;

    while (auto* entry = ::readdir (dir))
        if ((found = name == entry->d_name))
            break;

    ::closedir (dir);
    return found;
}

// Only called when both entries exist and have different inodes.
bool isCaseAliasOf (const Entry& a, const Entry& b)
{
    const auto nameA = lastComponentOf (a.name), nameB = lastComponentOf (b.name);
    const auto folderA = folderEntryOf (a), folderB = folderEntryOf (b);
    struct stat infoA, infoB;

    return nameA != nameB
        && NameSuggestion::fromUTF8 (nameA).equalsIgnoreCase (NameSuggestion::fromUTF8 (nameB))
        && ::fstatat (folderA.folder, folderA.name.c_str(), &infoA, 0) == 0
        && ::fstatat (folderB.folder, folderB.name.c_str(), &infoB, 0) == 0
        && infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino
        && ! folderLists (folderB, nameB);
}

bool noReplaceRenameIsUnsupported (int error)
{
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

// A name no one else uses, for the short moment a file or history text stands there.
Entry hiddenEntry (const Entry& folder, const char* tag)
{
    static std::atomic<unsigned> counter { 0 };
    thread_local std::mt19937_64 random { std::random_device{}() };

    char suffix[64];
    std::snprintf (suffix, sizeof (suffix), "%d-%u-%08llx", (int) ::getpid(), counter++,
                   (unsigned long long) (random() & 0xffffffffu));
    return folder.child (std::string (".tarsio-") + tag + "-" + suffix);
}

bool writeAll (int fd, const std::string& bytes)
{
    const char* data = bytes.data();
    size_t left = bytes.size();

    while (left > 0)
    {
        const auto written = ::write (fd, data, left);

        if (written < 0 && errno == EINTR)
            continue;

        if (written <= 0)
            return false;

        data += written;
        left -= (size_t) written;
    }

    return true;
}

// Returns the entry written, or one with an empty name.
Entry createHiddenFileWith (const Entry& folder, const std::string& bytes)
{
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const auto hidden = hiddenEntry (folder, "history");
        const int fd = ::openat (hidden.folder, hidden.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);

        if (fd < 0)
        {
            if (errno == EEXIST)
                continue;

            return { folder.folder, {} };
        }

        // A history that is not wholly on disk is not kept.
        const bool complete = writeAll (fd, bytes) && ::fsync (fd) == 0;

        if (::close (fd) == 0 && complete)
            return hidden;

        ::unlinkat (hidden.folder, hidden.name.c_str(), 0);
        break;
    }

    return { folder.folder, {} };
}
} // namespace

Entry Entry::child (const std::string& childName) const
{
    return { folder, name.empty() || name == "." ? childName : join (name, childName) };
}

MoveResult moveWithoutReplacing (const Entry& from, const Entry& to)
{
   #if JUCE_LINUX
    if (::renameat2 (from.folder, from.name.c_str(), to.folder, to.name.c_str(), RENAME_NOREPLACE) == 0)
        return MoveResult::moved;
   #elif JUCE_MAC
    if (::renameatx_np (from.folder, from.name.c_str(), to.folder, to.name.c_str(), RENAME_EXCL) == 0)
        return MoveResult::moved;
   #else
    errno = ENOSYS;
   #endif

    const int error = errno;

    if (noReplaceRenameIsUnsupported (error))
        return moveByLinking (from, to);

    return resultOfFailedMove (error, from);
}

MoveResult moveByLinking (const Entry& from, const Entry& to)
{
    if (::linkat (from.folder, from.name.c_str(), to.folder, to.name.c_str(), 0) != 0)
    {
        const int error = errno;

        if (error == EPERM || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP)
            return moveByReserving (from, to);

        return resultOfFailedMove (error, from);
    }

    if (::unlinkat (from.folder, from.name.c_str(), 0) == 0)
        return MoveResult::moved;

    // The old name cannot go: take back the new one, which is ours, so the file keeps one name.
    struct stat old, linked;
    if (readEntry (from, old) && readEntry (to, linked)
          && old.st_dev == linked.st_dev && old.st_ino == linked.st_ino)
        ::unlinkat (to.folder, to.name.c_str(), 0);

    return MoveResult::failed;
}

MoveResult moveByReserving (const Entry& from, const Entry& to)
{
    if (! entryExists (from))
        return MoveResult::sourceMissing;

    const int fd = ::openat (to.folder, to.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);

    if (fd < 0)
        return resultOfFailedMove (errno, from);

    struct stat reservation;
    const bool known = ::fstat (fd, &reservation) == 0;
    ::close (fd);

    if (known && ::renameat (from.folder, from.name.c_str(), to.folder, to.name.c_str()) == 0)
        return MoveResult::moved;

    const int error = errno;

    // Take the reservation back, but only while it is still the empty file made above.
    struct stat now;
    if (known && readEntry (to, now) && now.st_dev == reservation.st_dev
          && now.st_ino == reservation.st_ino && now.st_size == 0)
        ::unlinkat (to.folder, to.name.c_str(), 0);

    return error == ENOENT && ! entryExists (from) ? MoveResult::sourceMissing : MoveResult::failed;
}

std::string folderOf (const std::string& path)
{
    const auto slash = path.rfind ('/');

    if (slash == std::string::npos)
        return ".";

    return slash == 0 ? std::string ("/") : path.substr (0, slash);
}

std::string lastComponentOf (const std::string& path)
{
    const auto slash = path.rfind ('/');
    return slash == std::string::npos ? path : path.substr (slash + 1);
}

std::string join (const std::string& folder, const std::string& name)
{
    return (! folder.empty() && folder.back() == '/') ? folder + name : folder + "/" + name;
}

bool isSameFile (const Entry& a, const Entry& b)
{
    struct stat infoA, infoB;

    if (! readEntry (a, infoA) || ! readEntry (b, infoB))
        return false;

    if (infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino)
        return true;

    return isCaseAliasOf (a, b);
}

MoveResult moveOntoOwnAlias (Entry& from, const Entry& to)
{
    const auto slash = from.name.rfind ('/');
    const Entry folder { from.folder, slash == std::string::npos ? std::string() : from.name.substr (0, slash + 1) };
    Entry hidden { from.folder, {} };

    for (int attempt = 0;; ++attempt)
    {
        if (attempt == 100)
            return MoveResult::failed;

        hidden = hiddenEntry (folder, "rename");
        const auto result = moveWithoutReplacing (from, hidden);

        if (result == MoveResult::moved)
            break;

        if (result != MoveResult::targetExists)
            return result;
    }

    const auto result = moveWithoutReplacing (hidden, to);

    if (result == MoveResult::moved)
        return result;

    if (moveWithoutReplacing (hidden, from) != MoveResult::moved)
        from = hidden;

    return result == MoveResult::targetExists ? result : MoveResult::failed;
}

std::string saveAsNewFile (const Entry& folder, const std::string& bytes,
                           const std::function<std::string (int)>& nameForAttempt)
{
    const auto hidden = createHiddenFileWith (folder, bytes);

    if (hidden.name.empty())
        return {};

    for (int attempt = 0;; ++attempt)
    {
        const auto name = nameForAttempt (attempt);
        const auto result = moveWithoutReplacing (hidden, folder.child (name));

        if (result == MoveResult::moved)
            return name;

        if (result != MoveResult::targetExists)
        {
            ::unlinkat (hidden.folder, hidden.name.c_str(), 0);
            return {};
        }
    }
}
} // namespace SafeRename
