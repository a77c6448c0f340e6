#include "ProcessorTestHelpers.h"
#include "processor/ParameterLayout.h"

using namespace ProcessorTestHelpers;

namespace
{
class ParameterLayoutTest : public ::testing::Test
{
protected:
    juce::String text (const juce::String& id, float value)
    {
        auto& p = parameter (processor, id);
        return p.getText (p.convertTo0to1 (value), 0);
    }

    juce::String voiceText (const char* suffix, float value, int voiceNumber = 1)
    {
        return text (ParameterIds::voiceParameterId (voiceNumber, suffix), value);
    }

    /** What a typed text becomes, in the parameter's own units after the range has clamped it. */
    float voiceValueFor (const char* suffix, const juce::String& typed, int voiceNumber = 1)
    {
        auto& p = voiceParameter (processor, voiceNumber, suffix);
        return p.convertFrom0to1 (p.getValueForText (typed));
    }

    TemporaryDataFolder folder;
    KestrinAudioProcessor processor { folder.get() };
};

const juce::StringArray displayNames { " Decay", " Tone Shape", " Tone Pitch", " Tone Bend", " Bend/Sweep Curve",
                                       " Noise LP Cutoff", " Noise LP Resonance", " Noise Highpass", " Noise Sweep",
                                       " Noise Mix", " LFO Rate", " LFO Tone Depth", " LFO Noise Depth", " Click Length",
                                       " Click Mix", " Saturation", " Velocity", " Pan", " Gain" };

const std::array<const char*, 9> percentSuffixes { ParameterIds::toneBend, ParameterIds::noiseResonance, ParameterIds::noiseSweep,
                                                   ParameterIds::noiseMix, ParameterIds::lfoToneDepth, ParameterIds::lfoNoiseDepth,
                                                   ParameterIds::clickMix, ParameterIds::saturation, ParameterIds::velocity };
} // namespace

//==============================================================================
TEST_F (ParameterLayoutTest, HostSeesExactlyTheGlobalAndVoiceParametersInOrder)
{
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), 153);

    juce::StringArray expectedIds { "paramPhase", "paramObeyNoteOff", "paramOversampling",
                                    "paramOfflineQuality", "paramMultiOut", "paramBypassGlobal" };
    const juce::StringArray suffixes { "Decay", "Waveform", "TonePitch", "ToneBend", "BendSweepCurve", "NoiseCutoff",
                                       "NoiseResonance", "NoiseHPCutoff", "NoiseSweep", "NoiseMix", "LFORate",
                                       "LFOToneDepth", "LFONoiseDepth", "ClickDecay", "ClickMix", "Saturation",
                                       "Velocity", "Pan", "Gain", "Label", "ChokeGroup" };

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
        for (const auto& suffix : suffixes)
            expectedIds.add ("paramVoice" + juce::String (voiceNumber) + suffix);

    for (int i = 0; i < parameters.size(); ++i)
    {
        auto* withId = dynamic_cast<juce::AudioParameterFloat*> (parameters[i]);
        ASSERT_NE (withId, nullptr) << "parameter " << i << " is not a float parameter";
        EXPECT_EQ (withId->paramID, expectedIds[i]);
    }

    EXPECT_EQ (processor.getBypassParameter(), processor.valueTreeState.getParameter ("paramBypassGlobal"));
    EXPECT_EQ (processor.valueTreeState.getParameter ("paramVoice8Decay"), nullptr);
}

TEST_F (ParameterLayoutTest, GlobalParametersHaveTheirNamesStepsAndDefaults)
{
    struct Expected { const char* id; const char* name; float maximum; };
    const Expected globals[] { { "paramPhase", "Phase Reset", 2.0f },
                               { "paramObeyNoteOff", "Obey Note Off", 1.0f },
                               { "paramBypassGlobal", "Bypass", 1.0f },
                               { "paramOversampling", "Oversampling", 2.0f },
                               { "paramOfflineQuality", "Offline Oversampling Quality", 1.0f },
                               { "paramMultiOut", "Multi-Channel Output", 1.0f } };

    for (const auto& g : globals)
    {
        auto& p = parameter (processor, g.id);
        EXPECT_EQ (p.getName (100), g.name);
        EXPECT_EQ (p.getNormalisableRange().start, 0.0f) << g.id;
        EXPECT_EQ (p.getNormalisableRange().end, g.maximum) << g.id;
        EXPECT_EQ (p.getNormalisableRange().interval, 1.0f) << g.id;
        EXPECT_EQ (p.convertFrom0to1 (p.getDefaultValue()), 0.0f) << g.id;
        EXPECT_EQ (getValue (processor, g.id), 0.0f) << g.id;
    }
}

