#include "VoiceParameters.h"

#include <cmath>

namespace
{
constexpr VoiceParameterRange percent (float defaultValue) { return { 0.0f, 1.0f, 0.01f, defaultValue }; }
constexpr VoiceParameterRange choice (int count)           { return { 0.0f, (float) count - 1.0f, 1.0f, 0.0f }; }
constexpr VoiceParameterRange logarithmic (float minimum, float maximum, float defaultValue)
{
    return { minimum, maximum, 0.0f, defaultValue, true };
}

constexpr int numWaveforms = 3, numBendCurves = 2;

// Chosen for drum sounds; the LFO reaches audio rates so that it can flutter a hand clap.
constexpr std::array<VoiceParameterRange, VoiceParameters::count> ranges {{
    logarithmic (0.01f, 5.0f, 0.5f),          // decay, s
    choice (numWaveforms),                    // waveform: Triangle, TriangleSine, Sine
    logarithmic (20.0f, 5000.0f, 200.0f),     // tonePitch, Hz
    percent (0.0f),                           // toneBend
    choice (numBendCurves),                   // bendSweepCurve: Curve A, Curve B
    logarithmic (20.0f, 20000.0f, 5000.0f),   // noiseCutoff, Hz
    percent (0.0f),                           // noiseResonance
    logarithmic (20.0f, 20000.0f, 20.0f),     // noiseHPCutoff, Hz
    percent (0.0f),                           // noiseSweep
    percent (0.5f),                           // noiseMix
    logarithmic (0.1f, 100.0f, 1.0f),        // lfoRate, Hz
    percent (0.0f),                           // lfoToneDepth
    percent (0.0f),                           // lfoNoiseDepth
    { 1.0f, 100.0f, 1.0f, 5.0f },             // clickDecay, ms
    percent (0.0f),                           // clickMix
    percent (0.0f),                           // saturation
    percent (0.5f),                           // velocity sensitivity
    { -1.0f, 1.0f, 0.01f, 0.0f },             // pan
    { -24.0f, 24.0f, 0.1f, 0.0f },            // gain, dB
}};
} // namespace

namespace VoiceParameters
{
const VoiceParameterRange& getRange (VoiceParameter parameter) noexcept
{
    return ranges[(size_t) parameter];
}

float limit (VoiceParameter parameter, float value) noexcept
{
    const auto& range = getRange (parameter);

    if (! std::isfinite (value))
        return range.defaultValue;

    return value < range.minimum ? range.minimum : (value > range.maximum ? range.maximum : value);
}
} // namespace VoiceParameters
