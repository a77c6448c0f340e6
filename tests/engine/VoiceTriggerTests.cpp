#include "EngineTestHelpers.h"

#include <complex>
#include <thread>

using namespace EngineTest;

namespace
{
constexpr int length = 24000;
constexpr int releaseSamples = 240; // the 5 ms fade

bool sounds (const juce::AudioBuffer<float>& out, int voice) { return lastAbove (mono (out, voice)) >= 0; }
bool stillSounds (const juce::AudioBuffer<float>& out, int voice) { return rms (mono (out, voice), 7000, 8000) > 0.001; }

/** Voices long enough to still sound when something else happens. */
struct LongVoices : Harness
{
    LongVoices() : Harness (with (pureTone, { { P::decay, 2.0f } })) {}
};
} // namespace

//==============================================================================
TEST (VoiceMidi, NoteOnMappedChannelsOrTheVoicesChannelChoosesTheVoice)
{
    for (int channel = 1; channel <= 16; ++channel)
    {
        // The note of voice 4, which on channels 2 to 8 is only pitch.
        const auto expected = channel >= 2 && channel <= 8 ? channel - 2 : 4;
        const auto out = Harness().render (2400, { noteOn (0, channel, firstNote + 4) });

        for (int v = 0; v < VoiceManager::numVoices; ++v)
            EXPECT_EQ (sounds (out, v), v == expected) << "channel " << channel << " voice " << v;
    }

    // By channel, note 60 is the tone pitch itself and other notes transpose it.
    for (const auto& [note, expected] : { std::pair { 60, 440.0 }, { 72, 880.0 }, { 55, 440.0 * std::pow (2.0, -5.0 / 12.0) } })
        EXPECT_NEAR (pitchOf (mono (Harness().render (length, { noteOn (0, 5, note) }), 3), 2400, length), expected, 0.005 * expected);
}

TEST (VoiceMidi, EventsPlayAtTheirSampleAndLateOnesAtTheBlocksLast)
{
    // With a click, a hit is loud from its very first sample.
    const auto clicking = with (pureTone, { { P::clickMix, 1 } });
    const auto onset = 3 * blockSize + 77;
    const auto out = Harness (clicking).render (length, { noteOn (onset, 1, firstNote + 1), noteOn (onset + 19, 1, firstNote + 2) });
    EXPECT_EQ (firstAbove (mono (out, 1)), onset);
    EXPECT_EQ (firstAbove (mono (out, 2)), onset + 19);

    // At 4x the decimator's response begins at once as well.
    const auto first4 = firstAbove (mono (Harness (clicking, 4).render (length, { noteOn (onset, 1, firstNote + 1) }), 1), 1.0e-4f);
    EXPECT_TRUE (first4 >= onset && first4 <= onset + 4) << first4;

    // A host may stamp an event at or after the end of the block it comes with: it still plays.
    for (const auto stamp : { blockSize, blockSize + 500 })
        EXPECT_EQ (firstAbove (mono (Harness (clicking).render (blockSize, { noteOn (stamp, 1, firstNote) }), 0)), blockSize - 1) << stamp;
}

