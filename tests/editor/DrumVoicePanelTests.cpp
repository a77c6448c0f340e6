#include "editor/EditorTestHelpers.h"

#include <thread>

using namespace EditorTestHelpers;
namespace ids = ParameterIds;

namespace
{
enum class Mode { none, percent, pan };
struct Knob { const char* suffix; int x, y; const char* caption; Mode mode; };

const Knob knobTable[] = {
    { ids::decay, 100, 149, "Decay", Mode::none },        { ids::tonePitch, 100, 54, "Pitch", Mode::none },           { ids::toneBend, 25, 149, "Bend", Mode::percent },
    { ids::noiseCutoff, 239, 54, "Cutoff", Mode::none },  { ids::noiseResonance, 315, 54, "Resonance", Mode::percent }, { ids::noiseHPCutoff, 202, 149, "Highpass", Mode::none },
    { ids::noiseSweep, 277, 149, "Sweep", Mode::percent }, { ids::noiseMix, 353, 149, "Mix", Mode::percent },        { ids::lfoRate, 591, 54, "Rate", Mode::none },
    { ids::lfoToneDepth, 557, 149, "Tone", Mode::percent }, { ids::lfoNoiseDepth, 632, 149, "Noise", Mode::percent }, { ids::clickDecay, 454, 54, "Length", Mode::none },
    { ids::clickMix, 454, 149, "Mix", Mode::percent },    { ids::saturation, 733, 54, "Saturation", Mode::percent },  { ids::velocity, 808, 54, "Velocity", Mode::percent },
    { ids::pan, 733, 149, "Pan", Mode::pan },             { ids::gain, 808, 149, "Gain", Mode::none },
};

bool drawsFromCentre (const Knob& k) { return juce::String (k.caption) == "Pan" || juce::String (k.caption) == "Gain"; }

/** Counts what the processor tells the host: value changes and gesture starts. */
struct HostNotifications final : public juce::AudioProcessorListener
{
    explicit HostNotifications (juce::AudioProcessor& p) : processor (p) { processor.addListener (this); }
    ~HostNotifications() override { processor.removeListener (this); }
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override { ++count; }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int) override { ++count; }
    juce::AudioProcessor& processor;
    std::atomic<int> count { 0 };
};

struct PanelTest : public ::testing::Test, public Processor
{
    explicit PanelTest (int voiceIndex = 2) : panel (processor, voiceIndex), voiceNumber (voiceIndex + 1)
    {
        panel.setupControls (Palette::getVoiceAccent (voiceIndex));
        panel.setSize (883, 251);
    }

    juce::String id (const char* suffix) const { return ids::voiceParameterId (voiceNumber, suffix); }
    juce::RangedAudioParameter& param (const char* suffix) { return parameter (processor, id (suffix)); }
    juce::Label& valueLabel (const char* suffix) { return child<CenteredEditableLabel> (panel, id (suffix)); }

    /** Waveform name, which icons show, curve switch, pitch and pan labels: "Sine --x B 1.5kHz L30". */
    juce::String shown()
    {
        auto& button = child<WaveformButton> (panel);
        auto text = child<CenteredEditableLabel> (panel, "waveform").getText() + " ";
        for (auto* icon : { button.triangleIcon.get(), button.hybridIcon.get(), button.sineIcon.get() })
            text << (icon->isVisible() ? "x" : "-");
        return text + (child<LEDButton> (panel).getToggleState() ? " B " : " A ") + valueLabel (ids::tonePitch).getText()
               + " " + valueLabel (ids::pan).getText();
    }

    DrumVoicePanel panel;
    const int voiceNumber;
};
} // namespace

