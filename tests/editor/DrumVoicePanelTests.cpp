#include "editor/ControlImages.h"
#include "processor/ProcessorTestHelpers.h"

#include "editor/DrumVoicePanel.h"
#include "lookandfeel/Palette.h"

#include <thread>

using namespace ProcessorTestHelpers;
using ControlImages::coloursNear;
namespace ids = ParameterIds;

namespace
{
enum class Mode { none, percent, pan };
struct Knob { const char* suffix; int x, y; const char* caption; Mode mode; };

const Knob knobTable[] = {
    { ids::decay, 100, 149, "Decay", Mode::none },              { ids::tonePitch, 100, 54, "Pitch", Mode::none },
    { ids::toneBend, 25, 149, "Bend", Mode::percent },          { ids::noiseCutoff, 239, 54, "Cutoff", Mode::none },
    { ids::noiseResonance, 315, 54, "Resonance", Mode::percent }, { ids::noiseHPCutoff, 202, 149, "Highpass", Mode::none },
    { ids::noiseSweep, 277, 149, "Sweep", Mode::percent },      { ids::noiseMix, 353, 149, "Mix", Mode::percent },
    { ids::lfoRate, 591, 54, "Rate", Mode::none },              { ids::lfoToneDepth, 557, 149, "Tone", Mode::percent },
    { ids::lfoNoiseDepth, 632, 149, "Noise", Mode::percent },   { ids::clickDecay, 454, 54, "Length", Mode::none },
    { ids::clickMix, 454, 149, "Mix", Mode::percent },          { ids::saturation, 733, 54, "Saturation", Mode::percent },
    { ids::velocity, 808, 54, "Velocity", Mode::percent },      { ids::pan, 733, 149, "Pan", Mode::pan },
    { ids::gain, 808, 149, "Gain", Mode::none },
};

bool drawsFromCentre (const Knob& k) { return juce::String (k.caption) == "Pan" || juce::String (k.caption) == "Gain"; }

void pump() { juce::MessageManager::getInstance()->runDispatchLoopUntil (50); }

/** The child of that name and type; the knob and its value label share the parameter ID as name. */
template <typename Type>
Type& child (juce::Component& parent, const juce::String& name = {})
{
    for (auto* c : parent.getChildren())
        if (auto* t = dynamic_cast<Type*> (c); t != nullptr && (name.isEmpty() || c->getName() == name))
            return *t;

    throw std::runtime_error (("no child " + name).toStdString());
}

/** A press and release on the component, as the mouse gives them. */
void click (juce::Component& c)
{
    const auto now = juce::Time::getCurrentTime();
    const juce::MouseEvent e (juce::Desktop::getInstance().getMainMouseSource(), { 5.0f, 5.0f }, {}, 1.0f, 0, 0, 0, 0,
                              &c, &c, now, { 5.0f, 5.0f }, now, 1, false);
    c.mouseDown (e);
    c.mouseUp (e);
}

/** Everything the processor tells the host: value changes and gestures. */
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

struct PanelTest : public ::testing::Test
{
    explicit PanelTest (int voiceIndex = 2) : panel (processor, voiceIndex), voiceNumber (voiceIndex + 1)
    {
        panel.setupControls (Palette::getVoiceAccent (voiceIndex));
        panel.setSize (883, 251);
    }

    juce::String id (const char* suffix) const { return ids::voiceParameterId (voiceNumber, suffix); }
    juce::RangedAudioParameter& param (const char* suffix) { return parameter (processor, id (suffix)); }
    juce::Label& valueLabel (const char* suffix) { return child<CenteredEditableLabel> (panel, id (suffix)); }
    juce::String waveformName() { return child<CenteredEditableLabel> (panel, "waveform").getText(); }

