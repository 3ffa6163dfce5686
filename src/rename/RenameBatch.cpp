#include "rename/RenameBatch.h"
#include "rename/NameSuggestion.h"
#include "rename/SafeRename.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using SafeRename::MoveResult;
using SafeRename::folderOf;
using SafeRename::join;
using SafeRename::lastComponentOf;

juce::String text (const std::string& utf8)
{
    return NameSuggestion::fromUTF8 (utf8);
}

// The extension with its dot, letter case kept; empty when the last component has no dot.
std::string_view extensionOf (const std::string& path)
{
    const auto dot = path.rfind ('.');
    const auto slash = path.rfind ('/');

    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};

    return std::string_view (path).substr (dot);
}

// The folders of one batch (paths as listed), each opened once when its first file is moved and
// checked against the folder intake saw; the moves are then made relative to the handle, so no link
// swapped in on the way can send one elsewhere.
class BatchFolders final
{
public:
    BatchFolders() = default;
    ~BatchFolders() { closeAll(); }

    // The number of the folder of path, adding it on its first use. Rows of one folder mostly come
    // together: the last folder is found without hashing its name.
    int numberOf (const std::string& path)
    {
        const auto slash = path.rfind ('/');
        const auto folder = slash == std::string::npos ? std::string_view (".")
                              : std::string_view (path).substr (0, slash == 0 ? 1 : slash);

        if (! folders.empty() && folders[(size_t) lastNumber].path == folder)
            return lastNumber;

        const auto [found, added] = numbers.emplace (std::string (folder), (int) folders.size());

        if (added)
            folders.emplace_back().path = found->first;

        return lastNumber = found->second;
    }

    // A handle on folder `number` while it is the folder intake saw for a file (any folder standing
    // there for a file intake did not take, which then fails by its entry); else -1, and `why` says
    // whether the folder is gone or another one stands there.
    // `beforeLettingGo` is called before handles are closed, and returns once no move uses them.
    template <typename BeforeLettingGo>
    int open (int number, const FileIdentity& identity, MoveResult& why, BeforeLettingGo&& beforeLettingGo)
    {
        auto& folder = folders[(size_t) number];

        if (! folder.tried)
        {
            // Folders stay open until the batch ends; a batch over very many folders starts afresh.
            if (openCount >= 256)
            {
                beforeLettingGo();
                closeAll();
            }

            folder.tried = true;
            folder.fd = ::open (folder.path.c_str(), kFolderFlags);
            folder.error = errno;

            if (folder.fd >= 0 && ! FileIdentity::readFolder (folder.fd, folder.inode))
            {
                ::close (folder.fd);
                folder.fd = -1;
                folder.error = EIO;
            }

            openCount += folder.fd >= 0 ? 1 : 0;
        }

        if (folder.fd < 0)
            why = folder.error == ENOENT || folder.error == ENOTDIR ? MoveResult::sourceMissing : MoveResult::failed;
        else if (identity.known && ! folder.inode.isSameAs (identity.folder))
            why = MoveResult::failed;
        else
            return folder.fd;

        return -1;
    }

   #ifdef O_PATH
    static constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
   #else
    static constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
   #endif

private:
    struct Folder
    {
        std::string path;
        bool tried = false;
        int fd = -1;
        int error = 0;
        FileIdentity::Inode inode;
    };

    void closeAll()
    {
        for (auto& folder : folders)
        {
            if (folder.fd >= 0)
                ::close (folder.fd);

            folder.fd = -1;
            folder.tried = false;
        }

        openCount = 0;
    }

    std::vector<Folder> folders;
    std::unordered_map<std::string, int> numbers;
    int lastNumber = 0;
    int openCount = 0;

    JUCE_DECLARE_NON_COPYABLE (BatchFolders)
};

// A name may lead into an existing subfolder of the file's folder ("sub/Kick"), never above it or
// elsewhere: no ".." anywhere (not even one that comes back), no leading "/", and a last part that
// names a file ("sub/" would make a hidden ".wav").
bool namesAFileBelow (const std::string& name)
{
    if (name.empty() || name.front() == '/')
        return false;

    for (size_t start = 0;; )
    {
        const auto end = name.find ('/', start);
        const auto part = std::string_view (name).substr (start, end - start);

        if (part == "..")
            return false;

        if (end == std::string::npos)
            return ! part.empty() && part != ".";

        start = end + 1;
    }
}

