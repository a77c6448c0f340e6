#include "ParameterLayout.h"
#include "NumberText.h"
#include "ParameterIds.h"
#include "SteppedParameter.h"

#include <cmath>
#include <limits>

namespace
{
using Range = juce::NormalisableRange<float>;
using ToText = std::function<juce::String (float)>;
using FromText = std::function<float (const juce::String&)>;

/** Value 20 of the Label parameter is the first of the plain voice numbers "1" to "7". */
constexpr int firstNumberLabel = 20;

//==============================================================================
Range steps (int count)                     { return { 0.0f, (float) count - 1.0f, 1.0f }; }

/** The range of a sound parameter, as the engine has it. A knob of a logarithmic one has the
    geometric mean of the ends in its middle. */
Range rangeOf (VoiceParameter parameter)
{
    const auto& r = VoiceParameters::getRange (parameter);
    Range range (r.minimum, r.maximum, r.interval);

    if (r.logarithmic)
        range.setSkewForCentre (std::sqrt (r.minimum * r.maximum));

    return range;
}

float defaultOf (VoiceParameter parameter) { return VoiceParameters::getRange (parameter).defaultValue; }

/** The same range, except that a value which is not a finite number (a host may send NaN) snaps to
    the default: a parameter never holds one, so a saved state never carries one. The mapping to
    and from 0 to 1 is the range's own, restated because the range only takes its snapping
    together with the mapping. It is worked out in double precision and rounded once each way: the
    framework keeps a value by mapping it to 0 to 1 and back, and a value it has given back then
    maps to itself again, so that a restored state saves as it was. */
Range finiteOnly (const Range& range, float defaultValue)
{
    const auto skew = (double) range.skew;

    Range safe (range.start, range.end,
                [skew] (float start, float end, float proportion)
                {
                    auto p = (double) proportion;

                    if (skew != 1.0 && p > 0.0)
                        p = std::exp (std::log (p) / skew);

                    return (float) ((double) start + ((double) end - (double) start) * p);
                },
                [skew] (float start, float end, float value)
                {
                    const auto proportion = juce::jlimit (0.0, 1.0, ((double) value - (double) start) / ((double) end - (double) start));
                    return (float) (skew == 1.0 ? proportion : std::pow (proportion, skew));
                },
                [interval = range.interval, defaultValue] (float start, float end, float value)
                {
                    if (! std::isfinite (value))
                        return defaultValue;

                    if (interval > 0.0f)
                        value = start + interval * std::floor ((value - start) / interval + 0.5f);

                    return (value <= start || end <= start) ? start : (value >= end ? end : value);
                });

    safe.interval = range.interval;
    return safe;
}

/** Reads the leading number after dropping a unit of `droppedCount` characters; too short a text reads 0. */
float readLeadingNumber (const juce::String& text, int droppedCount)
{
    if (text.length() <= droppedCount)
        return 0.0f;

    // A number beyond a float's range is still a number: it reads as the largest float, not inf.
    constexpr auto largest = (double) std::numeric_limits<float>::max();
    return (float) juce::jlimit (-largest, largest, NumberText::readLeadingNumber (text.dropLastCharacters (droppedCount)));
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
/** A switch or a choice reports its steps to hosts; every other parameter is a knob. */
enum class Kind
{
    knob,
    choice
};

std::unique_ptr<juce::AudioParameterFloat> makeParameter (const juce::String& id, const juce::String& name,
                                                          Range range, float defaultValue,
                                                          ToText toText, FromText fromText, Kind kind)
{
    auto attributes = juce::AudioParameterFloatAttributes()
                          .withStringFromValueFunction ([toText] (float value, int maximumLength)
                                                        {
                                                            auto text = toText (value);
                                                            return maximumLength > 0 ? text.substring (0, maximumLength) : text;
                                                        })
                          .withValueFromStringFunction (std::move (fromText));

    const juce::ParameterID parameterId { id, 1 };

    if (kind == Kind::choice)
        return std::make_unique<SteppedParameter> (parameterId, name, finiteOnly (range, defaultValue), defaultValue, attributes);

    return std::make_unique<juce::AudioParameterFloat> (parameterId, name, finiteOnly (range, defaultValue), defaultValue, attributes);
}

/** A global parameter stepping through the given texts, defaulting to the first. */
std::unique_ptr<juce::AudioParameterFloat> makeGlobal (const char* id, const juce::String& name,
                                                       ToText toText, juce::StringArray texts)
{
    return makeParameter (id, name, steps (texts.size()), 0.0f, std::move (toText), indexOfName (texts), Kind::choice);
}

/** The voice parameters that pick one of a few named options rather than set an amount: the sound
    parameters that the engine's table calls choices, the label and the choke group. */
Kind kindOfVoiceParameter (const char* suffix)
{
    for (const auto& info : VoiceParameters::table)
        if (juce::String (suffix) == info.suffix)
            return info.range.choice ? Kind::choice : Kind::knob;

    return Kind::choice;
}

struct VoiceParameterDefinition
{
    VoiceParameterDefinition (const char* s, const char* name, VoiceParameter p, ToText to, FromText from)
        : VoiceParameterDefinition (s, name, rangeOf (p), defaultOf (p), std::move (to), std::move (from))
    {
        jassert (juce::String (s) == VoiceParameters::getSuffix (p)); // the ID of the parameter whose range it takes
    }

    VoiceParameterDefinition (const char* s, const char* name, Range r, float d, ToText to, FromText from)
        : suffix (s), displayName (name), range (std::move (r)), defaultValue (d), toText (std::move (to)), fromText (std::move (from))
    {
    }

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
    using P = VoiceParameter;

    const ToText frequencyText = ParameterLayout::frequencyToText;
    const FromText frequencyFromText = ParameterLayout::textToFrequency;
    const FromText dropOne = [] (const juce::String& t) { return readLeadingNumber (t, 1); };
    const FromText dropTwo = [] (const juce::String& t) { return readLeadingNumber (t, 2); };

    const auto labelDefault = (float) (firstNumberLabel + voiceNumber - 1);

    return {
        { decay,          " Decay",              P::decay, secondsToText, dropOne },
        { waveform,       " Tone Shape",         P::waveform, waveformToText, textToWaveform },
        { tonePitch,      " Tone Pitch",         P::tonePitch, frequencyText, frequencyFromText },
        { toneBend,       " Tone Bend",          P::toneBend, percentToText, dropOne },
        { bendSweepCurve, " Bend/Sweep Curve",   P::bendSweepCurve, curveToText, textToCurve },
        { noiseCutoff,    " Noise LP Cutoff",    P::noiseCutoff, frequencyText, frequencyFromText },
        { noiseResonance, " Noise LP Resonance", P::noiseResonance, percentToText, dropOne },
        { noiseHPCutoff,  " Noise Highpass",     P::noiseHPCutoff, frequencyText, frequencyFromText },
        { noiseSweep,     " Noise Sweep",        P::noiseSweep, percentToText, dropOne },
        { noiseMix,       " Noise Mix",          P::noiseMix, percentToText, dropOne },
        { lfoRate,        " LFO Rate",           P::lfoRate, frequencyText, frequencyFromText },
        { lfoToneDepth,   " LFO Tone Depth",     P::lfoToneDepth, percentToText, dropOne },
        { lfoNoiseDepth,  " LFO Noise Depth",    P::lfoNoiseDepth, percentToText, dropOne },
        { clickDecay,     " Click Length",       P::clickDecay, millisecondsToText, dropTwo },
        { clickMix,       " Click Mix",          P::clickMix, percentToText, dropOne },
        { saturation,     " Saturation",         P::saturation, percentToText, dropOne },
        { velocity,       " Velocity",           P::velocity, percentToText, dropOne },
        { pan,            " Pan",                P::pan, panToText, textToPan },
        { gain,           " Gain",               P::gain, decibelsToText, dropTwo },
        { label,          " Label",              steps (ParameterLayout::drumKindLabels().size()), labelDefault, labelToText, indexOfName (ParameterLayout::drumKindLabels()) },
        { chokeGroup,     " Choke Group",        steps (Engine::numChokeGroups + 1), 0.0f, wholeNumberToText, textToWholeNumber },
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

    // A huge number of kHz stays the largest number rather than overflowing to infinity.
    if (text.endsWith ("kHz"))
        return juce::jlimit (std::numeric_limits<float>::lowest(), std::numeric_limits<float>::max(), readLeadingNumber (text, 3) * hertzPerKilohertz);

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
                                       definition.range, definition.defaultValue, definition.toText, definition.fromText,
                                       kindOfVoiceParameter (definition.suffix)));
    }

    return layout;
}
} // namespace ParameterLayout
