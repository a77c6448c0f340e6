#include "ProcessorTestHelpers.h"

using namespace ProcessorTestHelpers;
namespace Id = ParameterIds;

namespace
{
class ParameterLayoutTest : public ::testing::Test
{
protected:
    TemporaryDataFolder folder;
    KestrinAudioProcessor processor { folder.get() };
};

juce::String v (const char* suffix) { return Id::voiceParameterId (1, suffix); }

const std::array<const char*, 9> percentSuffixes { Id::toneBend, Id::noiseResonance, Id::noiseSweep, Id::noiseMix, Id::lfoToneDepth,
                                                   Id::lfoNoiseDepth, Id::clickMix, Id::saturation, Id::velocity };
} // namespace

//==============================================================================
TEST_F (ParameterLayoutTest, HostSeesEveryParameterInOrderWithItsIdAndName)
{
    juce::StringArray ids { "paramPhase", "paramObeyNoteOff", "paramOversampling", "paramOfflineQuality", "paramMultiOut", "paramBypassGlobal" };
    juce::StringArray names { "Phase Reset", "Obey Note Off", "Oversampling", "Offline Oversampling Quality", "Multi-Channel Output", "Bypass" };
    const auto suffixes = juce::StringArray::fromTokens ("Decay Waveform TonePitch ToneBend BendSweepCurve NoiseCutoff NoiseResonance NoiseHPCutoff NoiseSweep NoiseMix "
                                                         "LFORate LFOToneDepth LFONoiseDepth ClickDecay ClickMix Saturation Velocity Pan Gain Label ChokeGroup", false);
    const auto voiceNames = juce::StringArray::fromTokens ("Decay,Tone Shape,Tone Pitch,Tone Bend,Bend/Sweep Curve,Noise LP Cutoff,Noise LP Resonance,Noise Highpass,"
                                                           "Noise Sweep,Noise Mix,LFO Rate,LFO Tone Depth,LFO Noise Depth,Click Length,Click Mix,Saturation,Velocity,Pan,Gain", ",", "");

    for (int voice = 1; voice <= 7; ++voice)
        for (int i = 0; i < suffixes.size(); ++i)
        {
            ids.add ("paramVoice" + juce::String (voice) + suffixes[i]);
            names.add ("Voice " + juce::String (voice) + " " + voiceNames[i]); // past the end: "" (label, choke group)
        }

    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), 153);

    for (int i = 0; i < parameters.size(); ++i)
    {
        auto* p = dynamic_cast<juce::AudioParameterFloat*> (parameters[i]);
        ASSERT_NE (p, nullptr) << "parameter " << i << " is not a float parameter";
        const auto name = p->getName (100);
        EXPECT_TRUE (p->paramID == ids[i] && (names[i].endsWith (" ") ? name.startsWith (names[i]) : name == names[i])) << p->paramID << ", " << name << " for " << ids[i] << ", " << names[i];
    }

    EXPECT_EQ (processor.getBypassParameter(), processor.valueTreeState.getParameter ("paramBypassGlobal"));
}

//==============================================================================
TEST_F (ParameterLayoutTest, ValuesShowAsText)
{
    std::vector<std::tuple<juce::String, float, juce::String>> shown {
        { Id::paramPhase, 0, "Off" }, { Id::paramPhase, 1, "On" }, { Id::paramPhase, 2, "Offset" },
        { Id::paramObeyNoteOff, 0, "Ignore" }, { Id::paramObeyNoteOff, 1, "Obey" },
        { Id::paramBypassGlobal, 0, "Active" }, { Id::paramBypassGlobal, 1, "Bypassed" },
        { Id::paramOversampling, 0, "1x" }, { Id::paramOversampling, 1, "2x" }, { Id::paramOversampling, 2, "4x" },
        { Id::paramOfflineQuality, 0, "Same" }, { Id::paramOfflineQuality, 1, "Best" },
        { Id::paramMultiOut, 0, "Off" }, { Id::paramMultiOut, 1, "On" },
        { v (Id::decay), 0.5f, "0.50s" }, { v (Id::decay), 1.234f, "1.23s" }, { v (Id::clickDecay), 12, "12ms" },
        { v (Id::gain), -3.5f, "-3.5dB" }, { v (Id::gain), 6, "6.0dB" }, { v (Id::toneBend), 0.336f, "34%" },
        { v (Id::pan), 0, "Center" }, { v (Id::pan), -0.305f, "L30" }, { v (Id::pan), 0.305f, "R31" },
        { v (Id::pan), -1, "L100" }, { v (Id::pan), 1, "R100" },
        { v (Id::tonePitch), 1500, "1.5kHz" }, { v (Id::tonePitch), 440, "440.0Hz" }, { v (Id::noiseCutoff), 20000, "20.0kHz" },
        { v (Id::noiseHPCutoff), 1000, "1.0kHz" }, { v (Id::lfoRate), 0.5f, "0.5Hz" }, { v (Id::tonePitch), 999, "999.0Hz" }, { v (Id::noiseCutoff), 12345, "12.3kHz" },
        { v (Id::waveform), 0, "Triangle" }, { v (Id::waveform), 1, "TriangleSine" }, { v (Id::waveform), 2, "Sine" },
        { v (Id::bendSweepCurve), 0, "Curve A" }, { v (Id::bendSweepCurve), 1, "Curve B" },
    };

    for (const auto* suffix : percentSuffixes)
        for (const auto& [value, text] : { std::pair { 0.0f, "0%" }, { 0.75f, "75%" }, { 1.0f, "100%" } })
            shown.push_back ({ v (suffix), value, text });

    const juce::StringArray labels { "Bass", "Kick", "Snare", "Rimshot", "Sidestick", "Tom L", "Tom LM", "Tom M", "Tom MH",
                                     "Tom H", "Closed HH", "Open HH", "Crash", "Ride", "Handclap", "Cowbell", "Woodblock",
                                     "Triangle", "Noise", "SFX", "1", "2", "3", "4", "5", "6", "7" };

    for (int k = 0; k < labels.size(); ++k)
        shown.push_back ({ Id::voiceParameterId (6, Id::label), (float) k, labels[k] });

    for (const auto& [id, value, text] : shown)
    {
        auto& p = parameter (processor, id);
        EXPECT_EQ (p.getText (p.convertTo0to1 (value), 0), text) << id << " at " << value;
    }

    // Knobs of frequency and time feel logarithmic: their middle is the geometric mean of their ends.
    for (const auto& [suffix, text] : { std::pair { Id::tonePitch, "316.2Hz" }, { Id::noiseCutoff, "632.5Hz" }, { Id::noiseHPCutoff, "632.5Hz" }, { Id::lfoRate, "3.2Hz" }, { Id::decay, "0.22s" } })
        EXPECT_EQ (voiceParameter (processor, 1, suffix).getText (0.5f, 0), text) << suffix;

    // Every step of the pan knob shows its own amount, not the next one up.
    auto& pan = voiceParameter (processor, 1, Id::pan);

    for (int step = -100; step <= 100; ++step)
    {
        setValue (pan, (float) step / 100.0f);
        EXPECT_EQ (pan.getCurrentValueAsText(), step == 0 ? juce::String ("Center") : (step < 0 ? "L" : "R") + juce::String (std::abs (step)));
    }
}