    int visibleIcon()
    {
        auto& button = child<WaveformButton> (panel);
        const std::array<juce::Drawable*, 3> icons { button.triangleIcon.get(), button.hybridIcon.get(), button.sineIcon.get() };
        return (int) std::count_if (icons.begin(), icons.end(), [] (auto* i) { return i->isVisible(); }) != 1
                   ? -1 : (int) (std::find_if (icons.begin(), icons.end(), [] (auto* i) { return i->isVisible(); }) - icons.begin());
    }

    TemporaryDataFolder folder;
    KestrinAudioProcessor processor { folder.get() };
    DrumVoicePanel panel;
    const int voiceNumber;
};
} // namespace

TEST_F (PanelTest, EveryControlSitsOnItsPlaceWithItsCaptionModeAndVoiceParameter)
{
    const auto accent = Palette::getVoiceAccent (2);
    ASSERT_EQ (panel.getNumChildComponents(), 17 * 3 + 4) << "the waveform's combo box is never a child";

    for (int i = 0; i < 17; ++i)
    {
        const auto& row = knobTable[i];
        auto& knob = child<SliderQVT> (panel, id (row.suffix));
        auto& caption = child<juce::Label> (panel, id (row.suffix) + "_nice");
        auto& value = valueLabel (row.suffix);
        const auto& lookAndFeel = dynamic_cast<LookAndFeelCustom&> (knob.getLookAndFeel());

        EXPECT_EQ (knob.getBounds(), juce::Rectangle<int> (row.x, row.y, 50, 50)) << row.suffix;
        EXPECT_EQ (caption.getBounds(), juce::Rectangle<int> (row.x - 15, row.y + 49, 80, 20)) << row.suffix;
        EXPECT_EQ (value.getBounds(), juce::Rectangle<int> (row.x - 15, row.y + 64, 80, 20)) << row.suffix;
        EXPECT_EQ (caption.getText(), row.caption);
        EXPECT_EQ ((std::vector<int> { panel.getIndexOfChildComponent (&caption), panel.getIndexOfChildComponent (&value),
                                       panel.getIndexOfChildComponent (&knob), knob.knobIndex }),
                   (std::vector<int> { 3 * i, 3 * i + 1, 3 * i + 2, i })) << row.suffix;

        EXPECT_EQ (knob.percentMode, row.mode == Mode::percent) << row.suffix;
        EXPECT_EQ (knob.panMode, row.mode == Mode::pan) << row.suffix;
        EXPECT_EQ (lookAndFeel.centreOrigin, drawsFromCentre (row)) << row.suffix;
        EXPECT_EQ (lookAndFeel.arcColour, accent) << row.suffix;

        EXPECT_EQ (value.getText(), param (row.suffix).getCurrentValueAsText()) << row.suffix;
        EXPECT_TRUE (value.isEditableOnDoubleClick() && ! value.isEditableOnSingleClick()) << row.suffix;
        EXPECT_EQ (std::pair (caption.findColour (juce::Label::textColourId), value.findColour (juce::Label::textColourId)),
                   std::pair (Palette::text, Palette::dimText));
        EXPECT_EQ (knob.getSliderStyle(), juce::Slider::RotaryVerticalDrag);
        EXPECT_NEAR (knob.getRotaryParameters().startAngleRadians, juce::degreesToRadians (221.0f), 1.0e-4f);
        EXPECT_NEAR (knob.getRotaryParameters().endAngleRadians, juce::degreesToRadians (499.0f), 1.0e-4f);
        EXPECT_EQ (knob.getDoubleClickReturnValue(), param (row.suffix).convertFrom0to1 (param (row.suffix).getDefaultValue()));
    }

    EXPECT_EQ (child<WaveformButton> (panel).getBounds(), juce::Rectangle<int> (25, 63, 49, 32));
    EXPECT_EQ (child<juce::Label> (panel, "waveform_nice").getBounds(), juce::Rectangle<int> (10, 103, 80, 20));
    EXPECT_EQ (child<juce::Label> (panel, "waveform_nice").getText(), "Shape");
    EXPECT_EQ (child<CenteredEditableLabel> (panel, "waveform").getBounds(), juce::Rectangle<int> (10, 118, 80, 20));
    EXPECT_FALSE (child<CenteredEditableLabel> (panel, "waveform").isEditableOnDoubleClick());
    EXPECT_EQ (child<LEDButton> (panel).getBounds(), juce::Rectangle<int> (15, 205, 14, 14));
}

