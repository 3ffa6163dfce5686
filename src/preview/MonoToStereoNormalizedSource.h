#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>

// Applies the preview's normalisation gain and copies a mono source to every output channel.
// getNextAudioBlock runs on the audio device's thread; the read position may also be set and read
// from other threads (a seek from the message thread), so the wrapped source is only ever used
// under this object's lock. The wrapped source is not owned.
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
    bool isMonoSource() const noexcept { return isMono; }

    // True while an audio thread pulls blocks: one was pulled within the last 200 ms and the chain
    // has not been released since (a device that stops releases it).
    bool wasPulledRecently() const noexcept;

private:
    juce::PositionableAudioSource* wrappedSource = nullptr;
    bool isMono = false;
    float normalisationGain = 1.0f;
    juce::AudioBuffer<float> scratch;
    mutable juce::CriticalSection lock;
    std::atomic<juce::uint32> lastPullMs { 0 }; // 0: not pulled since prepared or released

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MonoToStereoNormalizedSource)
};
