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
    forcedinline void process (const Lanes::Float* input, Lanes::Float* output, int numInput) noexcept;

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

forcedinline void NoiseInterpolator::Stage::process (const Lanes::Float* input, Lanes::Float* output, int numInput) noexcept
{
    for (int i = 0; i < numInput; ++i)
    {
        for (int branch = 0; branch < 2; ++branch)
        {
            auto x = input[i];
            const auto first = branch == 0 ? 0 : numDirect;
            const auto last = branch == 0 ? numDirect : numDirect + numDelayed;

            for (int n = first; n < last; ++n)
            {
                const auto alpha = coefficients[(size_t) n];
                const auto out = alpha * x + states[(size_t) n];
                states[(size_t) n] = x - alpha * out;
                x = out;
            }

            output[2 * i + branch] = x;
        }
    }
}

// Inline, so that the AVX2 build of the voices' loop gets its own copy.
forcedinline void NoiseInterpolator::process (const Lanes::Float* input, Lanes::Float* output, int numInput) noexcept
{
    jassert (numInput * factor <= maxOutput);

    if (numStages == 0)
    {
        std::copy (input, input + numInput, output);
        return;
    }

    // Each stage doubles the count; the last one writes where the caller wants it.
    Lanes::Float scratch[2][maxOutput];
    const auto* from = input;

    for (int s = 0; s < numStages; ++s)
    {
        auto* to = s == numStages - 1 ? output : scratch[s % 2];
        stages[(size_t) s].process (from, to, numInput);
        from = to;
        numInput *= 2;
    }
}
