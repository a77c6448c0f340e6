#pragma once

#include "Lanes.h"

#include <juce_core/juce_core.h>

/** The shaping functions of the voices' inner loops, four voices at a time; those of the sample loop
    also eight at a time (Lanes::Vectors). */
namespace DspMath
{
using Lanes::Float;

/** Highest filter cutoff as a fraction of the sample rate, where tan () is still well-behaved. */
inline constexpr float maximumCutoffRatio = 0.45f;

/** sin (2 pi phase) for a phase in [0, 1); error below 4e-6 (about -108 dB). */
template <typename V>
inline V sinCycle (V phase) noexcept
{
    // Fold to [-0.25, 0.25] cycles, where a short odd polynomial is accurate.
    auto x = phase - 0.5f;   // sin (2 pi phase) = -sin (2 pi x)
    x = Lanes::select (x > 0.25f, 0.5f - x, Lanes::select (x < -0.25f, -0.5f - x, x));

    const auto w = x * juce::MathConstants<float>::twoPi;
    const auto w2 = w * w;
    const auto s = w * (1.0f + w2 * (-1.0f / 6.0f + w2 * (1.0f / 120.0f + w2 * (-1.0f / 5040.0f + w2 * (1.0f / 362880.0f)))));
    return -s;
}

/** A triangle in phase with sinCycle: 0 at phase 0, +1 at 0.25, -1 at 0.75. */
inline Float triangleCycle (Float phase) noexcept
{
    const auto t = Lanes::select (phase < 0.75f, phase, phase - 1.0f);   // [-0.25, 0.75)
    return Lanes::select (t < 0.25f, 4.0f * t, 2.0f - 4.0f * t);
}

/** A smooth clipper shaped like tanh: a rational function that meets +-1 with zero slope at +-3
    and stays there. */
template <typename V>
inline V softClip (V x) noexcept
{
    x = Lanes::limit (-3.0f, 3.0f, x);
    const auto x2 = x * x;
    return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

/** xorshift32 white noise in [-1, 1). */
template <typename UInt>
inline Lanes::FloatOf<UInt> whiteNoise (UInt& state) noexcept
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return Lanes::toFloat ((Lanes::MaskOf<UInt>) state) * (1.0f / 2147483648.0f);
}

/** The largest whole number not above x, lane by lane (|x| below 2^31). */
inline Float floor (Float x) noexcept
{
    const auto t = Lanes::toFloat (Lanes::truncate (x));
    return Lanes::select (t > x, t - 1.0f, t);
}

/** 2 to the power x for x in [-126, 126]; relative error about 1e-7, and exactly 1 at 0. */
inline Float exp2 (Float x) noexcept
{
    x = Lanes::limit (-126.0f, 126.0f, x);
    const auto whole = floor (x + 0.5f);
    const auto f = x - whole;   // [-0.5, 0.5]

    // Taylor series of e^(f ln 2), which is accurate enough over half an octave.
    const auto p = 1.0f + f * (0.69314718f + f * (0.24022651f + f * (0.05550411f + f * (0.0096181291f
                 + f * (0.0013333558f + f * (0.00015403530f + f * 0.000015252734f))))));
    const auto scale = (Lanes::Float) ((Lanes::truncate (whole) + 127) << 23);
    return p * scale;
}

/** tan (pi x) for x in [0, 0.5), as numerator / denominator; relative error about 1e-7. */
struct Ratio
{
    Float numerator, denominator;
};

inline Ratio tanPi (Float x) noexcept
{
    // Beyond an eighth of a cycle, tan (pi x) = 1 / tan (pi (0.5 - x)).
    const auto upper = x > 0.25f;
    const auto t = Lanes::select (upper, 0.5f - x, x) * juce::MathConstants<float>::pi;
    const auto t2 = t * t;
    const auto sine = t * (1.0f + t2 * (-1.0f / 6.0f + t2 * (1.0f / 120.0f + t2 * (-1.0f / 5040.0f + t2 * (1.0f / 362880.0f)))));
    const auto cosine = 1.0f + t2 * (-0.5f + t2 * (1.0f / 24.0f + t2 * (-1.0f / 720.0f + t2 * (1.0f / 40320.0f + t2 * (-1.0f / 3628800.0f)))));
    return { Lanes::select (upper, cosine, sine), Lanes::select (upper, sine, cosine) };
}
} // namespace DspMath
