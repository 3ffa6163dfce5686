// GO RENAME: every file ends under the name it was given, and no file that is not being renamed is
// ever replaced or deleted. Files hold their own names, so a lost or overwritten file shows.
#include "rename/RenameBatch.h"
#include "rename/SafeRename.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace tarsio::test;
using Files = std::map<juce::String, juce::String>;   // relative path -> content

namespace
{
const auto batchClock = juce::Time (2024, 2, 7, 9, 5, 2, 0, true);

struct Folder : TempFolder
{
    std::string path (const juce::String& relative) const { return (*this / relative).getFullPathName().toStdString(); }

    std::string make (const juce::String& relative) const
    {
        (*this / relative).getParentDirectory().createDirectory();
        EXPECT_TRUE ((*this / relative).replaceWithText ("of " + relative, false, false, nullptr));
        return path (relative);
    }

    // Every file below the folder, hidden ones included; a history shows as its renaming lines.
    Files files() const
    {
        Files result;
        for (const auto& entry : juce::RangedDirectoryIterator (get(), true, "*", juce::File::findFiles, juce::File::FollowSymlinks::no))
        {
            const auto content = entry.getFile().loadFileAsString();
            result[entry.getFile().getRelativePathFrom (get())] = ! content.startsWith ("=== Tarsio") ? content
                : content.fromFirstOccurrenceOf ("-\r\n", false, false).upToLastOccurrenceOf ("\r\n\r\nTotal", false, false).replace ("\r\n", "|");
        }
        return result;
    }
};

// What intake takes of the files as they are dropped.
FileIdentities takenIn (const std::vector<std::string>& paths)
{
    FileIdentities identities;
    for (const auto& path : paths)
        identities[path] = FileIdentity::of (path);
    return identities;
}

// The files are taken in, then whatever happens `meanwhile`, then GO RENAME.
RenameBatch::Result runBatch (const Folder& folder, std::initializer_list<std::pair<const char*, const char*>> rows,
                              const std::function<void()>& meanwhile = {})
{
    std::vector<std::string> paths;
    std::map<std::string, std::string> names;
    for (const auto& [file, name] : rows)
        names[paths.emplace_back (folder.path (file))] = name;
    const auto identities = takenIn (paths);
    if (meanwhile)
        meanwhile();
    return RenameBatch::run (paths, names, identities, batchClock);
}

bool createExclusively (const std::string& path, const std::string& content)
{
    const int fd = ::open (path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool written = fd >= 0 && ::write (fd, content.data(), content.size()) == (ssize_t) content.size();
    return fd >= 0 && ::close (fd) == 0 && written;
}

} // namespace

TEST (RenameBatch, EveryFileEndsUnderItsNameAndNoOtherFileIsTouched)
{
    // Far too long for a file name; cleaned in one pass whatever its length.
    std::string longName (100000, 'x');
    longName[50000] = '\t';

    const struct
    {
        std::vector<const char*> files;
        std::initializer_list<std::pair<const char*, const char*>> rows;   // a file not made is missing
        Files after;
        const char* finalStatus;
    } cases[] = {
        { { "take1.wav", "take2.wav", "Kick1_1.wav" }, { { "take1.wav", "Kick1" }, { "take2.wav", "Kick1" } },
          { { "Kick1.wav", "of take1.wav" }, { "Kick1_1.wav", "of Kick1_1.wav" }, { "Kick1_2.wav", "of take2.wav" },
            { "Tarsio.txt", "take1.wav -> Kick1.wav|take2.wav -> Kick1_2.wav" } }, "Complete: 2 files renamed - History saved to Tarsio.txt" },
        // Names differing only in case are other files; a case-only rename needs no suffix.
        { { "kick1.wav", "KICK1.wav", "Kick1.wav", "snare.wav" },
          { { "kick1.wav", "KICK1" }, { "KICK1.wav", "kick1" }, { "snare.wav", "SNARE" } },
          { { "KICK1_1.wav", "of kick1.wav" }, { "kick1.wav", "of KICK1.wav" }, { "Kick1.wav", "of Kick1.wav" }, { "SNARE.wav", "of snare.wav" },
            { "Tarsio.txt", "kick1.wav -> KICK1_1.wav|KICK1.wav -> kick1.wav|snare.wav -> SNARE.wav" } },
          "Complete: 3 files renamed - History saved to Tarsio.txt" },
        // Names as typed, with the file's own extension; a name reaching the file itself keeps it.
        { { "a.wav", "b.wav", "c.WAV", "plain", "e.wav", "take.wav" },
          { { "a.wav", " Kick1 " }, { "b.wav", "Kick2.wav" }, { "c.WAV", "Snare" }, { "plain", "Bass" }, { "e.wav", "~Pad" }, { "take.wav", "take" } },
          { { " Kick1 .wav", "of a.wav" }, { "Kick2.wav.wav", "of b.wav" }, { "Snare.WAV", "of c.WAV" }, { "Bass", "of plain" },
            { "~Pad.wav", "of e.wav" }, { "take.wav", "of take.wav" },
            { "Tarsio.txt", "a.wav ->  Kick1 .wav|b.wav -> Kick2.wav.wav|c.WAV -> Snare.WAV|plain -> Bass|e.wav -> ~Pad.wav|take.wav -> take.wav" } },
          "Complete: 6 files renamed - History saved to Tarsio.txt" },
        // One history, in the first row's folder, under the first free name.
        { { "a/take.wav", "b/take.wav", "b/Tarsio.txt", "b/Tarsio_2.txt" }, { { "b/take.wav", "Snare1" }, { "a/take.wav", "Kick1" } },
          { { "a/Kick1.wav", "of a/take.wav" }, { "b/Snare1.wav", "of b/take.wav" }, { "b/Tarsio.txt", "of b/Tarsio.txt" },
            { "b/Tarsio_2.txt", "of b/Tarsio_2.txt" }, { "b/Tarsio_3.txt", "take.wav -> Snare1.wav|take.wav -> Kick1.wav" } },
          "Complete: 2 files renamed - History saved to Tarsio_3.txt" },
        { { "a.wav" }, { { "a.wav", " \t " }, { "gone.wav", "gone" }, { "a.wav", "\x01\x7f" } }, { { "a.wav", "of a.wav" } }, "No files were renamed" },
        // Hostile names: a name may reach an existing subfolder, never above it or elsewhere; control
        // characters never reach a file name nor split a history line; a backslash is a letter.
        { { "d/a.wav", "d/b.wav", "d/c.wav", "d/e.wav", "d/f.wav", "d/g.wav", "d/h.wav", "d/sub/Kick.wav", "d/i.wav",
            "d/l\r\n\x1b" "x.wav", "d/zz\\back.wav", "d/k.wav", "d/m.wav", "d/n.wav" },
          { { "d/a.wav", "../a" }, { "d/b.wav", "sub/../b" }, { "d/c.wav", "sub/.." }, { "d/e.wav", "/tmp/tarsio-e" }, { "d/f.wav", "/" },
            { "d/g.wav", "sub/" }, { "d/h.wav", "sub/Kick" }, { "d/i.wav", "up/i" }, { "d/l\r\n\x1b" "x.wav", "Sn\tare\r\n" },
            { "d/zz\\back.wav", "Back\\slash" }, { "d/k.wav", "P\xc2\x85" "ad\xe2\x80\xa8" },
            { "d/m.wav", longName.c_str() }, { "d/n.wav", "/sub/Kick" } },
          { { "d/a.wav", "of d/a.wav" }, { "d/b.wav", "of d/b.wav" }, { "d/c.wav", "of d/c.wav" }, { "d/e.wav", "of d/e.wav" },
            { "d/f.wav", "of d/f.wav" }, { "d/g.wav", "of d/g.wav" }, { "d/sub/Kick_1.wav", "of d/h.wav" }, { "d/sub/Kick.wav", "of d/sub/Kick.wav" },
            { "d/i.wav", "of d/i.wav" }, { "d/Snare.wav", "of d/l\r\n\x1b" "x.wav" }, { "d/Back\\slash.wav", "of d/zz\\back.wav" },
            { "d/Pad.wav", "of d/k.wav" }, { "d/m.wav", "of d/m.wav" }, { "d/n.wav", "of d/n.wav" },
            { "d/Tarsio.txt", "h.wav -> Kick_1.wav|l???x.wav -> Snare.wav|zz\\back.wav -> Back\\slash.wav|k.wav -> Pad.wav" } },
          "Complete: 4 files renamed, 9 errors - History saved to Tarsio.txt" },
    };

    for (const auto& c : cases)
    {
        Folder folder;
        for (auto* file : c.files)
            folder.make (file);
        ::symlink ("..", folder.path ("d/up").c_str());   // a link is no subfolder
        const auto result = runBatch (folder, c.rows);
        EXPECT_EQ (folder.files(), c.after) << c.finalStatus;
        EXPECT_EQ (result.finalStatus(), c.finalStatus);
    }
}

// GO RENAME renames the very files that were taken in. Whatever another program puts at a path
// meanwhile (a link in place of the folder, a folder or another file in place of the file) stays as
// it is and fails with its row, and the history never goes through a swapped link; a file written
// over in place is still the same file.
TEST (RenameBatch, OnlyTheFilesTakenInAreRenamed)
{
    const auto swapForLink = [] (const Folder& folder)
    {
        ASSERT_EQ (::rename (folder.path ("box").c_str(), folder.path ("box_moved").c_str()), 0);
        ASSERT_EQ (::symlink ("elsewhere", folder.path ("box").c_str()), 0);
    };
    const struct
    {
        std::vector<const char*> files;
        std::initializer_list<std::pair<const char*, const char*>> rows;
        std::function<void (const Folder&)> meanwhile;
        Files after;
        const char* rowStatus;
        const char* finalStatus;
    } cases[] = {
        { { "box/kick.wav", "elsewhere/kick.wav" }, { { "box/kick.wav", "Kick1" } }, swapForLink,
          { { "box_moved/kick.wav", "of box/kick.wav" }, { "elsewhere/kick.wav", "of elsewhere/kick.wav" } },
          "Failed to rename: kick.wav", "No files were renamed" },
        { { "box/a.wav", "elsewhere/x.wav", "other/b.wav" }, { { "box/a.wav", "A" }, { "other/b.wav", "B" } }, swapForLink,
          { { "box_moved/a.wav", "of box/a.wav" }, { "elsewhere/x.wav", "of elsewhere/x.wav" }, { "other/B.wav", "of other/b.wav" } },
          "Failed to rename: a.wav", "Complete: 1 files renamed, 1 errors - History not saved" },
        { { "kick_dir.wav" }, { { "kick_dir.wav", "Kick2" } }, [] (const Folder& folder)
          {
              ASSERT_TRUE ((folder / "kick_dir.wav").deleteFile());
              folder.make ("kick_dir.wav/inside.txt");
          },
          { { "kick_dir.wav/inside.txt", "of kick_dir.wav/inside.txt" } }, "Failed to rename: kick_dir.wav", "No files were renamed" },
        { { "take.wav", "new.wav" }, { { "take.wav", "Kick" } },
          [] (const Folder& folder) { ASSERT_EQ (::rename (folder.path ("new.wav").c_str(), folder.path ("take.wav").c_str()), 0); },
          { { "take.wav", "of new.wav" } }, "Failed to rename: take.wav", "No files were renamed" },
        { { "take.wav" }, { { "take.wav", "Kick" } },
          [] (const Folder& folder) { std::ofstream (folder.path ("take.wav"), std::ios::trunc) << "written over"; },
          { { "Kick.wav", "written over" }, { "Tarsio.txt", "take.wav -> Kick.wav" } },
          "Renamed: take.wav -> Kick.wav", "Complete: 1 files renamed - History saved to Tarsio.txt" },
    };

    for (const auto& c : cases)
    {
        Folder folder;
        for (auto* file : c.files)
            folder.make (file);
        const auto result = runBatch (folder, c.rows, [&] { c.meanwhile (folder); });
        EXPECT_EQ (folder.files(), c.after) << c.finalStatus;
        EXPECT_TRUE (result.statusTexts().contains (c.rowStatus)) << c.rowStatus;
        EXPECT_EQ (result.finalStatus(), c.finalStatus);
    }
}

// A batch of hundreds of rows (checked beside the moves), over more folders than it keeps open at
// once and taking turns between them, ends row for row as the rules say: the blank name skipped, the
// name leading out failed, the file gone meanwhile not found, a taken name suffixed, and every renamed
// file on its own history line, in row order.
TEST (RenameBatch, ALargeBatchEndsEveryRowAsItsRulesSay)
{
    Folder folder;
    std::vector<std::string> paths;
    std::map<std::string, std::string> names;
    Files expected;
    juce::String history;
    int renamed = 0, errors = 0;
    const auto fileOf = [] (int i) { return "d" + juce::String (i % 300) + "/t" + juce::String (i) + ".wav"; };
    for (int i = 0; i < 600; ++i)
    {
        const auto file = fileOf (i);
        paths.push_back (folder.make (file));
        names[paths.back()] = i % 97 == 1 ? " " : i % 89 == 2 ? "../x" : ("K" + juce::String (i % 300)).toStdString();
        if (i % 83 == 3 || i % 97 == 1 || i % 89 == 2)
        {
            if (i % 83 != 3)
                expected[file] = "of " + file;
            errors += i % 97 == 1 ? 0 : 1;
            continue;
        }
        const auto target = "K" + juce::String (i % 300) + (expected.count ("d" + juce::String (i % 300) + "/K" + juce::String (i % 300) + ".wav") != 0 ? "_1" : "") + ".wav";
        expected["d" + juce::String (i % 300) + "/" + target] = "of " + file;
        history << (history.isEmpty() ? "" : "|") << file.fromFirstOccurrenceOf ("/", false, false) << " -> " << target;
        ++renamed;
    }
    const auto identities = takenIn (paths);
    for (int i = 3; i < 600; i += 83)
        ASSERT_TRUE ((folder / fileOf (i)).deleteFile());

    const auto result = RenameBatch::run (paths, names, identities, batchClock);
    expected["d0/Tarsio.txt"] = history;
    EXPECT_EQ (folder.files(), expected);
    EXPECT_EQ (result.finalStatus(), "Complete: " + juce::String (renamed) + " files renamed, " + juce::String (errors) + " errors - History saved to Tarsio.txt");
}

TEST (RenameBatch, TheHistoryListsTheRenamedFilesByteForByte)
{
    Folder folder;
    for (auto* file : { "skip.wav", "take1.wav", "take2.wav", "take3.wav" })
        folder.make (file);
    const auto result = runBatch (folder, { { "skip.wav", "" }, { "take1.wav", "Kick1" }, { "gone.wav", "x" },
                                            { "take2.wav", "Kick1" }, { "take3.wav", "no/Kick2" } });
    EXPECT_EQ (result.finalStatus(), "Complete: 2 files renamed, 2 errors - History saved to Tarsio.txt");
    juce::MemoryBlock history;
    ASSERT_TRUE ((folder / "Tarsio.txt").loadFileAsData (history));
    EXPECT_EQ (history.toString(), "=== Tarsio - Renaming History ===\r\nDate: 2024-03-07 09:05:02\r\n\r\n"
                                   "Original Name -> New Name\r\n------------------------------\r\n"
                                   "take1.wav -> Kick1.wav\r\ntake2.wav -> Kick1_1.wav\r\n\r\nTotal: 2 files renamed\r\n");
}

TEST (RenameBatch, LinksAndTargetsThatAppearMeanwhileAreNeverReplaced)
{
    Folder folder;
    const auto linked = folder.make ("take.wav");
    ASSERT_EQ (::link (linked.c_str(), folder.path ("Kick.wav").c_str()), 0);
    ASSERT_EQ (::symlink ("nowhere.wav", folder.path ("Snare.wav").c_str()), 0);

    // Another program creates the targets from the last one down while the batch goes up.
    std::vector<std::string> paths { linked, folder.make ("other.wav") };
    std::map<std::string, std::string> names { { paths[0], "Kick" }, { paths[1], "Snare" } };
    for (int i = 0; i < 2000; ++i)
        names[paths.emplace_back (folder.make ("t" + juce::String (i)))] = "Tom" + std::to_string (i);

    const auto identities = takenIn (paths);
    std::atomic<int> created { 0 };
    std::thread intruder ([&]
    {
        for (int i = 2000; --i >= 0;)
            created += createExclusively (folder.path ("Tom" + juce::String (i)), "intruder") ? 1 : 0;
    });
    const auto result = RenameBatch::run (paths, names, identities, batchClock);
    intruder.join();

    EXPECT_EQ (result.renamedCount, 2002);
    EXPECT_TRUE (SafeRename::isSameFile (folder.path ("Kick.wav"), folder.path ("Kick_1.wav")));
    EXPECT_TRUE ((folder / "Snare.wav").isSymbolicLink() && folder.files()["Snare_1.wav"] == "of other.wav");
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ (juce::File (result.rows[(size_t) i + 2].newPath()).loadFileAsString(), "of t" + juce::String (i));
    EXPECT_EQ (folder.files().size(), (size_t) (2000 + created + 5));
}

TEST (RenameBatch, AHistoryThatCannotBeWrittenWholeLeavesNoFileAndSaysSo)
{
    // Files may grow to 64 bytes only: the history cannot be written whole.
    Folder folder;
    folder.make ("take.wav");
    rlimit before {}, limited {};
    ASSERT_EQ (::getrlimit (RLIMIT_FSIZE, &before), 0);
    limited = { 64, before.rlim_max };
    const auto oldHandler = std::signal (SIGXFSZ, SIG_IGN);
    ASSERT_EQ (::setrlimit (RLIMIT_FSIZE, &limited), 0);
    const auto result = runBatch (folder, { { "take.wav", "Kick" } });
    ::setrlimit (RLIMIT_FSIZE, &before);
    std::signal (SIGXFSZ, oldHandler);
    EXPECT_EQ (result.finalStatus(), "Complete: 1 files renamed - History not saved");
    EXPECT_EQ (folder.files(), (Files { { "Kick.wav", "of take.wav" } }));
}

TEST (RenameBatch, EveryWayOfMovingAndSavingLeavesWhatStandsInTheWay)
{
    // The no-replace rename, and the fallbacks for file systems that lack it or hard links too.
    for (auto* move : { &SafeRename::moveWithoutReplacing, &SafeRename::moveByLinking, &SafeRename::moveByReserving })
    {
        Folder folder;
        const auto a = folder.make ("a.wav"), b = folder.make ("b.wav");
        EXPECT_EQ (move (a, b), SafeRename::MoveResult::targetExists);
        EXPECT_EQ (move (folder.path ("gone.wav"), folder.path ("c.wav")), SafeRename::MoveResult::sourceMissing);
        EXPECT_EQ (move (a, folder.path ("no/c.wav")), SafeRename::MoveResult::failed);
        EXPECT_EQ (move (a, folder.path ("c.wav")), SafeRename::MoveResult::moved);
        EXPECT_EQ (folder.files(), (Files { { "b.wav", "of b.wav" }, { "c.wav", "of a.wav" } }));
    }

    // A history name taken by someone else after it was chosen is left alone.
    Folder folder;
    const auto name = SafeRename::saveAsNewFile (folder.path (""), "=== Tarsio", [&] (int attempt)
    {
        EXPECT_TRUE (attempt != 0 || createExclusively (folder.path ("Tarsio.txt"), "someone else's"));
        return attempt == 0 ? std::string ("Tarsio.txt") : "Tarsio_" + std::to_string (attempt + 1) + ".txt";
    });
    EXPECT_EQ (name, "Tarsio_2.txt");
    EXPECT_EQ (folder.files(), (Files { { "Tarsio.txt", "someone else's" }, { "Tarsio_2.txt", "" } }));
}
