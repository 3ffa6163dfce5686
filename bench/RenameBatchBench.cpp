// The batch over 10,000 files of one folder against a plain loop of no-replace renames of the same
// files, the file system's own limit. Folders live in the system's temporary folder.
#include "rename/RenameBatch.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace
{
constexpr int fileCount = 10000;

class BatchOf10000 final
{
public:
    BatchOf10000()
    {
        auto pattern = juce::File::getSpecialLocation (juce::File::tempDirectory)
                           .getChildFile ("tarsio-bench-XXXXXX").getFullPathName().toStdString();
        folder = ::mkdtemp (pattern.data()) != nullptr ? pattern : std::string();

        for (int i = 0; i < fileCount; ++i)
        {
            paths.push_back (folder + "/take" + std::to_string (i) + ".wav");
            targets.push_back (folder + "/Kick" + std::to_string (i + 1) + ".wav");
            newNames[paths.back()] = "Kick" + std::to_string (i + 1);
        }
    }

    ~BatchOf10000() { juce::File (folder).deleteRecursively(); }

    bool fill() const
    {
        for (const auto& path : paths)
        {
            const int fd = ::open (path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);

            if (fd < 0 || ::close (fd) != 0)
                return false;
        }

        return true;
    }

    void empty() const
    {
        for (const auto& entry : juce::RangedDirectoryIterator (juce::File (folder), false, "*", juce::File::findFiles))
            entry.getFile().deleteFile();
    }

    std::string folder;
    std::vector<std::string> paths, targets;
    std::map<std::string, std::string> newNames;
};

template <typename Work>
void runOverFreshFiles (benchmark::State& state, const BatchOf10000& batch, Work&& work)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        batch.empty();

        if (! batch.fill())
        {
            state.SkipWithError ("could not create the files");
            return;
        }

        ::sync();
        state.ResumeTiming();
        work();
    }

    batch.empty();
    state.SetItemsProcessed (state.iterations() * fileCount);
}

void BM_RenameBatch (benchmark::State& state)
{
    const BatchOf10000 batch;
    runOverFreshFiles (state, batch, [&]
    {
        const auto result = RenameBatch::run (batch.paths, batch.newNames, juce::Time::getCurrentTime());

        if (result.renamedCount != fileCount || result.historyFileName.isEmpty())
            state.SkipWithError ("the batch did not rename every file");
    });
}

void BM_PlainNoReplaceRenames (benchmark::State& state)
{
    const BatchOf10000 batch;
    runOverFreshFiles (state, batch, [&]
    {
        for (int i = 0; i < fileCount; ++i)
            if (::renameat2 (AT_FDCWD, batch.paths[(size_t) i].c_str(), AT_FDCWD, batch.targets[(size_t) i].c_str(), RENAME_NOREPLACE) != 0)
                state.SkipWithError ("a plain rename failed");
    });
}
} // namespace

BENCHMARK (BM_PlainNoReplaceRenames)->Unit (benchmark::kMillisecond)->UseRealTime()->Iterations (20);
BENCHMARK (BM_RenameBatch)->Unit (benchmark::kMillisecond)->UseRealTime()->Iterations (20);
