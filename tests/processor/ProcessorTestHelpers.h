#pragma once

#include "engine/EngineTestHelpers.h"
#include "processor/KestrinAudioProcessor.h"
#include "processor/ParameterIds.h"
#include "processor/StateIds.h"

namespace ProcessorTestHelpers
{
using namespace EngineTest;

/** A fresh data folder, unique across processes (CTest runs test programs side by side), deleted afterwards. */
class TemporaryDataFolder final
{
public:
    TemporaryDataFolder() = default;
    ~TemporaryDataFolder() { folder.deleteRecursively(); }

    const juce::File& get() const noexcept { return folder; }
    juce::File settingsFile() const        { return folder.getChildFile ("settings.xml"); }
    juce::File presetsFolder() const       { return folder.getChildFile ("Presets"); }

private:
    const juce::File folder { juce::File::getSpecialLocation (juce::File::tempDirectory)
                                  .getChildFile ("TombrelProcessorTest-" + juce::Uuid().toString()) };
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TemporaryDataFolder)
};

inline juce::RangedAudioParameter& parameter (KestrinAudioProcessor& processor, const juce::String& id)
{
    if (auto* p = processor.valueTreeState.getParameter (id))
        return *p;

    throw std::runtime_error (("no parameter " + id).toStdString());
}

inline juce::RangedAudioParameter& voiceParameter (KestrinAudioProcessor& processor, int voiceNumber, const char* suffix)
{
    return parameter (processor, ParameterIds::voiceParameterId (voiceNumber, suffix));
}

/** Sets a parameter in its own units, as a host or an attachment would. */
inline void setValue (juce::RangedAudioParameter& p, float value) { p.setValueNotifyingHost (p.convertTo0to1 (value)); }

inline float getValue (KestrinAudioProcessor& processor, const juce::String& id)
{
    return processor.valueTreeState.getRawParameterValue (id)->load();
}

/** Renders numSamples in host blocks into a buffer of the processor's current layout, `midi` in the first block. */
inline juce::AudioBuffer<float> render (KestrinAudioProcessor& processor, const juce::MidiBuffer& midi, int numSamples)
{
    const auto numChannels = processor.getTotalNumOutputChannels();
    juce::AudioBuffer<float> result (numChannels, numSamples), block (numChannels, blockSize);

    for (int start = 0; start < numSamples; start += blockSize)
    {
        auto blockMidi = start == 0 ? midi : juce::MidiBuffer();
        processor.processBlock (block, blockMidi);

        for (int ch = 0; ch < numChannels; ++ch)
            result.copyFrom (ch, start, block, ch, 0, std::min (blockSize, numSamples - start));
    }

    return result;
}

/** MIDI messages ten samples apart. */
inline juce::MidiBuffer midiOf (std::initializer_list<juce::MidiMessage> messages)
{
    juce::MidiBuffer midi;

    for (const auto& m : messages)
        midi.addEvent (m, 10 * midi.getNumEvents());

    return midi;
}

inline juce::MidiBuffer midiNoteOn (int channel, int note) { return midiOf ({ juce::MidiMessage::noteOn (channel, note, (juce::uint8) 100) }); }
} // namespace ProcessorTestHelpers
