#pragma once

#include "Lanes.h"

/**
    A percussive envelope for `width` voices (Lanes::Vectors): a short linear attack, then an exponential fall that is
    shifted down so that it reaches exactly zero at the decay time, without the step an exponential
    cut at -60 dB would leave. Zero is its sustain stage.
*/
template <int width>
class DecayEnvelope final
{
public:
    using Float = typename Lanes::Vectors<width>::Float;

    /** Rates of one lane for the given times at the given rate; may change while it runs. */
    void setTimes (int lane, float attackSeconds, float decaySeconds, float sampleRate) noexcept;

    /** Restarts a lane from startLevel (0 to 1), rising to the top over the attack. */
    void start (int lane, float startLevel) noexcept;
    void stop (int lane) noexcept;

    /** Set from start() until the fall has reached zero. */
    typename Lanes::Vectors<width>::Int isRunning() const noexcept { return fall > floorLevel; }

    float getLevel (int lane) const noexcept;

    Float processSample() noexcept
    {
        const auto out = attack * shape();
        // Held just under the floor once it is there, so that it never sinks into denormals.
        fall = Lanes::max (fall * fallMultiplier, Lanes::splat<Float> (stoppedLevel));
        attack = Lanes::min (Lanes::splat<Float> (1.0f), attack + attackStep);
        return out;
    }

private:
    Float shape() const noexcept { return Lanes::max (Lanes::splat<Float> (0.0f), (fall - floorLevel) * shapeScale); }

    /** The level the fall is shifted by: silence is this far (-60 dB) below the peak. */
    static constexpr float floorLevel = 0.001f;
    static constexpr float stoppedLevel = 0.5f * floorLevel;
    static constexpr float shapeScale = 1.0f / (1.0f - floorLevel);

    // Lane vectors only, so that two groups can be joined side by side (Lanes::join).
    Float fall {}, fallMultiplier {};
    Float attack = Lanes::splat<Float> (1.0f), attackStep = Lanes::splat<Float> (1.0f);
};
