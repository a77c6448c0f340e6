#pragma once

#include "engine/VoiceManager.h"

#include <juce_audio_processors/juce_audio_processors.h>

class KestrinAudioProcessor : public juce::AudioProcessor,
                              public AsyncMessageBroadcaster
{
public:
    KestrinAudioProcessor();
    explicit KestrinAudioProcessor (const juce::File& dataFolder);
    ~KestrinAudioProcessor() override;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    const juce::String getName() const override { return "Tombrel"; }
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    VoiceManager voiceManager;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KestrinAudioProcessor)
};
