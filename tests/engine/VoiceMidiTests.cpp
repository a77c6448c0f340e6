#include "EngineTestHelpers.h"

#include <gtest/gtest.h>

using namespace EngineTest;

namespace
{
constexpr int length = 24000;
constexpr int releaseSamples = 240; // the 5 ms fade

/** Voices 0 to 3 long enough to still sound when something else happens. */
struct LongVoices : Harness
{
    LongVoices()
    {
        for (int v = 0; v < 4; ++v)
        {
            voice (v).setParameter (P::decay, 2.0f);
            voice (v).setParameter (P::clickMix, 0.3f);
        }
    }
};

bool sounds (const juce::AudioBuffer<float>& out, int voice) { return lastAbove (mono (out, voice)) >= 0; }
}

//==============================================================================
TEST (VoiceMidi, MappedChannelsPlayTheVoiceOfTheNote)
{
    for (int channel : { 1, 9, 12, 16 })
    {
        Harness h;
        const auto out = h.render (2400, { noteOn (0, channel, firstNote + 4) });

        for (int v = 0; v < VoiceManager::numVoices; ++v)
            EXPECT_EQ (sounds (out, v), v == 4) << "channel " << channel << " voice " << v;
    }
}

TEST (VoiceMidi, ChannelsTwoToEightPlayOneVoiceEachWhateverTheNote)
{
    for (int channel = 2; channel <= 8; ++channel)
    {
        Harness h;
        // Voice 0's mapped note: on these channels it means nothing but pitch.
        const auto out = h.render (2400, { noteOn (0, channel, firstNote) });

        for (int v = 0; v < VoiceManager::numVoices; ++v)
            EXPECT_EQ (sounds (out, v), v == channel - 2) << "channel " << channel << " voice " << v;
    }
}

TEST (VoiceMidi, NotesOutsideTheMidiRangeNeverMatch)
{
    Harness h;
    h.voice (0).setMidiNote (200);
    h.voice (1).setMidiNote (-1);
    const auto out = h.render (2400, { noteOn (0, 1, 200 & 0x7f), noteOn (0, 1, 127), noteOn (0, 1, 0) });
    EXPECT_FALSE (sounds (out, 0));
    EXPECT_FALSE (sounds (out, 1));
}

TEST (VoiceMidi, EventsTakeEffectAtTheirSamplePosition)
{
    Harness h;
    const auto onset = 3 * blockSize + 77;
    const auto out = h.render (length, { noteOn (onset, 1, firstNote + 1), noteOn (onset + 19, 1, firstNote + 2) });

    // The click starts the very sample of the event.
    EXPECT_EQ (firstAbove (mono (out, 1)), onset);
    EXPECT_EQ (firstAbove (mono (out, 2)), onset + 19);

    // At 4x the down-sampling filter's response begins at once as well.
    Harness h4 (4);
    const auto out4 = h4.render (length, { noteOn (onset, 1, firstNote + 1) });
    const auto first4 = firstAbove (mono (out4, 1), 1.0e-4f);
    EXPECT_GE (first4, onset);
    EXPECT_LE (first4, onset + 4);
}

TEST (VoiceMidi, RetriggerRestartsTheEnvelopeWithoutAJump)
{
    Harness h;
    auto s = pureTone;
    s.decay = 1.0f;
    applySound (h.voice (0), s);
    const auto x = mono (h.render (length, { noteOn (0, 1, firstNote), noteOn (12000, 1, firstNote) }), 0);

    // Back to the level of the first hit from 15 dB below it...
    EXPECT_NEAR (decibels (rms (x, 11500, 11980) / rms (x, 0, 480)), -15.0, 1.5);
    EXPECT_NEAR (rms (x, 12100, 12580) / rms (x, 0, 480), 1.0, 0.05);

    // ...with no step much larger than a full-level sine makes anyway (a jump would be ten times it).
    float largestStep = 0.0f, sineStep = 0.0f;

    for (size_t i = 11990; i < 12100; ++i)
        largestStep = std::max (largestStep, std::abs (x[i + 1] - x[i]));

    for (size_t i = 100; i < 400; ++i)
        sineStep = std::max (sineStep, std::abs (x[i + 1] - x[i]));

    EXPECT_LE (largestStep, sineStep * 1.5f);
}

//==============================================================================
TEST (VoiceChoke, StartingAVoiceReleasesTheOthersOfItsGroup)
{
    for (auto trigger : { noteOn (6000, 1, firstNote + 1), noteOn (6000, 3, 70) }) // by note, by channel
    {
        LongVoices h;
        h.manager.setChokeGroup (0, 1);
        h.manager.setChokeGroup (1, 1);
        h.manager.setChokeGroup (2, 2);
        h.manager.setChokeGroup (3, 0);
        h.manager.rebuildChokeLists();

        const auto out = h.render (length, { noteOn (0, 1, firstNote), noteOn (0, 1, firstNote + 2),
                                             noteOn (0, 1, firstNote + 3), trigger });
        const auto choked = mono (out, 0);

        EXPECT_GT (rms (choked, 5000, 6000), 0.01);
        // Faded out quickly, but over a few milliseconds rather than in one step.
        EXPECT_GT (lastAbove (choked), 6000 + releaseSamples / 2);
        EXPECT_LE (lastAbove (choked), 6000 + releaseSamples + 1);
        EXPECT_GT (rms (mono (out, 2), 7000, 8000), 0.001) << "another group is not choked";
        EXPECT_GT (rms (mono (out, 3), 7000, 8000), 0.001) << "group 0 is no group";
    }
}

