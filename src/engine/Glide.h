#pragma once

#include "Lanes.h"

/**
    A parameter of `width` voices (Lanes::Vectors) that moves to a new target in a straight line over a set time
    instead of jumping, so that changing it on a sounding note does not click or zip.

    The voices work out where it will be at the end of each short stretch of samples and step
    there sample by sample; what they read in the inner loop is `value` and `increment`.
*/
template <int width>
struct Glide
{
    using Float = typename Lanes::Vectors<width>::Float;

    /** Heads for newTarget, arriving numSamples from the next stretch on. */
    void setTarget (int lane, float newTarget, float numSamples) noexcept
    {
        target[lane] = newTarget;
        step[lane] = numSamples >= 1.0f ? (newTarget - value[lane]) / numSamples : 0.0f;

        if (step[lane] == 0.0f)
            jump (lane);
    }

    /** Goes to the target at once. */
    void jump (int lane) noexcept
    {
        value[lane] = stretchEnd[lane] = target[lane];
        increment[lane] = step[lane] = 0.0f;
    }

    /** Plans the coming stretch of numSamples for the lanes in the mask. */
    void beginStretch (typename Lanes::Vectors<width>::Int lanes, float numSamples, float reciprocal) noexcept
    {
        if (! Lanes::any (step != 0.0f))
        {
            stretchEnd = Lanes::select (lanes, value, stretchEnd);
            increment = Lanes::select (lanes, Float {}, increment);
            return;
        }

        const auto moved = value + step * numSamples;
        const auto end = Lanes::select (step > 0.0f, Lanes::min (moved, target), Lanes::max (moved, target));
        stretchEnd = Lanes::select (lanes, end, stretchEnd);
        increment = Lanes::select (lanes, (end - value) * reciprocal, increment);
        step = Lanes::select (lanes & (end == target), Float {}, step);
    }

    /** At the end of a stretch: lands exactly where it was headed. */
    void endStretch() noexcept { value = stretchEnd; }

    bool isMoving() const noexcept { return Lanes::any (increment != 0.0f); }

    // Lane vectors only, so that two groups can be joined side by side (Lanes::join).
    Float value {}, increment {}, stretchEnd {}, target {}, step {};
};