TEST_F (ParameterLayoutTest, VoiceParameterNamesCarryTheVoiceNumber)
{
    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
    {
        const auto prefix = "Voice " + juce::String (voiceNumber);

        for (int i = 0; i < displayNames.size(); ++i)
            EXPECT_EQ (voiceParameter (processor, voiceNumber, ParameterIds::voiceSuffixes[(size_t) i]).getName (100),
                       prefix + displayNames[i]);

        EXPECT_EQ (voiceParameter (processor, voiceNumber, ParameterIds::label).getName (100).substring (0, 8), prefix + " ");
        EXPECT_EQ (voiceParameter (processor, voiceNumber, ParameterIds::chokeGroup).getName (100).substring (0, 8), prefix + " ");
    }
}

TEST_F (ParameterLayoutTest, VoiceParameterRangesAndSteps)
{
    struct Expected { const char* suffix; float start, end, interval; };
    const Expected expected[] { { ParameterIds::waveform, 0.0f, 2.0f, 1.0f },
                                { ParameterIds::bendSweepCurve, 0.0f, 1.0f, 1.0f },
                                { ParameterIds::label, 0.0f, 26.0f, 1.0f },
                                { ParameterIds::chokeGroup, 0.0f, 4.0f, 1.0f },
                                { ParameterIds::clickDecay, 1.0f, 100.0f, 1.0f },
                                { ParameterIds::pan, -1.0f, 1.0f, 0.01f },
                                { ParameterIds::gain, -24.0f, 24.0f, 0.1f } };

    for (const auto& e : expected)
    {
        const auto& range = voiceParameter (processor, 4, e.suffix).getNormalisableRange();
        EXPECT_EQ (range.start, e.start) << e.suffix;
        EXPECT_EQ (range.end, e.end) << e.suffix;
        EXPECT_FLOAT_EQ (range.interval, e.interval) << e.suffix;
    }

    for (const auto* suffix : percentSuffixes)
    {
        const auto& range = voiceParameter (processor, 2, suffix).getNormalisableRange();
        EXPECT_EQ (range.start, 0.0f) << suffix;
        EXPECT_EQ (range.end, 1.0f) << suffix;
        EXPECT_FLOAT_EQ (range.interval, 0.01f) << suffix;
    }

    auto& pan = voiceParameter (processor, 5, ParameterIds::pan);
    auto& gain = voiceParameter (processor, 5, ParameterIds::gain);
    EXPECT_EQ (pan.convertFrom0to1 (pan.getDefaultValue()), 0.0f);
    EXPECT_EQ (gain.convertFrom0to1 (gain.getDefaultValue()), 0.0f);
}

TEST_F (ParameterLayoutTest, FrequencyAndTimeKnobsFeelLogarithmic)
{
    for (const auto* suffix : { ParameterIds::tonePitch, ParameterIds::noiseCutoff, ParameterIds::noiseHPCutoff,
                                ParameterIds::lfoRate, ParameterIds::decay })
    {
        const auto& range = voiceParameter (processor, 1, suffix).getNormalisableRange();
        const auto geometricMean = std::sqrt (range.start * range.end);
        EXPECT_NEAR (range.convertFrom0to1 (0.5f), geometricMean, geometricMean * 0.01f) << suffix;
    }
}

//==============================================================================
TEST_F (ParameterLayoutTest, GlobalValuesShowAsWords)
{
    const std::pair<const char*, juce::StringArray> globals[] { { "paramPhase", { "Off", "On", "Offset" } },
                                                                { "paramObeyNoteOff", { "Ignore", "Obey" } },
                                                                { "paramBypassGlobal", { "Active", "Bypassed" } },
                                                                { "paramOversampling", { "1x", "2x", "4x" } },
                                                                { "paramOfflineQuality", { "Same", "Best" } },
                                                                { "paramMultiOut", { "Off", "On" } } };

    for (const auto& [id, texts] : globals)
        for (int step = 0; step < texts.size(); ++step)
            EXPECT_EQ (text (id, (float) step), texts[step]) << id;
}

