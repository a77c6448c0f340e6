#pragma once

#include <array>
#include <string_view>

/** The sound parameters of one voice, each in the units of its host parameter (seconds, Hz,
    0 to 1, ms, dB, -1 to 1, or the step index of a choice). VoiceParameters::table says what
    each one is. */
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

    /** Steps 0, 1, 2... naming options (a switch or a selector rather than a knob). */
    bool choice = false;

    static constexpr VoiceParameterRange percent (float defaultValue) { return { 0.0f, 1.0f, 0.01f, defaultValue }; }
    static constexpr VoiceParameterRange choiceOf (int count)          { return { 0.0f, (float) count - 1.0f, 1.0f, 0.0f, false, true }; }

    static constexpr VoiceParameterRange logarithmicOf (float minimum, float maximum, float defaultValue)
    {
        return { minimum, maximum, 0.0f, defaultValue, true };
    }
};

/** One row of VoiceParameters::table. */
struct VoiceParameterInfo
{
    VoiceParameter parameter;

    /** The end of the host parameter ID, "paramVoice" + voice number + suffix, by which hosts,
        saved states, presets and voice copies know the parameter. */
    const char* suffix;

    VoiceParameterRange range;
};

namespace VoiceParameters
{
inline constexpr int count = (int) VoiceParameter::numParameters;

using Range = VoiceParameterRange;

/** Everything else that names a sound parameter (host IDs, ranges, the factory kit's columns, the
    panel's knobs) follows this table. Its order, that of the enum, is also the order of a voice
    copy. Ranges are chosen for drum sounds; the LFO reaches audio rates so that it can flutter a
    hand clap. */
inline constexpr std::array<VoiceParameterInfo, count> table {{
    { VoiceParameter::decay,          "Decay",          Range::logarithmicOf (0.01f, 5.0f, 0.5f) },       // s
    { VoiceParameter::waveform,       "Waveform",       Range::choiceOf (3) },                            // Triangle, TriangleSine, Sine
    { VoiceParameter::tonePitch,      "TonePitch",      Range::logarithmicOf (20.0f, 5000.0f, 200.0f) },  // Hz
    { VoiceParameter::toneBend,       "ToneBend",       Range::percent (0.0f) },
    { VoiceParameter::bendSweepCurve, "BendSweepCurve", Range::choiceOf (2) },                            // Curve A, Curve B
    { VoiceParameter::noiseCutoff,    "NoiseCutoff",    Range::logarithmicOf (20.0f, 20000.0f, 5000.0f) }, // Hz
    { VoiceParameter::noiseResonance, "NoiseResonance", Range::percent (0.0f) },
    { VoiceParameter::noiseHPCutoff,  "NoiseHPCutoff",  Range::logarithmicOf (20.0f, 20000.0f, 20.0f) },  // Hz
    { VoiceParameter::noiseSweep,     "NoiseSweep",     Range::percent (0.0f) },
    { VoiceParameter::noiseMix,       "NoiseMix",       Range::percent (0.5f) },
    { VoiceParameter::lfoRate,        "LFORate",        Range::logarithmicOf (0.1f, 100.0f, 1.0f) },      // Hz
    { VoiceParameter::lfoToneDepth,   "LFOToneDepth",   Range::percent (0.0f) },
    { VoiceParameter::lfoNoiseDepth,  "LFONoiseDepth",  Range::percent (0.0f) },
    { VoiceParameter::clickDecay,     "ClickDecay",     { 1.0f, 100.0f, 1.0f, 5.0f } },                   // ms
    { VoiceParameter::clickMix,       "ClickMix",       Range::percent (0.0f) },
    { VoiceParameter::saturation,     "Saturation",     Range::percent (0.0f) },
    { VoiceParameter::velocity,       "Velocity",       Range::percent (0.5f) },                          // sensitivity
    { VoiceParameter::pan,            "Pan",            { -1.0f, 1.0f, 0.01f, 0.0f } },
    { VoiceParameter::gain,           "Gain",           { -24.0f, 24.0f, 0.1f, 0.0f } },                  // dB
}};

/** Row i describes the parameter i, and no two rows share a suffix. */
constexpr bool isTableConsistent()
{
    for (size_t i = 0; i < table.size(); ++i)
    {
        if ((size_t) table[i].parameter != i)
            return false;

        for (size_t j = 0; j < i; ++j)
            if (std::string_view (table[i].suffix) == table[j].suffix)
                return false;
    }

    return true;
}

static_assert (isTableConsistent(), "VoiceParameters::table must list the parameters in the order of the enum, each with its own suffix");

constexpr const VoiceParameterInfo& getInfo (VoiceParameter parameter) noexcept { return table[(size_t) parameter]; }
constexpr const char* getSuffix (VoiceParameter parameter) noexcept             { return getInfo (parameter).suffix; }
constexpr const VoiceParameterRange& getRange (VoiceParameter parameter) noexcept { return getInfo (parameter).range; }

/** The value brought into the parameter's range; anything that is not a finite number gives the default. */
float limit (VoiceParameter parameter, float value) noexcept;
} // namespace VoiceParameters
