#pragma once

#include "DspMath.h"

/**
    The tone of a voice: a mix of a band-limited triangle and a sine sharing one phase.

    The triangle's corners are smoothed with a two-sample polynomial BLAMP, which removes most
    of the aliasing a naive triangle folds back at high pitches without any oversampling.
*/
class ToneOscillator final
{
public:
    ToneOscillator() = default;

    /** Phase in cycles, [0, 1). */
    void setPhase (float newPhase) noexcept;
    float getPhase() const noexcept { return phase; }

    /** Returns the next sample and advances by phaseIncrement (frequency / sample rate, below 0.5). */
    float processSample (float phaseIncrement, float triangleLevel, float sineLevel) noexcept
    {
        auto out = sineLevel * DspMath::sinCycle (phase);

        if (triangleLevel != 0.0f)
            out += triangleLevel * bandLimitedTriangle (phaseIncrement);

        phase += phaseIncrement;

        if (phase >= 1.0f)
            phase -= 1.0f;

        return out;
    }

private:
    float bandLimitedTriangle (float dt) const noexcept
    {
        // The slope is +4 per cycle up to the corner at 0.25 and -4 after it, so each corner
        // changes the slope by 8 cycles' worth, i.e. 8 * dt per sample.
        const auto slopeStep = 8.0f * dt;
        return DspMath::triangleCycle (phase)
             + slopeStep * (cornerResidual (distanceAfter (risingCorner), dt)
                            - cornerResidual (distanceAfter (fallingCorner), dt));
    }

    float distanceAfter (float corner) const noexcept
    {
        const auto d = phase - corner;
        return d < 0.0f ? d + 1.0f : d;
    }

    /** Integrated linear-interpolation BLEP residual of a unit slope change, for a sample
        `distance` cycles after the corner (or 1 - distance before the next one). */
    static float cornerResidual (float distance, float dt) noexcept
    {
        if (distance < dt)
        {
            const auto u = 1.0f - distance / dt;
            return u * u * u * (1.0f / 6.0f);
        }

        if (distance > 1.0f - dt)
        {
            const auto u = (distance - 1.0f) / dt + 1.0f;
            return u * u * u * (1.0f / 6.0f);
        }

        return 0.0f;
    }

    static constexpr float risingCorner = 0.75f;   // minimum: the slope turns from -4 to +4
    static constexpr float fallingCorner = 0.25f;  // maximum: the slope turns from +4 to -4

    float phase = 0.0f;

    JUCE_LEAK_DETECTOR (ToneOscillator)
};
