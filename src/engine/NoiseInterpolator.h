#pragma once

#include "Lanes.h"

#include <juce_core/juce_core.h>

#include <array>

/**
    Brings noise of four voices, made at a lower rate, up to the voices' oversampled rate (2, 4, 8
    or 16 times as high) through cascaded half-band stages of polyphase allpass filters, with the
    same filter design as juce::dsp::Oversampling's filterHalfBandPolyphaseIIR.

    What comes out has the spectrum the noise had below half the lower rate, and next to nothing
    above it.
*/
class NoiseInterpolator final
{
public:
    static constexpr int maxFactor = 16;

    /** Designs the filters the first time; may allocate. */
    NoiseInterpolator();

    /** 1, 2, 4, 8 or 16; clears the filters. */
    void setFactor (int newFactor) noexcept;

    void reset() noexcept;

    static constexpr int maxOutput = 16;

    /** Writes numInput * factor samples, no more than maxOutput, to output. */
    void process (const Lanes::Float* input, Lanes::Float* output, int numInput) noexcept;

private:
    struct Stage
    {
        static constexpr int maxAllpasses = 4;

        forcedinline void process (const Lanes::Float* input, Lanes::Float* output, int numInput) noexcept;

        // The first numDirect allpasses make the even outputs, the rest the odd ones.
        std::array<float, 2 * maxAllpasses> coefficients {};
        std::array<Lanes::Float, 2 * maxAllpasses> states {};
        int numDirect = 0, numDelayed = 0;
    };

    static Stage design (float transitionWidth, float stopbandDb);

    static constexpr int maxStages = 4;
    std::array<Stage, maxStages> stages;
    int factor = 1, numStages = 0;
};
