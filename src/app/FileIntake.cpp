#include "app/FileIntake.h"

#include <sys/stat.h>

namespace FileIntake
{
bool isRegularFile (const juce::String& path)
{
    // stat, not juce::File::existsAsFile, which also takes FIFOs and devices: opening a FIFO blocks.
    struct stat info {};
    return path.startsWithChar ('/') && ::stat (path.toRawUTF8(), &info) == 0 && S_ISREG (info.st_mode);
}

juce::StringArray regularFilesOnly (const juce::StringArray& paths)
{
    juce::StringArray files;
    for (const auto& p : paths)
        if (isRegularFile (p))
            files.add (p);
    return files;
}
}
