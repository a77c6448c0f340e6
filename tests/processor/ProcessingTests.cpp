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
            layout.outputBuses.getReference (bus) = std::count (voiceNumbers.begin(), voiceNumbers.end(), bus) > 0 ? juce::AudioChannelSet::stereo() : juce::AudioChannelSet::disabled();

        ASSERT_TRUE (processor.setBusesLayout (layout));
        processor.prepareToPlay (sampleRate, blockSize);
    }

    /** Peak of an output bus: 0 "Mixed", 1 to 7 "Voice 1" to "Voice 7". */
    float busPeak (const juce::AudioBuffer<float>& buffer, int busIndex)
    {
        const auto left = processor.getBus (false, busIndex)->getChannelIndexInProcessBlockBuffer (0);
        return std::max (buffer.getMagnitude (left, 0, buffer.getNumSamples()), buffer.getMagnitude (left + 1, 0, buffer.getNumSamples()));
    }

    /** Voice 1 to 7 hit by its factory note. */
    juce::AudioBuffer<float> play (int voiceNumber, int length = hitLength) { return render (processor, midiNoteOn (1, processor.defaultVoiceNotes[(size_t) voiceNumber - 1]), length); }

    /** Whether voice v stops ringing, on an output of its own, when voice `hit` starts (both 1 to 7). */
    bool chokes (int hit, int v)
    {
        play (v, blockSize);
        play (hit, 4 * blockSize); // the fade of a choked voice
        return v != hit && busPeak (render (processor, {}, blockSize), v) < audible;
    }

    TemporaryDataFolder folder;
    KestrinAudioProcessor processor { folder.get() };
};
} // namespace

//==============================================================================
TEST_F (ProcessingTest, OutputsAreMixedPlusSevenStereoVoiceBusesDisabledByDefaultAndEightEmptyOnesForAnAudioUnit)
{
    EXPECT_EQ (processor.getBusCount (true), 0);
    ASSERT_EQ (processor.getBusCount (false), 8);

    for (int bus = 0; bus <= 7; ++bus)
        EXPECT_TRUE (processor.getBus (false, bus)->getName() == (bus == 0 ? juce::String ("Mixed") : "Voice " + juce::String (bus)) && processor.getBus (false, bus)->isEnabled() == (bus == 0)
                     && processor.getBus (false, bus)->getDefaultLayout() == juce::AudioChannelSet::stereo()) << bus;

    auto allStereo = processor.getBusesLayout();
    std::fill (allStereo.outputBuses.begin(), allStereo.outputBuses.end(), juce::AudioChannelSet::stereo());
    EXPECT_TRUE (processor.checkBusesLayoutSupported (allStereo));

    for (const auto& [bus, set] : { std::pair { 4, juce::AudioChannelSet::mono() }, { 0, juce::AudioChannelSet::disabled() } })
    {
        auto layout = allStereo;
        layout.outputBuses.getReference (bus) = set;
        EXPECT_FALSE (processor.checkBusesLayoutSupported (layout)) << "bus " << bus << " " << set.getDescription();
    }

    // Built the way the Audio Unit wrapper builds it.
    const auto wasLoadedAs = juce::PluginHostType::jucePlugInClientCurrentWrapperType;
    juce::PluginHostType::jucePlugInClientCurrentWrapperType = juce::AudioProcessor::wrapperType_AudioUnit;
    KestrinAudioProcessor audioUnit (folder.get());
    juce::PluginHostType::jucePlugInClientCurrentWrapperType = wasLoadedAs;
    ASSERT_EQ (audioUnit.getBusCount (false), 16);

    for (int bus = 8; bus < 16; ++bus)
        EXPECT_TRUE (audioUnit.getBus (false, bus)->getName() == "Empty" && ! audioUnit.getBus (false, bus)->isEnabled()) << bus;
}

