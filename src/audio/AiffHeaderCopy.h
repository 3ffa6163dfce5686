#pragma once

#include "audio/WavHeaderCopy.h"

// A bounded walk over an AIFF or AIFC file's chunks that keeps only what the audio needs (FVER,
// COMM and where the SSND chunk's samples stand). JUCE 7.0.5's AIFF reader believes every other
// chunk it knows: an INST chunk claiming 4 GB makes it allocate 4 GB, a MARK or COMT chunk
// claiming 65,535 entries keeps it busy for seconds with hundreds of megabytes, and their texts
// need not be UTF-8. It reads the image made here instead, the samples in place. No UI; any thread.
namespace AiffHeaderCopy
{
    // Fills head with "FORM", its size, the form type, FVER (when the file has one), COMM and the
    // SSND chunk's header (its size as the file gives it, offset and block size zero), and data with
    // where its samples stand in the file; they end at the end of the file when it is cut off.
    // False when the stream is not an AIFF or AIFC with a COMM chunk of sane size and an SSND chunk.
    bool copyHeader (juce::InputStream& source, juce::MemoryBlock& head, WavHeaderCopy::DataRegion& data);
}