TEST (VoiceChoke, FadeIsFreeOfClicks)
{
    LongVoices h;
    h.voice (0).setParameter (P::noiseMix, 0.0f);
    h.voice (0).setParameter (P::clickMix, 0.0f);
    h.voice (0).setParameter (P::tonePitch, 60.0f);
    h.voice (0).setParameter (P::toneBend, 0.0f);
    h.manager.setChokeGroup (0, 3);
    h.manager.setChokeGroup (1, 3);
    h.manager.rebuildChokeLists();

    const auto x = mono (h.render (length, { noteOn (0, 1, firstNote), noteOn (6013, 1, firstNote + 1) }), 0);
    float largestStep = 0.0f, normalStep = 0.0f;

    for (size_t i = 6013; i < 6013 + releaseSamples; ++i)
        largestStep = std::max (largestStep, std::abs (x[i + 1] - x[i]));

    for (size_t i = 4000; i < 6000; ++i)
        normalStep = std::max (normalStep, std::abs (x[i + 1] - x[i]));

    EXPECT_LE (largestStep, normalStep * 1.5f);
}

TEST (VoiceChoke, GroupsTakeEffectOnRebuildAndAVoiceNeverChokesItself)
{
    LongVoices h;
    h.manager.setChokeGroup (0, 4);
    h.manager.setChokeGroup (1, 4);
    // Not rebuilt yet: no choke.
    auto out = h.render (length, { noteOn (0, 1, firstNote), noteOn (6000, 1, firstNote + 1) });
    EXPECT_GT (rms (mono (out, 0), 7000, 8000), 0.001);

    h.manager.rebuildChokeLists();
    h.manager.stopAllVoices();
    out = h.render (length, { noteOn (0, 1, firstNote), noteOn (6000, 1, firstNote) });
    EXPECT_GT (rms (mono (out, 0), 7000, 8000), 0.001);

    // Both voices on one note: the note starts both, and neither silences the other.
    h.manager.stopAllVoices();
    h.voice (1).setMidiNote (firstNote);
    h.manager.rebuildChokeLists();
    out = h.render (length, { noteOn (0, 1, firstNote) });
    EXPECT_GT (rms (mono (out, 0), 7000, 8000), 0.001);
    EXPECT_GT (rms (mono (out, 1), 7000, 8000), 0.001);
}

TEST (VoiceChoke, PadNoteChokesItsGroupToo)
{
    LongVoices h;
    h.manager.setChokeGroup (0, 2);
    h.manager.setChokeGroup (1, 2);
    h.manager.rebuildChokeLists();

    h.render (blockSize * 10, { noteOn (0, 1, firstNote) });
    h.voice (1).noteOn (firstNote + 1, false, 1.0f);
    const auto out = h.render (blockSize * 10);
    EXPECT_LE (lastAbove (mono (out, 0)), releaseSamples + 1);
    EXPECT_GT (rms (mono (out, 1)), 0.01);
}

//==============================================================================
TEST (VoiceNoteOff, IgnoredUnlessObeyed)
{
    LongVoices h;
    const auto kept = h.render (length, { noteOn (0, 1, firstNote), noteOff (6000, 1, firstNote) });
    EXPECT_GT (rms (mono (kept, 0), 7000, 8000), 0.001);
}

TEST (VoiceNoteOff, ReleasesOnlyForTheLastNoteAndItsChannel)
{
    struct Case
    {
        const char* name;
        std::vector<Event> events;
        bool released;
    };

    const std::vector<Case> cases = {
        { "note-off of the note", { noteOn (0, 1, firstNote), noteOff (6000, 1, firstNote) }, true },
        { "on another mapped channel", { noteOn (0, 1, firstNote), noteOff (6000, 10, firstNote) }, true },
        { "velocity 0 note-on", { noteOn (0, 1, firstNote), { 6000, juce::MidiMessage::noteOn (1, firstNote, (juce::uint8) 0) } }, true },
        { "another note", { noteOn (0, 1, firstNote), noteOff (6000, 1, firstNote + 5) }, false },
        { "by channel, same channel and note", { noteOn (0, 2, 64), noteOff (6000, 2, 64) }, true },
        { "by channel, other note", { noteOn (0, 2, 64), noteOff (6000, 2, 65) }, false },
        { "by channel, note-off on a mapped channel", { noteOn (0, 2, 64), noteOff (6000, 1, 64) }, false },
    };

    for (const auto& c : cases)
    {
        LongVoices h;
        h.manager.setObeyNoteOff (true);
        const auto x = mono (h.render (length, c.events), 0);

        if (c.released)
        {
            EXPECT_GT (lastAbove (x), 6000) << c.name;
            EXPECT_LE (lastAbove (x), 6000 + releaseSamples + 1) << c.name;
        }
        else
        {
            EXPECT_GT (rms (x, 7000, 8000), 0.001) << c.name;
        }
    }
}