// The folder a name's last part goes into: the file's own folder, or the subfolder its folder parts
// lead to, each opened relative to the last and without following a link, so that a folder part
// swapped for a link meanwhile cannot lead elsewhere.
class TargetFolder final
{
public:
    TargetFolder (int fileFolder, const std::string& folderPart) : handle (fileFolder)
    {
        if (folderPart.empty())
            return;

        handle = ::openat (fileFolder, ".", BatchFolders::kFolderFlags);

        for (size_t start = 0; start < folderPart.size() && handle >= 0; )
        {
            const auto end = folderPart.find ('/', start);
            const auto part = folderPart.substr (start, end - start);
            start = end + 1;

            if (part.empty())
                continue;

            const int next = ::openat (handle, part.c_str(), BatchFolders::kFolderFlags | O_NOFOLLOW);
            ::close (handle);
            handle = next;
        }

        owned = handle >= 0;
    }

    ~TargetFolder()
    {
        if (owned)
            ::close (handle);
    }

    int handle;

private:
    bool owned = false;

    JUCE_DECLARE_NON_COPYABLE (TargetFolder)
};

// An open handle, closed with its owner.
struct Handle
{
    explicit Handle (int fdToOwn) : fd (fdToOwn) {}
    ~Handle() { if (fd >= 0) ::close (fd); }

    const int fd;

    JUCE_DECLARE_NON_COPYABLE (Handle)
};

// One row's move: the file's folder once the file is found there as intake took it, then what the
// move did.
struct Move
{
    int folder = -1;   // handle on the checked folder; -1 when the row is skipped or fails its checks
    MoveResult result = MoveResult::failed;
};

// Below this, a second thread costs more than the lookups it takes over.
constexpr size_t kRowsWorthAThread = 256;

// How far the checks may run ahead of the moves: a file is moved at most this many rows after it
// was last found to be the one intake took.
constexpr size_t kRowsCheckedAhead = 32;

// Moves the file to the first free one of leaf+ext, leaf_1+ext, leaf_2+ext ... in `targetFolder`;
// a name that is the file itself ends the search. Sets `target` to the name it got.
MoveResult moveToFreeName (SafeRename::Entry source, int targetFolder, std::string_view leaf,
                           std::string_view extension, std::string& target)
{
    for (int suffix = 0;; ++suffix)
    {
        target.assign (leaf);

        if (suffix > 0)
            target.append ("_").append (std::to_string (suffix));

        target.append (extension);
        const SafeRename::Entry to { targetFolder, target };

        if (to.folder == source.folder && to.name == source.name)
            return MoveResult::moved;

        auto result = SafeRename::moveWithoutReplacing (source, to);

        if (result == MoveResult::targetExists && SafeRename::isSameFile (source, to))
            result = SafeRename::moveOntoOwnAlias (source, to);

        if (result != MoveResult::targetExists)
            return result;
    }
}

// Moves a file found as intake took it (in `folder`) to its row's name. Sets `target` to the new
// name in its folder.
MoveResult moveCheckedFile (int folder, const std::string& path, const std::string& name, std::string& target)
{
    const auto slash = name.rfind ('/');
    const auto leafStart = slash == std::string::npos ? 0 : slash + 1;
    const TargetFolder into (folder, name.substr (0, leafStart));
    return into.handle >= 0 ? moveToFreeName ({ folder, lastComponentOf (path) }, into.handle, std::string_view (name).substr (leafStart),
                                              extensionOf (path), target)
                            : MoveResult::failed;
}

// Names as the history shows them: one line each, whatever the file system allowed in them, and a
// byte that is not UTF-8 written as "\xFC", so that names differing only there stay apart.
void appendOnOneLine (std::string& history, const std::string& name)
{
    for (size_t i = 0; i < name.size();)
    {
        // Printable ASCII, most of any name, goes over in runs.
        auto end = i;
        while (end < name.size() && name[end] >= 0x20 && name[end] < 0x7f)
            ++end;

        if (end > i)
        {
            history.append (name, i, end - i);
            i = end;
            continue;
        }

        juce::juce_wchar c = 0;
        const auto length = NameSuggestion::utf8SequenceAt (name, i, c);
        char escaped[8];

        if (length == 0 && std::snprintf (escaped, sizeof (escaped), "\\x%02X", (unsigned) (unsigned char) name[i]) > 0)
            history += escaped;
        else if (NameSuggestion::isControlCharacter (c))
            history += '?';
        else
            history.append (name, i, length);

        i += std::max (length, (size_t) 1);
    }
}

