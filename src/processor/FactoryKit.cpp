#include "FactoryKit.h"
#include "ParameterIds.h"

#include <string_view>

namespace
{
using namespace ParameterIds;

/** The kit's columns, by name: each row below holds one voice's values in this order. */
constexpr std::array<const char*, voiceSuffixes.size()> columns {
    decay, waveform, tonePitch, toneBend, bendSweepCurve, noiseCutoff, noiseResonance, noiseHPCutoff,
    noiseSweep, noiseMix, lfoRate, lfoToneDepth, lfoNoiseDepth, clickDecay, clickMix, saturation,
    velocity, pan, gain, label, chokeGroup
};

constexpr size_t columnOf (std::string_view suffix)
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (suffix == columns[i])
            return i;

    return columns.size();
}

constexpr bool everySuffixHasItsOwnColumn()
{
    for (size_t i = 0; i < voiceSuffixes.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (columnOf (voiceSuffixes[i]) == columnOf (voiceSuffixes[j]))
                return false;

    for (const auto* suffix : voiceSuffixes)
        if (columnOf (suffix) == columns.size())
            return false;

    return true;
}

static_assert (everySuffixHasItsOwnColumn(), "each parameter of a voice needs one column of the kit");

using Row = std::array<float, columns.size()>;

// Units: Decay s, TonePitch, NoiseCutoff, NoiseHPCutoff and LFORate Hz, ClickDecay ms, Gain dB.
// Sidestick and the first snare share choke group 1, as both are played on the same drum; the
// closed hat has group 2 ready for an open hat on another voice.
constexpr std::array<Row, numVoices> kit {{
    // Kick: sine with a deep fast sweep, a little noise and a click for the beater.
    {{ 0.45f, 2.0f,  150.0f, 0.65f, 0.0f,  1200.0f, 0.10f,   20.0f, 0.50f, 0.06f, 1.0f, 0.0f, 0.0f, 3.0f, 0.35f, 0.20f, 0.50f,  0.00f,  0.0f,  1.0f, 0.0f }},
    // Sidestick: short bright body, band of noise, strong click.
    {{ 0.07f, 1.0f, 1100.0f, 0.15f, 1.0f,  4500.0f, 0.35f,  900.0f, 0.30f, 0.35f, 1.0f, 0.0f, 0.0f, 1.0f, 0.60f, 0.10f, 0.60f,  0.10f, -3.0f,  4.0f, 1.0f }},
    // Snare: tone around 190 Hz under bright noise.
    {{ 0.22f, 0.0f,  190.0f, 0.25f, 0.0f,  7500.0f, 0.15f,  250.0f, 0.30f, 0.60f, 1.0f, 0.0f, 0.0f, 2.0f, 0.30f, 0.15f, 0.50f,  0.00f, -1.5f,  2.0f, 1.0f }},
    // Handclap: resonant band-passed noise whose cutoff the LFO swings at 90 Hz, which gives a few
    // slaps about 11 ms apart before the swing dies away into the tail.
    {{ 0.30f, 2.0f, 1000.0f, 0.00f, 0.0f,  1800.0f, 0.40f,  750.0f, 0.20f, 0.95f, 90.0f, 0.0f, 0.9f, 8.0f, 0.15f, 0.10f, 0.50f, -0.15f, -3.0f, 14.0f, 0.0f }},
    // Second snare: tighter and higher.
    {{ 0.16f, 0.0f,  240.0f, 0.20f, 1.0f,  9500.0f, 0.10f,  500.0f, 0.40f, 0.70f, 1.0f, 0.0f, 0.0f, 1.0f, 0.40f, 0.25f, 0.50f,  0.15f, -2.5f,  2.0f, 0.0f }},
    // Low tom: sine with a gentle downward bend.
    {{ 0.60f, 2.0f,  105.0f, 0.30f, 1.0f,  1500.0f, 0.00f,   40.0f, 0.30f, 0.08f, 1.0f, 0.0f, 0.0f, 2.0f, 0.20f, 0.10f, 0.50f, -0.30f, -2.0f,  5.0f, 0.0f }},
    // Closed hi-hat: high-passed noise with a short decay.
    {{ 0.06f, 0.0f, 3600.0f, 0.00f, 0.0f, 16000.0f, 0.20f, 7000.0f, 0.10f, 0.97f, 1.0f, 0.0f, 0.0f, 1.0f, 0.10f, 0.00f, 0.70f,  0.25f, -5.0f, 10.0f, 2.0f }},
}};
} // namespace

namespace FactoryKit
{
float getValue (int voiceNumber, int suffixIndex)
{
    jassert (juce::isPositiveAndBelow (voiceNumber - 1, ParameterIds::numVoices));
    jassert (juce::isPositiveAndBelow (suffixIndex, (int) ParameterIds::voiceSuffixes.size()));
    return kit[(size_t) (voiceNumber - 1)][columnOf (ParameterIds::voiceSuffixes[(size_t) suffixIndex])];
}

void apply (juce::AudioProcessorValueTreeState& state)
{
    for (int voiceNumber = 1; voiceNumber <= ParameterIds::numVoices; ++voiceNumber)
    {
        for (int i = 0; i < (int) ParameterIds::voiceSuffixes.size(); ++i)
        {
            auto* parameter = state.getParameter (ParameterIds::voiceParameterId (voiceNumber, ParameterIds::voiceSuffixes[(size_t) i]));
            jassert (parameter != nullptr);
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (getValue (voiceNumber, i)));
        }
    }
}
} // namespace FactoryKit
