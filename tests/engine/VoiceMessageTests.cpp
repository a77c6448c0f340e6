#include "EngineTestHelpers.h"

#include <gtest/gtest.h>

#include <thread>

using namespace EngineTest;

namespace
{
struct Collector final : juce::ActionListener
{
    void actionListenerCallback (const juce::String& message) override { messages.add (message); }
    juce::StringArray messages;
};

void pumpMessages()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
}

/** Voice 3 with a short decay, so that its DecayEnd comes quickly. */
struct ShortVoice : Harness
{
    ShortVoice()
    {
        voice (3).setParameter (P::decay, 0.05f);
        voice (3).setParameter (P::clickDecay, 2.0f);
        voice (3).addActionListener (&collector);
    }

    ~ShortVoice() { voice (3).removeActionListener (&collector); }

    Collector collector;
};
}

//==============================================================================
TEST (VoiceMessages, NoteOnThenDecayEndOncePerNote)
{
    ShortVoice h;
    h.render (9600, { noteOn (100, 1, firstNote + 3) });
    // Nothing is delivered on the audio thread itself.
    EXPECT_TRUE (h.collector.messages.isEmpty());

    pumpMessages();
    EXPECT_EQ (h.collector.messages, juce::StringArray ({ "voice3NoteOn", "voice3DecayEnd" }));

    // Nothing more arrives while the voice is silent.
    h.render (9600);
    pumpMessages();
    EXPECT_EQ (h.collector.messages.size(), 2);
}

TEST (VoiceMessages, RetriggerBeforeTheEndGivesOneDecayEndForTheLastNote)
{
    ShortVoice h;
    h.render (9600, { noteOn (0, 1, firstNote + 3), noteOn (1200, 1, firstNote + 3), noteOn (1300, 5, 60) });
    h.render (9600, { noteOn (100, 1, firstNote + 3) });
    pumpMessages();

    EXPECT_EQ (h.collector.messages, juce::StringArray ({ "voice3NoteOn", "voice3NoteOn", "voice3NoteOn", "voice3DecayEnd",
                                                          "voice3NoteOn", "voice3DecayEnd" }));
}

TEST (VoiceMessages, EachVoiceNamesItself)
{
    Harness h;
    Collector collectors[VoiceManager::numVoices];
    std::vector<Event> all;

    for (int v = 0; v < VoiceManager::numVoices; ++v)
    {
        h.voice (v).addActionListener (&collectors[v]);
        all.push_back (noteOn (0, 1, firstNote + v));
    }

    h.render (blockSize, all);
    pumpMessages();

    for (int v = 0; v < VoiceManager::numVoices; ++v)
    {
        EXPECT_EQ (collectors[v].messages, juce::StringArray ("voice" + juce::String (v) + "NoteOn"));
        h.voice (v).removeActionListener (&collectors[v]);
    }
}

//==============================================================================
TEST (VoiceOffThread, PadNoteAnnouncesAtOnceAndPlaysAtTheNextBlock)
{
    ShortVoice h;
    h.render (blockSize);

    h.voice (3).noteOn (firstNote + 3, false, 1.0f);
    pumpMessages();
    EXPECT_EQ (h.collector.messages, juce::StringArray ("voice3NoteOn"));

    // It starts on the first sample of the next block, and only once.
    const auto x = mono (h.render (9600), 3);
    EXPECT_EQ (firstAbove (x), 0);

    ShortVoice reference;
    const auto expected = mono (reference.render (9600, { noteOn (0, 1, firstNote + 3) }), 3);

    for (size_t i = 0; i < x.size(); ++i)
        ASSERT_NEAR (x[i], expected[i], 1.0e-6f) << "sample " << i;

    pumpMessages();
    EXPECT_EQ (h.collector.messages, juce::StringArray ({ "voice3NoteOn", "voice3DecayEnd" }));
}

TEST (VoiceOffThread, NoteFromAnotherThreadIsQueued)
{
    ShortVoice h;
    std::thread ([&] { h.voice (3).noteOn (72, true, 1.0f); }).join();

    // By channel from the pad: transposed by the note like a channel trigger.
    h.voice (3).setParameter (P::noiseMix, 0.0f);
    h.voice (3).setParameter (P::clickMix, 0.0f);
    h.voice (3).setParameter (P::toneBend, 0.0f);
    h.voice (3).setParameter (P::decay, 1.0f);
    const auto x = mono (h.render (9600), 3);
    EXPECT_NEAR (zeroCrossingFrequency (x, 480, 9600), 2.0 * kit[3].pitch, 1.0);

    pumpMessages();
    EXPECT_EQ (h.collector.messages, juce::StringArray ("voice3NoteOn"));
}

TEST (VoiceMessages, ListenerAddedLaterGetsNoBacklog)
{
    // Far more notes than the message queue holds, with nobody listening: the audio thread goes
    // on undisturbed and what was posted meanwhile is not replayed to a later listener.
    Harness h;
    std::vector<Event> many;

    for (int i = 0; i < 2000; ++i)
        many.push_back (noteOn (i * 10, 1, firstNote));

    EXPECT_TRUE (allFinite (h.render (20000, many)));
    pumpMessages();

    Collector collector;
    h.voice (0).addActionListener (&collector);
    h.render (blockSize, { noteOn (0, 1, firstNote) });
    pumpMessages();
    h.voice (0).removeActionListener (&collector);

    EXPECT_EQ (collector.messages, juce::StringArray ("voice0NoteOn"));
}