//==============================================================================
TEST (VoiceChoke, StartingAVoiceFadesOutTheOthersOfItsGroupButNeverItself)
{
    // By note, by channel and from the pad; the pad's note starts with the block after it is played.
    // (Which groups choke which, through the processor's parameters, the processing tests check.)
    for (const std::string trigger : { "note", "channel", "pad" })
    {
        const auto start = trigger == "pad" ? 47 * blockSize : 6000;
        LongVoices h;
        int block = 0;
        h.beforeBlock = [&] { if (block++ == 47 && trigger == "pad") h.voice (1).noteOn (firstNote + 1, false, 1.0f); };
        h.manager.setChokeGroup (0, 1);
        h.manager.setChokeGroup (1, 1);
        std::vector<Event> events { noteOn (0, 1, firstNote) };

        if (trigger != "pad")
            events.push_back (trigger == "note" ? noteOn (start, 1, firstNote + 1) : noteOn (start, 3, 70));

        const auto out = h.render (length, events);
        SCOPED_TRACE ("by " + trigger);
        EXPECT_GT (rms (mono (out, 0), (size_t) start - 1000, (size_t) start), 0.01);
        // Faded out quickly, but over a few milliseconds rather than in one step.
        EXPECT_GT (lastAbove (mono (out, 0)), start + releaseSamples / 2);
        EXPECT_LE (lastAbove (mono (out, 0)), start + releaseSamples + blockSize);
        EXPECT_GT (rms (mono (out, 1), (size_t) start, (size_t) start + 2400), 0.01) << "the choking voice plays";
    }

    // Two voices of one group on one note: the note starts both, and neither silences the other.
    LongVoices h;
    h.manager.setChokeGroup (0, 4);
    h.manager.setChokeGroup (1, 4);
    h.voice (1).setMidiNote (firstNote);
    const auto out = h.render (length, { noteOn (0, 1, firstNote), noteOn (6000, 1, firstNote) });
    EXPECT_TRUE (stillSounds (out, 0) && stillSounds (out, 1));
}

TEST (VoiceNoteOff, ReleasesOnlyWhenObeyedAndOnlyForTheLastNoteAndItsChannel)
{
    const struct { const char* name; bool obey; std::vector<Event> events; bool released; } cases[] = {
        { "ignored", false, { noteOn (0, 1, firstNote), noteOff (6000, 1, firstNote) }, false },
        { "note-off of the note", true, { noteOn (0, 1, firstNote), noteOff (6000, 1, firstNote) }, true },
        { "on another mapped channel", true, { noteOn (0, 1, firstNote), noteOff (6000, 10, firstNote) }, true },
        { "velocity 0 note-on", true, { noteOn (0, 1, firstNote), noteOn (6000, 1, firstNote, 0) }, true },
        { "another note", true, { noteOn (0, 1, firstNote), noteOff (6000, 1, firstNote + 5) }, false },
        { "by channel, same channel and note", true, { noteOn (0, 2, 64), noteOff (6000, 2, 64) }, true },
        { "by channel, other note", true, { noteOn (0, 2, 64), noteOff (6000, 2, 65) }, false },
        { "by channel, note-off on a mapped channel", true, { noteOn (0, 2, 64), noteOff (6000, 1, 64) }, false },
    };

    for (const auto& c : cases)
    {
        LongVoices h;
        h.manager.setObeyNoteOff (c.obey);
        const auto out = h.render (length, c.events);
        const auto end = lastAbove (mono (out, 0));
        EXPECT_EQ (end > 6000 && end <= 6000 + releaseSamples + blockSize, c.released) << c.name;
        EXPECT_EQ (stillSounds (out, 0), ! c.released) << c.name;
    }
}

TEST (VoicePhase, ResetModeDecidesWhereASilentVoiceStarts)
{
    constexpr float pitch = 110.3f; // not a whole number of cycles in any of the spans below
    constexpr int second = 12000;
    const auto distance = [] (double a, double b) { return std::abs (std::remainder (a - b, 1.0)); }; // in cycles

    /** A plain sine hit at 0 and again at `second`: its phase at both, in cycles against sin (2 pi f t). */
    const auto phases = [&] (int mode, float decay)
    {
        Harness h (with (pureTone, { { P::tonePitch, pitch }, { P::decay, decay } }));
        h.manager.setPhaseResetMode (mode);
        const auto x = mono (h.render (length, { noteOn (0, 1, firstNote), noteOn (second, 1, firstNote) }), 0);
        std::array<std::complex<double>, 2> sum {};

        for (size_t n = 0; n < 1741; ++n)
            for (size_t k = 0; k < 2; ++k)
                sum[k] += (double) x[k * second + n] * std::polar (1.0, juce::MathConstants<double>::halfPi - juce::MathConstants<double>::twoPi * pitch * (double) n / sampleRate);

        return std::array { std::arg (sum[0]) / juce::MathConstants<double>::twoPi, std::arg (sum[1]) / juce::MathConstants<double>::twoPi };
    };

    for (const auto& [mode, expected] : { std::pair { 1, 0.0 }, { 2, 0.25 } }) // on, and offset a quarter cycle
        for (const auto phase : phases (mode, 0.2f))
            EXPECT_LT (distance (phase, expected), 0.01) << "mode " << mode;

    // Off lets the oscillator run on, and so does On while the voice still sounds.
    const auto off = phases (0, 0.2f), ringing = phases (1, 1.0f);
    EXPECT_GT (distance (off[0], off[1]), 0.02);
    EXPECT_LT (distance (ringing[1], ringing[0] + pitch * second / sampleRate), 0.01);
}

