#include "RenameBatchTestSupport.h"

using tarsio::test::BatchFolder;
using tarsio::test::batchClock;
using Names = std::set<juce::String>;

namespace
{
juce::StringArray texts (std::initializer_list<const char*> list)
{
    juce::StringArray result;

    for (auto* t : list)
        result.add (juce::String::fromUTF8 (t));

    return result;
}
} // namespace

TEST (RenameBatch, EmptyPageRenamesNothingAndWritesNoHistory)
{
    const auto result = RenameBatch::run ({}, {}, batchClock());

    EXPECT_EQ (result.statusTexts, texts ({ "Processing rename...", "Renaming files...",
                                            "Complete: 0 renamed, 0 errors", "No files were renamed" }));
    EXPECT_TRUE (result.rows.empty());
    EXPECT_EQ (result.renamedCount, 0);
    EXPECT_EQ (result.errorCount, 0);
    EXPECT_TRUE (result.historyFileName.isEmpty());
}

TEST (RenameBatch, BlankNamesAreSkippedWithoutCounting)
{
    BatchFolder folder;
    const auto a = folder.make ("a.wav"), b = folder.make ("b.wav"), c = folder.make ("c.wav");

    const auto result = RenameBatch::run ({ a, b, c }, { { a, "" }, { b, " \t " } }, batchClock());

    EXPECT_EQ (result.statusTexts, texts ({ "Processing rename...", "Renaming files...",
                                            "Skipping file with empty name: a.wav",
                                            "Skipping file with empty name: b.wav",
                                            "Skipping file with empty name: c.wav",
                                            "Complete: 0 renamed, 0 errors", "No files were renamed" }));
    for (const auto& row : result.rows)
        EXPECT_EQ (row.outcome, RenameBatch::Outcome::skippedEmptyName);
    EXPECT_EQ (folder.names(), (Names { "a.wav", "b.wav", "c.wav" }));
}

TEST (RenameBatch, TwoRowsWithOneNameAndTheHistoryByteForByte)
{
    BatchFolder folder;
    const auto take1 = folder.make ("take1.wav"), take2 = folder.make ("take2.wav");

    const auto result = RenameBatch::run ({ take1, take2 }, { { take1, "Kick1" }, { take2, "Kick1" } }, batchClock());

    EXPECT_EQ (result.statusTexts, texts ({ "Processing rename...", "Renaming files...",
                                            "Renaming: take1.wav -> Kick1", "Renamed: take1.wav -> Kick1.wav",
                                            "Renaming: take2.wav -> Kick1", "Renamed: take2.wav -> Kick1_1.wav",
                                            "History saved: Tarsio.txt", "Complete: 2 renamed, 0 errors",
                                            "Complete: 2 files renamed - History saved to Tarsio.txt" }));
    EXPECT_EQ (result.finalStatus(), "Complete: 2 files renamed - History saved to Tarsio.txt");
    EXPECT_EQ (folder.names(), (Names { "Kick1.wav", "Kick1_1.wav", "Tarsio.txt" }));
    EXPECT_EQ (folder.contentOf ("Kick1.wav"), "content of take1.wav");
    EXPECT_EQ (folder.contentOf ("Kick1_1.wav"), "content of take2.wav");

    ASSERT_EQ (result.rows.size(), 2u);
    EXPECT_EQ (result.rows[1].path, take2);
    EXPECT_EQ (result.rows[1].outcome, RenameBatch::Outcome::renamed);
    EXPECT_EQ (result.rows[1].newPath, folder.path ("Kick1_1.wav"));
    EXPECT_EQ (result.rows[1].newFileName, "Kick1_1.wav");

    EXPECT_EQ (folder.bytesOf ("Tarsio.txt"), "=== Tarsio - Renaming History ===\r\n"
                                 "Date: 2024-03-07 09:05:02\r\n"
                                 "\r\n"
                                 "Original Name -> New Name\r\n"
                                 "------------------------------\r\n"
                                 "take1.wav -> Kick1.wav\r\n"
                                 "take2.wav -> Kick1_1.wav\r\n"
                                 "\r\n"
                                 "Total: 2 files renamed\r\n");
}

TEST (RenameBatch, DateLinePadsEveryFieldButTheYear)
{
    EXPECT_EQ (RenameBatch::dateLine (juce::Time (2031, 11, 24, 23, 59, 58, 999, true)), "Date: 2031-12-24 23:59:58");
    EXPECT_EQ (RenameBatch::dateLine (juce::Time (2025, 0, 1, 0, 0, 0, 0, true)), "Date: 2025-01-01 00:00:00");
}

