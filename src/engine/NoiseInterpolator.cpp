#include "NoiseInterpolator.h"

#include <juce_dsp/juce_dsp.h>

namespace
{
// The first stage keeps the band up to near half the noise rate; the later ones only have to keep
// it up to a quarter of their input rate or less, and can afford wide transitions.
constexpr float firstTransitionWidth = 0.06f, firstStopbandDb = -75.0f;
constexpr float laterTransitionWidth = 0.2f, laterStopbandDb = -70.0f;
} // namespace

NoiseInterpolator::NoiseInterpolator()
{
    static const auto designedFirst = design (firstTransitionWidth, firstStopbandDb);
    static const auto designedLater = design (laterTransitionWidth, laterStopbandDb);
    stages[0] = designedFirst;

    for (size_t s = 1; s < stages.size(); ++s)
        stages[s] = designedLater;
}

NoiseInterpolator::Stage NoiseInterpolator::design (float transitionWidth, float stopbandDb)
{
    const auto structure = juce::dsp::FilterDesign<float>::designIIRLowpassHalfBandPolyphaseAllpassMethod (transitionWidth, stopbandDb);

    // The delayed branch's first element is the delay itself, which interleaving the outputs provides.
    Stage stage;
    stage.numDirect = structure.directPath.size();
    stage.numDelayed = structure.delayedPath.size() - 1;
    jassert (stage.numDirect <= Stage::maxAllpasses && stage.numDelayed <= Stage::maxAllpasses);

    for (int n = 0; n < stage.numDirect; ++n)
        stage.coefficients[(size_t) n] = structure.directPath.getObjectPointer (n)->coefficients[0];

    for (int n = 0; n < stage.numDelayed; ++n)
        stage.coefficients[(size_t) (stage.numDirect + n)] = structure.delayedPath.getObjectPointer (n + 1)->coefficients[0];

    return stage;
}

void NoiseInterpolator::setFactor (int newFactor) noexcept
{
    factor = 1;
    numStages = 0;

    while (factor < juce::jmin (newFactor, maxFactor))
    {
        factor *= 2;
        ++numStages;
    }

    reset();
}

void NoiseInterpolator::reset() noexcept
{
    for (auto& stage : stages)
        stage.states.fill (Lanes::Float {});
}
