#include "HighPassFilter.h"

namespace
{
// 2R = 1 / Q with Q = 1 / sqrt 2: no resonant peak at the cutoff.
constexpr float twoR = juce::MathConstants<float>::sqrt2;
constexpr float maximumCutoffRatio = 0.45f;
}

void HighPassFilter::reset() noexcept
{
    s0 = s1 = 0.0f;
}

void HighPassFilter::setCutoff (float cutoffHz, float sampleRate) noexcept
{
    const auto ratio = juce::jlimit (1.0e-5f, maximumCutoffRatio, cutoffHz / sampleRate);
    const auto g = std::tan (juce::MathConstants<float>::pi * ratio);
    const auto h = 1.0f / (1.0f + twoR * g + g * g);

    // One step of the filter, from which the linear step's coefficients are read off.
    const auto step = [&] (float state1, float state2, float input, float& next1, float& next2) -> float
    {
        const auto high = (input - (twoR + g) * state1 - state2) * h;
        const auto band = g * high + state1;
        next1 = g * high + band;
        const auto low = g * band + state2;
        next2 = g * band + low;
        return high;
    };

    c0 = step (1.0f, 0.0f, 0.0f, a00, a10);
    c1 = step (0.0f, 1.0f, 0.0f, a01, a11);
    d = step (0.0f, 0.0f, 1.0f, b0, b1);
}
