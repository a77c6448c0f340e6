#include "ProcessorTestHelpers.h"

#include <thread>

using namespace ProcessorTestHelpers;

namespace
{
/** Quieter than anything a drum hit leaves in a whole block, louder than rounding noise. */
constexpr float silence = 1.0e-6f;
constexpr float audible = 1.0e-3f;
constexpr int blocksPerHit = 20;

class ProcessingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        processor.prepareToPlay (sampleRate, blockSize);
    }

    /** Enables the outputs of the given voices (1 to 7) and disables the others. */
    void enableVoiceOutputs (std::initializer_list<int> voiceNumbers)
    {
        processor.releaseResources();
        auto layout = processor.getBusesLayout();

        for (int bus = 1; bus < layout.outputBuses.size(); ++bus)
            layout.outputBuses.getReference (bus) = juce::AudioChannelSet::disabled();

        for (auto voiceNumber : voiceNumbers)
            layout.outputBuses.getReference (voiceNumber) = juce::AudioChannelSet::stereo();

        ASSERT_TRUE (processor.setBusesLayout (layout));
        processor.prepareToPlay (sampleRate, blockSize);
    }

    /** Peak of the left and right channels of an output bus: 0 "Mixed", 1 to 7 "Voice 1" to "Voice 7". */
    float busPeak (const juce::AudioBuffer<float>& buffer, int busIndex)
    {
        const auto* bus = processor.getBus (false, busIndex);
        const auto left = bus->getChannelIndexInProcessBlockBuffer (0);
        return juce::jmax (peak (buffer, left), peak (buffer, left + 1));
    }

    juce::AudioBuffer<float> hit (int voiceNumber)
    {
        return render (processor, noteOn (1, processor.defaultVoiceNotes[(size_t) voiceNumber - 1]), blocksPerHit);
    }

    TemporaryDataFolder folder;
    KestrinAudioProcessor processor { folder.get() };
};
} // namespace

