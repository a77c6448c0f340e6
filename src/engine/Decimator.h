#pragma once

#include "Lanes.h"

#include <juce_core/juce_core.h>

#include <array>

/**
    Brings an oversampled stereo signal back to the host rate through one (2x) or two (4x)
    half-band stages of polyphase allpass filters, with the same filters as
    juce::dsp::Oversampling's filterHalfBandPolyphaseIIR. Only the downward half is needed: the
    voices generate their signal at the oversampled rate rather than upsampling it.

    Samples are interleaved, left then right. The two channels and the two polyphase branches run
    side by side in the four lanes of one vector.
*/
class Decimator final
{
public:
    /** Designs the filters the first time; may allocate. */
    Decimator();

    /** 1, 2 or 4; clears the filters. */
    void setFactor (int newFactor) noexcept;

    void reset() noexcept;

    /** Reads numOutputFrames * factor frames from input, which it uses as scratch space, and
        writes numOutputFrames frames to output. */
    void process (float* input, float* output, int numOutputFrames) noexcept;

private:
    struct Stage
    {
        static constexpr int maxAllpasses = 8;

        forcedinline void process (const float* input, float* output, int numOutputFrames) noexcept;

        // Lanes: left and right of the direct branch, left and right of the delayed branch.
        std::array<Lanes::Float, maxAllpasses> coefficients {}, states {};
        Lanes::Float lastOutput {};
        int numAllpasses = 0;
    };

    static Stage design (float transitionWidth, float stopbandDb);
    forcedinline void processStages (float* input, float* output, int numOutputFrames) noexcept;

    Stage upper, lower; // 4x to 2x, and 2x to 1x
    int factor = 1;
};
