#include "Decimator.h"

#include <juce_dsp/juce_dsp.h>

namespace
{
// The upper stage, at four times the rate, can afford a wider transition band.
constexpr float upperTransitionWidth = 0.12f, upperStopbandDb = -85.0f;
constexpr float lowerTransitionWidth = 0.06f, lowerStopbandDb = -75.0f;
} // namespace

Decimator::Decimator()
{
    static const auto designedUpper = design (upperTransitionWidth, upperStopbandDb);
    static const auto designedLower = design (lowerTransitionWidth, lowerStopbandDb);
    upper = designedUpper;
    lower = designedLower;
}

Decimator::Stage Decimator::design (float transitionWidth, float stopbandDb)
{
    const auto structure = juce::dsp::FilterDesign<float>::designIIRLowpassHalfBandPolyphaseAllpassMethod (transitionWidth, stopbandDb);

    // The delayed branch's first element is the delay itself, which the stage applies on its own.
    const auto numDirect = structure.directPath.size();
    const auto numDelayed = structure.delayedPath.size() - 1;

    Stage stage;
    stage.numAllpasses = juce::jmax (numDirect, numDelayed);
    jassert (stage.numAllpasses <= Stage::maxAllpasses);

    for (int n = 0; n < stage.numAllpasses; ++n)
    {
        // A coefficient of 1 passes a sample through unchanged (its state stays 0), which evens
        // out the two branches' lengths.
        const auto direct = n < numDirect ? structure.directPath.getObjectPointer (n)->coefficients[0] : 1.0f;
        const auto delayed = n < numDelayed ? structure.delayedPath.getObjectPointer (n + 1)->coefficients[0] : 1.0f;
        stage.coefficients[(size_t) n] = Lanes::Float { direct, direct, delayed, delayed };
    }

    return stage;
}

forcedinline void Decimator::Stage::process (const float* input, float* output, int numOutputFrames) noexcept
{
    auto previous = lastOutput;

    for (int i = 0; i < numOutputFrames; ++i)
    {
        // The even frame into the direct branch, the odd one into the delayed branch.
        Lanes::Float x;
        std::memcpy (&x, input + 4 * i, sizeof (x));

        for (int n = 0; n < numAllpasses; ++n)
        {
            const auto alpha = coefficients[(size_t) n];
            const auto out = alpha * x + states[(size_t) n];
            states[(size_t) n] = x - alpha * out;
            x = out;
        }

        output[2 * i] = (previous[2] + x[0]) * 0.5f;
        output[2 * i + 1] = (previous[3] + x[1]) * 0.5f;
        previous = x;
    }

    lastOutput = previous;
}

void Decimator::setFactor (int newFactor) noexcept
{
    factor = newFactor >= 4 ? 4 : (newFactor >= 2 ? 2 : 1);
    reset();
}

void Decimator::reset() noexcept
{
    for (auto* stage : { &upper, &lower })
    {
        stage->states.fill (Lanes::Float {});
        stage->lastOutput = Lanes::Float {};
    }
}

void Decimator::process (float* input, float* output, int numOutputFrames) noexcept
{
    processStages (input, output, numOutputFrames);
}

forcedinline void Decimator::processStages (float* input, float* output, int numOutputFrames) noexcept
{
    if (factor == 4)
    {
        upper.process (input, input, 2 * numOutputFrames); // in place: frame i is written after 2 i and 2 i + 1 are read
        lower.process (input, output, numOutputFrames);
    }
    else if (factor == 2)
    {
        lower.process (input, output, numOutputFrames);
    }
    else
    {
        std::copy (input, input + 2 * numOutputFrames, output);
    }
}
