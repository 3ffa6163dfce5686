#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// Applies the preview's normalisation gain and copies a mono source to every output channel.
// Runs on the audio device's thread; the wrapped source is not owned.
class MonoToStereoNormalizedSource final : public juce::PositionableAudioSource
{
public:
    MonoToStereoNormalizedSource (juce::AudioSource* source, bool mono, float gain);
    ~MonoToStereoNormalizedSource() override = default;

    void prepareToPlay (int samplesPerBlockExpected, double sampleRate) override;
    void releaseResources() override;
    void getNextAudioBlock (const juce::AudioSourceChannelInfo& info) override;
    void setNextReadPosition (juce::int64 newPosition) override;
    juce::int64 getNextReadPosition() const override;
    juce::int64 getTotalLength() const override;
    bool isLooping() const override;
    void setLooping (bool shouldLoop) override;

    float getGain() const noexcept { return normalisationGain; }

private:
    juce::PositionableAudioSource* wrappedSource = nullptr;
    bool isMono = false;
    float normalisationGain = 1.0f;
    juce::AudioBuffer<float> scratch;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MonoToStereoNormalizedSource)
};
