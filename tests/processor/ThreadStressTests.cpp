#include "ProcessorTestHelpers.h"

#include <thread>

using namespace ProcessorTestHelpers;

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
    const auto parameters = processor.getParameters();

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
                midi.addEvent (juce::MidiMessage::noteOn (1 + random.nextInt (16), 34 + random.nextInt (12), (juce::uint8) (1 + random.nextInt (127))), random.nextInt (blockSize));

            processor.processBlock (buffer, midi);
            nonFiniteBlocks += allFinite (buffer) ? 0 : 1;
        }
    });

    std::thread hostThread ([&]
    {
        juce::Random random (2);

        for (; running; ++hostRounds)
        {
            // Choke groups and labels among them, which rebuild choke lists and send messages.
            parameters[random.nextInt (parameters.size())]->setValueNotifyingHost (random.nextFloat());

            if (random.nextInt (4) == 0)
            {
                juce::MemoryBlock state;
                processor.getStateInformation (state);
                EXPECT_NE (juce::AudioProcessor::getXmlFromBinary (state.getData(), (int) state.getSize()), nullptr);
                processor.setStateInformation (state.getData(), (int) state.getSize());
            }
        }
    });

    // The message thread: presets, the note map and the active panel, pads, MIDI learn and the editor opening and closing.
    juce::Random random (3);
    int failedPresetOperations = 0;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    // As a host closes it: the processor is told first.
    const auto closeEditor = [&] { processor.editorBeingDeleted (editor.get()); editor.reset(); };

    for (const auto end = juce::Time::getMillisecondCounter() + 3000; juce::Time::getMillisecondCounter() < end;)
    {
        switch (random.nextInt (7))
        {
            case 0:  failedPresetOperations += processor.savePresetFile (presetPath) ? 0 : 1; break;
            case 1:  failedPresetOperations += processor.loadPresetFile (presetPath) ? 0 : 1; break;
            case 2:  processor.setVoiceMidiNotes (36 + random.nextInt (8), 37, 38, 39, 40, 41, 30 + random.nextInt (20)); break;
            case 3:  processor.voiceManager.getVoice (random.nextInt (VoiceManager::numVoices))->noteOn (40, false, 1.0f); break;
            case 4:  processor.midiLearnArmed = true; break;
            case 5:  processor.setStateProperty (StateIds::activePanel, StateIds::panelName (1 + random.nextInt (7))); break;
            default: editor == nullptr ? editor.reset (processor.createEditorIfNeeded()) : closeEditor(); break;
        }

        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
    }

    if (editor != nullptr)
        closeEditor();

    running = false;
    audioThread.join();
    hostThread.join();

    EXPECT_TRUE (failedPresetOperations == 0 && nonFiniteBlocks == 0) << failedPresetOperations << " failed, " << nonFiniteBlocks << " blocks not finite";
    EXPECT_TRUE (blocks > 100 && hostRounds > 100) << blocks << " blocks, " << hostRounds << " host rounds";
}
