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
bool entryExists (const std::string& path)
{
    struct stat info;
    return ::lstat (path.c_str(), &info) == 0;
}

MoveResult resultOfFailedMove (int error, const std::string& from)
{
    if (error == EEXIST)
        return MoveResult::targetExists;

    if (error == ENOENT && ! entryExists (from))
        return MoveResult::sourceMissing;

    return MoveResult::failed;
}

bool folderLists (const std::string& folder, const std::string& name)
{
    auto* dir = ::opendir (folder.c_str());

    if (dir == nullptr)
        return true; // unknown: assume a separate entry, which only costs a suffix

    bool found = false;

    while (auto* entry = ::readdir (dir))
        if ((found = name == entry->d_name))
            break;

    ::closedir (dir);
    return found;
}

// Only called when both paths exist and have different inodes.
bool isCaseAliasOf (const std::string& a, const std::string& b)
{
    const auto nameA = lastComponentOf (a), nameB = lastComponentOf (b);
    const auto folderA = folderOf (a), folderB = folderOf (b);
    struct stat infoA, infoB;

    return nameA != nameB
        && NameSuggestion::fromUTF8 (nameA).equalsIgnoreCase (NameSuggestion::fromUTF8 (nameB))
        && ::stat (folderA.c_str(), &infoA) == 0 && ::stat (folderB.c_str(), &infoB) == 0
        && infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino
        && ! folderLists (folderB, nameB);
}

bool noReplaceRenameIsUnsupported (int error)
{
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

// A name no one else uses, for the short moment a file or history text stands there.
std::string hiddenName (const std::string& folder, const char* tag)
{
    static std::atomic<unsigned> counter { 0 };
    thread_local std::mt19937_64 random { std::random_device{}() };

    char suffix[64];
    std::snprintf (suffix, sizeof (suffix), "%d-%u-%08llx", (int) ::getpid(), counter++,
                   (unsigned long long) (random() & 0xffffffffu));
    return join (folder, std::string (".tarsio-") + tag + "-" + suffix);
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

std::string createHiddenFileWith (const std::string& folder, const std::string& bytes)
{
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const auto path = hiddenName (folder, "history");
        const int fd = ::open (path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);

        if (fd < 0)
        {
            if (errno == EEXIST)
                continue;

            return {};
        }

        // A history that is not wholly on disk is not kept.
        const bool complete = writeAll (fd, bytes) && ::fsync (fd) == 0;

        if (::close (fd) == 0 && complete)
            return path;

        ::unlink (path.c_str());
        return {};
    }

    return {};
}
} // namespace

MoveResult moveWithoutReplacing (const std::string& from, const std::string& to)
{
   #if JUCE_LINUX
    if (::renameat2 (AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return MoveResult::moved;
   #elif JUCE_MAC
    if (::renamex_np (from.c_str(), to.c_str(), RENAME_EXCL) == 0)
        return MoveResult::moved;
   #else
    errno = ENOSYS;
   #endif

    const int error = errno;

    if (noReplaceRenameIsUnsupported (error))
        return moveByLinking (from, to);

    return resultOfFailedMove (error, from);
}

MoveResult moveByLinking (const std::string& from, const std::string& to)
{
    if (::link (from.c_str(), to.c_str()) != 0)
    {
        const int error = errno;

        if (error == EPERM || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP)
            return moveByReserving (from, to);

        return resultOfFailedMove (error, from);
    }

    if (::unlink (from.c_str()) == 0)
        return MoveResult::moved;

    // The old name cannot go: take back the new one, which is ours, so the file keeps one name.
    struct stat old, linked;
    if (::lstat (from.c_str(), &old) == 0 && ::lstat (to.c_str(), &linked) == 0
          && old.st_dev == linked.st_dev && old.st_ino == linked.st_ino)
        ::unlink (to.c_str());

    return MoveResult::failed;
}

MoveResult moveByReserving (const std::string& from, const std::string& to)
{
    if (! entryExists (from))
        return MoveResult::sourceMissing;

    const int fd = ::open (to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);

    if (fd < 0)
        return resultOfFailedMove (errno, from);

    struct stat reservation;
    const bool known = ::fstat (fd, &reservation) == 0;
    ::close (fd);

    if (known && ::rename (from.c_str(), to.c_str()) == 0)
        return MoveResult::moved;

    const int error = errno;

    // Take the reservation back, but only while it is still the empty file made above.
    struct stat now;
    if (known && ::lstat (to.c_str(), &now) == 0 && now.st_dev == reservation.st_dev
          && now.st_ino == reservation.st_ino && now.st_size == 0)
        ::unlink (to.c_str());

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

bool isSameFile (const std::string& a, const std::string& b)
{
    struct stat infoA, infoB;

    if (::lstat (a.c_str(), &infoA) != 0 || ::lstat (b.c_str(), &infoB) != 0)
        return false;

    if (infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino)
        return true;

    return isCaseAliasOf (a, b);
}

bool isFolder (const std::string& path)
{
    struct stat info;
    return ::stat (path.c_str(), &info) == 0 && S_ISDIR (info.st_mode);
}

MoveResult moveOntoOwnAlias (std::string& from, const std::string& to)
{
    std::string hidden;

    for (int attempt = 0;; ++attempt)
    {
        if (attempt == 100)
            return MoveResult::failed;

        hidden = hiddenName (folderOf (from), "rename");
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

std::string saveAsNewFile (const std::string& folder, const std::string& bytes,
                           const std::function<std::string (int)>& nameForAttempt)
{
    const auto hidden = createHiddenFileWith (folder, bytes);

    if (hidden.empty())
        return {};

    for (int attempt = 0;; ++attempt)
    {
        const auto name = nameForAttempt (attempt);
        const auto result = moveWithoutReplacing (hidden, join (folder, name));

        if (result == MoveResult::moved)
            return name;

        if (result != MoveResult::targetExists)
        {
            ::unlink (hidden.c_str());
            return {};
        }
    }
}
} // namespace SafeRename
