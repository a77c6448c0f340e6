#pragma once

#include <juce_core/juce_core.h>

/**
    A percussive envelope: a short linear attack, then an exponential fall that is shifted down so
    that it reaches exactly zero at the decay time, without the step an exponential cut at -60 dB
    would leave. Zero is its sustain stage.
*/
class DecayEnvelope final
{
public:
    DecayEnvelope() = default;

    /** Rates for the given times at the given rate; may change while the envelope runs. */
    void setTimes (float attackSeconds, float decaySeconds, float sampleRate) noexcept;

    /** Restarts from startLevel (the level the sound has now, so a retrigger does not jump). */
    void start (float startLevel) noexcept;
    void stop() noexcept;

    /** True from start() until the fall has reached zero. */
    bool isRunning() const noexcept { return fall > floorLevel; }

    float getLevel() const noexcept { return attack * shape(); }

    float processSample() noexcept
    {
        const auto out = attack * shape();
        // Held just under the floor once it is there, so it never sinks into denormals.
        fall = juce::jmax (fall * fallMultiplier, stoppedLevel);

        if (attack < 1.0f)
            attack = juce::jmin (1.0f, attack + attackStep);

        return out;
    }

private:
    float shape() const noexcept { return juce::jmax (0.0f, (fall - floorLevel) * shapeScale); }

    /** The level the fall is shifted by: silence is this far (-60 dB) below the peak. */
    static constexpr float floorLevel = 0.001f;
    static constexpr float stoppedLevel = 0.5f * floorLevel;
    static constexpr float shapeScale = 1.0f / (1.0f - floorLevel);

    float fall = 0.0f, fallMultiplier = 0.0f;
    float attack = 1.0f, attackStep = 1.0f;

    JUCE_LEAK_DETECTOR (DecayEnvelope)
};
