#include "ProcessorTestHelpers.h"

#include <thread>

using namespace ProcessorTestHelpers;
namespace Id = ParameterIds;

namespace
{
constexpr float silence = 1.0e-6f; // quieter than anything a drum hit leaves, louder than rounding noise
constexpr float audible = 1.0e-3f;
constexpr int hitLength = 5120;

class ProcessingTest : public ::testing::Test
{
protected:
    void SetUp() override { processor.prepareToPlay (sampleRate, blockSize); }

    /** Enables the outputs of the given voices (1 to 7) only. */
    void enableVoiceOutputs (const std::vector<int>& voiceNumbers)
    {
        processor.releaseResources();
        auto layout = processor.getBusesLayout();

        for (int bus = 1; bus < layout.outputBuses.size(); ++bus)
            layout.outputBuses.getReference (bus) = std::count (voiceNumbers.begin(), voiceNumbers.end(), bus) > 0
                                                        ? juce::AudioChannelSet::stereo() : juce::AudioChannelSet::disabled();

        ASSERT_TRUE (processor.setBusesLayout (layout));
        processor.prepareToPlay (sampleRate, blockSize);
    }

    /** Peak of an output bus: 0 "Mixed", 1 to 7 "Voice 1" to "Voice 7". */
    float busPeak (const juce::AudioBuffer<float>& buffer, int busIndex)
    {
        const auto left = processor.getBus (false, busIndex)->getChannelIndexInProcessBlockBuffer (0);
        return std::max (buffer.getMagnitude (left, 0, buffer.getNumSamples()), buffer.getMagnitude (left + 1, 0, buffer.getNumSamples()));
    }

    juce::AudioBuffer<float> play (int note, int length = hitLength) { return render (processor, midiNoteOn (1, note), length); }
    juce::AudioBuffer<float> hit (int voiceNumber) { return play (processor.defaultVoiceNotes[(size_t) voiceNumber - 1]); }

    TemporaryDataFolder folder;
    KestrinAudioProcessor processor { folder.get() };
};
} // namespace

//==============================================================================
TEST_F (ProcessingTest, OutputsAreMixedPlusSevenStereoVoiceBusesDisabledByDefault)
{
    EXPECT_EQ (processor.getBusCount (true), 0);
    ASSERT_EQ (processor.getBusCount (false), 8);
    EXPECT_TRUE (processor.acceptsMidi());
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 2);

    for (int bus = 0; bus <= 7; ++bus)
    {
        EXPECT_EQ (processor.getBus (false, bus)->getName(), bus == 0 ? juce::String ("Mixed") : "Voice " + juce::String (bus));
        EXPECT_EQ (processor.getBus (false, bus)->isEnabled(), bus == 0);
        EXPECT_EQ (processor.getBus (false, bus)->getDefaultLayout(), juce::AudioChannelSet::stereo());
    }

    auto allStereo = processor.getBusesLayout();

    for (auto& bus : allStereo.outputBuses)
        bus = juce::AudioChannelSet::stereo();

    EXPECT_TRUE (processor.checkBusesLayoutSupported (allStereo));

    for (const auto& [bus, set] : { std::pair { 4, juce::AudioChannelSet::mono() }, { 0, juce::AudioChannelSet::mono() },
                                    { 0, juce::AudioChannelSet::disabled() } })
    {
        auto layout = allStereo;
        layout.outputBuses.getReference (bus) = set;
        EXPECT_FALSE (processor.checkBusesLayoutSupported (layout)) << "bus " << bus << " " << set.getDescription();
    }
}

TEST_F (ProcessingTest, ParametersReachTheirVoiceAndLabelChangesAreAnnouncedFromAnyThread)
{
    // Every sound parameter of every voice, in its own units.
    for (int voice = 1; voice <= 7; ++voice)
    {
        for (int i = 0; i < (int) P::numParameters; ++i)
        {
            auto& p = voiceParameter (processor, voice, Id::voiceSuffixes[(size_t) i]);
            const auto value = p.convertFrom0to1 (0.37f + 0.01f * (float) voice);
            setValue (p, value);
            EXPECT_NEAR (processor.voiceManager.getVoice (voice - 1)->getParameter ((P) i), value, std::abs (value) * 1.0e-5f)
                << p.paramID;
        }
    }

    MessageRecorder recorder (processor);
    setValue (voiceParameter (processor, 5, Id::label), 11.0f);
    setValue (voiceParameter (processor, 5, Id::decay), 2.0f);
    std::thread ([this] { setValue (voiceParameter (processor, 2, Id::label), 15.0f); }).join();
    pumpMessages();
    EXPECT_EQ (recorder.count ("voiceLabelChanged5"), 1);
    EXPECT_EQ (recorder.count ("voiceLabelChanged2"), 1);
    EXPECT_EQ (recorder.messages.size(), 2) << recorder.messages.joinIntoString (", ");
}

TEST_F (ProcessingTest, NoteMapDecidesWhichNoteStartsAVoiceAndKeepsAnyInteger)
{
    EXPECT_LT (busPeak (render (processor, {}, hitLength), 0), silence) << "silent without MIDI";

    processor.setVoiceMidiNotes (-1, 128, 1000, 39, 40, 41, 42);
    EXPECT_EQ ((int) processor.valueTreeState.state["voice1Midi"], -1);
    EXPECT_EQ ((int) processor.valueTreeState.state["voice2Midi"], 128);
    EXPECT_EQ ((int) processor.valueTreeState.state["voice3Midi"], 1000);

    // Such notes never play.
    juce::MidiBuffer everyOtherNote;

    for (int note = 0; note < 128; ++note)
        if (note < 39 || note > 42)
            everyOtherNote.addEvent (juce::MidiMessage::noteOn (1, note, (juce::uint8) 100), note);

    const auto buffer = render (processor, everyOtherNote, hitLength);
    EXPECT_TRUE (allFinite (buffer));
    EXPECT_LT (busPeak (buffer, 0), silence);

    processor.setVoiceMidiNotes (60, 37, 38, 39, 40, 41, 42);
    EXPECT_TRUE (processor.valueTreeState.state["voice1Midi"].isInt());
    EXPECT_EQ (processor.voiceManager.getVoice (0)->getMidiNote(), 60);
    EXPECT_LT (busPeak (play (36), 0), silence);
    EXPECT_GT (busPeak (play (60), 0), audible);
}

