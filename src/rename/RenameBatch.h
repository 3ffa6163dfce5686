#pragma once

#include <juce_core/juce_core.h>

#include "rename/FileIdentity.h"

#include <map>
#include <string>
#include <vector>

// The GO RENAME batch: renames every listed file in place, in row order, to its row's new name plus
// the file's own extension, and writes the history file into the first row's folder. It never
// replaces or deletes an existing file: a taken name gets "_1", "_2", ... (see SafeRename). It moves
// only the files intake took (FileIdentity): each folder is opened once and checked, and every file
// is checked and moved relative to that handle.
//
// Threads: the rename page calls run on the message thread and the batch runs to its end inside the
// call; it touches no widget and no member of the page. A large batch looks its rows up and checks
// their files on a thread of its own, a few rows ahead of the moves; that thread writes only its
// rows' entries and is joined before run returns.
class RenameBatch final
{
public:
    enum class Outcome
    {
        renamed,           // the file now stands at newPath() (which is the old path when the name was kept)
        skippedEmptyName,  // the name is empty or white space only; not counted
        notFound,          // nothing stands at the row's path; counted as an error
        failed             // another file or folder stands there now, or the file system refused the
                           // move; counted as an error
    };

    struct Row
    {
        std::string path;          // the row's path, as listed
        std::string name;          // the name used: as typed, control characters dropped
        Outcome outcome = Outcome::failed;
        std::string newFileName;   // the new name in its folder, with extension and any "_" suffix; empty unless renamed

        // Where the file stands now; empty unless renamed.
        std::string newPath() const;
    };

    struct Result
    {
        std::vector<Row> rows;         // one per listed path, in row order
        int renamedCount = 0;
        int errorCount = 0;
        juce::String historyFileName;  // "Tarsio.txt", "Tarsio_2.txt", ...; empty when no history was saved

        // The status the page shows when the batch has run.
        juce::String finalStatus() const;
        // Every status of the batch, step by step, in order; the last is finalStatus. None is shown
        // meanwhile: the batch runs to its end without returning to the message loop.
        juce::StringArray statusTexts() const;
    };

    // Renames the files of `filePaths` (row order) to their names in `newNames` (path to name as typed,
    // no extension; a missing entry counts as an empty name). Control characters are dropped from a
    // name; a name that would lead out of the file's folder fails for its row and nothing moves. A
    // row is renamed only while its path leads, through the folder intake saw, to the file intake
    // took (`identities`, read at intake; a path missing there is never renamed); the history goes
    // into the first row's folder as intake saw it, or is not saved.
    // `batchTime` is the clock reading for the history's date line: take it (juce::Time::getCurrentTime())
    // just before calling. The caller stops the preview first: the first status text,
    // "Processing rename...", comes before that stop.
    static Result run (const std::vector<std::string>& filePaths,
                       const std::map<std::string, std::string>& newNames,
                       const FileIdentities& identities,
                       juce::Time batchTime);

    // The history's date line: "Date: " and the local time as 2024-03-07 09:05:02.
    static juce::String dateLine (juce::Time batchTime);


private:
    RenameBatch() = delete;
};