std::string historyFileName (int attempt)
{
    return attempt == 0 ? std::string ("Tarsio.txt") : "Tarsio_" + std::to_string (attempt + 1) + ".txt";
}
} // namespace

juce::String RenameBatch::dateLine (juce::Time batchTime)
{
    const auto twoDigits = [] (int value) { return juce::String (value).paddedLeft ('0', 2); };

    return "Date: " + juce::String (batchTime.getYear())
         + "-" + twoDigits (batchTime.getMonth() + 1)
         + "-" + twoDigits (batchTime.getDayOfMonth())
         + " " + twoDigits (batchTime.getHours())
         + ":" + twoDigits (batchTime.getMinutes())
         + ":" + twoDigits (batchTime.getSeconds());
}

RenameBatch::Result RenameBatch::run (const std::vector<std::string>& filePaths,
                                      const std::map<std::string, std::string>& newNames,
                                      const FileIdentities& identities,
                                      juce::Time batchTime)
{
    Result result;
    const auto count = filePaths.size();
    result.rows.resize (count);
    std::vector<Move> moves (count);
    BatchFolders folders;
    const FileIdentity unknown;

    const auto identityOf = [&] (const std::string& path) -> const FileIdentity&
    {
        const auto found = identities.find (path);
        return found != identities.end() ? found->second : unknown;
    };

    // The history's folder, as intake saw it, is found before any file moves, and held: the batch
    // may let go of its other folders.
    int firstFolder = -1;

    if (count > 0 && identityOf (filePaths.front()).known)
    {
        auto ignored = MoveResult::failed;
        firstFolder = folders.open (folders.numberOf (filePaths.front()), identityOf (filePaths.front()), ignored, [] {});
    }

    const Handle historyFolder (firstFolder < 0 ? -1 : ::fcntl (firstFolder, F_DUPFD_CLOEXEC, 0));

    std::atomic<size_t> prepared { 0 }, moved { 0 };
    std::atomic<bool> abandoned { false };

    // False when the batch was abandoned meanwhile.
    const auto waitUntil = [&abandoned] (const std::atomic<size_t>& counter, size_t atLeast)
    {
        while (counter.load (std::memory_order_acquire) < atLeast)
        {
            if (abandoned.load (std::memory_order_relaxed))
                return false;

            std::this_thread::yield();
        }

        return true;
    };

    // A row's name is looked up and cleaned, and its file checked, ahead of its move.
    const auto prepare = [&] (size_t i)
    {
        auto& row = result.rows[i];
        auto& move = moves[i];
        row.path = filePaths[i];
        const int number = folders.numberOf (row.path);

        // GO RENAME may be clicked with the focus still in a name field: the name is cleaned here too.
        if (const auto entry = newNames.find (row.path); entry != newNames.end())
            row.name = NameSuggestion::replacingControlCharacters (entry->second, "");

        if (NameSuggestion::isBlank (row.name))
        {
            row.outcome = Outcome::skippedEmptyName;
            return;
        }

        if (! namesAFileBelow (row.name))
            return;

        const auto& identity = identityOf (row.path);
        const int folder = folders.open (number, identity, move.result, [&] { waitUntil (moved, i); });

        if (folder < 0)
            return;

        const auto match = identity.matchesEntry (folder, lastComponentOf (row.path));

        if (match == FileIdentity::Match::same)
            move.folder = folder;
        else
            move.result = match == FileIdentity::Match::missing ? MoveResult::sourceMissing : MoveResult::failed;
    };

    const auto moveRow = [&] (size_t i)
    {
        auto& row = result.rows[i];

        if (moves[i].folder >= 0)
            moves[i].result = moveCheckedFile (moves[i].folder, row.path, row.name, row.newFileName);

        moved.store (i + 1, std::memory_order_release);
    };

    // With many rows the lookups and checks run on a second thread a few rows ahead of the moves:
    // they miss the caches that the renames keep emptying, and there they cost the batch nothing.
    std::exception_ptr preparerFailure;
    std::thread preparer;
    const struct Joined
    {
        std::thread& thread;
        std::atomic<bool>& abandoned;
        ~Joined() { abandoned = true; if (thread.joinable()) thread.join(); }
    } joined { preparer, abandoned };

    try
    {
        if (count >= kRowsWorthAThread)
            preparer = std::thread ([&]
            {
                try
                {
                    for (size_t i = 0; i < count; ++i)
                    {
                        if (i >= kRowsCheckedAhead && ! waitUntil (moved, i - kRowsCheckedAhead))
                            break;

                        prepare (i);
                        prepared.store (i + 1, std::memory_order_release);
                    }
                }
                catch (...)
                {
                    preparerFailure = std::current_exception();
                    abandoned = true;
                }
            });
    }
    catch (const std::system_error&) {}

    for (size_t i = 0; i < count; ++i)
    {
        if (! preparer.joinable())
            prepare (i);
        else if (! waitUntil (prepared, i + 1))
            break;

        moveRow (i);
    }

    if (preparer.joinable())
        preparer.join();

    if (preparerFailure != nullptr)
        std::rethrow_exception (preparerFailure);

    // Built with CR LF line ends, as the file holds it.
    std::string history = "=== Tarsio - Renaming History ===\r\n"
                        + dateLine (batchTime).toStdString() + "\r\n"
                        "\r\n"
                        "Original Name -> New Name\r\n"
                        "------------------------------\r\n";

    for (size_t i = 0; i < moves.size(); ++i)
    {
        auto& row = result.rows[i];

        if (row.outcome == Outcome::skippedEmptyName)
            continue;

        switch (moves[i].result)
        {
            case MoveResult::moved:
                row.outcome = Outcome::renamed;
                appendOnOneLine (history, lastComponentOf (row.path));
                history += " -> ";
                appendOnOneLine (history, row.newFileName);
                history += "\r\n";
                ++result.renamedCount;
                break;

            case MoveResult::sourceMissing:
                row.outcome = Outcome::notFound;
                row.newFileName.clear();
                ++result.errorCount;
                break;

            case MoveResult::targetExists:
            case MoveResult::failed:
                row.outcome = Outcome::failed;
                row.newFileName.clear();
                ++result.errorCount;
                break;
        }
    }

    if (result.renamedCount > 0 && historyFolder.fd >= 0)
    {
        history += "\r\nTotal: " + std::to_string (result.renamedCount) + " files renamed\r\n";
        result.historyFileName = text (SafeRename::saveAsNewFile ({ historyFolder.fd, "." }, history, historyFileName));
    }

    return result;
}

