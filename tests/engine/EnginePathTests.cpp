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
} // namespace

TEST (EnginePaths, Avx2AndPortableGiveTheSameSamplesAtEveryOversamplingFactor)
{
    if (! Lanes::canRunAvx2())
        GTEST_SKIP() << "this processor runs only the portable path";

    for (const auto oversampling : { 1, 2, 4 })
    {
        const auto portable = playKit (Lanes::Path::portable, oversampling);
        const auto avx2 = playKit (Lanes::Path::avx2, oversampling);
        ASSERT_GT (portable.getMagnitude (0, portable.getNumSamples()), 0.01f);

        int differing = 0;
        float largest = 0.0f;

        for (int ch = 0; ch < portable.getNumChannels(); ++ch)
        {
            for (int i = 0; i < portable.getNumSamples(); ++i)
            {
                const auto a = portable.getSample (ch, i), b = avx2.getSample (ch, i);
                differing += std::memcmp (&a, &b, sizeof (a)) != 0 ? 1 : 0;
                largest = std::max (largest, std::abs (a - b));
            }
        }

        EXPECT_EQ (differing, 0) << oversampling << "x oversampling: the largest difference is " << largest;
    }
}
