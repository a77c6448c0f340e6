#include "EngineTestHelpers.h"

#include <gtest/gtest.h>

using namespace EngineTest;

namespace
{
constexpr float pitch = 110.3f; // not a whole number of cycles in any of the spans below

/** Phase in cycles, 0 to 1, of a pitch-steady sine segment, relative to sin (2 pi f t) from start. */
double phaseOf (const std::vector<float>& x, size_t start, size_t length)
{
    double i = 0.0, q = 0.0;

    for (size_t n = 0; n < length; ++n)
    {
        const auto w = juce::MathConstants<double>::twoPi * pitch * (double) n / sampleRate;
        i += x[start + n] * std::sin (w);
        q += x[start + n] * std::cos (w);
    }

    const auto cycles = std::atan2 (q, i) / juce::MathConstants<double>::twoPi;
    return cycles < 0.0 ? cycles + 1.0 : cycles;
}

double cycleDistance (double a, double b)
{
    const auto d = std::abs (a - b);
    return std::min (d, 1.0 - d);
}

/** Two hits of a plain sine with silence between them. */
std::vector<float> twoHits (int mode)
{
    Harness h;
    auto s = pureTone;
    s.pitch = pitch;
    s.decay = 0.2f;
    applySound (h.voice (0), s);
    h.manager.setPhaseResetMode (mode);
    return mono (h.render (24000, { noteOn (0, 1, firstNote), noteOn (12000, 1, firstNote) }), 0);
}

constexpr size_t window = 1741; // about four cycles
}

TEST (VoicePhase, OnStartsEverySilentVoiceAtZero)
{
    const auto x = twoHits (1);
    EXPECT_LT (cycleDistance (phaseOf (x, 0, window), 0.0), 0.01);
    EXPECT_LT (cycleDistance (phaseOf (x, 12000, window), 0.0), 0.01);
}

TEST (VoicePhase, OffLetsTheOscillatorRunOn)
{
    const auto x = twoHits (0);
    // The second hit goes on where the first stopped, about 22 cycles and a fraction later.
    EXPECT_GT (cycleDistance (phaseOf (x, 12000, window), phaseOf (x, 0, window)), 0.02);
}

TEST (VoicePhase, OffsetStartsAQuarterCycleIn)
{
    const auto x = twoHits (2);
    EXPECT_LT (cycleDistance (phaseOf (x, 0, window), 0.25), 0.01);
    EXPECT_LT (cycleDistance (phaseOf (x, 12000, window), 0.25), 0.01);
    EXPECT_GT (std::abs (x[30]), std::abs (twoHits (1)[30]) + 0.3f);
}

TEST (VoicePhase, NoResetWhileTheVoiceStillSounds)
{
    Harness h;
    auto s = pureTone;
    s.pitch = pitch;
    s.decay = 1.0f;
    applySound (h.voice (0), s);
    h.manager.setPhaseResetMode (1);
    const auto retrigger = 5000;
    const auto x = mono (h.render (12000, { noteOn (0, 1, firstNote), noteOn (retrigger, 1, firstNote) }), 0);

    // The phase just continues: measured against a clock started at the first hit.
    const auto expected = std::fmod (pitch * retrigger / sampleRate, 1.0);
    EXPECT_LT (cycleDistance (phaseOf (x, (size_t) retrigger, window), expected), 0.01);
    EXPECT_GT (cycleDistance (expected, 0.0), 0.1) << "the retrigger should fall mid-cycle";
}
