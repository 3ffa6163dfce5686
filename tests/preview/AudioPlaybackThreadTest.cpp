#include "preview/PreviewTestSupport.h"

#include <sys/stat.h>

using namespace tarsio::test;

TEST (PlaybackThread, ServesEveryQueuedCommandAtOnceAndReportsTheOldRowFirst)
{
    PlayerRig rig (false); // no device: nothing pulls, so no preview ends by itself
    const auto a = rig.wav ("a.wav", 5.0), bad = rig.folder / "bad.wav", fifo = rig.folder / "fifo.wav";
    ASSERT_TRUE (bad.replaceWithText ("RIFF but not really") && a.setLastModificationTime (juce::Time (2020, 0, 1, 0, 0))
                 && ::mkfifo (fifo.getFullPathName().toRawUTF8(), 0600) == 0);

    // Queued before the worker starts: it takes them all in one pass and only the last play counts.
    rig.play (a, 5);
    rig.player->stopPlayback();
    rig.play (a, 1);
    rig.player->startThread();
    ASSERT_TRUE (rig.waitFor (1, true));
    EXPECT_EQ (rig.bins, std::vector<float> (1500, 1.0f));

    // Another row stops the old one first; a file that cannot play (a FIFO would block whoever opens it)
    // stops the old preview and releases its row.
    for (const auto& [file, row] : { std::pair (a, 2), std::pair (bad, 3), std::pair (a, 4), std::pair (fifo, 6) })
    {
        rig.play (file, row);
        ASSERT_TRUE (rig.waitFor (row, file == a));
    }
    EXPECT_EQ (rig.notices, (decltype (rig.notices) { { 1, true }, { 1, false }, { 2, true }, { 2, false }, { 3, false },
                                                      { 4, true }, { 4, false }, { 6, false } }));

    // Another file moved onto the path, even of the same size and time, is scanned anew: its first half is quieter.
    const auto b = rig.wav ("b.wav", 5.0, [] (int, juce::int64 f) { return f < 110250 ? 0.25f : 0.5f; });
    ASSERT_TRUE (b.setLastModificationTime (juce::Time (2020, 0, 1, 0, 0)) && b.moveFileTo (a));
    rig.play (a, 7);
    ASSERT_TRUE (rig.waitFor (7, true));
    EXPECT_EQ (rig.bins.front(), 0.5f);
}

TEST (PlaybackThread, GivesUpAScanForANewerCommandOrAQuit)
{
    PlayerRig rig;
    // About a billion frames that are really there (a sparse file): its scan takes many seconds.
    const auto huge = rig.wav ("huge.wav", 0.1);
    ASSERT_TRUE (claimHugeDataChunk (huge, (juce::int64) 4 << 30));

    rig.play (huge, 0);
    ASSERT_TRUE (pumpUntil ([&] { return rig.player->currentRow.load() == 0; }));
    rig.play (rig.wav ("small.wav", 1.0), 1);
    ASSERT_TRUE (rig.waitFor (1, true));
    rig.play (huge, 2);
    // Row 1's end is reported as row 2's scan starts: the notice is waited for, not only the row.
    ASSERT_TRUE (rig.waitFor (1, false) && pumpUntil ([&] { return rig.player->currentRow.load() == 2; }));

    // The player goes without finishing the scan (which takes far longer, even on a loaded machine),
    // and the notice it posts for row 2 on its way out never arrives.
    const auto started = juce::Time::getMillisecondCounterHiRes();
    rig.player.reset();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 5000.0);
    pumpMessages (50);
    EXPECT_EQ (rig.notices, (decltype (rig.notices) { { 0, false }, { 1, true }, { 1, false } }));
}
