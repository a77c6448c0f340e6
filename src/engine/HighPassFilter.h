#pragma once

#include "Lanes.h"

/**
    A two-pole high-pass for `width` voices (Lanes::Vectors) (state-variable, topology-preserving transform, Butterworth
    Q), kept as a state-space step like LadderFilter so that a sample is a handful of independent
    multiply-adds. It can follow the voices' changing oversampled rate without being prepared again.
*/
template <int width>
class HighPassFilter final
{
public:
    using Float = typename Lanes::Vectors<width>::Float;

    void reset (int lane) noexcept;
    void setCutoff (int lane, float cutoffHz, float sampleRate) noexcept;

    Float processSample (Float x) noexcept
    {
        const auto y = c0 * s0 + c1 * s1 + d * x;
        const auto next0 = a00 * s0 + a01 * s1 + b0 * x;
        const auto next1 = a10 * s0 + a11 * s1 + b1 * x;
        s0 = next0;
        s1 = next1;
        return y;
    }

private:
    // Lane vectors only, so that two groups can be joined side by side (Lanes::join).
    Float s0 {}, s1 {};
    Float a00 {}, a01 {}, a10 {}, a11 {}, b0 {}, b1 {};
    Float c0 {}, c1 {}, d = Lanes::splat<Float> (1.0f);
};