TEST (RenameBatch, NamesAreUsedAsTypedWithTheFilesOwnExtension)
{
    BatchFolder folder;
    const auto spaced = folder.make ("take.wav"), typedExt = folder.make ("other.wav"),
               upper = folder.make ("loud.WAV"), noExt = folder.make ("plain"),
               tilde = folder.make ("home.wav"), slash = folder.make ("root.flac");

    const auto result = RenameBatch::run ({ spaced, typedExt, upper, noExt, tilde, slash },
                                          { { spaced, " Kick1 " }, { typedExt, "Kick2.wav" }, { upper, "Snare" },
                                            { noExt, "Bass" }, { tilde, "~Pad" }, { slash, "/Lead" } },
                                          batchClock());

    EXPECT_EQ (result.renamedCount, 6);
    // "~" and a leading "/" are plain characters of the name: the files stay in their folder.
    EXPECT_EQ (folder.names(), (Names { " Kick1 .wav", "Kick2.wav.wav", "Snare.WAV", "Bass", "~Pad.wav",
                                        "Lead.flac", "Tarsio.txt" }));
    EXPECT_EQ (result.rows[5].newPath, folder.root() + "//Lead.flac");
    EXPECT_TRUE (folder.bytesOf ("Tarsio.txt").find ("\r\ntake.wav ->  Kick1 .wav\r\n") != std::string::npos);
}

TEST (RenameBatch, UnchangedNameCountsAsRenamedAndLeavesTheFileAlone)
{
    BatchFolder folder;
    const auto take = folder.make ("take.wav");
    const auto before = folder.file ("take.wav").getLastModificationTime();

    const auto result = RenameBatch::run ({ take }, { { take, "take" } }, batchClock());

    EXPECT_EQ (result.renamedCount, 1);
    EXPECT_EQ (result.rows[0].newPath, take);
    EXPECT_TRUE (result.statusTexts.contains ("Renamed: take.wav -> take.wav"));
    EXPECT_EQ (folder.names(), (Names { "take.wav", "Tarsio.txt" }));
    EXPECT_EQ (folder.file ("take.wav").getLastModificationTime(), before);
    EXPECT_TRUE (folder.bytesOf ("Tarsio.txt").find ("\r\ntake.wav -> take.wav\r\n") != std::string::npos);
}

TEST (RenameBatch, CaseOnlyRenameNeedsNoSuffix)
{
    BatchFolder folder;
    const auto kick = folder.make ("kick1.wav");

    const auto result = RenameBatch::run ({ kick }, { { kick, "KICK1" } }, batchClock());

    EXPECT_EQ (result.finalStatus(), "Complete: 1 files renamed - History saved to Tarsio.txt");
    EXPECT_EQ (folder.names(), (Names { "KICK1.wav", "Tarsio.txt" }));
    EXPECT_EQ (folder.contentOf ("KICK1.wav"), "content of kick1.wav");
}

TEST (RenameBatch, ANameThatReachesTheFileItselfByAnotherPathKeepsIt)
{
    // What a case-insensitive file system does with KICK1 for kick1.wav: the target "exists" and is
    // the file itself. A path through ".." gives the same situation on any file system.
    BatchFolder folder;
    const auto kick = folder.make ("drums/kick1.wav");

    const auto result = RenameBatch::run ({ kick }, { { kick, "../drums/kick1" } }, batchClock());

    EXPECT_EQ (result.renamedCount, 1);
    EXPECT_EQ (result.rows[0].newFileName, "kick1.wav");
    EXPECT_EQ (folder.names ("drums"), (Names { "kick1.wav", "Tarsio.txt" }));
    EXPECT_EQ (folder.contentOf ("drums/kick1.wav"), "content of drums/kick1.wav");
}

TEST (RenameBatch, ExistingTargetsGetTheNextFreeSuffix)
{
    BatchFolder folder;
    folder.make ("Kick1.wav");
    folder.make ("Kick1_1.wav");
    const auto take = folder.make ("take.wav");

    const auto result = RenameBatch::run ({ take }, { { take, "Kick1" } }, batchClock());

    EXPECT_EQ (result.rows[0].newFileName, "Kick1_2.wav");
    EXPECT_EQ (folder.names(), (Names { "Kick1.wav", "Kick1_1.wav", "Kick1_2.wav", "Tarsio.txt" }));
    EXPECT_EQ (folder.contentOf ("Kick1.wav"), "content of Kick1.wav");
    EXPECT_EQ (folder.contentOf ("Kick1_1.wav"), "content of Kick1_1.wav");
    EXPECT_EQ (folder.contentOf ("Kick1_2.wav"), "content of take.wav");
}

