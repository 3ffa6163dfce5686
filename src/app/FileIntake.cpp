#include "app/FileIntake.h"

#include <sys/stat.h>

namespace FileIntake
{
bool isRegularFile (const std::string& path)
{
    // stat, not juce::File::existsAsFile, which also takes FIFOs and devices: opening a FIFO blocks.
    struct stat info {};
    return ! path.empty() && path.front() == '/' && path.find ('\0') == std::string::npos
        && ::stat (path.c_str(), &info) == 0 && S_ISREG (info.st_mode);
}
}