TEST_F (PanelTest, TypedValuesReachTheParameterInItsUnitsAndTheLabelEndsOnItsText)
{
    struct Typed { const char* suffix; const char* text; float value; const char* shown; };
    const Typed cases[] = {
        { ids::tonePitch, "1.5kHz", 1500.0f, "1.5kHz" }, { ids::tonePitch, "1.5 khz", 1500.0f, "1.5kHz" }, { ids::tonePitch, "440hz", 440.0f, "440.0Hz" },
        { ids::tonePitch, "440", 440.0f, "440.0Hz" },    { ids::tonePitch, "2k", 20.0f, "20.0Hz" },          { ids::tonePitch, "1.23456789khz", 1234.57f, "1.2kHz" },
        { ids::tonePitch, "", 20.0f, "20.0Hz" },         { ids::decay, "1.25", 1.25f, "1.25s" },             { ids::gain, "-6", -6.0f, "-6.0dB" },
        { ids::clickDecay, "20ms", 20.0f, "20ms" },      { ids::saturation, "75", 0.75f, "75%" },            { ids::saturation, "75%", 0.75f, "75%" },
        { ids::saturation, "150", 1.0f, "100%" },        { ids::saturation, "-20", 0.0f, "0%" },             { ids::noiseMix, "5khz", 1.0f, "100%" },
        { ids::noiseMix, "33.3333", 0.33f, "33%" },      { ids::noiseMix, "", 0.0f, "0%" },                  { ids::pan, "30", 0.3f, "R30" },
        { ids::pan, "30l", -0.3f, "L30" },               { ids::pan, "30 L", -0.3f, "L30" },                 { ids::pan, "-30", -0.3f, "L30" },
        { ids::pan, "-30l", -0.3f, "L30" },              { ids::pan, "l30", 0.0f, "Center" },                { ids::pan, "center", 0.0f, "Center" },
        { ids::pan, "", 0.0f, "Center" },                { ids::saturation, "1e99999999999", 1.0f, "100%" },
        // An overflow or an infinity is the end of the range in its sign's direction.
        { ids::tonePitch, "1e999khz", 5000.0f, "5.0kHz" }, { ids::saturation, "inf", 1.0f, "100%" },       { ids::gain, "-Infinity", -24.0f, "-24.0dB" },
        { ids::gain, "INF dB", 24.0f, "24.0dB" },          { ids::pan, "infl", -1.0f, "L100" },             { ids::noiseCutoff, "inf khz", 20000.0f, "20.0kHz" },
    };

    // As a user commits an edit on screen: double-click opens the editor, the text is typed, focus leaves.
    panel.addToDesktop (0);
    panel.setVisible (true);
    const auto type = [] (juce::Label& label, const juce::String& text) { label.showEditor(); label.getCurrentTextEditor()->setText (text, false); label.hideEditor (false); };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.suffix) + " '" + c.text + "'");
        param (c.suffix).setValueNotifyingHost (0.37f); // a start that none of the results equals
        type (valueLabel (c.suffix), c.text);
        EXPECT_NEAR (getValue (processor, id (c.suffix)), c.value, 1.0e-3f * std::max (1.0f, std::abs (c.value)));
        EXPECT_EQ (valueLabel (c.suffix).getText(), c.shown);
    }

    // "nan" names no value: the knob keeps its own and the label shows it again.
    for (const auto* suffix : { ids::tonePitch, ids::saturation, ids::pan, ids::gain })
    {
        for (const auto* text : { "nan", "-NaN", "nan khz" })
        {
            param (suffix).setValueNotifyingHost (0.37f);
            const auto before = getValue (processor, id (suffix));
            type (valueLabel (suffix), text);
            EXPECT_EQ (getValue (processor, id (suffix)), before) << suffix << " '" << text << "'";
            EXPECT_EQ (valueLabel (suffix).getText(), param (suffix).getCurrentValueAsText());
        }
    }

    // The value it already has, in other forms: nothing reaches the host, the label is tidied.
    setValue (param (ids::saturation), 0.75f);
    HostNotifications host (processor);
    for (const auto* text : { "75", "75.2", " 75.00" })
        type (valueLabel (ids::saturation), text);
    EXPECT_EQ (valueLabel (ids::saturation).getText(), "75%");
    EXPECT_EQ (host.count, 0);
    // A new value reaches the host once, inside a gesture, as a drag would.
    type (valueLabel (ids::saturation), "80");
    EXPECT_EQ (host.count, 2);
}