TEST (RenameBatch, ANameWithASlashNeedsItsSubfolder)
{
    BatchFolder folder;
    folder.file ("sub").createDirectory();
    const auto take1 = folder.make ("take1.wav"), take2 = folder.make ("take2.wav");

    const auto result = RenameBatch::run ({ take1, take2 }, { { take1, "sub/Kick1" }, { take2, "missing/Kick2" } },
                                          batchClock());

    EXPECT_EQ (result.statusTexts, texts ({ "Processing rename...", "Renaming files...",
                                            "Renaming: take1.wav -> sub/Kick1", "Renamed: take1.wav -> Kick1.wav",
                                            "Renaming: take2.wav -> missing/Kick2", "Failed to rename: take2.wav",
                                            "History saved: Tarsio.txt", "Complete: 1 renamed, 1 errors",
                                            "Complete: 1 files renamed - History saved to Tarsio.txt" }));
    EXPECT_EQ (result.rows[1].outcome, RenameBatch::Outcome::failed);
    EXPECT_EQ (folder.names(), (Names { "sub", "take2.wav", "Tarsio.txt" }));
    EXPECT_EQ (folder.names ("sub"), (Names { "Kick1.wav" }));
}

TEST (RenameBatch, HistoryTakesTheFirstFreeNumberedNameAndSaysWhich)
{
    BatchFolder folder;
    folder.make ("Tarsio.txt", "an older history");
    folder.make ("Tarsio_2.txt", "another older history");
    const auto take = folder.make ("take.wav");

    const auto result = RenameBatch::run ({ take }, { { take, "Kick1" } }, batchClock());

    EXPECT_EQ (result.historyFileName, "Tarsio_3.txt");
    EXPECT_TRUE (result.statusTexts.contains ("History saved: Tarsio_3.txt"));
    EXPECT_EQ (result.finalStatus(), "Complete: 1 files renamed - History saved to Tarsio_3.txt");
    EXPECT_EQ (folder.contentOf ("Tarsio.txt"), "an older history");
    EXPECT_EQ (folder.contentOf ("Tarsio_2.txt"), "another older history");
    EXPECT_EQ (folder.names(), (Names { "Kick1.wav", "Tarsio.txt", "Tarsio_2.txt", "Tarsio_3.txt" }));
}

TEST (RenameBatch, RowsOfSeveralFoldersShareOneHistoryInTheFirstRowsFolder)
{
    BatchFolder folder;
    const auto a = folder.make ("a/take.wav"), b = folder.make ("b/take.wav");

    const auto result = RenameBatch::run ({ b, a }, { { a, "Kick1" }, { b, "Snare1" } }, batchClock());

    EXPECT_EQ (result.renamedCount, 2);
    EXPECT_EQ (folder.names ("a"), (Names { "Kick1.wav" }));
    EXPECT_EQ (folder.names ("b"), (Names { "Snare1.wav", "Tarsio.txt" }));
    EXPECT_TRUE (folder.bytesOf ("b/Tarsio.txt").find ("\r\ntake.wav -> Snare1.wav\r\n"
                                                       "take.wav -> Kick1.wav\r\n\r\n"
                                                       "Total: 2 files renamed\r\n") != std::string::npos);
}

TEST (RenameBatch, ASecondBatchFindsTheMovedFilesMissing)
{
    BatchFolder folder;
    const auto take1 = folder.make ("take1.wav"), take2 = folder.make ("take2.wav");
    const std::map<std::string, std::string> names { { take1, "Kick1" }, { take2, "Kick2" } };

    RenameBatch::run ({ take1, take2 }, names, batchClock());
    const auto second = RenameBatch::run ({ take1, take2 }, names, batchClock());

    EXPECT_EQ (second.statusTexts, texts ({ "Processing rename...", "Renaming files...",
                                            "Renaming: take1.wav -> Kick1", "Error: File not found - take1.wav",
                                            "Renaming: take2.wav -> Kick2", "Error: File not found - take2.wav",
                                            "Complete: 0 renamed, 2 errors", "No files were renamed" }));
    EXPECT_EQ (second.rows[0].outcome, RenameBatch::Outcome::notFound);
    EXPECT_EQ (folder.names(), (Names { "Kick1.wav", "Kick2.wav", "Tarsio.txt" }));
}

TEST (RenameBatch, AMissingFileWithAnUnchangedNameIsNotFound)
{
    BatchFolder folder;
    const auto gone = folder.path ("gone.wav");

    const auto result = RenameBatch::run ({ gone }, { { gone, "gone" } }, batchClock());

    EXPECT_EQ (result.rows[0].outcome, RenameBatch::Outcome::notFound);
    EXPECT_EQ (result.finalStatus(), "No files were renamed");
    EXPECT_TRUE (folder.names().empty());
}