TEST_F (ProcessingTest, ChokeGroupsFollowTheirParametersAndTheNoteMap)
{
    // The low tom, on an output of its own, rings on unless a voice of its group starts.
    enableVoiceOutputs ({ 6 });
    setValue (parameter (processor, Id::paramMultiOut), 1.0f);

    const auto tomRingsOnAfter = [&] (int note)
    {
        render (processor, midiNoteOn (1, processor.defaultVoiceNotes[5]), blockSize);
        render (processor, midiNoteOn (1, note), 4 * blockSize); // the fade of a choked voice
        return busPeak (render (processor, {}, blockSize), 6) > audible;
    };

    EXPECT_TRUE (tomRingsOnAfter (36));
    setValue (voiceParameter (processor, 1, Id::chokeGroup), 3.0f);
    setValue (voiceParameter (processor, 6, Id::chokeGroup), 3.0f);
    EXPECT_FALSE (tomRingsOnAfter (36)) << "the kick shares the tom's group";

    processor.setVoiceMidiNotes (60, 37, 38, 39, 40, 41, 42);
    EXPECT_TRUE (tomRingsOnAfter (36)) << "note 36 starts nothing now";
    EXPECT_FALSE (tomRingsOnAfter (60)) << "the kick's new note";
}

TEST_F (ProcessingTest, MultiOutSendsAVoiceToItsOwnOutputOnlyWhenThatIsEnabled)
{
    const struct { std::vector<int> enabled; bool multiOut; int voice, bus; } cases[] = {
        { { 1, 2, 3, 4, 5, 6, 7 }, false, 3, 0 }, // off: everything to "Mixed"
        { { 3, 6 }, true, 3, 3 },
        { { 3, 6 }, true, 6, 6 },
        { { 3 }, true, 1, 0 },                    // its output disabled: to "Mixed"
        { {}, true, 3, 0 },
    };

    for (const auto& c : cases)
    {
        enableVoiceOutputs (c.enabled);
        setValue (parameter (processor, Id::paramMultiOut), c.multiOut ? 1.0f : 0.0f);
        const auto buffer = hit (c.voice);

        for (int bus = 0; bus <= 7; ++bus)
            EXPECT_TRUE (! processor.getBus (false, bus)->isEnabled() || (busPeak (buffer, bus) > audible) == (bus == c.bus))
                << "voice " << c.voice << " on bus " << bus;
    }
}

TEST_F (ProcessingTest, BypassSilencesAndStopsRingingVoices)
{
    const auto tom = processor.defaultVoiceNotes[5]; // rings for far longer than the blocks below
    ASSERT_GT (busPeak (play (tom, 2 * blockSize), 0), audible);

    setValue (parameter (processor, Id::paramBypassGlobal), 1.0f);
    render (processor, {}, 2 * blockSize); // the fade
    EXPECT_LT (busPeak (play (processor.defaultVoiceNotes[0], 2 * blockSize), 0), silence);

    setValue (parameter (processor, Id::paramBypassGlobal), 0.0f);
    EXPECT_LT (busPeak (render (processor, {}, 2 * blockSize), 0), silence);
    EXPECT_GT (busPeak (play (tom, 2 * blockSize), 0), audible);
}

TEST_F (ProcessingTest, MidiLearnTakesTheLastNoteOnOfTheFirstBlockWithOne)
{
    MessageRecorder recorder (processor);
    processor.learnedMidiNote = 12;
    processor.midiLearnArmed = true;
    render (processor, midiOf ({ juce::MidiMessage::noteOff (1, 50), juce::MidiMessage::noteOn (1, 51, (juce::uint8) 0) }), blockSize);
    render (processor, {}, blockSize);
    pumpMessages();
    EXPECT_TRUE (processor.midiLearnArmed.load());
    EXPECT_EQ (processor.learnedMidiNote.load(), 12);

    render (processor, midiOf ({ juce::MidiMessage::noteOn (1, 40, (juce::uint8) 100), juce::MidiMessage::noteOn (10, 45, (juce::uint8) 90),
                                 juce::MidiMessage::noteOn (3, 60, (juce::uint8) 0), juce::MidiMessage::noteOff (10, 45),
                                 juce::MidiMessage::controllerEvent (1, 7, 100) }), blockSize);
    EXPECT_EQ (processor.learnedMidiNote.load(), 45);
    EXPECT_FALSE (processor.midiLearnArmed.load());

    // Disarmed, later notes are played but not learned.
    render (processor, midiNoteOn (16, 70), blockSize);
    EXPECT_EQ (processor.learnedMidiNote.load(), 45);
    pumpMessages();
    EXPECT_EQ (recorder.count ("MidiNoteLearned"), 1);

    // Bypassed, a note is still learned.
    processor.midiLearnArmed = true;
    setValue (parameter (processor, Id::paramBypassGlobal), 1.0f);
    render (processor, midiNoteOn (2, 52), blockSize);
    pumpMessages();
    EXPECT_FALSE (processor.midiLearnArmed.load());
    EXPECT_EQ (processor.learnedMidiNote.load(), 52);
    EXPECT_EQ (recorder.count ("MidiNoteLearned"), 2);
}
