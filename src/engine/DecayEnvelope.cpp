#include "DecayEnvelope.h"

void DecayEnvelope::setTimes (float attackSeconds, float decaySeconds, float sampleRate) noexcept
{
    const auto attackSamples = attackSeconds * sampleRate;
    attackStep = attackSamples > 1.0f ? 1.0f / attackSamples : 1.0f;

    const auto decaySamples = juce::jmax (1.0f, decaySeconds * sampleRate);
    fallMultiplier = std::exp (std::log (floorLevel) / decaySamples);
}

void DecayEnvelope::start (float startLevel) noexcept
{
    fall = 1.0f;
    attack = attackStep >= 1.0f ? 1.0f : juce::jlimit (0.0f, 1.0f, startLevel);
}

void DecayEnvelope::stop() noexcept
{
    fall = 0.0f;
    attack = 1.0f;
}
