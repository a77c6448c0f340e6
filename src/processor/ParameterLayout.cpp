#include "ParameterLayout.h"
#include "ParameterIds.h"

#include <cmath>

namespace
{
using Range = juce::NormalisableRange<float>;
using ToText = std::function<juce::String (float)>;
using FromText = std::function<float (const juce::String&)>;

//==============================================================================
// Ranges and defaults of the voice parameters, chosen for drum sounds.
constexpr float minDecaySeconds = 0.01f, maxDecaySeconds = 5.0f, defaultDecaySeconds = 0.5f;
constexpr float minTonePitch = 20.0f, maxTonePitch = 5000.0f, defaultTonePitch = 200.0f;
constexpr float minFilterCutoff = 20.0f, maxFilterCutoff = 20000.0f;
constexpr float defaultNoiseCutoff = 5000.0f, defaultNoiseHPCutoff = minFilterCutoff;
constexpr float minLfoRate = 0.1f, maxLfoRate = 50.0f, defaultLfoRate = 1.0f;
constexpr float minClickMs = 1.0f, maxClickMs = 100.0f, defaultClickMs = 5.0f;
constexpr float percentStep = 0.01f, defaultNoiseMix = 0.5f, defaultVelocity = 0.5f;
constexpr float panStep = 0.01f;
constexpr float gainRangeDb = 24.0f, gainStepDb = 0.1f;
constexpr int numWaveforms = 3, numBendCurves = 2, numChokeGroups = 4;

/** Value 20 of the Label parameter is the first of the plain voice numbers "1" to "7". */
constexpr int firstNumberLabel = 20;

//==============================================================================
Range steps (int count)                     { return { 0.0f, (float) count - 1.0f, 1.0f }; }

/** A range whose midpoint is the geometric mean of its ends, so that a knob feels logarithmic. */
Range logarithmicFeel (float start, float end, float interval = 0.0f)
{
    Range range (start, end, interval);
    range.setSkewForCentre (std::sqrt (start * end));
    return range;
}

/** Reads the leading number after dropping a unit of `droppedCount` characters; too short a text reads 0. */
float readLeadingNumber (const juce::String& text, int droppedCount)
{
    if (text.length() <= droppedCount)
        return 0.0f;

    return (float) text.dropLastCharacters (droppedCount).getDoubleValue();
}

/** Text to value for a parameter stepping through names: the index of the exact name, else 0. */
FromText indexOfName (juce::StringArray names)
{
    return [names] (const juce::String& text) { return (float) juce::jmax (0, names.indexOf (text)); };
}

//==============================================================================
juce::String secondsToText (float value)        { return juce::String (value, 2) + "s"; }
juce::String percentToText (float value)        { return juce::String (juce::roundToInt (value * 100.0f)) + "%"; }
juce::String millisecondsToText (float value)   { return juce::String (juce::roundToInt (value)) + "ms"; }
juce::String decibelsToText (float value)       { return juce::String (value, 1) + "dB"; }

juce::String panToText (float value)
{
    if (value == 0.0f)
        return "Center";

    // The amount rounds towards the centre's side; the small offset keeps a stepped value such
    // as 0.3f, which lies a hair above 0.3, from showing as 31.
    constexpr double floatNoise = 1.0e-3;
    const auto amount = std::abs ((int) std::ceil ((double) value * 100.0 - floatNoise));
    return (value < 0.0f ? "L" : "R") + juce::String (amount);
}

float textToPan (const juce::String& text)
{
    return text == "Center" ? 0.0f : readLeadingNumber (text, 1);
}

juce::String waveformToText (float value)
{
    return value > 1.5f ? "Sine" : (value > 0.5f ? "TriangleSine" : "Triangle");
}

float textToWaveform (const juce::String& text)
{
    return text == "Sine" ? 2.0f : (text == "TriangleSine" ? 1.0f : 0.0f);
}

juce::String curveToText (float value)         { return value > 0.5f ? "Curve B" : "Curve A"; }
float textToCurve (const juce::String& text)   { return text == "Curve B" ? 1.0f : 0.0f; }

juce::String labelToText (float value)
{
    const auto& labels = ParameterLayout::drumKindLabels();
    return labels[juce::jlimit (0, labels.size() - 1, juce::roundToInt (value))];
}

juce::String wholeNumberToText (float value)        { return juce::String (juce::roundToInt (value)); }
float textToWholeNumber (const juce::String& text)  { return (float) text.getIntValue(); }

//==============================================================================
std::unique_ptr<juce::AudioParameterFloat> makeParameter (const juce::String& id, const juce::String& name,
                                                          Range range, float defaultValue,
                                                          ToText toText, FromText fromText)
{
    auto attributes = juce::AudioParameterFloatAttributes()
                          .withStringFromValueFunction ([toText] (float value, int maximumLength)
                                                        {
                                                            auto text = toText (value);
                                                            return maximumLength > 0 ? text.substring (0, maximumLength) : text;
                                                        })
                          .withValueFromStringFunction (std::move (fromText));

    return std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, 1 }, name, range,
                                                        defaultValue, attributes);
}

