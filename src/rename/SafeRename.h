#pragma once

#include <functional>
#include <string>
#include <utility>

#include <fcntl.h>

// File-system moves and file creation that can never replace or delete an existing file, also
// when another program creates the target between a check and the move. Paths are UTF-8 byte
// strings handed to the system unchanged ("~" and ".." get no special treatment here). An entry
// may be named relative to an open folder handle, so that a batch finds its folder once and no
// swapped link on the way can send a move elsewhere.
//
// POSIX only. On Linux a move is renameat2 with RENAME_NOREPLACE, on macOS renamex_np with
// RENAME_EXCL. Where the file system refuses those, a hard link followed by an unlink of the old
// name; where it has no hard links either (FAT and exFAT through FUSE, some network shares), the
// target name is first reserved by creating it exclusively, and the file is renamed over that
// reservation, which is its own.
//
// Threads: no shared state; any thread may call these.
namespace SafeRename
{
// A directory entry: a name relative to an open folder handle, or a path (absolute, or relative to
// the working folder) when the handle is AT_FDCWD.
struct Entry
{
    Entry (const std::string& path) : folder (AT_FDCWD), name (path) {}
    Entry (int folderHandle, std::string nameInFolder) : folder (folderHandle), name (std::move (nameInFolder)) {}

    // The entry `child` in this folder (one named "." is the handle's folder itself).
    Entry child (const std::string& childName) const;

    int folder;
    std::string name;
};

enum class MoveResult
{
    moved,          // the file now stands under the new path, the old name is gone
    targetExists,   // something stands at the new path; nothing was changed
    sourceMissing,  // nothing stands at the old path; nothing was changed
    failed          // the file system refused (missing folder, permissions, another device ...)
};

// Moves the directory entry `from` to `to`, unless `to` exists.
MoveResult moveWithoutReplacing (const Entry& from, const Entry& to);

// The fallback of moveWithoutReplacing for file systems without a no-replace rename: a hard link,
// which also refuses an existing target, then the removal of the old name.
MoveResult moveByLinking (const Entry& from, const Entry& to);

// The last fallback: reserves `to` with an exclusive create, then renames over the reservation.
MoveResult moveByReserving (const Entry& from, const Entry& to);

// Path parts, split on '/' only: the folder ("." for a bare name, "/" at the root), the last
// component, and a folder joined with a name as it is ("~", a leading "/" or ".." get no meaning).
std::string folderOf (const std::string& path);
std::string lastComponentOf (const std::string& path);
std::string join (const std::string& folder, const std::string& name);

// True when both entries reach the same file on disk: same device and inode. Symbolic links are not
// followed, so a link is never "the same file" as what it points to. File systems that number files
// by the name they were asked for (FUSE ones such as exFAT) give a case-insensitive alias its own
// inode; there the alias is recognised by its spelling: its folder is the other entry's folder, it
// differs from the other name only in letter case, and the folder lists no entry spelt like it.
bool isSameFile (const Entry& a, const Entry& b);

// Gives a file another spelling of the name it already has on disk (kick1.wav to KICK1.wav on a
// case-insensitive file system, or any entry that resolves to the same file), by way of a hidden
// name in the file's folder. Returns targetExists, with the file back under `from`, when `to` is a
// separate entry (a hard link on a case-sensitive file system). If another program takes the
// old name meanwhile, the file stays under its hidden name and `from` is set to it.
MoveResult moveOntoOwnAlias (Entry& from, const Entry& to);

// Writes `bytes` to a new file in `folder` without ever replacing an existing one: the data goes
// to a hidden file first, and only a complete file is moved, without replacing, onto the first free
// name of nameForAttempt (0), nameForAttempt (1), ... Returns the name used, or an empty string
// when nothing could be written; then no partial file is left behind.
std::string saveAsNewFile (const Entry& folder, const std::string& bytes,
                           const std::function<std::string (int attempt)>& nameForAttempt);
} // namespace SafeRename