TEST_F (PanelTest, TypedValuesReachTheParameterInItsUnitsAndTheLabelEndsOnItsText)
{
    struct Typed { const char* suffix; const char* text; float value; const char* shown; };
    const Typed cases[] = {
        { ids::tonePitch, "1.5kHz", 1500.0f, "1.5kHz" }, { ids::tonePitch, "1.5 khz", 1500.0f, "1.5kHz" },
        { ids::tonePitch, "440hz", 440.0f, "440.0Hz" },  { ids::tonePitch, "440", 440.0f, "440.0Hz" },
        { ids::tonePitch, "2k", 20.0f, "20.0Hz" },       { ids::tonePitch, "1.23456789khz", 1234.57f, "1.2kHz" },
        { ids::tonePitch, "", 20.0f, "20.0Hz" },         { ids::decay, "1.25", 1.25f, "1.25s" },
        { ids::gain, "-6", -6.0f, "-6.0dB" },            { ids::clickDecay, "20ms", 20.0f, "20ms" },
        { ids::saturation, "75", 0.75f, "75%" },         { ids::saturation, "75%", 0.75f, "75%" },
        { ids::saturation, "150", 1.0f, "100%" },        { ids::saturation, "-20", 0.0f, "0%" },
        { ids::noiseMix, "5khz", 1.0f, "100%" },         { ids::noiseMix, "33.3333", 0.33f, "33%" },
        { ids::noiseMix, "", 0.0f, "0%" },               { ids::pan, "30", 0.3f, "R30" },
        { ids::pan, "30l", -0.3f, "L30" },               { ids::pan, "30 L", -0.3f, "L30" },
        { ids::pan, "-30", -0.3f, "L30" },               { ids::pan, "-30l", -0.3f, "L30" },
        { ids::pan, "l30", 0.0f, "Center" },             { ids::pan, "center", 0.0f, "Center" },
        { ids::pan, "", 0.0f, "Center" },
    };

    const auto type = [] (juce::Label& label, const juce::String& text)
    {
        label.showEditor();
        auto* editor = label.getCurrentTextEditor();
        EXPECT_TRUE (editor->getJustificationType() == juce::Justification::centredTop && editor->getLeftIndent() == 4 && editor->getTopIndent() == 0);
        editor->setText (text, false);
        label.hideEditor (false);
    };

    for (const auto& c : cases)
    {
        param (c.suffix).setValueNotifyingHost (0.37f); // a start that none of the results equals
        type (valueLabel (c.suffix), c.text);
        EXPECT_NEAR (getValue (processor, id (c.suffix)), c.value, 1.0e-3f * std::max (1.0f, std::abs (c.value))) << c.suffix << " " << c.text;
        EXPECT_EQ (valueLabel (c.suffix).getText(), c.shown) << c.suffix << " " << c.text;
        EXPECT_EQ (child<SliderQVT> (panel, id (c.suffix)).getValue(), getValue (processor, id (c.suffix)));
    }

    // The value it already has, in another form: nothing reaches the host, the label is tidied.
    setValue (param (ids::saturation), 0.75f);
    HostNotifications host (processor);
    for (const auto* text : { "75", "75.2", " 75.00" })
    {
        type (valueLabel (ids::saturation), text);
        EXPECT_EQ (valueLabel (ids::saturation).getText(), "75%") << text;
    }
    EXPECT_EQ (host.count, 0);
}