/** A global parameter stepping through the given texts, defaulting to the first. */
std::unique_ptr<juce::AudioParameterFloat> makeGlobal (const char* id, const juce::String& name,
                                                       ToText toText, juce::StringArray texts)
{
    return makeParameter (id, name, steps (texts.size()), 0.0f, std::move (toText), indexOfName (texts));
}

struct VoiceParameterDefinition
{
    const char* suffix;
    const char* displayName;
    Range range;
    float defaultValue;
    ToText toText;
    FromText fromText;
};

std::vector<VoiceParameterDefinition> voiceParameterDefinitions (int voiceNumber)
{
    using namespace ParameterIds;

    const Range percent { 0.0f, 1.0f, percentStep };
    const ToText frequencyText = ParameterLayout::frequencyToText;
    const FromText frequencyFromText = ParameterLayout::textToFrequency;
    const FromText dropOne = [] (const juce::String& t) { return readLeadingNumber (t, 1); };
    const FromText dropTwo = [] (const juce::String& t) { return readLeadingNumber (t, 2); };

    const auto labelDefault = (float) (firstNumberLabel + voiceNumber - 1);

    return {
        { decay,          " Decay",              logarithmicFeel (minDecaySeconds, maxDecaySeconds), defaultDecaySeconds, secondsToText, dropOne },
        { waveform,       " Tone Shape",         steps (numWaveforms), 0.0f, waveformToText, textToWaveform },
        { tonePitch,      " Tone Pitch",         logarithmicFeel (minTonePitch, maxTonePitch), defaultTonePitch, frequencyText, frequencyFromText },
        { toneBend,       " Tone Bend",          percent, 0.0f, percentToText, dropOne },
        { bendSweepCurve, " Bend/Sweep Curve",   steps (numBendCurves), 0.0f, curveToText, textToCurve },
        { noiseCutoff,    " Noise LP Cutoff",    logarithmicFeel (minFilterCutoff, maxFilterCutoff), defaultNoiseCutoff, frequencyText, frequencyFromText },
        { noiseResonance, " Noise LP Resonance", percent, 0.0f, percentToText, dropOne },
        { noiseHPCutoff,  " Noise Highpass",     logarithmicFeel (minFilterCutoff, maxFilterCutoff), defaultNoiseHPCutoff, frequencyText, frequencyFromText },
        { noiseSweep,     " Noise Sweep",        percent, 0.0f, percentToText, dropOne },
        { noiseMix,       " Noise Mix",          percent, defaultNoiseMix, percentToText, dropOne },
        { lfoRate,        " LFO Rate",           logarithmicFeel (minLfoRate, maxLfoRate), defaultLfoRate, frequencyText, frequencyFromText },
        { lfoToneDepth,   " LFO Tone Depth",     percent, 0.0f, percentToText, dropOne },
        { lfoNoiseDepth,  " LFO Noise Depth",    percent, 0.0f, percentToText, dropOne },
        { clickDecay,     " Click Length",       Range (minClickMs, maxClickMs, 1.0f), defaultClickMs, millisecondsToText, dropTwo },
        { clickMix,       " Click Mix",          percent, 0.0f, percentToText, dropOne },
        { saturation,     " Saturation",         percent, 0.0f, percentToText, dropOne },
        { velocity,       " Velocity",           percent, defaultVelocity, percentToText, dropOne },
        { pan,            " Pan",                Range (-1.0f, 1.0f, panStep), 0.0f, panToText, textToPan },
        { gain,           " Gain",               Range (-gainRangeDb, gainRangeDb, gainStepDb), 0.0f, decibelsToText, dropTwo },
        { label,          " Label",              steps (ParameterLayout::drumKindLabels().size()), labelDefault, labelToText, indexOfName (ParameterLayout::drumKindLabels()) },
        { chokeGroup,     " Choke Group",        steps (numChokeGroups + 1), 0.0f, wholeNumberToText, textToWholeNumber },
    };
}
} // namespace

