#include "HighPassFilter.h"
#include "DspMath.h"

namespace
{
// 2R = 1 / Q with Q = 1 / sqrt 2: no resonant peak at the cutoff.
constexpr float twoR = juce::MathConstants<float>::sqrt2;
} // namespace

template <int width>
void HighPassFilter<width>::reset (int lane) noexcept
{
    s0[lane] = s1[lane] = 0.0f;
}

template <int width>
void HighPassFilter<width>::setCutoff (int lane, float cutoffHz, float sampleRate) noexcept
{
    const auto ratio = juce::jlimit (1.0e-5f, DspMath::maximumCutoffRatio, cutoffHz / sampleRate);
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

    float na00, na10, na01, na11, nb0, nb1;
    c0[lane] = step (1.0f, 0.0f, 0.0f, na00, na10);
    c1[lane] = step (0.0f, 1.0f, 0.0f, na01, na11);
    d[lane] = step (0.0f, 0.0f, 1.0f, nb0, nb1);
    a00[lane] = na00;
    a10[lane] = na10;
    a01[lane] = na01;
    a11[lane] = na11;
    b0[lane] = nb0;
    b1[lane] = nb1;
}

template class HighPassFilter<Lanes::size>;