TEST_F (PanelTest, FollowsAutomationStateRestoreAndPresetLoadWhileHiddenAndSendsNothingBack)
{
    panel.setVisible (false);
    HostNotifications host (processor);

    const auto expectShown = [this] (const char* waveform, int icon, bool curveB, const char* pitch, const char* pan)
    {
        EXPECT_EQ (waveformName(), waveform);
        EXPECT_EQ (visibleIcon(), icon) << waveform;
        EXPECT_EQ (child<LEDButton> (panel).getToggleState(), curveB) << waveform;
        EXPECT_EQ (valueLabel (ids::tonePitch).getText(), pitch) << waveform;
        EXPECT_EQ (valueLabel (ids::pan).getText(), pan) << waveform;
        EXPECT_NEAR (child<SliderQVT> (panel, id (ids::tonePitch)).getValue(), getValue (processor, id (ids::tonePitch)), 1.0e-3);
    };

    const auto fromHostThread = [&] (std::function<void()> change)
    {
        std::thread (std::move (change)).join();
        host.count = 0;
        pump();
        EXPECT_EQ (host.count, 0) << "the panel echoed a change";
    };

    fromHostThread ([this] { setValue (param (ids::tonePitch), 1500.0f); setValue (param (ids::waveform), 2.0f);
                             setValue (param (ids::bendSweepCurve), 1.0f); setValue (param (ids::pan), -0.3f); });
    expectShown ("Sine", 2, true, "1.5kHz", "L30");

    juce::MemoryBlock state;
    processor.getStateInformation (state);
    const auto preset = folder.presetsFolder().getChildFile ("Sine.qvtp").getFullPathName();
    ASSERT_TRUE (processor.savePresetFile (preset));

    setValue (param (ids::tonePitch), 440.0f);
    setValue (param (ids::waveform), 1.0f);
    setValue (param (ids::bendSweepCurve), 0.0f);
    setValue (param (ids::pan), 0.0f);
    expectShown ("Hybrid", 1, false, "440.0Hz", "Center");

    fromHostThread ([&] { processor.setStateInformation (state.getData(), (int) state.getSize()); });
    expectShown ("Sine", 2, true, "1.5kHz", "L30");

    setValue (param (ids::waveform), 0.0f);
    expectShown ("Triangle", 0, true, "1.5kHz", "L30");
    ASSERT_TRUE (processor.loadPresetFile (preset));
    host.count = 0;
    pump();
    EXPECT_EQ (host.count, 0);
    expectShown ("Sine", 2, true, "1.5kHz", "L30");
}

TEST_F (PanelTest, ClicksStepTheWaveformAfterTheClickAndToggleTheCurve)
{
    auto& waveformButton = child<WaveformButton> (panel);

    for (auto [value, name] : { std::pair (1.0f, "Hybrid"), std::pair (2.0f, "Sine"), std::pair (0.0f, "Triangle") })
    {
        const auto before = getValue (processor, id (ids::waveform));
        click (waveformButton);
        EXPECT_EQ (getValue (processor, id (ids::waveform)), before) << "not while the click is handled";
        pump();
        EXPECT_EQ (getValue (processor, id (ids::waveform)), value);
        EXPECT_EQ (visibleIcon(), (int) value);
        EXPECT_EQ (waveformName(), name);
    }

    auto& curve = child<LEDButton> (panel);
    for (auto value : { 1.0f, 0.0f })
    {
        click (curve);
        EXPECT_EQ (getValue (processor, id (ids::bendSweepCurve)), value);
        EXPECT_EQ (curve.getToggleState(), value > 0.5f);
    }
}

/** What the editor installs: captions and labels draw in the embedded typeface. */
struct DefaultLookAndFeel final
{
    DefaultLookAndFeel() { juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel); }
    ~DefaultLookAndFeel() { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }
    LookAndFeelCustom lookAndFeel;
};

struct TealPanelTest : public PanelTest
{
    TealPanelTest() : PanelTest (1) {}
};