TEST_F (ParameterLayoutTest, TypedTextBecomesValues)
{
    // Numbers followed by three filler characters, the texts shown, too short texts (zero, then
    // raised to the range's minimum) and the switches' names.
    std::vector<std::tuple<juce::String, juce::String, float>> typed {
        { v (Id::decay), "0.75abc", 0.75f }, { v (Id::clickDecay), "12abc", 12 }, { v (Id::gain), "-6.5abc", -6.5f },
        { v (Id::pan), "-0.3abc", -0.3f }, { v (Id::tonePitch), "440abc", 440 }, { v (Id::lfoRate), "3abc", 3 },
        { v (Id::pan), "Center", 0 }, { v (Id::decay), "2.50s", 2.5f }, { v (Id::clickDecay), "12ms", 12 },
        { v (Id::gain), "-3.5dB", -3.5f }, { v (Id::noiseCutoff), "2.5kHz", 2500 }, { v (Id::tonePitch), "1.5kHz", 1500 },
        { v (Id::noiseHPCutoff), "440.0Hz", 440 }, { v (Id::tonePitch), "250Hz", 250 }, { v (Id::noiseCutoff), "250abc", 250 }, { v (Id::tonePitch), "Hz", 20 },
        { v (Id::gain), "dB", 0 }, { v (Id::pan), "x", 0 }, { v (Id::pan), "abc", 0 }, { v (Id::toneBend), "%", 0 },
        { v (Id::clickDecay), "abc", 1 }, { v (Id::decay), "abc", 0.01f },
        { v (Id::toneBend), "1e99999999999abc", 1 }, { v (Id::toneBend), "1e-99999999999abc", 0 }, { v (Id::gain), "nandB", 0 },
        // An overflow or an infinity is a number beyond the range's end in its sign's direction.
        { v (Id::tonePitch), "1e999kHz", 5000 }, { v (Id::noiseCutoff), "-1e38kHz", 20 }, { v (Id::toneBend), "infabc", 1 },
        { v (Id::gain), "-INFINITYabc", -24 }, { v (Id::pan), "-infabc", -1 },
        { v (Id::waveform), "Sine", 2 }, { v (Id::waveform), "TriangleSine", 1 }, { v (Id::waveform), "Triangle", 0 },
        { v (Id::waveform), "Square", 0 }, { v (Id::bendSweepCurve), "Curve B", 1 }, { v (Id::bendSweepCurve), "Curve A", 0 },
        { v (Id::bendSweepCurve), "B", 0 }, { v (Id::label), "Closed HH", 10 }, { v (Id::label), "7", 26 },
        { Id::paramPhase, "Offset", 2 }, { Id::paramOversampling, "4x", 2 },
    };

    // Percentages are read as the value itself, not as a percentage.
    for (const auto* suffix : percentSuffixes)
        typed.push_back ({ v (suffix), "0.75abc", 0.75f });

    for (const auto& [id, text, value] : typed)
    {
        auto& p = parameter (processor, id);
        EXPECT_NEAR (p.convertFrom0to1 (p.getValueForText (text)), value, std::abs (value) * 1.0e-4f + 1.0e-6f) << id << " from " << text;
    }
}
