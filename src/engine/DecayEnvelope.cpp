#include "DecayEnvelope.h"

#include <juce_core/juce_core.h>

template <int width>
void DecayEnvelope<width>::setTimes (int lane, float attackSeconds, float decaySeconds, float sampleRate) noexcept
{
    const auto attackSamples = attackSeconds * sampleRate;
    attackStep[lane] = attackSamples > 1.0f ? 1.0f / attackSamples : 1.0f;

    const auto decaySamples = juce::jmax (1.0f, decaySeconds * sampleRate);
    fallMultiplier[lane] = std::exp (std::log (floorLevel) / decaySamples);
}

template <int width>
void DecayEnvelope<width>::start (int lane, float startLevel) noexcept
{
    fall[lane] = 1.0f;
    attack[lane] = attackStep[lane] >= 1.0f ? 1.0f : juce::jlimit (0.0f, 1.0f, startLevel);
}

template <int width>
void DecayEnvelope<width>::stop (int lane) noexcept
{
    fall[lane] = 0.0f;
    attack[lane] = 1.0f;
}

template <int width>
float DecayEnvelope<width>::getLevel (int lane) const noexcept
{
    return attack[lane] * juce::jmax (0.0f, (fall[lane] - floorLevel) * shapeScale);
}

template class DecayEnvelope<Lanes::size>;