TEST_F (ParameterLayoutTest, KnobValuesShowWithTheirUnits)
{
    EXPECT_EQ (voiceText (ParameterIds::decay, 0.5f), "0.50s");
    EXPECT_EQ (voiceText (ParameterIds::decay, 1.234f), "1.23s");
    EXPECT_EQ (voiceText (ParameterIds::clickDecay, 12.0f), "12ms");
    EXPECT_EQ (voiceText (ParameterIds::gain, -3.5f), "-3.5dB");
    EXPECT_EQ (voiceText (ParameterIds::gain, 6.0f), "6.0dB");

    for (const auto* suffix : percentSuffixes)
    {
        EXPECT_EQ (voiceText (suffix, 0.75f), "75%") << suffix;
        EXPECT_EQ (voiceText (suffix, 0.0f), "0%") << suffix;
        EXPECT_EQ (voiceText (suffix, 1.0f), "100%") << suffix;
    }

    EXPECT_EQ (voiceText (ParameterIds::toneBend, 0.336f), "34%");
}

TEST_F (ParameterLayoutTest, PanShowsSideAndWholeAmount)
{
    EXPECT_EQ (voiceText (ParameterIds::pan, 0.0f), "Center");
    EXPECT_EQ (voiceText (ParameterIds::pan, -0.305f), "L30");
    EXPECT_EQ (voiceText (ParameterIds::pan, 0.305f), "R31");
    EXPECT_EQ (voiceText (ParameterIds::pan, -1.0f), "L100");
    EXPECT_EQ (voiceText (ParameterIds::pan, 1.0f), "R100");

    // Every step of the knob shows its own amount, not the next one up.
    auto& pan = voiceParameter (processor, 1, ParameterIds::pan);

    for (int step = -100; step <= 100; ++step)
    {
        setValue (pan, (float) step / 100.0f);
        const auto expected = step == 0 ? juce::String ("Center")
                                        : (step < 0 ? "L" : "R") + juce::String (std::abs (step));
        EXPECT_EQ (pan.getCurrentValueAsText(), expected);
    }
}

TEST_F (ParameterLayoutTest, FrequenciesShowInHertzOrKilohertz)
{
    EXPECT_EQ (voiceText (ParameterIds::tonePitch, 1500.0f), "1.5kHz");
    EXPECT_EQ (voiceText (ParameterIds::tonePitch, 440.0f), "440.0Hz");
    EXPECT_EQ (voiceText (ParameterIds::noiseCutoff, 20000.0f), "20.0kHz");
    EXPECT_EQ (voiceText (ParameterIds::noiseHPCutoff, 1000.0f), "1.0kHz");
    EXPECT_EQ (voiceText (ParameterIds::lfoRate, 0.5f), "0.5Hz");

    EXPECT_EQ (ParameterLayout::frequencyToText (999.0f), "999.0Hz");
    EXPECT_EQ (ParameterLayout::frequencyToText (12345.0f), "12.3kHz");
}

TEST_F (ParameterLayoutTest, SwitchesAndLabelsShowTheirNames)
{
    EXPECT_EQ (voiceText (ParameterIds::waveform, 0.0f), "Triangle");
    EXPECT_EQ (voiceText (ParameterIds::waveform, 1.0f), "TriangleSine");
    EXPECT_EQ (voiceText (ParameterIds::waveform, 2.0f), "Sine");
    EXPECT_EQ (voiceText (ParameterIds::bendSweepCurve, 0.0f), "Curve A");
    EXPECT_EQ (voiceText (ParameterIds::bendSweepCurve, 1.0f), "Curve B");

    const juce::StringArray labels { "Bass", "Kick", "Snare", "Rimshot", "Sidestick", "Tom L", "Tom LM", "Tom M", "Tom MH",
                                     "Tom H", "Closed HH", "Open HH", "Crash", "Ride", "Handclap", "Cowbell", "Woodblock",
                                     "Triangle", "Noise", "SFX", "1", "2", "3", "4", "5", "6", "7" };

    for (int k = 0; k < labels.size(); ++k)
        EXPECT_EQ (voiceText (ParameterIds::label, (float) k, 6), labels[k]);
}

