#include "ProcessorTestHelpers.h"

#include <thread>

using namespace ProcessorTestHelpers;
namespace Id = ParameterIds;

// A host plays on its audio thread and automates, saves and restores on another thread while the
// user works in the editor on the message thread. Under the thread sanitizer this finds races
// between the three; in every build the sound must stay finite and every preset load and save succeed.
TEST (ThreadStress, AudioHostAndMessageThreadsAtOnce)
{
    TemporaryDataFolder folder;
    KestrinAudioProcessor processor (folder.get());
    processor.prepareToPlay (sampleRate, blockSize);
    const auto presetPath = folder.presetsFolder().getChildFile ("Stress.qvtp").getFullPathName();
    ASSERT_TRUE (processor.savePresetFile (presetPath));

    // Looked up before the threads start, as a host holds its parameters.
    std::vector<juce::AudioProcessorParameter*> parameters, chokeGroupsAndLabels;

    for (auto* parameter : processor.getParameters())
    {
        const auto id = dynamic_cast<juce::RangedAudioParameter&> (*parameter).paramID;
        (id.endsWith (Id::chokeGroup) || id.endsWith (Id::label) ? chokeGroupsAndLabels : parameters).push_back (parameter);
    }

    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 }, nonFiniteBlocks { 0 }, hostRounds { 0 };

    std::thread audioThread ([&]
    {
        juce::Random random (1);
        juce::AudioBuffer<float> buffer (processor.getTotalNumOutputChannels(), blockSize);
        juce::MidiBuffer midi;

        for (; running; ++blocks)
        {
            midi.clear();

            for (int i = random.nextInt (4); --i >= 0;)
                midi.addEvent (juce::MidiMessage::noteOn (1 + random.nextInt (16), 34 + random.nextInt (12), (juce::uint8) (1 + random.nextInt (127))),
                               random.nextInt (blockSize));

            processor.processBlock (buffer, midi);
            nonFiniteBlocks += allFinite (buffer) ? 0 : 1;
        }
    });

    std::thread hostThread ([&]
    {
        juce::Random random (2);

        for (; running; ++hostRounds)
        {
            parameters[(size_t) random.nextInt ((int) parameters.size())]->setValueNotifyingHost (random.nextFloat());
            chokeGroupsAndLabels[(size_t) random.nextInt ((int) chokeGroupsAndLabels.size())]->setValueNotifyingHost (random.nextFloat());

            if (random.nextInt (4) == 0)
            {
                juce::MemoryBlock state;
                processor.getStateInformation (state);
                processor.setStateInformation (state.getData(), (int) state.getSize());
            }
        }
    });

    // The message thread: presets, the note map, pads and MIDI learn.
    juce::Random random (3);
    int failedPresetOperations = 0;

    for (const auto end = juce::Time::getMillisecondCounter() + 3000; juce::Time::getMillisecondCounter() < end;)
    {
        switch (random.nextInt (5))
        {
            case 0:  failedPresetOperations += processor.savePresetFile (presetPath) ? 0 : 1; break;
            case 1:  failedPresetOperations += processor.loadPresetFile (presetPath) ? 0 : 1; break;
            case 2:  processor.setVoiceMidiNotes (36 + random.nextInt (8), 37, 38, 39, 40, 41, 30 + random.nextInt (20)); break;
            case 3:  processor.voiceManager.getVoice (random.nextInt (VoiceManager::numVoices))->noteOn (40, false, 1.0f); break;
            default: processor.midiLearnArmed = true; break;
        }

        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
    }

    running = false;
    audioThread.join();
    hostThread.join();

    EXPECT_EQ (failedPresetOperations, 0);
    EXPECT_EQ (nonFiniteBlocks.load(), 0);
    EXPECT_GT (blocks.load(), 100);
    EXPECT_GT (hostRounds.load(), 100);

    // What the host saves at the end is whole: one entry with a value for every parameter.
    juce::MemoryBlock state;
    processor.getStateInformation (state);
    const auto xml = juce::AudioProcessor::getXmlFromBinary (state.getData(), (int) state.getSize());
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getNumChildElements(), processor.getParameters().size());

    for (auto* entry : xml->getChildIterator())
        EXPECT_TRUE (entry->hasAttribute ("value") && std::isfinite (entry->getDoubleAttribute ("value"))) << entry->toString();
}
