#pragma once

#include <array>

/** The sound parameters of one voice, each in the units of its host parameter (seconds, Hz,
    0 to 1, ms, dB, -1 to 1, or the step index of a choice), in the order of a voice copy. */
enum class VoiceParameter
{
    decay,
    waveform,
    tonePitch,
    toneBend,
    bendSweepCurve,
    noiseCutoff,
    noiseResonance,
    noiseHPCutoff,
    noiseSweep,
    noiseMix,
    lfoRate,
    lfoToneDepth,
    lfoNoiseDepth,
    clickDecay,
    clickMix,
    saturation,
    velocity,
    pan,
    gain,
    numParameters
};

/** Where a sound parameter can go: the host parameter's range and the engine's limits alike. */
struct VoiceParameterRange
{
    float minimum, maximum, interval, defaultValue;

    /** The knob's middle is the geometric mean of its ends. */
    bool logarithmic = false;
};

namespace VoiceParameters
{
inline constexpr int count = (int) VoiceParameter::numParameters;

const VoiceParameterRange& getRange (VoiceParameter parameter) noexcept;

/** The value brought into the parameter's range; anything that is not a finite number gives the default. */
float limit (VoiceParameter parameter, float value) noexcept;
} // namespace VoiceParameters