//==============================================================================
namespace ParameterLayout
{
juce::String frequencyToText (float hertz)
{
    if (hertz > 999.99f)
        return juce::String (hertz / 1000.0f, 1) + "kHz";

    return juce::String (hertz, 1) + "Hz";
}

float textToFrequency (const juce::String& text)
{
    constexpr float hertzPerKilohertz = 1000.0f;

    if (text.endsWith ("kHz"))
        return readLeadingNumber (text, 3) * hertzPerKilohertz;

    return readLeadingNumber (text, 2);
}

const juce::StringArray& drumKindLabels()
{
    static const juce::StringArray labels { "Bass", "Kick", "Snare", "Rimshot", "Sidestick", "Tom L", "Tom LM",
                                            "Tom M", "Tom MH", "Tom H", "Closed HH", "Open HH", "Crash", "Ride",
                                            "Handclap", "Cowbell", "Woodblock", "Triangle", "Noise", "SFX",
                                            "1", "2", "3", "4", "5", "6", "7" };
    return labels;
}

juce::AudioProcessorValueTreeState::ParameterLayout create()
{
    using namespace ParameterIds;

    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    layout.add (makeGlobal (paramPhase, "Phase Reset",
                            [] (float v) -> juce::String { return v > 1.5f ? "Offset" : (v > 0.5f ? "On" : "Off"); },
                            { "Off", "On", "Offset" }));
    layout.add (makeGlobal (paramObeyNoteOff, "Obey Note Off",
                            [] (float v) -> juce::String { return v < 0.5f ? "Ignore" : "Obey"; },
                            { "Ignore", "Obey" }));
    layout.add (makeGlobal (paramOversampling, "Oversampling",
                            [] (float v) -> juce::String { return v > 1.5f ? "4x" : (v > 0.5f ? "2x" : "1x"); },
                            { "1x", "2x", "4x" }));
    layout.add (makeGlobal (paramOfflineQuality, "Offline Oversampling Quality",
                            [] (float v) -> juce::String { return v < 0.5f ? "Same" : "Best"; },
                            { "Same", "Best" }));
    layout.add (makeGlobal (paramMultiOut, "Multi-Channel Output",
                            [] (float v) -> juce::String { return v < 0.5f ? "Off" : "On"; },
                            { "Off", "On" }));
    layout.add (makeGlobal (paramBypassGlobal, "Bypass",
                            [] (float v) -> juce::String { return v < 0.5f ? "Active" : "Bypassed"; },
                            { "Active", "Bypassed" }));

    for (int voiceNumber = 1; voiceNumber <= numVoices; ++voiceNumber)
    {
        const auto namePrefix = "Voice " + juce::String (voiceNumber);

        const auto definitions = voiceParameterDefinitions (voiceNumber);
        jassert (definitions.size() == voiceSuffixes.size());

        for (auto& definition : definitions)
            layout.add (makeParameter (voiceParameterId (voiceNumber, definition.suffix), namePrefix + definition.displayName,
                                       definition.range, definition.defaultValue, definition.toText, definition.fromText));
    }

    return layout;
}
} // namespace ParameterLayout
