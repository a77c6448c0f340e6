#include "EngineTestHelpers.h"

#include <cstring>

// The engine's inner loops are built once for any processor and once more for AVX2; which
// one runs must never change a single sample, or a bounce would depend on the machine it ran on.
using namespace EngineTest;

namespace
{
/** The factory kit on all seven voices: hits at odd positions and velocities, retriggers, a choke,
    and knobs turned on sounding notes, so that every stage and every glide is in play. */
juce::AudioBuffer<float> playKit (Lanes::Path path, int oversampling)
{
    Harness h (pureTone, oversampling);

    for (int i = 0; i < VoiceManager::numVoices; ++i)
        h.apply (i, factorySound (i + 1));

    h.manager.setChokeGroup (5, 1);
    h.manager.setChokeGroup (6, 1);
    h.manager.prepareToPlay (sampleRate, blockSize, path);

    int block = 0;
    h.beforeBlock = [&]
    {
        if (++block == 20)
            for (int i = 0; i < VoiceManager::numVoices; ++i)
                h.voice (i).setParameter (P::noiseCutoff, 1500.0f + 700.0f * (float) i);

        if (block == 30)
            for (int i = 0; i < VoiceManager::numVoices; ++i)
                h.voice (i).setParameter (P::saturation, 0.8f);
    };

    std::vector<Event> events;

    for (int i = 0; i < VoiceManager::numVoices; ++i)
    {
        events.push_back (noteOn (37 * i + 3, 1, firstNote + i, 127 - 13 * i));
        events.push_back (noteOn (4801 + 511 * i, 1, firstNote + i, 40 + 9 * i));
    }

    events.push_back (noteOn (9000, 3, 48, 90));   // the second voice by its channel, at another pitch
    return h.render (16000, events);
}

/** The first four voices (one group of lanes) differ from the last three: triangles, clicks and
    noise against bare sines, at a host rate whose noise runs below the oversampled rate. Their hits are apart,
    so that each group also sounds on its own, and a knob turns on the first group's notes only. */
juce::AudioBuffer<float> playUnevenKit (Lanes::Path path, int oversampling)
{
    constexpr double rate = 96000.0;
    constexpr int oddBlockSize = 77;   // hits and blocks fall across the noise's samples
    Harness h (pureTone, oversampling, rate, oddBlockSize);

    for (int i = 0; i < VoiceManager::numVoices; ++i)
    {
        const auto inFirstGroup = i < VoiceLanes::numLanes;
        h.apply (i, with (pureTone, { { P::waveform, inFirstGroup ? 0.0f : 2.0f }, { P::clickMix, inFirstGroup ? 0.6f : 0.0f },
                                      { P::noiseMix, inFirstGroup ? 0.4f : 0.0f }, { P::decay, 0.03f + 0.02f * (float) i } }));
    }

    // Notes start at phase 0, where the sine is exactly zero.
    h.manager.setPhaseResetMode (1);
    h.manager.prepareToPlay (rate, oddBlockSize, path);

    int block = 0;
    h.beforeBlock = [&]
    {
        if (++block == 10)
            h.voice (1).setParameter (P::gain, -9.0f);
    };

    std::vector<Event> events;

    for (int i = 0; i < VoiceManager::numVoices; ++i)
    {
        events.push_back (noteOn (101 + 13 * i, 1, firstNote + i, 127));
        events.push_back (noteOn (9001 + 2001 * i, 1, firstNote + i, 90));
    }

    return h.render (24000, events);
}

/** How many samples differ in their bits, and the largest difference. */
std::pair<int, float> compare (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    int differing = 0;
    float largest = 0.0f;

    for (int ch = 0; ch < a.getNumChannels(); ++ch)
    {
        for (int i = 0; i < a.getNumSamples(); ++i)
        {
            const auto x = a.getSample (ch, i), y = b.getSample (ch, i);
            differing += std::memcmp (&x, &y, sizeof (x)) != 0 ? 1 : 0;
            largest = std::max (largest, std::abs (x - y));
        }
    }

    return { differing, largest };
}
} // namespace

TEST (EnginePaths, Avx2AndPortableGiveTheSameSamplesAtEveryOversamplingFactor)
{
    if (! Lanes::canRunAvx2())
        GTEST_SKIP() << "this processor runs only the portable path";

    for (const auto oversampling : { 1, 2, 4 })
    {
        const auto portable = playKit (Lanes::Path::portable, oversampling);
        ASSERT_GT (portable.getMagnitude (0, portable.getNumSamples()), 0.01f);

        const auto [differing, largest] = compare (portable, playKit (Lanes::Path::avx2, oversampling));
        EXPECT_EQ (differing, 0) << oversampling << "x oversampling: the largest difference is " << largest;
    }
}

TEST (EnginePaths, Avx2AndPortableGiveTheSameSamplesWhenTheGroupsOfVoicesDiffer)
{
    if (! Lanes::canRunAvx2())
        GTEST_SKIP() << "this processor runs only the portable path";

    for (const auto oversampling : { 1, 2 })
    {
        const auto portable = playUnevenKit (Lanes::Path::portable, oversampling);
        ASSERT_GT (portable.getMagnitude (0, portable.getNumSamples()), 0.01f);
        ASSERT_GT (portable.getMagnitude (2 * (VoiceManager::numVoices - 1), 0, portable.getNumSamples()), 0.01f);

        const auto [differing, largest] = compare (portable, playUnevenKit (Lanes::Path::avx2, oversampling));
        EXPECT_EQ (differing, 0) << oversampling << "x oversampling: the largest difference is " << largest;
    }
}
