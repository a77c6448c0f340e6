#pragma once

#include "DspMath.h"

/**
    A four-pole resonant low-pass ladder for `width` voices (Lanes::Vectors) (linear, topology-preserving transform:
    no unit delay in the feedback path, so it stays in tune and stable up to the top of the band).

    setParameters() solves the ladder's implicit feedback equation once and keeps the result as a
    state-space step (new state = A state + B input), so that a sample costs a few independent
    multiply-adds instead of the long serial chain of the four stages and the feedback. The voices
    set the parameters every few samples while the cutoff sweeps.

    A small value type: the voices copy it into a local for their inner loop, so that its state
    stays in registers.
*/
template <int width>
class LadderFilter final
{
public:
    using Float = typename Lanes::Vectors<width>::Float;

    /** Clears the state of one lane. */
    void reset (int lane) noexcept;

    /** resonance 0 to 1; 1 is just short of self-oscillation. outputGain scales what comes out. */
    forcedinline void setParameters (Float cutoffHz, float sampleRate, Float resonance, Float outputGain) noexcept;

    /** What keeps strong resonance from running away with the level of noise through the filter:
        up to half resonance the gain is 1; beyond it, the output is scaled back by as much as the
        filter's noise power grows from there, so that noise comes out no louder than at half
        resonance. The growth is fitted to the analog ladder's, (1 + 0.1315 k + 0.01726 k^2) /
        (1 - k / 4) with feedback k. */
    static Lanes::Float noiseLevelCompensation (Lanes::Float resonance) noexcept
    {
        const auto noisePower = [] (Lanes::Float k)
        {
            return (1.0f + k * (0.1315f + 0.01726f * k)) / (1.0f - 0.25f * k);
        };

        if (! Lanes::any (resonance > 0.5f))
            return Lanes::splat (1.0f);

        const auto feedback = maximumFeedback * Lanes::limit (0.5f, 1.0f, resonance);
        return Lanes::sqrt (noisePower (Lanes::splat (0.5f * maximumFeedback)) / noisePower (feedback));
    }

    Float processSample (Float x) noexcept
    {
        // Summed in pairs, so that the state's path from one sample to the next is short.
        const auto y = (c[0] * s[0] + c[1] * s[1]) + (c[2] * s[2] + c[3] * s[3]) + d * x;

        Float next[numStates];

        for (int i = 0; i < numStates; ++i)
            next[i] = (a[i][0] * s[0] + a[i][1] * s[1]) + (a[i][2] * s[2] + a[i][3] * s[3] + b[i] * x);

        for (int i = 0; i < numStates; ++i)
            s[i] = next[i];

        return y;
    }

private:
    static constexpr int numStates = 4;

    // Feedback at which the ladder starts to oscillate on its own; resonance 1 stays below it.
    static constexpr float selfOscillationFeedback = 4.0f;
    static constexpr float maximumFeedback = 0.97f * selfOscillationFeedback;

    // Restores part of the pass-band level that the feedback takes away (1 / (1 + k) at DC).
    static constexpr float passBandCompensation = 0.5f;

    // Lane vectors only, so that two groups can be joined side by side (Lanes::join).
    Float s[numStates] {};
    Float a[numStates][numStates] {}, b[numStates] {}, c[numStates] {}, d {};
};

template <int width>
inline void LadderFilter<width>::setParameters (Float cutoffHz, float sampleRate, Float resonance, Float outputGain) noexcept
{
    // With g = tan (pi fc / fs) = p / q, each one-pole stage has G = g / (1 + g) = p / (p + q) and
    // B = 1 / (1 + g) = q / (p + q).
    const auto g = DspMath::tanPi (Lanes::limit (1.0e-5f, DspMath::maximumCutoffRatio, cutoffHz / sampleRate));
    const auto perSum = 1.0f / (g.numerator + g.denominator);
    const auto stageG = g.numerator * perSum;
    const auto stageB = g.denominator * perSum;

    const auto feedback = maximumFeedback * Lanes::limit (0.0f, 1.0f, resonance);
    const auto inputGain = 1.0f + passBandCompensation * feedback;

    // One step of the ladder: the input u = x - k y4 is solved for directly, then each one-pole
    // stage outputs y = G u + B s and moves its state to 2 y - s, y being the next stage's u. The
    // step is linear, so its columns follow from unit states and a unit input; worked out here
    // in closed form.
    const Float powers[] { stageG * stageG * stageG, stageG * stageG, stageG, Lanes::splat (1.0f) };
    const auto solve = 1.0f / (1.0f + feedback * powers[0] * stageG);
    const auto feedbackPart = -feedback * stageB * solve;

    for (int j = 0; j < numStates; ++j)
    {
        auto y = feedbackPart * powers[j];

        for (int i = 0; i < numStates; ++i)
        {
            y = stageG * y + (i == j ? stageB : Float {});
            a[i][j] = 2.0f * y - (i == j ? 1.0f : 0.0f);
        }

        c[j] = y * outputGain;
    }

    auto y = inputGain * solve;

    for (int i = 0; i < numStates; ++i)
    {
        y = stageG * y;
        b[i] = 2.0f * y;
    }

    d = y * outputGain;
}
