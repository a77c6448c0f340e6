#pragma once

#include "Lanes.h"

#include <cmath>

/**
    The pitch of `width` voices (Lanes::Vectors), bending from the start to the end pitch. What is left of the bend,
    1 at the start and 0 at the end, also drives the noise cutoff's sweep.

    Curve A is exponential with a time constant of a twelfth of the decay (a fast drop that settles
    early, as in a kick); Curve B is a straight glide that arrives at half the decay time.
*/
template <int width>
class BendCurve final
{
public:
    using Float = typename Lanes::Vectors<width>::Float;

    void setTimes (int lane, bool curveB, float decaySeconds, float sampleRate) noexcept
    {
        constexpr float curveATimeFraction = 1.0f / 12.0f, curveBTimeFraction = 0.5f;
        isCurveB[lane] = curveB ? -1 : 0;
        multiplier[lane] = std::exp (-1.0f / (decaySeconds * curveATimeFraction * sampleRate));
        step[lane] = 1.0f / (decaySeconds * curveBTimeFraction * sampleRate);
    }

    void start (int lane, float startPitch, float endPitch) noexcept
    {
        end[lane] = endPitch;
        span[lane] = startPitch - endPitch;
        remaining[lane] = 1.0f;
    }

    /** What is left of the bend, 1 down to 0. */
    Float getRemaining() const noexcept { return remaining; }

    Float nextPitch() noexcept
    {
        const auto pitch = end + span * remaining;
        remaining = Lanes::select (isCurveB, Lanes::max (Float {}, remaining - step),
                                   Lanes::max (Lanes::splat<Float> (arrived), remaining * multiplier));
        return pitch;
    }

private:
    /** Curve A counts as arrived here, before it sinks into denormals. */
    static constexpr float arrived = 1.0e-7f;

    // Lane vectors only, so that two groups can be joined side by side (Lanes::join).
    Float remaining {}, end {}, span {}, multiplier {}, step {};
    typename Lanes::Vectors<width>::Int isCurveB {};
};