//==============================================================================
TEST_F (ParameterLayoutTest, TypedNumbersWithFillerBecomeValues)
{
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::decay, "0.75abc"), 0.75f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::clickDecay, "12abc"), 12.0f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::gain, "-6.5abc"), -6.5f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::pan, "-0.3abc"), -0.3f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::pan, "Center"), 0.0f);
    EXPECT_NEAR (voiceValueFor (ParameterIds::tonePitch, "440abc"), 440.0f, 0.01f);
    EXPECT_NEAR (voiceValueFor (ParameterIds::lfoRate, "3abc"), 3.0f, 0.001f);

    // Percentages are read as the value itself, not as a percentage.
    for (const auto* suffix : percentSuffixes)
        EXPECT_FLOAT_EQ (voiceValueFor (suffix, "0.75abc"), 0.75f) << suffix;
}

TEST_F (ParameterLayoutTest, ShownTextsReadBackToTheirValues)
{
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::decay, "2.50s"), 2.5f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::clickDecay, "12ms"), 12.0f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::gain, "-3.5dB"), -3.5f);
    EXPECT_NEAR (voiceValueFor (ParameterIds::noiseCutoff, "2.5kHz"), 2500.0f, 0.1f);
    EXPECT_NEAR (voiceValueFor (ParameterIds::tonePitch, "1.5kHz"), 1500.0f, 0.1f);
    EXPECT_NEAR (voiceValueFor (ParameterIds::noiseHPCutoff, "440.0Hz"), 440.0f, 0.01f);

    EXPECT_FLOAT_EQ (ParameterLayout::textToFrequency ("1.5kHz"), 1500.0f);
    EXPECT_FLOAT_EQ (ParameterLayout::textToFrequency ("250abc"), 250.0f);
    EXPECT_FLOAT_EQ (ParameterLayout::textToFrequency ("250Hz"), 250.0f);
}

TEST_F (ParameterLayoutTest, TextsTooShortOrWithoutNumberReadZero)
{
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::gain, "dB"), 0.0f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::pan, "x"), 0.0f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::pan, "abc"), 0.0f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::toneBend, "%"), 0.0f);
    EXPECT_FLOAT_EQ (ParameterLayout::textToFrequency ("Hz"), 0.0f);

    // Zero is then raised to the range's minimum.
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::clickDecay, "abc"), 1.0f);
    EXPECT_FLOAT_EQ (voiceValueFor (ParameterIds::decay, "abc"), 0.01f);
}

TEST_F (ParameterLayoutTest, SwitchTextsReadBackToSteps)
{
    EXPECT_EQ (voiceValueFor (ParameterIds::waveform, "Sine"), 2.0f);
    EXPECT_EQ (voiceValueFor (ParameterIds::waveform, "TriangleSine"), 1.0f);
    EXPECT_EQ (voiceValueFor (ParameterIds::waveform, "Triangle"), 0.0f);
    EXPECT_EQ (voiceValueFor (ParameterIds::waveform, "Square"), 0.0f);
    EXPECT_EQ (voiceValueFor (ParameterIds::bendSweepCurve, "Curve B"), 1.0f);
    EXPECT_EQ (voiceValueFor (ParameterIds::bendSweepCurve, "Curve A"), 0.0f);
    EXPECT_EQ (voiceValueFor (ParameterIds::bendSweepCurve, "B"), 0.0f);
    EXPECT_EQ (voiceValueFor (ParameterIds::label, "Closed HH"), 10.0f);
    EXPECT_EQ (voiceValueFor (ParameterIds::label, "7"), 26.0f);

    auto& phase = parameter (processor, "paramPhase");
    EXPECT_EQ (phase.convertFrom0to1 (phase.getValueForText ("Offset")), 2.0f);
    auto& oversampling = parameter (processor, "paramOversampling");
    EXPECT_EQ (oversampling.convertFrom0to1 (oversampling.getValueForText ("4x")), 2.0f);
}
