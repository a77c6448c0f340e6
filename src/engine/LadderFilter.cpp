#include "LadderFilter.h"

namespace
{
// Feedback at which the ladder starts to oscillate on its own; resonance 1 stays below it.
constexpr float selfOscillationFeedback = 4.0f;
constexpr float maximumFeedback = 0.97f * selfOscillationFeedback;

// Restores part of the pass-band level that the feedback takes away (1 / (1 + k) at DC).
constexpr float passBandCompensation = 0.5f;

// Highest cutoff as a fraction of the sample rate, where tan() is still well-behaved.
constexpr float maximumCutoffRatio = 0.45f;
}

void LadderFilter::reset() noexcept
{
    for (auto& state : s)
        state = 0.0f;
}

void LadderFilter::setParameters (float cutoffHz, float sampleRate, float resonance) noexcept
{
    const auto ratio = juce::jlimit (1.0e-5f, maximumCutoffRatio, cutoffHz / sampleRate);
    const auto g = std::tan (juce::MathConstants<float>::pi * ratio);
    const auto feedback = maximumFeedback * juce::jlimit (0.0f, 1.0f, resonance);
    const auto inputGain = 1.0f + passBandCompensation * feedback;

    const auto stageB = 1.0f / (1.0f + g);
    const auto stageG = g * stageB;
    const auto stageG4 = stageG * stageG * stageG * stageG;

    // One step of the ladder: each one-pole stage outputs y = G x + s / (1 + g) and moves its
    // state to 2 y - s; the input u = x - k y4 is solved for directly.
    const auto step = [&] (const float* state, float input, float* nextState) -> float
    {
        const auto zeroInputOutput = stageB * (stageG * (stageG * (stageG * state[0] + state[1]) + state[2]) + state[3]);
        auto u = (input * inputGain - feedback * zeroInputOutput) / (1.0f + feedback * stageG4);

        for (int i = 0; i < numStates; ++i)
        {
            const auto y = stageG * u + stageB * state[i];
            nextState[i] = 2.0f * y - state[i];
            u = y;
        }

        return u;
    };

    // The step is linear, so its columns follow from unit states and a unit input.
    float unit[numStates] {}, column[numStates];

    for (int j = 0; j < numStates; ++j)
    {
        unit[j] = 1.0f;
        c[j] = step (unit, 0.0f, column);
        unit[j] = 0.0f;

        for (int i = 0; i < numStates; ++i)
            a[i][j] = column[i];
    }

    d = step (unit, 1.0f, b);
}