namespace
{
using Measure = std::function<double (const juce::AudioBuffer<float>&)>;

/** What raising (or lowering) one sound parameter does to its voice, measured on the mixed output. */
struct SoundChange
{
    const char* suffix;                                    // spelled out: hosts and stored states know these IDs
    VoiceParameter parameter;                              // the engine's field of that name
    std::vector<std::pair<const char*, float>> setting;   // on top of the plain tone, so that the change shows
    float from, to;
    const char* what;
    Measure measure;
    double factor;                                         // above 1 the measure grows at least by it, below 1 shrinks to it
};

constexpr int changeHitLength = 21600; // 450 ms

size_t at (double milliseconds) { return (size_t) (milliseconds * sampleRate / 1000.0); }

using Band = std::pair<double, double>;
const Band everything { 0.0, sampleRate / 2.0 }, highs { 4000.0, 20000.0 };
const Band fundamental { 150.0, 250.0 }, thirdHarmonic { 550.0, 650.0 }; // of the plain tone's 200 Hz

Measure level (double startMs, double endMs)
{
    return [=] (const juce::AudioBuffer<float>& b) { return rms (mono (b, 0), at (startMs), at (endMs)); };
}

Measure pitch (double startMs, double endMs)
{
    return [=] (const juce::AudioBuffer<float>& b) { return pitchOf (mono (b, 0), at (startMs), at (endMs)); };
}

/** Over a window zero-padded to the next power of two: the power in `band` against that in `against`,
    or the centroid when no bands are given. */
Measure spectral (double startMs, double endMs, Band band = {}, Band against = {})
{
    return [=] (const juce::AudioBuffer<float>& b)
    {
        const auto length = at (endMs) - at (startMs);
        const auto order = juce::roundToInt (std::ceil (std::log2 ((double) length)));
        const auto power = spectrum (mono (b, 0), at (startMs), order, length);

        if (band == Band {})
            return centroid (power, order);

        return bandPower (power, order, band.first, band.second) / std::max (bandPower (power, order, against.first, against.second), 1.0e-30);
    };
}

Measure awayFromTheTone()
{
    return [share = spectral (0, 150, fundamental, everything)] (const juce::AudioBuffer<float>& b) { return 1.0 - share (b); };
}

Measure rightAgainstLeft()
{
    return [] (const juce::AudioBuffer<float>& b)
    {
        return (double) b.getRMSLevel (1, 0, (int) at (100)) / std::max ((double) b.getRMSLevel (0, 0, (int) at (100)), 1.0e-12);
    };
}

/** A sine of 200 Hz, 0.5 s, centred, with nothing else. */
const std::vector<std::pair<const char*, float>> plainTone {
    { "Decay", 0.5f }, { "Waveform", 2 }, { "TonePitch", 200 }, { "ToneBend", 0 }, { "BendSweepCurve", 0 }, { "NoiseCutoff", 5000 },
    { "NoiseResonance", 0 }, { "NoiseHPCutoff", 20 }, { "NoiseSweep", 0 }, { "NoiseMix", 0 }, { "LFORate", 1 }, { "LFOToneDepth", 0 },
    { "LFONoiseDepth", 0 }, { "ClickDecay", 5 }, { "ClickMix", 0 }, { "Saturation", 0 }, { "Velocity", 0 }, { "Pan", 0 }, { "Gain", 0 },
};

const std::vector<SoundChange>& soundChanges()
{
    const std::pair<const char*, float> noiseOnly { "NoiseMix", 1 };

    static const std::vector<SoundChange> changes {
        { "Decay", P::decay, {}, 0.1f, 1, "level at 200-400 ms", level (200, 400), 4 },
        { "Waveform", P::waveform, {}, 2, 0, "third harmonic", spectral (20, 190, thirdHarmonic, fundamental), 10 },
        { "TonePitch", P::tonePitch, {}, 200, 400, "pitch", pitch (10, 100), 1.8 },
        { "ToneBend", P::toneBend, { { "Decay", 0.3f } }, 0, 0.5f, "pitch at 150-300 ms", pitch (150, 300), 0.7 },
        { "BendSweepCurve", P::bendSweepCurve, { { "ToneBend", 0.5f }, { "Decay", 0.6f } }, 0, 1, "pitch at 60-120 ms", pitch (60, 120), 1.2 },
        { "NoiseCutoff", P::noiseCutoff, { noiseOnly }, 500, 8000, "noise centroid", spectral (0, 150), 3 },
        { "NoiseResonance", P::noiseResonance, { noiseOnly, { "NoiseCutoff", 1000 } }, 0, 0.95f, "noise at the cutoff against below it",
          spectral (0, 150, { 750.0, 1300.0 }, { 100.0, 500.0 }), 2 },
        { "NoiseHPCutoff", P::noiseHPCutoff, { noiseOnly, { "NoiseCutoff", 20000 } }, 20, 2000, "noise below 500 Hz",
          spectral (0, 150, { 20.0, 500.0 }, everything), 0.2 },
        { "NoiseSweep", P::noiseSweep, { noiseOnly, { "NoiseCutoff", 8000 }, { "Decay", 0.6f } }, 0, 1, "noise centroid at 100-300 ms", spectral (100, 300), 0.5 },
        { "NoiseMix", P::noiseMix, {}, 0, 0.8f, "share away from the tone", awayFromTheTone(), 10 },
        { "LFORate", P::lfoRate, { { "LFOToneDepth", 0.5f }, { "Decay", 1 } }, 0.5f, 10, "pitch at 15-35 ms", pitch (15, 35), 1.15 },
        { "LFOToneDepth", P::lfoToneDepth, { { "LFORate", 10 }, { "Decay", 1 } }, 0, 1, "pitch at 15-35 ms", pitch (15, 35), 1.3 },
        { "LFONoiseDepth", P::lfoNoiseDepth, { noiseOnly, { "NoiseCutoff", 1000 }, { "LFORate", 10 }, { "Decay", 1 } }, 0, 1,
          "noise centroid at 15-35 ms", spectral (15, 35), 1.5 },
        { "ClickDecay", P::clickDecay, { { "ClickMix", 1 } }, 1, 50, "highs at 10-40 ms", spectral (10, 40, highs, everything), 10 },
        { "ClickMix", P::clickMix, {}, 0, 1, "highs in the first 10 ms", spectral (0, 10, highs, everything), 10 },
        { "Saturation", P::saturation, {}, 0, 1, "third harmonic", spectral (20, 190, thirdHarmonic, fundamental), 10 },
        { "Velocity", P::velocity, {}, 0, 1, "level of a note at velocity 100", level (0, 100), 0.8 },
        { "Pan", P::pan, {}, 0, 1, "right against left", rightAgainstLeft(), 10 },
        { "Gain", P::gain, {}, 0, 12, "level", level (0, 100), 3.5 },
    };
    return changes;
}
} // namespace