//==============================================================================
TEST_F (ProcessingTest, OutputsAreMixedAndSevenVoiceBusesDisabledByDefault)
{
    EXPECT_EQ (processor.getBusCount (true), 0);
    ASSERT_EQ (processor.getBusCount (false), 8);
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Mixed");
    EXPECT_TRUE (processor.getBus (false, 0)->isEnabled());
    EXPECT_EQ (processor.getBus (false, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
    {
        EXPECT_EQ (processor.getBus (false, voiceNumber)->getName(), "Voice " + juce::String (voiceNumber));
        EXPECT_FALSE (processor.getBus (false, voiceNumber)->isEnabled());
        EXPECT_EQ (processor.getBus (false, voiceNumber)->getDefaultLayout(), juce::AudioChannelSet::stereo());
    }

    EXPECT_EQ (processor.getTotalNumOutputChannels(), 2);
    EXPECT_TRUE (processor.acceptsMidi());
}

TEST_F (ProcessingTest, OnlyStereoOrDisabledOutputsAreSupported)
{
    auto layout = processor.getBusesLayout();

    for (auto& bus : layout.outputBuses)
        bus = juce::AudioChannelSet::stereo();

    EXPECT_TRUE (processor.checkBusesLayoutSupported (layout));

    auto monoVoice = layout;
    monoVoice.outputBuses.getReference (4) = juce::AudioChannelSet::mono();
    EXPECT_FALSE (processor.checkBusesLayoutSupported (monoVoice));

    auto monoMain = layout;
    monoMain.outputBuses.getReference (0) = juce::AudioChannelSet::mono();
    EXPECT_FALSE (processor.checkBusesLayoutSupported (monoMain));

    auto noMain = layout;
    noMain.outputBuses.getReference (0) = juce::AudioChannelSet::disabled();
    EXPECT_FALSE (processor.checkBusesLayoutSupported (noMain));
}

TEST_F (ProcessingTest, FactoryKitIsLabelledForItsNotes)
{
    const juce::StringArray labels { "Kick", "Sidestick", "Snare", "Handclap", "Snare", "Tom L", "Closed HH" };

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
        EXPECT_EQ (voiceParameter (processor, voiceNumber, ParameterIds::label).getCurrentValueAsText(), labels[voiceNumber - 1]);

    // Sidestick and snare are one drum; the hi-hat has a group of its own.
    EXPECT_EQ (getValue (processor, "paramVoice2ChokeGroup"), getValue (processor, "paramVoice3ChokeGroup"));
    EXPECT_GT (getValue (processor, "paramVoice2ChokeGroup"), 0.0f);
    EXPECT_GT (getValue (processor, "paramVoice7ChokeGroup"), 0.0f);
    EXPECT_NE (getValue (processor, "paramVoice7ChokeGroup"), getValue (processor, "paramVoice3ChokeGroup"));
    EXPECT_EQ (getValue (processor, "paramVoice1ChokeGroup"), 0.0f);
}

TEST_F (ProcessingTest, EveryVoicePlaysItsFactoryNoteAndIsSilentOtherwise)
{
    const auto quiet = render (processor, {}, blocksPerHit);
    EXPECT_LT (busPeak (quiet, 0), silence);

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
    {
        const auto buffer = hit (voiceNumber);
        EXPECT_TRUE (allFinite (buffer)) << "voice " << voiceNumber;
        EXPECT_GT (busPeak (buffer, 0), audible) << "voice " << voiceNumber;
        EXPECT_LT (busPeak (buffer, 0), 4.0f) << "voice " << voiceNumber;
    }
}

TEST_F (ProcessingTest, ParameterChangesReachTheVoiceInItsOwnUnits)
{
    setValue (voiceParameter (processor, 4, ParameterIds::noiseMix), 0.3f);
    setValue (voiceParameter (processor, 4, ParameterIds::gain), -6.0f);
    setValue (voiceParameter (processor, 2, ParameterIds::tonePitch), 880.0f);
    setValue (voiceParameter (processor, 7, ParameterIds::waveform), 1.0f);

    auto* voice4 = processor.voiceManager.getVoice (3);
    EXPECT_FLOAT_EQ (voice4->getParameter (VoiceParameter::noiseMix), 0.3f);
    EXPECT_FLOAT_EQ (voice4->getParameter (VoiceParameter::gain), -6.0f);
    EXPECT_NEAR (processor.voiceManager.getVoice (1)->getParameter (VoiceParameter::tonePitch), 880.0f, 0.01f);
    EXPECT_FLOAT_EQ (processor.voiceManager.getVoice (6)->getParameter (VoiceParameter::waveform), 1.0f);

    // Other voices keep their own values.
    EXPECT_NE (processor.voiceManager.getVoice (4)->getParameter (VoiceParameter::gain), -6.0f);
}

//==============================================================================
TEST_F (ProcessingTest, LabelChangesAreAnnouncedFromAnyThread)
{
    MessageRecorder recorder (processor);

    setValue (voiceParameter (processor, 5, ParameterIds::label), 11.0f);
    setValue (voiceParameter (processor, 5, ParameterIds::decay), 2.0f);

    std::thread automation ([this] { setValue (voiceParameter (processor, 2, ParameterIds::label), 15.0f); });
    automation.join();

    pumpMessages();
    EXPECT_EQ (recorder.count ("voiceLabelChanged5"), 1);
    EXPECT_EQ (recorder.count ("voiceLabelChanged2"), 1);
    EXPECT_EQ (recorder.messages.size(), 2) << recorder.messages.joinIntoString (", ").toStdString();
}

//==============================================================================
TEST_F (ProcessingTest, NoteMapDecidesWhichNoteStartsAVoice)
{
    processor.setVoiceMidiNotes (60, 37, 38, 39, 40, 41, 42);

    EXPECT_EQ ((int) processor.valueTreeState.state["voice1Midi"], 60);
    EXPECT_TRUE (processor.valueTreeState.state["voice1Midi"].isInt());
    EXPECT_EQ (processor.voiceManager.getVoice (0)->getMidiNote(), 60);

    EXPECT_LT (busPeak (render (processor, noteOn (1, 36), blocksPerHit), 0), silence);
    EXPECT_GT (busPeak (render (processor, noteOn (1, 60), blocksPerHit), 0), audible);
}

TEST_F (ProcessingTest, NoteMapKeepsAnyIntegerAndSuchNotesNeverPlay)
{
    processor.setVoiceMidiNotes (-1, 128, 1000, 39, 40, 41, 42);

    EXPECT_EQ ((int) processor.valueTreeState.state["voice1Midi"], -1);
    EXPECT_EQ ((int) processor.valueTreeState.state["voice2Midi"], 128);
    EXPECT_EQ ((int) processor.valueTreeState.state["voice3Midi"], 1000);

    juce::MidiBuffer everyNote;

    for (int note = 0; note < 128; ++note)
        if (note < 39 || note > 42)
            everyNote.addEvent (juce::MidiMessage::noteOn (1, note, (juce::uint8) 100), note);

    const auto buffer = render (processor, everyNote, blocksPerHit);
    EXPECT_TRUE (allFinite (buffer));
    EXPECT_LT (busPeak (buffer, 0), silence);
}

//==============================================================================
TEST_F (ProcessingTest, WithMultiOutOffEveryVoiceGoesToMixed)
{
    enableVoiceOutputs ({ 1, 2, 3, 4, 5, 6, 7 });
    const auto buffer = hit (3);

    EXPECT_GT (busPeak (buffer, 0), audible);

    for (int bus = 1; bus <= 7; ++bus)
        EXPECT_LT (busPeak (buffer, bus), silence) << "bus " << bus;
}

TEST_F (ProcessingTest, WithMultiOutOnAVoiceGoesToItsOwnEnabledOutput)
{
    enableVoiceOutputs ({ 3, 6 });
    setValue (parameter (processor, "paramMultiOut"), 1.0f);

    const auto buffer = hit (3);
    EXPECT_GT (busPeak (buffer, 3), audible);
    EXPECT_LT (busPeak (buffer, 0), silence);
    EXPECT_LT (busPeak (buffer, 6), silence);

    const auto tom = hit (6);
    EXPECT_GT (busPeak (tom, 6), audible);
    EXPECT_LT (busPeak (tom, 0), silence);
}

TEST_F (ProcessingTest, WithMultiOutOnAVoiceWhoseOutputIsDisabledGoesToMixed)
{
    enableVoiceOutputs ({ 3 });
    setValue (parameter (processor, "paramMultiOut"), 1.0f);

    const auto kick = hit (1);
    EXPECT_GT (busPeak (kick, 0), audible);
    EXPECT_LT (busPeak (kick, 3), silence);

    // Also with no voice output enabled at all.
    enableVoiceOutputs ({});
    setValue (parameter (processor, "paramMultiOut"), 1.0f);
    EXPECT_GT (busPeak (hit (3), 0), audible);
}

TEST_F (ProcessingTest, BypassSilencesAndStopsRingingVoices)
{
    // The low tom rings for well over the two blocks below.
    const auto ringing = render (processor, noteOn (1, processor.defaultVoiceNotes[5]), 2);
    ASSERT_GT (busPeak (ringing, 0), audible);

    setValue (parameter (processor, "paramBypassGlobal"), 1.0f);
    EXPECT_LT (busPeak (render (processor, noteOn (1, processor.defaultVoiceNotes[0]), 2), 0), silence);

    setValue (parameter (processor, "paramBypassGlobal"), 0.0f);
    EXPECT_LT (busPeak (render (processor, {}, 2), 0), silence);
    EXPECT_GT (busPeak (render (processor, noteOn (1, processor.defaultVoiceNotes[5]), 2), 0), audible);
}

//==============================================================================
TEST_F (ProcessingTest, MidiLearnTakesTheLastNoteOnOfABlockOnce)
{
    MessageRecorder recorder (processor);
    processor.midiLearnArmed = true;

    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 40, (juce::uint8) 100), 0);
    midi.addEvent (juce::MidiMessage::noteOn (10, 45, (juce::uint8) 90), 10);
    midi.addEvent (juce::MidiMessage::noteOn (3, 60, (juce::uint8) 0), 20);
    midi.addEvent (juce::MidiMessage::noteOff (10, 45), 30);
    midi.addEvent (juce::MidiMessage::controllerEvent (1, 7, 100), 40);
    render (processor, midi, 1);

    EXPECT_EQ (processor.learnedMidiNote.load(), 45);
    EXPECT_FALSE (processor.midiLearnArmed.load());

    // Disarmed, later notes are played but not learned.
    render (processor, noteOn (16, 70), 1);
    EXPECT_EQ (processor.learnedMidiNote.load(), 45);

    pumpMessages();
    EXPECT_EQ (recorder.count ("MidiNoteLearned"), 1);
}

TEST_F (ProcessingTest, MidiLearnWaitsForABlockWithANoteOn)
{
    MessageRecorder recorder (processor);
    processor.learnedMidiNote = 12;
    processor.midiLearnArmed = true;

    juce::MidiBuffer noNoteOn;
    noNoteOn.addEvent (juce::MidiMessage::noteOff (1, 50), 0);
    noNoteOn.addEvent (juce::MidiMessage::noteOn (1, 51, (juce::uint8) 0), 5);
    render (processor, noNoteOn, 1);
    render (processor, {}, 1);
    pumpMessages();

    EXPECT_TRUE (processor.midiLearnArmed.load());
    EXPECT_EQ (processor.learnedMidiNote.load(), 12);
    EXPECT_EQ (recorder.count ("MidiNoteLearned"), 0);

    // Bypassed, a note is still learned.
    setValue (parameter (processor, "paramBypassGlobal"), 1.0f);
    render (processor, noteOn (2, 52), 1);
    pumpMessages();

    EXPECT_FALSE (processor.midiLearnArmed.load());
    EXPECT_EQ (processor.learnedMidiNote.load(), 52);
    EXPECT_EQ (recorder.count ("MidiNoteLearned"), 1);
}
