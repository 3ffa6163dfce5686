#include "analysis/PanelTestSupport.h"

#include <unistd.h>

using namespace tarsio::test;

static LoudnessResult measured (const juce::File& file) { return LoudnessMeasurement::measureFile (file, {}).value_or (LoudnessResult { 1.0f, 1.0f }); }

// Known signals (EBU Tech 3341: a 1 kHz sine at -23 dBFS on both channels reads -23.0 LUFS), peaks,
// silence and files too short for a gating block. Channels weigh as BS.1770 has them: by the
// speaker mask, else in the usual order (L R C LFE Ls Rs, then surrounds); LFE never counts; side
// and back surrounds weigh 1.41, so a -23 dBFS sine on two of them reads -21.5 LUFS (the EBU
// reference and ffmpeg agree).
TEST (LoudnessMeasurementTest, KnownSignalsGiveTheirLoudnessAndTruePeak)
{
    using S = juce::AudioChannelSet;
    const auto seven1 = S::channelSetWithChannels ({ S::left, S::right, S::centre, S::LFE, S::leftSurround, S::rightSurround, S::leftSurroundSide, S::rightSurroundSide });
    const auto tail = [] (int, int f) { return f >= kAnalysisBlockFrames ? sine (-12.0) (0, f) : 0.0f; }; // the last, short block counts
    const float inf = -INFINITY, floor = kTruePeakFloorDb;
    const struct { S set; double rate; int bits, frames; SampleAt signal; float lufs, truePeak; } cases[] = {
        { channels (2), 48000, 32, 144000, sine (-23.0, 1000.0), -23.0f, -23.0f }, { channels (2), 48000, 24, 144000, sine (-20.0, 1000.0), -20.0f, -20.0f },
        { channels (2), 44100, 16, 132300, sine (-23.0, 1000.0, 44100.0), -23.0f, -23.0f },
        { channels (1), 48000, 32, 144000, sine (-23.0, 1000.0), -26.01f, -23.0f }, // mono counts once, not as dual mono
        { channels (2), 48000, 16, 96000, sine (-400.0), inf, floor }, { channels (2), 48000, 32, 96000, sine (-120.0), inf, floor },
        { channels (2), 48000, 32, 9600, sine (-6.02), inf, -6.02f }, { channels (1), 48000, 32, 10000, tail, inf, -12.0f },
        { seven1, 48000, 24, 96000, sine (-23.0, 1000.0, 48000.0, { 6, 7 }), -21.5f, -23.0f },
        { seven1, 48000, 24, 96000, sine (-23.0, 1000.0, 48000.0, { 3 }), inf, -23.0f },
        { channels (8), 48000, 24, 96000, sine (-23.0, 1000.0, 48000.0, { 6, 7 }), -21.5f, -23.0f },
        { channels (8), 48000, 24, 96000, sine (-23.0, 1000.0, 48000.0, { 3 }), inf, -23.0f },
        { channels (6), 48000, 24, 96000, sine (-23.0, 1000.0, 48000.0, { 4, 5 }), -21.5f, -23.0f },
        { S::channelSetWithChannels ({ S::leftSurroundSide, S::rightSurroundSide }), 48000, 24, 96000, sine (-23.0, 1000.0), -21.5f, -23.0f },
        { S::channelSetWithChannels ({ S::left, S::right, S::LFE }), 48000, 24, 96000, sine (-23.0, 1000.0, 48000.0, { 2 }), inf, -23.0f },
    };
    TempFolder folder;
    for (const auto& c : cases)
    {
        const auto r = measured (writeWav (folder / "s.wav", c.set, c.rate, c.bits, c.frames, c.signal));
        EXPECT_TRUE ((r.lufs == c.lufs || std::abs (r.lufs - c.lufs) < 0.05f) && std::abs (r.truePeak - c.truePeak) < 0.05f)
            << r.lufs << " " << r.truePeak << " " << c.set.getDescription() << " " << c.frames;
    }
}

