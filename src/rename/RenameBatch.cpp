#include "rename/RenameBatch.h"
#include "rename/NameSuggestion.h"
#include "rename/SafeRename.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/stat.h>

namespace
{
using SafeRename::MoveResult;
using SafeRename::folderOf;
using SafeRename::join;
using SafeRename::lastComponentOf;

juce::String text (const std::string& bytes)
{
    return NameSuggestion::fromUTF8 (bytes);
}

// The extension with its dot, letter case kept; empty when the last component has no dot.
std::string extensionOf (const std::string& path)
{
    const auto dot = path.rfind ('.');
    const auto slash = path.rfind ('/');

    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};

    return path.substr (dot);
}

// Moves `source` to the first free one of name+ext, name_1+ext, name_2+ext ... in `folder`; a name
// that is the file itself (the same file on disk) ends the search. Sets `target` to where it went.
MoveResult moveToFreeName (std::string source, const std::string& folder, const std::string& name,
                           const std::string& ext, std::string& target)
{
    for (int suffix = 0;; ++suffix)
    {
        target = join (folder, suffix == 0 ? name + ext : name + "_" + std::to_string (suffix) + ext);

        if (target == source)
            return SafeRename::isSameFile (source, source) ? MoveResult::moved : MoveResult::sourceMissing;

        auto result = SafeRename::moveWithoutReplacing (source, target);

        if (result == MoveResult::targetExists && SafeRename::isSameFile (source, target))
            result = SafeRename::moveOntoOwnAlias (source, target);

        if (result != MoveResult::targetExists)
            return result;
    }
}

// A name may lead into an existing subfolder of the file's folder ("sub/Kick"), never above it or
// elsewhere: no ".." anywhere (not even one that comes back), no leading "/", no folder part that is
// a link, and a last part that names a file ("sub/" would make a hidden ".wav").
bool staysInItsFolder (const std::string& folder, const std::string& name)
{
    if (name.empty() || name.front() == '/')
        return false;

    for (size_t start = 0;; )
    {
        const auto end = name.find ('/', start);
        const auto part = name.substr (start, end - start);

        if (part == "..")
            return false;

        if (end == std::string::npos)
            return ! part.empty() && part != ".";

        struct stat info;
        if (::lstat (join (folder, name.substr (0, end)).c_str(), &info) == 0 && S_ISLNK (info.st_mode))
            return false;

        start = end + 1;
    }
}

// Names as the history shows them: one line each, whatever the file system allowed in them, and a
// byte that is not UTF-8 written as "\xFC", so that names differing only there stay apart.
std::string onOneLine (const std::string& name)
{
    std::string line;
    for (size_t i = 0; i < name.size();)
    {
        juce::juce_wchar c = 0;
        const auto length = NameSuggestion::utf8SequenceAt (name, i, c);
        char escaped[8];
        if (length == 0 && std::snprintf (escaped, sizeof (escaped), "\\x%02X", (unsigned) (unsigned char) name[i]) > 0)
            line += escaped;
        else
            line += NameSuggestion::isControlCharacter (c) ? std::string ("?") : name.substr (i, length);
        i += std::max (length, (size_t) 1);
    }
    return line;
}

std::string withCrLf (const std::string& lfText)
{
    std::string out;
    out.reserve (lfText.size() + lfText.size() / 16);

    for (auto c : lfText)
    {
        if (c == '\n')
            out += '\r';

        out += c;
    }

    return out;
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
                                      juce::Time batchTime)
{
    Result result;
    auto& status = result.statusTexts;

    status.add ("Processing rename...");
    status.add ("Renaming files...");

    std::string history = "=== Tarsio - Renaming History ===\n"
                        + dateLine (batchTime).toStdString() + "\n"
                        "\n"
                        "Original Name -> New Name\n"
                        "------------------------------\n";

    const auto historyFolder = filePaths.empty() ? std::string() : folderOf (filePaths.front());
    result.rows.reserve (filePaths.size());

    for (const auto& path : filePaths)
    {
        auto& row = result.rows.emplace_back();
        row.path = path;

        // GO RENAME may be clicked with the focus still in a name field: the name is cleaned here too.
        const auto entry = newNames.find (path);
        const auto name = entry == newNames.end() ? std::string()
                            : NameSuggestion::replacingControlCharacters (entry->second, std::string());
        const auto formerName = NameSuggestion::extractFileName (path);

        if (text (name).trim().isEmpty())
        {
            row.outcome = Outcome::skippedEmptyName;
            status.add ("Skipping file with empty name: " + text (formerName));
            continue;
        }

        status.add ("Renaming: " + text (formerName) + " -> " + text (name));

        std::string target;
        const auto moved = ! staysInItsFolder (folderOf (path), name) ? MoveResult::failed
                                                  : moveToFreeName (path, folderOf (path), name, extensionOf (path), target);

        switch (moved)
        {
            case MoveResult::moved:
                row.outcome = Outcome::renamed;
                row.newPath = target;
                row.newFileName = lastComponentOf (target);
                status.add ("Renamed: " + text (lastComponentOf (path)) + " -> " + text (row.newFileName));
                history += onOneLine (formerName) + " -> " + onOneLine (row.newFileName) + "\n";
                ++result.renamedCount;
                break;

            case MoveResult::sourceMissing:
                row.outcome = Outcome::notFound;
                status.add ("Error: File not found - " + text (formerName));
                ++result.errorCount;
                break;

            case MoveResult::targetExists:
            case MoveResult::failed:
                row.outcome = Outcome::failed;
                status.add ("Failed to rename: " + text (formerName));
                ++result.errorCount;
                break;
        }
    }

    const auto renamed = juce::String (result.renamedCount);

    if (result.renamedCount > 0 && SafeRename::isFolder (historyFolder))
    {
        history += "\nTotal: " + renamed.toStdString() + " files renamed\n";
        result.historyFileName = text (SafeRename::saveAsNewFile (historyFolder, withCrLf (history), historyFileName));

        if (result.historyFileName.isNotEmpty())
            status.add ("History saved: " + result.historyFileName);
    }

    status.add ("Complete: " + renamed + " renamed, " + juce::String (result.errorCount) + " errors");

    // The last text is the one seen: it says how many rows failed, where the history really went,
    // or that it could not be written.
    const auto errors = result.errorCount > 0 ? ", " + juce::String (result.errorCount) + " errors" : juce::String();
    if (result.renamedCount == 0)
        status.add ("No files were renamed");
    else if (result.historyFileName.isNotEmpty())
        status.add ("Complete: " + renamed + " files renamed" + errors + " - History saved to " + result.historyFileName);
    else
        status.add ("Complete: " + renamed + " files renamed" + errors + " - History not saved");

    return result;
}
