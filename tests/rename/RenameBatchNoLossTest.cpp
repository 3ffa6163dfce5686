// No file is ever replaced or deleted: files that differ only in letter case, links, targets that
// appear while the batch runs, folders that refuse writes and a history that cannot be written.
#include "RenameBatchTestSupport.h"
#include "rename/SafeRename.h"

#include <atomic>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using tarsio::test::BatchFolder;
using tarsio::test::batchClock;
using Names = std::set<juce::String>;
using SafeRename::MoveResult;

namespace
{
// Root writes into read-only folders; without these capabilities the calling thread is held to the
// permission bits like anyone else. Capabilities belong to the thread, so only it is affected.
bool dropFileOverridesOfThisThread()
{
    if (::geteuid() != 0)
        return true;

    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct data[2] {};

    if (::syscall (SYS_capget, &header, data) != 0)
        return false;

    for (int cap : { CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER })
        data[cap / 32].effective &= ~(1u << (cap % 32));

    return ::syscall (SYS_capset, &header, data) == 0;
}

// Runs the batch as an ordinary user would; false when that is impossible here.
bool runHeldToPermissions (const std::function<void()>& work)
{
    bool held = false;
    std::thread worker ([&]
    {
        held = dropFileOverridesOfThisThread();

        if (held)
            work();
    });
    worker.join();
    return held;
}

bool createExclusively (const std::string& path, const std::string& content)
{
    const int fd = ::open (path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);

    if (fd < 0)
        return false;

    const bool written = ::write (fd, content.data(), content.size()) == (ssize_t) content.size();
    return ::close (fd) == 0 && written;
}
} // namespace

TEST (RenameBatchNoLoss, FilesDifferingOnlyInCaseAreSeparateFiles)
{
    BatchFolder folder;
    const auto lower = folder.make ("kick1.wav"), upper = folder.make ("KICK1.wav");
    folder.make ("Kick1.wav");

    const auto result = RenameBatch::run ({ lower, upper }, { { lower, "KICK1" }, { upper, "kick1" } }, batchClock());

    EXPECT_EQ (result.renamedCount, 2);
    EXPECT_EQ (result.rows[0].newFileName, "KICK1_1.wav");
    EXPECT_EQ (result.rows[1].newFileName, "kick1.wav");
    EXPECT_EQ (folder.contentOf ("KICK1_1.wav"), "content of kick1.wav");
    EXPECT_EQ (folder.contentOf ("kick1.wav"), "content of KICK1.wav");
    EXPECT_EQ (folder.contentOf ("Kick1.wav"), "content of Kick1.wav");
    EXPECT_EQ (folder.names(), (Names { "KICK1_1.wav", "kick1.wav", "Kick1.wav", "Tarsio.txt" }));
}

TEST (RenameBatchNoLoss, LinksAtTheTargetAreNeverReplaced)
{
    BatchFolder folder;
    const auto linked = folder.make ("take.wav");
    ASSERT_EQ (::link (linked.c_str(), folder.path ("Kick1.wav").c_str()), 0);
    const auto other = folder.make ("other.wav");
    ASSERT_EQ (::symlink ("nowhere.wav", folder.path ("Snare1.wav").c_str()), 0);

    const auto result = RenameBatch::run ({ linked, other }, { { linked, "Kick1" }, { other, "Snare1" } }, batchClock());

    // A second name of the same file is still another entry; a dangling link is still there.
    EXPECT_EQ (result.rows[0].newFileName, "Kick1_1.wav");
    EXPECT_EQ (result.rows[1].newFileName, "Snare1_1.wav");
    EXPECT_EQ (folder.names(), (Names { "Kick1.wav", "Kick1_1.wav", "Snare1.wav", "Snare1_1.wav", "Tarsio.txt" }));
    EXPECT_TRUE (SafeRename::isSameFile (folder.path ("Kick1.wav"), folder.path ("Kick1_1.wav")));
    EXPECT_TRUE (folder.file ("Snare1.wav").isSymbolicLink());
}

