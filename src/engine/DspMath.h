#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

/** Cheap approximations for the per-sample inner loops of the voices, where the exact library
    functions would cost more than the rest of a voice together. */
namespace DspMath
{
    /** sin (2 pi phase) for a phase in [0, 1); error below 4e-6 (about -108 dB). */
    inline float sinCycle (float phase) noexcept
    {
        // Fold to [-0.25, 0.25] cycles, where a short odd polynomial is accurate.
        auto x = phase - 0.5f;              // sin (2 pi phase) = -sin (2 pi x)
        x = x > 0.25f ? 0.5f - x : (x < -0.25f ? -0.5f - x : x);

        const auto w = x * juce::MathConstants<float>::twoPi;
        const auto w2 = w * w;
        const auto s = w * (1.0f + w2 * (-1.0f / 6.0f + w2 * (1.0f / 120.0f + w2 * (-1.0f / 5040.0f + w2 * (1.0f / 362880.0f)))));
        return -s;
    }

    /** A smooth clipper shaped like tanh: rational approximation that meets +-1 with zero
        slope at +-3 and stays there. */
    inline float softClip (float x) noexcept
    {
        x = juce::jlimit (-3.0f, 3.0f, x);
        const auto x2 = x * x;
        return x * (27.0f + x2) / (27.0f + 9.0f * x2);
    }

    /** A cheaper, gentler clipper for places where the signal rarely reaches it: a cubic that
        meets +-1 with zero slope at +-1.5. */
    inline float cubicClip (float x) noexcept
    {
        x = juce::jlimit (-1.5f, 1.5f, x);
        return x - (4.0f / 27.0f) * x * x * x;
    }

    /** xorshift32 white noise in [-1, 1). */
    inline float whiteNoise (uint32_t& state) noexcept
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (float) (int32_t) state * (1.0f / 2147483648.0f);
    }

    /** The triangle of the tone oscillator, in phase with sinCycle: 0 at phase 0, +1 at 0.25. */
    inline float triangleCycle (float phase) noexcept
    {
        const auto t = phase < 0.75f ? phase : phase - 1.0f;   // [-0.25, 0.75)
        return t < 0.25f ? 4.0f * t : 2.0f - 4.0f * t;
    }
}
