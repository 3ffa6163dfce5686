#pragma once

#include "rename/RenameBatch.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>


namespace tarsio::test
{
// A folder of small files whose contents name them, so that a lost or overwritten file shows.
class BatchFolder
{
public:
    BatchFolder() : folder (temp.get()) {}

    std::string path (const juce::String& relative) const { return folder.getChildFile (relative).getFullPathName().toStdString(); }
    std::string root() const { return folder.getFullPathName().toStdString(); }

    std::string make (const juce::String& relative, const juce::String& content = {}) const
    {
        const auto file = folder.getChildFile (relative);
        file.getParentDirectory().createDirectory();
        EXPECT_TRUE (file.replaceWithText (content.isEmpty() ? "content of " + relative : content));
        return file.getFullPathName().toStdString();
    }

    juce::File file (const juce::String& relative) const { return folder.getChildFile (relative); }
    juce::String contentOf (const juce::String& relative) const { return file (relative).loadFileAsString(); }

    std::string bytesOf (const juce::String& relative) const
    {
        juce::MemoryBlock block;
        EXPECT_TRUE (file (relative).loadFileAsData (block)) << relative;
        return block.getSize() == 0 ? std::string() : std::string ((const char*) block.getData(), block.getSize());
    }

    // Every entry directly in the folder (or a subfolder), hidden ones included.
    std::set<juce::String> names (const juce::String& subfolder = {}) const
    {
        std::set<juce::String> result;
        const auto dir = subfolder.isEmpty() ? folder : folder.getChildFile (subfolder);

        for (const auto& entry : juce::RangedDirectoryIterator (dir, false, "*", juce::File::findFilesAndDirectories))
            result.insert (entry.getFile().getFileName());

        return result;
    }

private:
    TempFolder temp;
    juce::File folder;
    JUCE_DECLARE_NON_COPYABLE (BatchFolder)
};

// 2024-03-07 09:05:02, local time.
inline juce::Time batchClock()
{
    return juce::Time (2024, 2, 7, 9, 5, 2, 0, true);
}
} // namespace tarsio::test