// Each ID by its own name, so that a table read in the wrong order cannot pass. That label
// changes are announced, from any thread, the settings dialog's and the allocation tests show.
TEST_F (ProcessingTest, EachVoiceParameterChangesTheSoundItNamesOnItsOwnVoice)
{
    ASSERT_EQ (soundChanges().size(), (size_t) P::numParameters);

    for (int voice = 1; voice <= 7; ++voice)
    {
        const auto id = [voice] (const char* suffix) { return "paramVoice" + juce::String (voice) + suffix; };

        for (const auto& change : soundChanges())
        {
            for (const auto& [suffix, value] : plainTone)
                setValue (parameter (processor, id (suffix)), value);

            for (const auto& [suffix, value] : change.setting)
                setValue (parameter (processor, id (suffix)), value);

            // Each hit starts from silence: preparing stops every voice.
            const auto hitWith = [&] (float value)
            {
                setValue (parameter (processor, id (change.suffix)), value);
                processor.prepareToPlay (sampleRate, blockSize);
                return change.measure (play (voice, changeHitLength));
            };

            const auto before = hitWith (change.from), after = hitWith (change.to);
            const auto ratio = after / std::max (before, 1.0e-30);

            EXPECT_NEAR (processor.voiceManager.getVoice (voice - 1)->getParameter (change.parameter), change.to, std::abs (change.to) * 1.0e-5f) << id (change.suffix);
            EXPECT_TRUE (change.factor > 1 ? ratio >= change.factor : ratio <= change.factor)
                << id (change.suffix) << " from " << change.from << " to " << change.to << ": " << change.what << " " << before << " -> " << after;
        }
    }
}

TEST_F (ProcessingTest, NoteMapDecidesWhichNoteStartsAVoice)
{
    processor.setVoiceMidiNotes (-1, 128, 1000, 39, 40, 41, 42);
    juce::MidiBuffer everyOtherNote;

    for (int note = 0; note < 128; ++note)
        if (note < 39 || note > 42)
            everyOtherNote.addEvent (juce::MidiMessage::noteOn (1, note, (juce::uint8) 100), note);

    EXPECT_LT (busPeak (render (processor, everyOtherNote, hitLength), 0), silence) << "such notes never play";

    processor.setVoiceMidiNotes (60, 37, 38, 39, 40, 41, 42);
    EXPECT_LT (busPeak (render (processor, midiNoteOn (1, 36), hitLength), 0), silence);
    EXPECT_GT (busPeak (render (processor, midiNoteOn (1, 60), hitLength), 0), audible);
}