std::string RenameBatch::Row::newPath() const
{
    if (outcome != Outcome::renamed)
        return {};

    const auto slash = name.rfind ('/');
    return join (folderOf (path), name.substr (0, slash == std::string::npos ? 0 : slash + 1) + newFileName);
}

// Rebuilt from the rows, so that the batch itself spends nothing on texts that are never shown.
juce::StringArray RenameBatch::Result::statusTexts() const
{
    juce::StringArray status { "Processing rename...", "Renaming files..." };

    for (const auto& row : rows)
    {
        const auto formerName = NameSuggestion::extractFileName (row.path);

        if (row.outcome == Outcome::skippedEmptyName)
        {
            status.add ("Skipping file with empty name: " + text (formerName));
            continue;
        }

        status.add (text ("Renaming: " + formerName + " -> " + row.name));

        if (row.outcome == Outcome::renamed)
            status.add (text ("Renamed: " + lastComponentOf (row.path) + " -> " + row.newFileName));
        else if (row.outcome == Outcome::notFound)
            status.add ("Error: File not found - " + text (formerName));
        else
            status.add ("Failed to rename: " + text (formerName));
    }

    if (historyFileName.isNotEmpty())
        status.add ("History saved: " + historyFileName);

    status.add ("Complete: " + juce::String (renamedCount) + " renamed, " + juce::String (errorCount) + " errors");
    status.add (finalStatus());
    return status;
}

// The text seen: it says how many rows failed, where the history really went, or that it could not
// be written.
juce::String RenameBatch::Result::finalStatus() const
{
    if (renamedCount == 0)
        return "No files were renamed";

    const auto errors = errorCount > 0 ? ", " + juce::String (errorCount) + " errors" : juce::String();
    return "Complete: " + juce::String (renamedCount) + " files renamed" + errors
         + (historyFileName.isNotEmpty() ? " - History saved to " + historyFileName : juce::String (" - History not saved"));
}