//==============================================================================
TEST (VoiceMessages, NoteOnAndDecayEndArriveOnceAndInOrderOnTheMessageThread)
{
    Harness h (with (pureTone, { { P::decay, 0.05f } }));
    MessageRecorder recorder (h.voice (3));
    h.render (9600, { noteOn (100, 1, firstNote + 3) });
    EXPECT_TRUE (recorder.messages.isEmpty()) << "nothing is delivered on the audio thread";
    pumpMessages();
    EXPECT_EQ (recorder.messages, juce::StringArray ({ "voice3NoteOn", "voice3DecayEnd" }));

    // Retriggered before the end (also by channel): one DecayEnd, for the last note; nothing while silent.
    h.render (9600, { noteOn (0, 1, firstNote + 3), noteOn (1200, 1, firstNote + 3), noteOn (1300, 5, 60) });
    h.render (9600);
    pumpMessages();
    EXPECT_EQ (recorder.messages, juce::StringArray ({ "voice3NoteOn", "voice3DecayEnd", "voice3NoteOn", "voice3NoteOn", "voice3NoteOn", "voice3DecayEnd" }));

    // Far more notes than the queue holds, with nobody listening: the audio thread goes on undisturbed
    // and what was posted meanwhile is not replayed to a later listener.
    Harness all;
    std::vector<Event> many;

    for (int i = 0; i < 2000; ++i)
        many.push_back (noteOn (i * 10, 1, firstNote + i % 7));

    EXPECT_TRUE (allFinite (all.render (20000, many)));
    pumpMessages();
    MessageRecorder late (all.voice (6));
    all.render (blockSize, { noteOn (0, 1, firstNote + 6) });
    pumpMessages();
    EXPECT_EQ (late.messages, juce::StringArray ("voice6NoteOn"));
}

TEST (VoicePad, NoteFromAnotherThreadAnnouncesAtOncePlaysAtTheNextBlockAndExpires)
{
    const auto shortTone = with (pureTone, { { P::tonePitch, 110 }, { P::decay, 0.05f } });
    Harness h (shortTone), reference (shortTone);
    MessageRecorder recorder (h.voice (3));
    h.render (blockSize);
    std::thread ([&] { h.voice (3).noteOn (firstNote + 3, false, 1.0f); }).join();

    const auto x = mono (h.render (9600), 3);
    const auto expected = mono (reference.render (9600, { noteOn (0, 1, firstNote + 3) }), 3);

    EXPECT_TRUE (std::equal (x.begin(), x.end(), expected.begin(), [] (float a, float b) { return std::abs (a - b) < 1.0e-6f; }));

    pumpMessages();
    EXPECT_EQ (recorder.messages, juce::StringArray ({ "voice3NoteOn", "voice3DecayEnd" }));

    // By channel: transposed by the note like a channel trigger.
    Harness byChannel (with (pureTone, { { P::tonePitch, 110 } }));
    byChannel.voice (3).noteOn (72, true, 1.0f);
    EXPECT_NEAR (pitchOf (mono (byChannel.render (9600), 3), 480, 9600), 220.0, 1.0);

    // Queued while the host has stopped processing, the note does not sound seconds later.
    h.voice (3).noteOn (firstNote + 3, false, 1.0f);
    juce::Thread::sleep (300);
    EXPECT_FALSE (sounds (h.render (9600), 3));
}
