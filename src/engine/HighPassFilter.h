#pragma once

#include <juce_core/juce_core.h>

/**
    A two-pole high-pass (state-variable, topology-preserving transform, Butterworth Q), kept as a
    state-space step like LadderFilter so that a sample is a handful of independent multiply-adds.

    It does what juce::dsp::StateVariableTPTFilter does for one channel and one response, and can
    follow the voice's changing oversampled rate without being prepared again. A small value type.
*/
class HighPassFilter final
{
public:
    HighPassFilter() = default;

    void reset() noexcept;
    void setCutoff (float cutoffHz, float sampleRate) noexcept;

    float processSample (float x) noexcept
    {
        const auto y = c0 * s0 + c1 * s1 + d * x;
        const auto next0 = a00 * s0 + a01 * s1 + b0 * x;
        const auto next1 = a10 * s0 + a11 * s1 + b1 * x;
        s0 = next0;
        s1 = next1;
        return y;
    }

private:
    float s0 = 0.0f, s1 = 0.0f;
    float a00 = 0.0f, a01 = 0.0f, a10 = 0.0f, a11 = 0.0f, b0 = 0.0f, b1 = 0.0f;
    float c0 = 0.0f, c1 = 0.0f, d = 1.0f;

    JUCE_LEAK_DETECTOR (HighPassFilter)
};
