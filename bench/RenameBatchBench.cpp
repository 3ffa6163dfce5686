// The batch over 10,000 files of one folder (taken in as intake takes them) against a plain loop of
// no-replace renames of the same files, the file system's own limit. Folders live in the system's
// temporary folder.
#include "rename/RenameBatch.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
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

    // Makes the files and takes them in as intake does.
    bool fill()
    {
        identities.clear();

        for (const auto& path : paths)
        {
            const int fd = ::open (path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);

            if (fd < 0 || ::close (fd) != 0)
                return false;

            identities[path] = FileIdentity::of (path);
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
    FileIdentities identities;
};

template <typename Work>
void runOverFreshFiles (benchmark::State& state, BatchOf10000& batch, Work&& work)
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
    BatchOf10000 batch;
    runOverFreshFiles (state, batch, [&]
    {
        const auto result = RenameBatch::run (batch.paths, batch.newNames, batch.identities, juce::Time::getCurrentTime());

        if (result.renamedCount != fileCount || result.historyFileName.isEmpty())
            state.SkipWithError ("the batch did not rename every file");
    });
}

void BM_PlainNoReplaceRenames (benchmark::State& state)
{
    BatchOf10000 batch;
    runOverFreshFiles (state, batch, [&]
    {
        for (int i = 0; i < fileCount; ++i)
            if (::renameat2 (AT_FDCWD, batch.paths[(size_t) i].c_str(), AT_FDCWD, batch.targets[(size_t) i].c_str(), RENAME_NOREPLACE) != 0)
                state.SkipWithError ("a plain rename failed");
    });
}

// The same renames, each file first checked with one stat and both made relative to the folder,
// opened once, all on one thread: the least such a batch costs when it does not check ahead.
void BM_CheckedNoReplaceRenames (benchmark::State& state)
{
    BatchOf10000 batch;
    std::vector<std::string> from, to;

    for (int i = 0; i < fileCount; ++i)
    {
        from.push_back ("take" + std::to_string (i) + ".wav");
        to.push_back ("Kick" + std::to_string (i + 1) + ".wav");
    }

    runOverFreshFiles (state, batch, [&]
    {
        const int folder = ::open (batch.folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);

        for (int i = 0; i < fileCount; ++i)
        {
            struct stat info;
            if (::fstatat (folder, from[(size_t) i].c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0
                 || ::renameat2 (folder, from[(size_t) i].c_str(), folder, to[(size_t) i].c_str(), RENAME_NOREPLACE) != 0)
                state.SkipWithError ("a checked rename failed");
        }

        ::close (folder);
    });
}
// The batch and the plain loop taken turn about on the same folder, so that both meet the file
// system in the same state: batch_ms against plain_ms, and their ratio.
void BM_RenameBatchBesidePlainLoop (benchmark::State& state)
{
    BatchOf10000 batch;
    double plainMs = 0.0, batchMs = 0.0;

    const auto timed = [&] (auto&& work)
    {
        batch.empty();

        if (! batch.fill())
            return -1.0;

        ::sync();
        const auto start = juce::Time::getMillisecondCounterHiRes();
        work();
        return juce::Time::getMillisecondCounterHiRes() - start;
    };

    for (auto _ : state)
    {
        const auto plain = timed ([&]
        {
            for (int i = 0; i < fileCount; ++i)
                ::renameat2 (AT_FDCWD, batch.paths[(size_t) i].c_str(), AT_FDCWD, batch.targets[(size_t) i].c_str(), RENAME_NOREPLACE);
        });
        const auto ran = timed ([&] { RenameBatch::run (batch.paths, batch.newNames, batch.identities, juce::Time::getCurrentTime()); });

        if (plain < 0.0 || ran < 0.0)
        {
            state.SkipWithError ("could not create the files");
            return;
        }

        plainMs += plain;
        batchMs += ran;
        state.SetIterationTime (ran / 1000.0);
    }

    batch.empty();
    state.counters["plain_ms"] = plainMs / (double) state.iterations();
    state.counters["batch_ms"] = batchMs / (double) state.iterations();
    state.counters["ratio"] = batchMs / plainMs;
}
} // namespace

BENCHMARK (BM_RenameBatchBesidePlainLoop)->Unit (benchmark::kMillisecond)->UseManualTime()->Iterations (20);
BENCHMARK (BM_PlainNoReplaceRenames)->Unit (benchmark::kMillisecond)->UseRealTime()->Iterations (20);
BENCHMARK (BM_CheckedNoReplaceRenames)->Unit (benchmark::kMillisecond)->UseRealTime()->Iterations (20);
BENCHMARK (BM_RenameBatch)->Unit (benchmark::kMillisecond)->UseRealTime()->Iterations (20);