TEST_F (TealPanelTest, PaintsSeparatorsHeadingsLabelsAndEverythingLitInTheAccent)
{
    DefaultLookAndFeel defaultLookAndFeel;
    // The whole kit as it starts, one panel per voice, before voice 2 is changed below.
    for (int voice = 0; voice < ids::numVoices; ++voice)
    {
        DrumVoicePanel each (processor, voice);
        each.setupControls (Palette::getVoiceAccent (voice));
        each.setSize (883, 251);
        EXPECT_EQ (child<juce::Label> (each, ids::voiceParameterId (voice + 1, ids::lfoToneDepth) + "_nice").getText(), "Tone");
        ControlImages::paintAndSave (each, "drumvoicepanel-voice" + juce::String (voice + 1));
    }

    // Every arc well away from its origin, the sine icon and curve B.
    for (const auto& row : knobTable)
        param (row.suffix).setValueNotifyingHost (0.8f);
    setValue (param (ids::waveform), 2.0f);
    setValue (param (ids::bendSweepCurve), 1.0f);

    const auto image = ControlImages::paintAndSave (panel, "drumvoicepanel-voice2-teal");

    const auto brightestIn = [&image] (juce::Rectangle<int> area)
    {
        juce::Colour brightest;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (image.getPixelAt (x, y).getPerceivedBrightness() > brightest.getPerceivedBrightness())
                    brightest = image.getPixelAt (x, y);
        return brightest;
    };
    const auto at = [&image] (int x, int y, float radius, float degrees)
    {
        const auto a = juce::degreesToRadians (degrees);
        return image.getPixelAt ((int) std::floor ((float) x + 25.0f + radius * std::sin (a)), (int) std::floor ((float) y + 25.0f - radius * std::cos (a)));
    };

    for (auto x : { 175, 428, 529, 707 })
    {
        EXPECT_TRUE (coloursNear (image.getPixelAt (x, 25), Palette::divider) && coloursNear (image.getPixelAt (x, 225), Palette::divider)) << x;
        EXPECT_TRUE (coloursNear (image.getPixelAt (x, 24), Palette::panelBackground) && coloursNear (image.getPixelAt (x, 226), Palette::panelBackground)) << x;
        EXPECT_TRUE (coloursNear (image.getPixelAt (x + 1, 120), Palette::panelBackground)) << x;
    }

    for (const auto& row : knobTable)
    {
        const auto fromCentre = drawsFromCentre (row);
        EXPECT_TRUE (coloursNear (at (row.x, row.y, 23.25f, fromCentre ? 400.0f : 300.0f), Palette::teal, 6)) << row.suffix;
        EXPECT_TRUE (coloursNear (at (row.x, row.y, 23.25f, fromCentre ? 340.0f : 470.0f), Palette::barBackground, 6)) << row.suffix;
        EXPECT_TRUE (coloursNear (at (row.x, row.y, 12.0f, 221.0f + 0.8f * 278.0f), Palette::teal, 6)) << row.suffix;
        EXPECT_TRUE (coloursNear (brightestIn ({ row.x + 5, row.y + 49, 40, 15 }), Palette::text, 12)) << row.suffix;
        EXPECT_TRUE (coloursNear (brightestIn ({ row.x + 5, row.y + 64, 40, 20 }), Palette::dimText, 12)) << row.suffix;
    }

    for (auto heading : { juce::Rectangle<int> (0, 20, 175, 20), { 177, 20, 250, 20 }, { 429, 20, 100, 20 }, { 530, 20, 176, 20 }, { 708, 20, 175, 20 } })
        EXPECT_TRUE (coloursNear (brightestIn (heading), Palette::text, 12)) << heading.toString();

    auto tealInIcon = 0;
    for (int y = 63; y < 95; ++y)
        for (int x = 25; x < 74; ++x)
            tealInIcon += coloursNear (image.getPixelAt (x, y), Palette::teal, 40) ? 1 : 0;
    EXPECT_GT (tealInIcon, 30);
    EXPECT_TRUE (coloursNear (image.getPixelAt (17, 212), Palette::teal, 6));
    EXPECT_TRUE (coloursNear (brightestIn ({ 10, 118, 80, 20 }), Palette::dimText, 12)) << "the waveform's name";

}
