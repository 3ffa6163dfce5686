#include "preview/MonoToStereoNormalizedSource.h"

#include <gtest/gtest.h>

namespace
{
// A ramp per channel: channel c, frame i holds (c + 1) * 0.001 * (i + 1).
juce::AudioBuffer<float> ramps (int channels, int frames)
{
    juce::AudioBuffer<float> b (channels, frames);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < frames; ++i)
            b.setSample (c, i, (float) (c + 1) * 0.001f * (float) (i + 1));
    return b;
}

// An output buffer whose every sample holds a marker, so untouched samples show.
juce::AudioBuffer<float> marked (int channels, int frames)
{
    juce::AudioBuffer<float> b (channels, frames);
    for (int c = 0; c < channels; ++c)
        juce::FloatVectorOperations::fill (b.getWritePointer (c), 7.0f, frames);
    return b;
}
} // namespace

TEST (NormalizedSource, MonoGoesToEveryChannelOfTheRequestedRegionOnly)
{
    auto samples = ramps (1, 200);
    juce::MemoryAudioSource memory (samples, false);
    MonoToStereoNormalizedSource source (&memory, true, 2.0f);
    source.prepareToPlay (64, 44100.0);

    auto out = marked (3, 100);
    source.getNextAudioBlock (juce::AudioSourceChannelInfo (&out, 10, 50));

    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 100; ++i)
        {
            const float expected = (i >= 10 && i < 60) ? 2.0f * 0.001f * (float) (i - 10 + 1) : 7.0f;
            ASSERT_FLOAT_EQ (out.getSample (c, i), expected) << "channel " << c << ", sample " << i;
        }
    EXPECT_EQ (source.getNextReadPosition(), 50);
}

TEST (NormalizedSource, StereoKeepsEachChannelWithTheGainApplied)
{
    auto samples = ramps (2, 200);
    juce::MemoryAudioSource memory (samples, false);
    MonoToStereoNormalizedSource source (&memory, false, 0.5f);
    source.prepareToPlay (64, 44100.0);
    source.setNextReadPosition (20);

    auto out = marked (2, 80);
    source.getNextAudioBlock (juce::AudioSourceChannelInfo (&out, 5, 70));

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 80; ++i)
        {
            const float expected = (i >= 5 && i < 75) ? 0.5f * (float) (c + 1) * 0.001f * (float) (20 + i - 5 + 1) : 7.0f;
            ASSERT_FLOAT_EQ (out.getSample (c, i), expected) << "channel " << c << ", sample " << i;
        }
}

TEST (NormalizedSource, WithoutAPositionableSourceDoesNothing)
{
    juce::ToneGeneratorAudioSource tone;
    MonoToStereoNormalizedSource source (&tone, true, 3.0f);
    source.prepareToPlay (64, 44100.0);

    auto out = marked (2, 32);
    source.getNextAudioBlock (juce::AudioSourceChannelInfo (out));
    source.setNextReadPosition (10);
    EXPECT_EQ (out.getSample (1, 31), 7.0f);
    EXPECT_EQ (source.getNextReadPosition(), 0);
    EXPECT_EQ (source.getTotalLength(), 0);
    EXPECT_FALSE (source.isLooping());
    source.releaseResources();
}
