#pragma once

#include <juce_core/juce_core.h>

/**
    A four-pole resonant low-pass ladder (linear, topology-preserving transform: no unit delay in
    the feedback path, so it stays in tune and stable up to the top of the band).

    setParameters() solves the ladder's implicit feedback equation once and keeps the result as a
    state-space step (new state = A state + B input), so that a sample costs a few independent
    multiply-adds instead of the long serial chain of the four stages and the feedback. The voices
    set the parameters every few samples while the cutoff sweeps; juce::dsp::LadderFilter would
    recompute them every sample and is several times slower.

    A small value type: the voices copy it into a local for their inner loop, so that its state
    stays in registers.
*/
class LadderFilter final
{
public:
    LadderFilter() = default;

    void reset() noexcept;

    /** resonance 0 to 1; 1 is just short of self-oscillation. */
    void setParameters (float cutoffHz, float sampleRate, float resonance) noexcept;

    float processSample (float x) noexcept
    {
        const auto y = c[0] * s[0] + c[1] * s[1] + c[2] * s[2] + c[3] * s[3] + d * x;

        float next[numStates];

        for (int i = 0; i < numStates; ++i)
            next[i] = a[i][0] * s[0] + a[i][1] * s[1] + a[i][2] * s[2] + a[i][3] * s[3] + b[i] * x;

        for (int i = 0; i < numStates; ++i)
            s[i] = next[i];

        return y;
    }

private:
    static constexpr int numStates = 4;

    float s[numStates] {};
    float a[numStates][numStates] {}, b[numStates] {}, c[numStates] {}, d = 0.0f;

    JUCE_LEAK_DETECTOR (LadderFilter)
};
