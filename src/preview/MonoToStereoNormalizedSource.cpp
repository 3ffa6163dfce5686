#include "preview/MonoToStereoNormalizedSource.h"
#include "preview/PreviewScan.h"

namespace
{
constexpr juce::uint32 kRecentPullMs = 200;
}

MonoToStereoNormalizedSource::MonoToStereoNormalizedSource (juce::AudioSource* source, bool mono, float gain)
    : wrappedSource (dynamic_cast<juce::PositionableAudioSource*> (source)),
      isMono (mono),
      normalisationGain (gain)
{
}

void MonoToStereoNormalizedSource::prepareToPlay (int samplesPerBlockExpected, double sampleRate)
{
    const juce::ScopedLock sl (lock);
    if (wrappedSource != nullptr)
        wrappedSource->prepareToPlay (samplesPerBlockExpected, sampleRate);
    // Sized ahead so the audio thread does not allocate for blocks up to the expected size.
    scratch.setSize (1, juce::jmax (1, samplesPerBlockExpected), false, false, true);
}

void MonoToStereoNormalizedSource::releaseResources()
{
    lastPullMs.store (0);
    const juce::ScopedLock sl (lock);
    if (wrappedSource != nullptr)
        wrappedSource->releaseResources();
}

void MonoToStereoNormalizedSource::getNextAudioBlock (const juce::AudioSourceChannelInfo& info)
{
    if (wrappedSource == nullptr)
        return;

    lastPullMs.store (juce::jmax ((juce::uint32) 1, juce::Time::getMillisecondCounter()));

    const juce::ScopedLock sl (lock);
    auto* out = info.buffer;

    if (! isMono)
    {
        wrappedSource->getNextAudioBlock (info);
    }
    else
    {
        scratch.setSize (1, info.numSamples, false, false, true);
        juce::AudioSourceChannelInfo monoInfo (&scratch, 0, info.numSamples);
        wrappedSource->getNextAudioBlock (monoInfo);

        for (int ch = 0; ch < out->getNumChannels(); ++ch)
            out->copyFrom (ch, info.startSample, scratch, 0, 0, info.numSamples);
    }

    PreviewScan::silenceNonFinite (*out, info.startSample, info.numSamples);

    if (normalisationGain != 1.0f)
        for (int ch = 0; ch < out->getNumChannels(); ++ch)
            out->applyGain (ch, info.startSample, info.numSamples, normalisationGain);
}

bool MonoToStereoNormalizedSource::wasPulledRecently() const noexcept
{
    const auto last = lastPullMs.load();
    return last != 0 && juce::Time::getMillisecondCounter() - last < kRecentPullMs;
}

void MonoToStereoNormalizedSource::setNextReadPosition (juce::int64 p)
{
    const juce::ScopedLock sl (lock);
    if (wrappedSource != nullptr)
        wrappedSource->setNextReadPosition (p);
}

juce::int64 MonoToStereoNormalizedSource::getNextReadPosition() const
{
    const juce::ScopedLock sl (lock);
    return wrappedSource != nullptr ? wrappedSource->getNextReadPosition() : 0;
}

juce::int64 MonoToStereoNormalizedSource::getTotalLength() const
{
    const juce::ScopedLock sl (lock);
    return wrappedSource != nullptr ? wrappedSource->getTotalLength() : 0;
}

bool MonoToStereoNormalizedSource::isLooping() const
{
    const juce::ScopedLock sl (lock);
    return wrappedSource != nullptr && wrappedSource->isLooping();
}

void MonoToStereoNormalizedSource::setLooping (bool shouldLoop)
{
    const juce::ScopedLock sl (lock);
    if (wrappedSource != nullptr)
        wrappedSource->setLooping (shouldLoop);
}
