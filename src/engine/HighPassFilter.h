#pragma once

#include "Lanes.h"

/**
    A two-pole high-pass for four voices (state-variable, topology-preserving transform, Butterworth
    Q), kept as a state-space step like LadderFilter so that a sample is a handful of independent
    multiply-adds. It can follow the voices' changing oversampled rate without being prepared again.
*/
class HighPassFilter final
{
public:
    void reset (int lane) noexcept;
    void setCutoff (int lane, float cutoffHz, float sampleRate) noexcept;

    Lanes::Float processSample (Lanes::Float x) noexcept
    {
        const auto y = c0 * s0 + c1 * s1 + d * x;
        const auto next0 = a00 * s0 + a01 * s1 + b0 * x;
        const auto next1 = a10 * s0 + a11 * s1 + b1 * x;
        s0 = next0;
        s1 = next1;
        return y;
    }

private:
    Lanes::Float s0 {}, s1 {};
    Lanes::Float a00 {}, a01 {}, a10 {}, a11 {}, b0 {}, b1 {};
    Lanes::Float c0 {}, c1 {}, d = Lanes::splat (1.0f);
};
