#include "preview/MonoToStereoNormalizedSource.h"

MonoToStereoNormalizedSource::MonoToStereoNormalizedSource (juce::AudioSource* source, bool mono, float gain)
    : wrappedSource (dynamic_cast<juce::PositionableAudioSource*> (source)),
      isMono (mono),
      normalisationGain (gain)
{
}

void MonoToStereoNormalizedSource::prepareToPlay (int samplesPerBlockExpected, double sampleRate)
{
    if (wrappedSource != nullptr)
        wrappedSource->prepareToPlay (samplesPerBlockExpected, sampleRate);
    // Sized ahead so the audio thread does not allocate for blocks up to the expected size.
    scratch.setSize (1, juce::jmax (1, samplesPerBlockExpected), false, false, true);
}

void MonoToStereoNormalizedSource::releaseResources()
{
    if (wrappedSource != nullptr)
        wrappedSource->releaseResources();
}

void MonoToStereoNormalizedSource::getNextAudioBlock (const juce::AudioSourceChannelInfo& info)
{
    if (wrappedSource == nullptr)
        return;

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

    if (normalisationGain != 1.0f)
        for (int ch = 0; ch < out->getNumChannels(); ++ch)
            out->applyGain (ch, info.startSample, info.numSamples, normalisationGain);
}

void MonoToStereoNormalizedSource::setNextReadPosition (juce::int64 p)
{
    if (wrappedSource != nullptr)
        wrappedSource->setNextReadPosition (p);
}

juce::int64 MonoToStereoNormalizedSource::getNextReadPosition() const
{
    return wrappedSource != nullptr ? wrappedSource->getNextReadPosition() : 0;
}

juce::int64 MonoToStereoNormalizedSource::getTotalLength() const
{
    return wrappedSource != nullptr ? wrappedSource->getTotalLength() : 0;
}

bool MonoToStereoNormalizedSource::isLooping() const
{
    return wrappedSource != nullptr && wrappedSource->isLooping();
}

void MonoToStereoNormalizedSource::setLooping (bool shouldLoop)
{
    if (wrappedSource != nullptr)
        wrappedSource->setLooping (shouldLoop);
}