TEST_F (PanelTest, FollowsAutomationStateRestoreAndPresetLoadWhileHiddenAndSendsNothingBack)
{
    panel.setVisible (false);
    HostNotifications host (processor);

    const auto set = [this] (float pitch, float waveform, float curve, float pan)
    {
        for (auto [suffix, value] : { std::pair (ids::tonePitch, pitch), { ids::waveform, waveform }, { ids::bendSweepCurve, curve }, { ids::pan, pan } })
            setValue (param (suffix), value);
    };
    const auto thenNothingEchoed = [&] { host.count = 0; pump(); EXPECT_EQ (host.count, 0) << "the panel echoed a change"; };

    std::thread ([&] { set (1500.0f, 2.0f, 1.0f, -0.3f); }).join(); // host automation
    thenNothingEchoed();
    EXPECT_EQ (shown(), "Sine --x B 1.5kHz L30");
    juce::MemoryBlock state;
    processor.getStateInformation (state);
    const auto preset = data.presetsFolder().getChildFile ("Sine.qvtp").getFullPathName();
    ASSERT_TRUE (processor.savePresetFile (preset));
    set (440.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ (shown(), "Hybrid -x- A 440.0Hz Center");
    std::thread ([&] { processor.setStateInformation (state.getData(), (int) state.getSize()); }).join();
    thenNothingEchoed();
    EXPECT_EQ (shown(), "Sine --x B 1.5kHz L30");
    set (440.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ (shown(), "Triangle x-- A 440.0Hz Center");
    ASSERT_TRUE (processor.loadPresetFile (preset));
    thenNothingEchoed();
    EXPECT_EQ (shown(), "Sine --x B 1.5kHz L30");
}

TEST_F (PanelTest, ClicksStepTheWaveformAfterTheClickAndToggleTheCurve)
{
    EXPECT_TRUE (shown().startsWith ("Triangle x-- A")) << "the attachment's first selection already shows its icon and name";

    for (auto [value, expected] : { std::pair (1.0f, "Hybrid -x- A"), { 2.0f, "Sine --x A" }, { 0.0f, "Triangle x-- A" } })
    {
        const auto before = getValue (processor, id (ids::waveform));
        pressAndRelease (child<WaveformButton> (panel));
        EXPECT_EQ (getValue (processor, id (ids::waveform)), before) << "not while the click is handled";
        pump();
        EXPECT_EQ (getValue (processor, id (ids::waveform)), value);
        EXPECT_TRUE (shown().startsWith (expected)) << shown();
    }

    pressAndRelease (child<LEDButton> (panel));
    EXPECT_TRUE (getValue (processor, id (ids::bendSweepCurve)) == 1.0f && shown().startsWith ("Triangle x-- B"));
}

/** Voice 2, drawn in teal. */
struct TealPanelTest : public PanelTest { TealPanelTest() : PanelTest (1) {} };

TEST_F (TealPanelTest, EveryKnobHasItsCaptionValueTypingAndDragAndIsPaintedLitInTheAccentBetweenSeparatorsAndHeadings)
{
    ASSERT_EQ (panel.getNumChildComponents(), 17 * 3 + 4) << "the waveform's combo box is never a child";

    // The whole kit as it starts, one panel per voice, before voice 2 is changed below.
    for (int voice = 0; voice < ids::numVoices; ++voice)
    {
        DrumVoicePanel each (processor, voice);
        each.setupControls (Palette::getVoiceAccent (voice));
        each.setSize (883, 251);
        snapshot (each, "drumvoicepanel-voice" + juce::String (voice + 1));
    }

    // Every arc well away from its origin, the sine icon and curve B.
    for (const auto& row : knobTable)
        param (row.suffix).setValueNotifyingHost (0.8f);
    setValue (param (ids::waveform), 2.0f);
    setValue (param (ids::bendSweepCurve), 1.0f);
    const auto image = snapshot (panel, "drumvoicepanel-voice2-teal");
    const auto ink = [&image] (juce::Rectangle<int> area, juce::Colour colour, int tolerance = 12) { return testimages::find (image, testimages::near (colour, tolerance), area); };
    const auto onKnob = [&image] (const Knob& k, float radius, float degrees)
    {
        const auto a = juce::degreesToRadians (degrees);
        return image.getPixelAt ((int) std::floor ((float) k.x + 25.0f + radius * std::sin (a)), (int) std::floor ((float) k.y + 25.0f - radius * std::cos (a)));
    };

    for (auto x : { 175, 428, 529, 707 })
        EXPECT_EQ (ink ({ x - 1, 0, 3, 251 }, Palette::divider, 2).bounds, juce::Rectangle<int> (x, 25, 1, 201)) << "one pixel wide, from y 25 to 225";

    for (const auto& row : knobTable)
    {
        SCOPED_TRACE (row.suffix);
        auto& knob = child<SliderQVT> (panel, id (row.suffix));
        EXPECT_EQ (child<juce::Label> (panel, id (row.suffix) + "_nice").getText(), row.caption);
        EXPECT_EQ (valueLabel (row.suffix).getText(), param (row.suffix).getCurrentValueAsText());
        EXPECT_EQ (std::pair (knob.percentMode, knob.panMode), std::pair (row.mode == Mode::percent, row.mode == Mode::pan));
        EXPECT_TRUE (valueLabel (row.suffix).isEditableOnDoubleClick() && ! valueLabel (row.suffix).isEditableOnSingleClick()
                     && knob.getSliderStyle() == juce::Slider::RotaryVerticalDrag && knob.getRotaryParameters().stopAtEnd);

        const auto fromCentre = drawsFromCentre (row);
        EXPECT_TRUE (coloursNear (onKnob (row, 23.25f, fromCentre ? 400.0f : 300.0f), Palette::teal, 6));
        EXPECT_TRUE (coloursNear (onKnob (row, 23.25f, fromCentre ? 340.0f : 470.0f), Palette::barBackground, 6));
        EXPECT_TRUE (coloursNear (onKnob (row, 12.0f, 221.0f + 0.8f * 278.0f), Palette::teal, 6));
        EXPECT_GT (ink ({ row.x + 5, row.y + 49, 40, 15 }, Palette::text).count, 5) << "caption";
        EXPECT_GT (ink ({ row.x + 5, row.y + 64, 40, 20 }, Palette::dimText).count, 5) << "value";
    }

    // Headings between the separators, centred on their sections; OUTPUT's box runs past the right edge.
    for (auto [from, to, centre] : { std::tuple (0, 175, 89.5f), { 176, 428, 303.5f }, { 429, 529, 479.0f }, { 530, 707, 619.5f }, { 708, 883, 796.5f } })
        EXPECT_TRUE (ink ({ from, 20, to - from, 20 }, Palette::text).count > 20 && std::abs (ink ({ from, 20, to - from, 20 }, Palette::text).bounds.toFloat().getCentreX() - centre) < 1.5f) << centre;

    EXPECT_GT (ink ({ 25, 63, 49, 32 }, Palette::teal, 40).count, 30) << "the sine icon";
    EXPECT_TRUE (coloursNear (image.getPixelAt (17, 212), Palette::teal, 6)) << "curve B";
    EXPECT_GT (ink ({ 10, 118, 80, 20 }, Palette::dimText).count, 5) << "the waveform's name";
    EXPECT_EQ (child<juce::Label> (panel, "waveform_nice").getText(), "Shape");
    EXPECT_FALSE (child<CenteredEditableLabel> (panel, "waveform").isEditableOnDoubleClick());
}
