#include "rules/SafeFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace SafeFileWriter
{
namespace
{
class ScopedFd final
{
public:
    explicit ScopedFd (int descriptor) noexcept : fd (descriptor) {}
    ~ScopedFd() { if (fd >= 0) ::close (fd); }

    // Closes now and says whether the last buffered write made it (NFS reports errors here).
    bool close() noexcept
    {
        const bool ok = ::close (fd) == 0;
        fd = -1;
        return ok;
    }

    int fd;

private:
    JUCE_DECLARE_NON_COPYABLE (ScopedFd)
};

// Repeats a positioned read or write until all of size has moved; false on an error or an early end.
template <typename Transfer>
bool transferAll (size_t size, Transfer&& transfer)
{
    for (size_t done = 0; done < size;)
    {
        const auto moved = transfer (done, size - done);

        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0)
            return false;

        done += (size_t) moved;
    }

    return true;
}

bool writeFromStart (int fd, const char* data, size_t size)
{
    return transferAll (size, [&] (size_t done, size_t left) { return ::pwrite (fd, data + done, left, (off_t) done); });
}

bool readFromStart (int fd, char* data, size_t size)
{
    return transferAll (size, [&] (size_t done, size_t left) { return ::pread (fd, data + done, left, (off_t) done); });
}

// The file that chosen leads to as the system resolves it, every symbolic link followed (a relative
// link from the folder it really stands in, whatever linked folder led to it), also when the last
// link leads to a file that does not exist yet. The empty file for a loop or a missing folder.
juce::File followLinks (const juce::File& chosen)
{
    auto path = chosen.getFullPathName().toStdString();

    for (int hops = 0; hops < 40; ++hops)
    {
        std::vector<char> resolved (PATH_MAX + 1);
        if (::realpath (path.c_str(), resolved.data()) != nullptr)
            return juce::File (juce::String::fromUTF8 (resolved.data()));

        // Not there (yet): its folder must be, and its name may be a link that leads nowhere yet.
        const auto slash = path.find_last_of ('/');
        if (slash == std::string::npos || ::realpath (path.substr (0, std::max<size_t> (slash, 1)).c_str(), resolved.data()) == nullptr)
            return {};

        const std::string folder (resolved.data());
        const auto file = (folder == "/" ? std::string() : folder) + "/" + path.substr (slash + 1);

        struct stat info {};
        if (::lstat (file.c_str(), &info) != 0 || ! S_ISLNK (info.st_mode))
            return juce::File (juce::String::fromUTF8 (file.c_str()));

        std::vector<char> target (PATH_MAX + 1);
        const auto length = ::readlink (file.c_str(), target.data(), target.size());
        if (length <= 0 || (size_t) length >= target.size())
            return {};

        const std::string link (target.data(), (size_t) length);
        path = link.front() == '/' ? link : (folder == "/" ? std::string() : folder) + "/" + link;
    }

    return {};
}

// In place, so that every hard link sees the new content. Room for it is taken first, and the
// bytes it overwrites are kept until it is all written, to be put back if writing fails.
bool overwriteInPlace (const juce::File& target, const char* data, size_t size)
{
    ScopedFd file (::open (target.getFullPathName().toRawUTF8(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};

    if (file.fd < 0 || ::fstat (file.fd, &info) != 0 || ! S_ISREG (info.st_mode))
        return false;

    const auto oldSize = (size_t) info.st_size;
    std::vector<char> overwritten (std::min (oldSize, size));

    if (! readFromStart (file.fd, overwritten.data(), overwritten.size()))
        return false;

    if (size > oldSize && ::fallocate (file.fd, FALLOC_FL_KEEP_SIZE, 0, (off_t) size) != 0
        && errno != EOPNOTSUPP && errno != ENOSYS)
        return false;

    if (writeFromStart (file.fd, data, size) && ::ftruncate (file.fd, (off_t) size) == 0 && ::fsync (file.fd) == 0)
        return file.close();

    writeFromStart (file.fd, overwritten.data(), overwritten.size());
    (void) ::ftruncate (file.fd, (off_t) oldSize);
    (void) ::fsync (file.fd);
    return false;
}

enum class Outcome { written, failed, folderTakesNoFile, ownerNotKept };

// A new file beside the target, given the target's mode and owner, renamed over it once complete.
Outcome replaceByRename (const juce::File& target, const struct stat* existing, const char* data, size_t size)
{
    const auto folder = target.getParentDirectory();
    juce::File temporary;
    juce::Random random;
    int fd = -1;

    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        temporary = folder.getChildFile ("." + target.getFileName() + ".save-"
                                         + juce::String::toHexString (random.nextInt()));
        // A new file gets the mode that the umask gives every new file.
        fd = ::open (temporary.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                     existing != nullptr ? 0600 : 0666);

        if (fd < 0 && errno != EEXIST)
            return (errno == EACCES || errno == EPERM) ? Outcome::folderTakesNoFile : Outcome::failed;
    }

    ScopedFd file (fd);

    if (file.fd < 0)
        return Outcome::failed;

    if (existing != nullptr)
    {
        // The owner first: changing it may clear set-id bits that the mode then restores.
        (void) ::fchown (file.fd, existing->st_uid, existing->st_gid);
        (void) ::fchmod (file.fd, existing->st_mode & 07777);

        // Someone else's file (or group) cannot be given to a new file: it is written in place instead.
        struct stat made {};
        if (::fstat (file.fd, &made) != 0 || made.st_uid != existing->st_uid || made.st_gid != existing->st_gid
            || (made.st_mode & 07777) != (existing->st_mode & 07777))
        {
            ::unlink (temporary.getFullPathName().toRawUTF8());
            return Outcome::ownerNotKept;
        }
    }

    const bool complete = writeFromStart (file.fd, data, size) && ::fsync (file.fd) == 0;

    if (file.close() && complete
        && ::rename (temporary.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) == 0)
        return Outcome::written;

    ::unlink (temporary.getFullPathName().toRawUTF8());
    return Outcome::failed;
}
} // namespace

bool write (const juce::File& chosen, const void* data, size_t size)
{
    const auto target = followLinks (chosen);
    const auto* bytes = static_cast<const char*> (data);

    if (target == juce::File())
        return false;

    struct stat info {};
    const bool exists = ::stat (target.getFullPathName().toRawUTF8(), &info) == 0;

    if (! exists && errno != ENOENT)
        return false;

    // Only a regular file takes rules: never a folder, a device or a pipe (which would block).
    if (exists && (! S_ISREG (info.st_mode) || ::access (target.getFullPathName().toRawUTF8(), W_OK) != 0))
        return false;

    if (exists && info.st_nlink > 1)
        return overwriteInPlace (target, bytes, size);

    switch (replaceByRename (target, exists ? &info : nullptr, bytes, size))
    {
        case Outcome::written:              return true;
        // A folder that takes no new file may still hold a writable file.
        case Outcome::folderTakesNoFile:
        case Outcome::ownerNotKept:         return exists && overwriteInPlace (target, bytes, size);
        case Outcome::failed:               break;
    }

    return false;
}
} // namespace SafeFileWriter
