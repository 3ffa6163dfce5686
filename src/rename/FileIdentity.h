#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

// What intake took of a file: the directory entry at its path (a regular file, or a link to one) and
// the folder it stood in, as the path resolved then. GO RENAME renames a row only while its path
// still leads, through that folder, to that entry: a folder swapped for a link, a file replaced by
// another file or by a folder meanwhile is left alone. Writing over a file in place keeps it the
// same file.
//
// POSIX only. No shared state; any thread.
struct FileIdentity
{
    struct Inode
    {
        uint64_t device = 0, inode = 0;
        // When the file system gives one, the creation time tells a new file that got a freed inode
        // number from the file it replaced.
        int64_t bornSeconds = 0;
        uint32_t bornNanoseconds = 0;
        bool bornKnown = false;

        bool isSameAs (const Inode& other) const noexcept;
    };

    enum class Match
    {
        same,     // the very entry (or folder) intake took
        missing,  // nothing stands there
        other     // something else stands there, or it cannot be told
    };

    Inode file, folder;
    bool known = false;   // false when no regular file stood at the path

    // Reads what stands at path now.
    static FileIdentity of (const std::string& path);

    // The folder an open handle stands for; false when it cannot be read.
    static bool readFolder (int folderHandle, Inode& folderRead);

    // Whether the entry `name` in the open folder handle is the file intake took.
    Match matchesEntry (int folderHandle, const std::string& name) const;
};

// Path (as listed) to what intake took at it.
using FileIdentities = std::unordered_map<std::string, FileIdentity>;
