#pragma once

#include "DspMath.h"

/**
    The tone of `width` voices (Lanes::Vectors): each a mix of a band-limited triangle and a sine sharing one phase.

    The triangle's corners are smoothed with a two-sample polynomial BLAMP, which removes most of
    the aliasing a naive triangle folds back at high pitches without any oversampling.
*/
template <int width>
class ToneOscillator final
{
public:
    using Float = typename Lanes::Vectors<width>::Float;
    using Mask = typename Lanes::Vectors<width>::Int;

    /** Phase of one lane in cycles, [0, 1). */
    void setPhase (int lane, float newPhase) noexcept { phase[lane] = newPhase - std::floor (newPhase); }

    /** Returns the next sample and advances by phaseIncrement (frequency / sample rate, below 0.5;
        0 holds a lane where it is). The triangle is worked out only when some lane uses it, and
        added in the lanes of withTriangle: all of them in a group of four, which decides for all
        its lanes at once, the lanes of the groups that use it where two are side by side. */
    Float processSample (Float phaseIncrement, Float triangleLevel, Mask withTriangle, bool anyTriangle) noexcept
    {
        auto out = (1.0f - triangleLevel) * DspMath::sinCycle (phase);

        if (anyTriangle)
        {
            const auto withIt = out + triangleLevel * bandLimitedTriangle (phaseIncrement);

            if constexpr (width == Lanes::size)
                out = withIt;
            else
                out = Lanes::select (withTriangle, withIt, out);
        }

        phase = phase + phaseIncrement;
        phase = Lanes::select (phase >= 1.0f, phase - 1.0f, phase);
        return out;
    }

private:
    Float bandLimitedTriangle (Float dt) const noexcept
    {
        // Measured from the rising corner at phase 0.75, the last corner passed lies d in [0, 0.5)
        // back, and the triangle is 4 d - 1 after a rising corner and 1 - 4 d after a falling one.
        auto q = phase + 0.25f;
        q = Lanes::select (q >= 1.0f, q - 1.0f, q);
        const auto afterFalling = q >= 0.5f;
        const auto d = Lanes::select (afterFalling, q - 0.5f, q);

        // Integrated linear-interpolation BLEP residuals of the two slope changes near it: just
        // after the last corner, and just before the next, which turns the other way. Each corner
        // changes the slope by 8 cycles' worth, i.e. 8 * dt per sample.
        const auto perIncrement = 1.0f / dt;
        const auto after = 1.0f - d * perIncrement;
        const auto before = (d - 0.5f) * perIncrement + 1.0f;
        const auto residuals = Lanes::keep (d < dt, after * after * after) - Lanes::keep (d > 0.5f - dt, before * before * before);

        return Lanes::negateWhere (afterFalling, 4.0f * d - 1.0f + (8.0f / 6.0f) * dt * residuals);
    }

    Float phase {};
};
