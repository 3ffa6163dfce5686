#pragma once

#include <juce_core/juce_core.h>

#include <optional>

// The length of an MP3 file that carries no frame count of its own. JUCE 7.0.5's MP3 reader takes
// the count from a Xing or Info header; without one (VBR files of encoders that write none, or a
// VBRI header, which it does not read) it divides the file's size by the first frame's size. A
// VBR file's first frame is mostly a small one (silence, or the VBRI header), so such files were
// claimed two or three times their length: the preview ran on in silence and the waveform filled
// only the first part of the bar. Counting the frames themselves gives the length exactly. The
// same first frame tells a stream of 576-sample frames (Mp3HalfFrameReader).
// No UI; any thread.
namespace Mp3FrameCount
{
    // The MPEG audio frames of the stream, from the first frame after any ID3v2 tag to the last one
    // before the tags at its end, when its first frame holds no Xing or Info frame count; nothing
    // when it does, when no frame is found, or for free-format streams (frames of no stated size).
    // Leaves the stream where it was.
    std::optional<juce::int64> countWithoutVbrHeader (juce::InputStream& mp3Stream);

    // True when the stream's first frame, found as above, is Layer III of MPEG-2 or 2.5, whose
    // frames hold 576 samples. Leaves the stream where it was.
    bool holdsHalfFrames (juce::InputStream& mp3Stream);
}