TEST (RenameBatchNoLoss, TargetsCreatedByAnotherThreadMeanwhileAreNeverReplaced)
{
    BatchFolder folder;
    constexpr int count = 2000;
    std::vector<std::string> paths;
    std::map<std::string, std::string> names;

    for (int i = 0; i < count; ++i)
    {
        paths.push_back (folder.make ("take" + juce::String (i) + ".wav", "take " + juce::String (i)));
        names[paths.back()] = "Kick" + std::to_string (i);
    }

    // Another program creates the targets from the last one down while the batch goes up.
    std::atomic<bool> go { false };
    std::vector<bool> created (count, false);
    std::thread intruder ([&]
    {
        while (! go.load())
            std::this_thread::yield();

        for (int i = count; --i >= 0;)
            created[(size_t) i] = createExclusively (folder.path ("Kick" + juce::String (i) + ".wav"),
                                                     "intruder " + std::to_string (i));
    });

    go = true;
    const auto result = RenameBatch::run (paths, names, batchClock());
    intruder.join();

    EXPECT_EQ (result.renamedCount, count);
    int intruders = 0;

    for (int i = 0; i < count; ++i)
    {
        const auto& row = result.rows[(size_t) i];
        EXPECT_EQ (folder.contentOf (juce::String (row.newFileName)), "take " + juce::String (i)) << i;

        if (created[(size_t) i])
        {
            ++intruders;
            EXPECT_EQ (row.newFileName, "Kick" + std::to_string (i) + "_1.wav");
            EXPECT_EQ (folder.contentOf ("Kick" + juce::String (i) + ".wav"), "intruder " + juce::String (i)) << i;
        }
    }

    EXPECT_EQ (folder.names().size(), (size_t) (count + intruders + 1));
}

TEST (RenameBatchNoLoss, AReadOnlyFolderFailsTheMoveAndChangesNothing)
{
    BatchFolder folder;
    const auto take = folder.make ("locked/take.wav");
    const auto locked = folder.path ("locked");
    ASSERT_EQ (::chmod (locked.c_str(), 0555), 0);

    RenameBatch::Result result;
    const bool ran = runHeldToPermissions ([&] { result = RenameBatch::run ({ take }, { { take, "Kick1" } }, batchClock()); });
    ::chmod (locked.c_str(), 0755);

    if (! ran)
        GTEST_SKIP() << "Running as root and unable to drop CAP_DAC_OVERRIDE: a read-only folder would not refuse anything.";

    EXPECT_TRUE (result.statusTexts.contains ("Failed to rename: take.wav"));
    EXPECT_EQ (result.rows[0].outcome, RenameBatch::Outcome::failed);
    EXPECT_EQ (result.finalStatus(), "No files were renamed");
    EXPECT_EQ (folder.names ("locked"), (Names { "take.wav" }));
}

TEST (RenameBatchNoLoss, AHistoryFolderThatRefusesWritesLeavesNoHistoryAndSaysSo)
{
    BatchFolder folder;
    const auto first = folder.make ("locked/take1.wav"), second = folder.make ("open/take2.wav");
    const auto locked = folder.path ("locked");
    ASSERT_EQ (::chmod (locked.c_str(), 0555), 0);

    RenameBatch::Result result;
    const bool ran = runHeldToPermissions ([&]
    {
        result = RenameBatch::run ({ first, second }, { { first, "Kick1" }, { second, "Kick2" } }, batchClock());
    });
    ::chmod (locked.c_str(), 0755);

    if (! ran)
        GTEST_SKIP() << "Running as root and unable to drop CAP_DAC_OVERRIDE: a read-only folder would not refuse anything.";

    EXPECT_EQ (result.renamedCount, 1);
    EXPECT_TRUE (result.historyFileName.isEmpty());
    EXPECT_FALSE (result.statusTexts.joinIntoString ("|").contains ("History saved"));
    EXPECT_EQ (result.finalStatus(), "Complete: 1 files renamed - History not saved");
    EXPECT_EQ (folder.names ("locked"), (Names { "take1.wav" }));
    EXPECT_EQ (folder.names ("open"), (Names { "Kick2.wav" }));
}