// Formats libebur128 does not take (over 64 channels; 16 and 17 Hz, which it takes but then
// corrupts its heap on) or cannot weigh (rates below twice its 1.68 kHz shelf, where pink noise read
// +inf, -inf or thousands of LUFS), rates no recording has and files no reader takes give the error
// values, never a value that is not one. A header claiming a huge data chunk measures the frames the
// file holds, not hours of padding.
TEST (LoudnessMeasurementTest, DamagedOrUnusualFilesNeitherFailNorHang)
{
    TempFolder folder;
    const struct { int channels; double rate; int frames; bool measurable; } formats[] = {
        { 65, 48000, 640, false }, { 1, 8, 640, false }, { 2, 16, 640, false }, { 1, 999, 640, false }, { 64, 48000, 640, true },
        { 1, 1000, 640, false }, { 2, 2000, 20000, false }, { 2, 2500, 25000, false }, { 2, 3350, 33500, false }, { 2, 3364, 33640, true },
    };
    for (const auto& f : formats)
    {
        const auto r = measured (writeWav (folder / "f.wav", channels (f.channels), f.rate, 16, f.frames, pinkNoise (0.3f)));
        EXPECT_EQ (! r.isError(), f.measurable) << f.channels << " " << f.rate << ": " << r.lufs;
        EXPECT_TRUE (r.isError() || ((std::isfinite (r.lufs) || r.lufs < 0.0f) && std::isfinite (r.truePeak))) << r.lufs;
    }
    (folder / "empty.wav").create();
    for (const auto& file : { writeBytes (folder / "text.wav", { "not audio", 9 }), folder / "empty.wav", folder / "missing.wav" })
        EXPECT_TRUE (measured (file).isError()) << file.getFileName();

    const auto file = writeWav (folder / "claims.wav", channels (2), 48000.0, 16, 96000, sine (-12.0));
    const auto intact = measured (file);
    juce::MemoryBlock content;
    file.loadFileAsData (content);
    const int dataSize = (int) std::string ((const char*) content.getData(), content.getSize()).find ("data") + 4;
    // A data size far past the file's end; both sizes left at 0, as a recording ended by a crash leaves them.
    for (const auto& sizes : { std::vector<std::pair<int, const char*>> { { dataSize, "\xf0\xff\xff\xff" } },
                               std::vector<std::pair<int, const char*>> { { 4, "\0\0\0\0" }, { dataSize, "\0\0\0\0" } } })
    {
        auto damagedContent = content;
        for (const auto& [at, bytes] : sizes)
            damagedContent.copyFrom (bytes, at, 4);
        const auto damaged = measured (writeBytes (file, damagedContent));
        EXPECT_TRUE (damaged.lufs == intact.lufs && damaged.truePeak == intact.truePeak) << damaged.lufs << " " << sizes.size();
    }
}

// A file replaced or cut while it is measured (a re-export landing meanwhile) reads as what it holds
// afterwards, never as a mix of both versions; one that keeps changing, or is deleted, is an error
// rather than the values of a file no longer there.
TEST (LoudnessMeasurementTest, AFileChangedWhileMeasuredReadsAsItsNewContentOrIsAnError)
{
    TempFolder folder;
    const auto file = folder / "m.wav", other = folder / "new.wav";
    const auto write = [] (const juce::File& f, int frames, double dbfs) { return writeWav (f, channels (2), 48000.0, 24, frames, sine (dbfs)).existsAsFile(); };
    const struct { const char* name; std::function<bool (int block)> change; bool measurable; } cases[] = {
        { "replaced", [&] (int b) { return b != 3 || (write (other, 96000, -9.0) && other.moveFileTo (file)); }, true },
        { "cut short", [&] (int b) { return b != 3 || ::truncate (file.getFullPathName().toRawUTF8(), 100000) == 0; }, true },
        { "deleted", [&] (int b) { return b != 3 || file.deleteFile(); }, false },
        { "written all along", [&] (int b) { return b < 3 || write (file, 100000 + b, -9.0); }, false },
    };
    for (const auto& c : cases)
    {
        write (file, 200000, -20.0);
        int blocks = 0;
        const auto r = LoudnessMeasurement::measureFile (file, [&] { return ! c.change (++blocks); });
        const auto now = measured (file);
        ASSERT_TRUE (r.has_value()) << c.name;
        EXPECT_TRUE (c.measurable ? r->lufs == now.lufs && r->truePeak == now.truePeak : r->isError())
            << c.name << ": " << r->lufs << " " << r->truePeak << ", now " << now.lufs << " " << now.truePeak;
    }
}
