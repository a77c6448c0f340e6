#pragma once

#include "processor/KestrinAudioProcessor.h"
#include "processor/ParameterIds.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ProcessorTestHelpers
{
/** A fresh data folder under the system's temporary folder, deleted with everything in it.
    The name is unique across processes: CTest runs test programs side by side. */
class TemporaryDataFolder final
{
public:
    TemporaryDataFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("TombrelProcessorTest-" + juce::Uuid().toString()))
    {
    }

    ~TemporaryDataFolder()
    {
        folder.deleteRecursively();
    }

    const juce::File& get() const noexcept            { return folder; }
    juce::File settingsFile() const                   { return folder.getChildFile ("settings.xml"); }
    juce::File presetsFolder() const                  { return folder.getChildFile ("Presets"); }

private:
    const juce::File folder;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TemporaryDataFolder)
};

/** Records every action message it receives, in order. */
class MessageRecorder final : public juce::ActionListener
{
public:
    explicit MessageRecorder (juce::ActionBroadcaster& source) : broadcaster (source)
    {
        broadcaster.addActionListener (this);
    }

    ~MessageRecorder() override
    {
        broadcaster.removeActionListener (this);
    }

    void actionListenerCallback (const juce::String& message) override      { messages.add (message); }

    int count (const juce::String& message) const
    {
        int n = 0;

        for (const auto& m : messages)
            n += (m == message) ? 1 : 0;

        return n;
    }

    juce::StringArray messages;

private:
    juce::ActionBroadcaster& broadcaster;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MessageRecorder)
};

/** Long enough for the broadcasters' 10 ms timer and the posted messages behind it. */
inline void pumpMessages (int milliseconds = 100)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

inline juce::RangedAudioParameter& parameter (KestrinAudioProcessor& processor, const juce::String& id)
{
    auto* p = processor.valueTreeState.getParameter (id);

    if (p == nullptr)
        throw std::runtime_error (("no parameter " + id).toStdString());

    return *p;
}

inline juce::RangedAudioParameter& voiceParameter (KestrinAudioProcessor& processor, int voiceNumber, const char* suffix)
{
    return parameter (processor, ParameterIds::voiceParameterId (voiceNumber, suffix));
}

/** Sets a parameter in its own units, as a host or an attachment would. */
inline void setValue (juce::RangedAudioParameter& p, float value)
{
    p.setValueNotifyingHost (p.convertTo0to1 (value));
}

inline float getValue (KestrinAudioProcessor& processor, const juce::String& id)
{
    return processor.valueTreeState.getRawParameterValue (id)->load();
}

constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;

/** Renders numBlocks blocks into a buffer the size of the processor's current layout, the
    first block carrying `midi`, and returns all of it. */
inline juce::AudioBuffer<float> render (KestrinAudioProcessor& processor, const juce::MidiBuffer& midi, int numBlocks)
{
    const auto numChannels = processor.getTotalNumOutputChannels();
    juce::AudioBuffer<float> result (numChannels, numBlocks * blockSize);
    juce::AudioBuffer<float> block (numChannels, blockSize);

    for (int b = 0; b < numBlocks; ++b)
    {
        juce::MidiBuffer blockMidi;

        if (b == 0)
            blockMidi = midi;

        processor.processBlock (block, blockMidi);

        for (int ch = 0; ch < numChannels; ++ch)
            result.copyFrom (ch, b * blockSize, block, ch, 0, blockSize);
    }

    return result;
}

inline juce::MidiBuffer noteOn (int channel, int note, int samplePosition = 0)
{
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (channel, note, (juce::uint8) 100), samplePosition);
    return midi;
}

inline float peak (const juce::AudioBuffer<float>& buffer, int channel)
{
    return buffer.getMagnitude (channel, 0, buffer.getNumSamples());
}

/** True when every sample of every channel is finite. */
inline bool allFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (ch, i)))
                return false;

    return true;
}
} // namespace ProcessorTestHelpers