TEST_F (ProcessingTest, ChokeGroupsFollowTheirParametersAndTheNoteMapWhateverThreadChangesThem)
{
    enableVoiceOutputs ({ 1, 2, 3, 4, 5, 6, 7 });
    setValue (parameter (processor, Id::paramMultiOut), 1.0f);

    for (int v = 1; v <= 7; ++v) // every voice rings for seconds, so that a choke shows
        setValue (voiceParameter (processor, v, Id::decay), 3.0f);

    // The factory kit: the sidestick and the first snare share group 1.
    for (int v = 1; v <= 7; ++v)
        EXPECT_EQ (chokes (2, v), v == 3) << v;

    // A host automating groups on the audio thread while the editor changes the note map: the
    // voices end up with the lists of whatever was set last (voices 1 and 6 in group 3, 2 and 7 in 4).
    std::thread audio ([this]
    {
        for (int round = 0; round < 300; ++round)
        {
            setValue (voiceParameter (processor, 1 + round % 7, Id::chokeGroup), (float) (round % 5));
            render (processor, {}, blockSize);
        }
    });

    for (int round = 0; round < 300; ++round)
        processor.setVoiceMidiNotes (36 + round % 3, 37, 38, 39, 40, 41, 42);

    audio.join();
    processor.setVoiceMidiNotes (36, 37, 38, 39, 40, 41, 42);
    const auto group = [this] (int v) { return (int) getValue (processor, Id::voiceParameterId (v, Id::chokeGroup)); };

    for (int hit = 1; hit <= 7; ++hit)
        for (int v = 1; v <= 7; ++v)
            EXPECT_EQ (chokes (hit, v), v != hit && group (v) != 0 && group (v) == group (hit)) << "voice " << v << " hit by voice " << hit;
}

TEST_F (ProcessingTest, MultiOutSendsAVoiceToItsOwnOutputOnlyWhenThatIsEnabled)
{
    const struct { std::vector<int> enabled; bool multiOut; int voice, bus; } cases[] = {
        { { 1, 2, 3, 4, 5, 6, 7 }, false, 3, 0 }, // off: everything to "Mixed"
        { { 3, 6 }, true, 3, 3 },
        { { 3, 6 }, true, 6, 6 },
        { { 3 }, true, 1, 0 },                    // its output disabled: to "Mixed"
    };

    for (const auto& c : cases)
    {
        enableVoiceOutputs (c.enabled);
        setValue (parameter (processor, Id::paramMultiOut), c.multiOut ? 1.0f : 0.0f);
        const auto buffer = play (c.voice);

        for (int bus = 0; bus <= 7; ++bus)
            EXPECT_TRUE (! processor.getBus (false, bus)->isEnabled() || (busPeak (buffer, bus) > audible) == (bus == c.bus)) << "voice " << c.voice << " on bus " << bus;
    }
}

TEST_F (ProcessingTest, BypassAndOversamplingChangesFadeInsteadOfCutting)
{
    // The low tom rings for far longer than the blocks below; past its attack it changes slowly.
    const auto steps = [] (const juce::AudioBuffer<float>& b) { return largestStep (channel (b, 0), 1, (size_t) b.getNumSamples()); };
    play (6, 4 * blockSize);
    const auto ringing = render (processor, {}, 4 * blockSize);

    setValue (parameter (processor, Id::paramOversampling), 2.0f);
    const auto switching = render (processor, {}, 8 * blockSize);
    EXPECT_LT (steps (switching), 1.5f * steps (ringing));
    EXPECT_GT (switching.getMagnitude (0, 6 * blockSize, 2 * blockSize), 0.5f * ringing.getMagnitude (0, 3 * blockSize, blockSize)) << "plays on";

    setValue (parameter (processor, Id::paramBypassGlobal), 1.0f);
    const auto bypassing = render (processor, {}, 4 * blockSize);
    EXPECT_LT (steps (bypassing), 1.5f * steps (ringing));
    EXPECT_GT (lastAbove (channel (bypassing, 0), silence), 48) << "over a millisecond or more";
    EXPECT_LT (busPeak (play (1, 2 * blockSize), 0), silence) << "silent and deaf while bypassed";

    setValue (parameter (processor, Id::paramBypassGlobal), 0.0f);
    EXPECT_LT (busPeak (render (processor, {}, 2 * blockSize), 0), silence) << "what rang has stopped";
    EXPECT_GT (busPeak (play (6, 2 * blockSize), 0), audible);
}

// Which note of a block is learned, on any channel, and that a learn ends, the settings dialog's tests show.
TEST_F (ProcessingTest, MidiLearnWaitsForANoteOnAndLearnsWhileBypassed)
{
    MessageRecorder recorder (processor);
    processor.learnedMidiNote = 12;
    processor.midiLearnArmed = true;
    render (processor, midiOf ({ juce::MidiMessage::noteOff (1, 50), juce::MidiMessage::noteOn (1, 51, (juce::uint8) 0) }), blockSize);
    EXPECT_TRUE (processor.midiLearnArmed && processor.learnedMidiNote == 12);

    setValue (parameter (processor, Id::paramBypassGlobal), 1.0f);
    render (processor, midiOf ({ juce::MidiMessage::noteOn (2, 52, (juce::uint8) 100), juce::MidiMessage::noteOn (16, 53, (juce::uint8) 100) }), blockSize);
    EXPECT_TRUE (! processor.midiLearnArmed && processor.learnedMidiNote == 53);
    pumpMessages();
    EXPECT_EQ (recorder.count ("MidiNoteLearned"), 1);
}