TEST (RenameBatchNoLoss, AnIncompleteHistoryWriteLeavesNoFile)
{
    BatchFolder folder;
    const auto take = folder.make ("take.wav");

    // Files may grow to 64 bytes only: the history (about 150 bytes) cannot be written whole.
    rlimit before {};
    ASSERT_EQ (::getrlimit (RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 64;
    const auto oldHandler = std::signal (SIGXFSZ, SIG_IGN);
    ASSERT_EQ (::setrlimit (RLIMIT_FSIZE, &small), 0);

    const auto result = RenameBatch::run ({ take }, { { take, "Kick1" } }, batchClock());

    ::setrlimit (RLIMIT_FSIZE, &before);
    std::signal (SIGXFSZ, oldHandler);

    EXPECT_EQ (result.renamedCount, 1);
    EXPECT_TRUE (result.historyFileName.isEmpty());
    EXPECT_EQ (result.statusTexts[result.statusTexts.size() - 2], "Complete: 1 renamed, 0 errors");
    EXPECT_EQ (result.finalStatus(), "Complete: 1 files renamed - History not saved");
    EXPECT_EQ (folder.names(), (Names { "Kick1.wav" }));
}

TEST (RenameBatchNoLoss, AHistoryNameTakenAtTheLastMomentIsLeftAlone)
{
    BatchFolder folder;
    const auto dir = folder.root();

    // The name is taken by someone else after it was chosen and before the history arrives.
    const auto name = SafeRename::saveAsNewFile (dir, "history\r\n", [&] (int attempt)
    {
        const std::string candidate = attempt == 0 ? "Tarsio.txt" : "Tarsio_" + std::to_string (attempt + 1) + ".txt";

        if (attempt == 0)
        {
            EXPECT_TRUE (createExclusively (dir + "/" + candidate, "someone else's"));
        }

        return candidate;
    });

    EXPECT_EQ (name, "Tarsio_2.txt");
    EXPECT_EQ (folder.contentOf ("Tarsio.txt"), "someone else's");
    EXPECT_EQ (folder.bytesOf ("Tarsio_2.txt"), "history\r\n");
    EXPECT_EQ (folder.names(), (Names { "Tarsio.txt", "Tarsio_2.txt" }));
}

TEST (RenameBatchNoLoss, EveryWayOfMovingReportsWhatStoodInTheWay)
{
    // The no-replace rename, and the fallbacks for file systems that lack it or hard links too.
    for (auto* move : { &SafeRename::moveWithoutReplacing, &SafeRename::moveByLinking, &SafeRename::moveByReserving })
    {
        BatchFolder folder;
        const auto a = folder.make ("a.wav"), b = folder.make ("b.wav");

        EXPECT_EQ (move (a, b), MoveResult::targetExists);
        EXPECT_EQ (move (folder.path ("gone.wav"), folder.path ("c.wav")), MoveResult::sourceMissing);
        EXPECT_EQ (move (a, folder.path ("no/c.wav")), MoveResult::failed);
        EXPECT_EQ (move (a, folder.path ("c.wav")), MoveResult::moved);
        EXPECT_EQ (folder.names(), (Names { "b.wav", "c.wav" }));
        EXPECT_EQ (folder.contentOf ("b.wav"), "content of b.wav");
        EXPECT_EQ (folder.contentOf ("c.wav"), "content of a.wav");
    }
}

TEST (RenameBatchNoLoss, ASecondNameOfTheSameFileIsNotAnAliasOfIt)
{
    BatchFolder folder;
    const auto b = folder.make ("b.wav");
    ASSERT_EQ (::link (b.c_str(), folder.path ("c.wav").c_str()), 0);

    auto from = b;
    EXPECT_EQ (SafeRename::moveOntoOwnAlias (from, folder.path ("c.wav")), MoveResult::targetExists);
    EXPECT_EQ (from, b);
    EXPECT_EQ (folder.names(), (Names { "b.wav", "c.wav" }));
}
