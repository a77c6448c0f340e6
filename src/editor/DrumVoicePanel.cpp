#include "editor/DrumVoicePanel.h"

#include "lookandfeel/Fonts.h"
#include "lookandfeel/Palette.h"
#include "processor/KestrinAudioProcessor.h"
#include "processor/ParameterIds.h"

#include <array>

namespace
{
using P = VoiceParameter;

struct KnobPlace
{
    VoiceParameter parameter;
    int x, y;
};

/** One knob for each sound parameter that is not a choice, in knob order, with its top left: two
    rows, at y 54 and y 149. */
constexpr std::array<KnobPlace, 17> knobPlaces { {
    { P::decay, 100, 149 },          { P::tonePitch, 100, 54 },
    { P::toneBend, 25, 149 },        { P::noiseCutoff, 239, 54 },
    { P::noiseResonance, 315, 54 },  { P::noiseHPCutoff, 202, 149 },
    { P::noiseSweep, 277, 149 },     { P::noiseMix, 353, 149 },
    { P::lfoRate, 591, 54 },         { P::lfoToneDepth, 557, 149 },
    { P::lfoNoiseDepth, 632, 149 },  { P::clickDecay, 454, 54 },
    { P::clickMix, 454, 149 },       { P::saturation, 733, 54 },
    { P::velocity, 808, 54 },        { P::pan, 733, 149 },
    { P::gain, 808, 149 },
} };

constexpr bool everyContinuousParameterHasOneKnob()
{
    for (const auto& info : VoiceParameters::table)
    {
        int knobsOfParameter = 0;

        for (const auto& place : knobPlaces)
            knobsOfParameter += place.parameter == info.parameter ? 1 : 0;

        if (knobsOfParameter != (info.range.choice ? 0 : 1))
            return false;
    }

    return true;
}

static_assert (everyContinuousParameterHasOneKnob(), "each sound parameter but the choices needs one knob");

constexpr int knobSize = 50;
constexpr int labelWidth = 80, labelHeight = 20;
constexpr int labelInset = 15;              // an 80-wide label centred under a 50-wide knob
constexpr int captionOffset = 49, valueOffset = 64;
constexpr float labelFontHeight = 12.0f;

// 221 to 499 degrees clockwise from the top: the middle of the sweep points straight up.
constexpr float rotaryStartAngle = 3.857180f;
constexpr float rotaryEndAngle = 8.709190f;

/** Everything before this in a parameter name is "Voice " + N + " ". */
constexpr int voiceNamePrefixLength = 8;

const juce::StringArray captionPrefixes { "Tone ", "Noise LP ", "Noise ", "LFO ", "Click " };
const juce::StringArray percentCaptions { "Bend", "Resonance", "Sweep", "Mix", "Tone", "Noise", "Saturation", "Velocity" };
const juce::String panCaption { "Pan" };
const juce::String gainCaption { "Gain" };

const juce::StringArray waveformNames { "Triangle", "Hybrid", "Sine" };

const juce::Rectangle<int> waveformButtonBounds { 25, 63, WaveformButton::iconWidth, WaveformButton::iconHeight };
const juce::Rectangle<int> waveformCaptionBounds { 10, 103, labelWidth, labelHeight };
const juce::Rectangle<int> waveformNameBounds { 10, 118, labelWidth, labelHeight };
const juce::Rectangle<int> bendCurveButtonBounds { 15, 205, 14, 14 };
const juce::Colour bendCurveOffColour { 0xFF495059 };

constexpr std::array<float, 4> separatorXs { 175.0f, 428.0f, 529.0f, 707.0f };
constexpr float separatorMargin = 25.0f;
constexpr float headingFontHeight = 15.0f;

struct Heading
{
    const char* text;
    float x, width;
};

constexpr float headingY = 20.0f, headingHeight = 20.0f;
constexpr std::array<Heading, 5> headings { { { "TONE", 0.0f, 179.0f }, { "NOISE", 177.0f, 253.0f }, { "CLICK", 429.0f, 100.0f },
                                              { "LFO", 530.0f, 179.0f }, { "OUTPUT", 707.0f, 179.0f } } };

/** The knob's caption: its parameter name without "Voice N " and without the section's own word. */
juce::String captionFromName (const juce::String& parameterName)
{
    auto caption = parameterName.substring (voiceNamePrefixLength);

    for (const auto& prefix : captionPrefixes)
    {
        if (caption.startsWith (prefix))
        {
            caption = caption.replace (prefix, {});
            break;
        }
    }

    if (caption.endsWith (" Depth"))
        caption = caption.replace (" Depth", {});

    return caption;
}

juce::String parameterId (const juce::String& voiceNumber, const char* suffix)
{
    return ParameterIds::paramVoice + voiceNumber + suffix;
}

juce::Font labelFont() { return getSemiboldFont().withHeight (labelFontHeight); }
} // namespace

DrumVoicePanel::DrumVoicePanel (KestrinAudioProcessor& processorToUse, int voiceIndex)
    : processor (processorToUse),
      voiceNumber (juce::String (voiceIndex + 1))
{
}

DrumVoicePanel::~DrumVoicePanel() = default;

void DrumVoicePanel::setupControls (juce::Colour accentColourToUse)
{
    accentColour = accentColourToUse;
    centreKnobLookAndFeel.centreOrigin = true;

    createKnobs();

    const auto font = labelFont();

    auto* shapeCaption = knobNameLabels.add (new juce::Label ("waveform_nice", "Shape"));
    shapeCaption->setColour (juce::Label::textColourId, Palette::text);
    shapeCaption->setJustificationType (juce::Justification::centredTop);
    shapeCaption->setFont (font);
    addAndMakeVisible (shapeCaption);

    // Not editable: the waveform changes only through its icon.
    auto* waveformName = knobValueLabels.add (new CenteredEditableLabel());
    waveformName->setName ("waveform");
    waveformName->setColour (juce::Label::textColourId, Palette::dimText);
    waveformName->setJustificationType (juce::Justification::centredTop);
    waveformName->setColour (juce::Label::backgroundColourId, Palette::panelBackground);
    waveformName->setFont (font);
    addAndMakeVisible (waveformName);

    waveformButton = std::make_unique<WaveformButton> (accentColour);
    waveformButton->addListener (this);
    addAndMakeVisible (*waveformButton);

    for (int i = 0; i < waveformNames.size(); ++i)
        waveformBox.addItem (waveformNames[i], i + 1);

    // Listening before the attachment exists, so that its first selection already shows the icon and name.
    waveformBox.addListener (this);
    waveformAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ComboBoxAttachment> (
        processor.valueTreeState, parameterId (voiceNumber, ParameterIds::waveform), waveformBox);

    bendCurveButton = std::make_unique<LEDButton>();
    bendCurveButton->setOffColour (bendCurveOffColour);
    bendCurveButton->setOnColour (accentColour);
    bendCurveButton->setTexts ("A", "B");
    bendCurveButton->addListener (this);
    bendCurveButton->setClickingTogglesState (true);
    bendCurveAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (
        processor.valueTreeState, parameterId (voiceNumber, ParameterIds::bendSweepCurve), *bendCurveButton);
    addAndMakeVisible (*bendCurveButton);
}

void DrumVoicePanel::createKnobs()
{
    const auto font = labelFont();

    for (const auto& place : knobPlaces)
    {
        const auto id = parameterId (voiceNumber, VoiceParameters::getSuffix (place.parameter));
        auto* parameter = processor.valueTreeState.getParameter (id);
        jassert (parameter != nullptr);

        const auto caption = captionFromName (parameter->getName (1024));

        auto* nameLabel = new juce::Label (id + "_nice", caption);
        nameLabel->setColour (juce::Label::textColourId, Palette::text);
        nameLabel->setJustificationType (juce::Justification::centredTop);
        nameLabel->setFont (font);
        addAndMakeVisible (nameLabel);
        knobNameLabels.add (nameLabel);

        auto* valueLabel = new CenteredEditableLabel();
        valueLabel->setName (id);
        valueLabel->setColour (juce::Label::textColourId, Palette::dimText);
        valueLabel->setColour (juce::Label::backgroundColourId, Palette::panelBackground);
        valueLabel->setJustificationType (juce::Justification::centredTop);
        valueLabel->setEditable (false, true, false);
        valueLabel->setFont (font);
        addAndMakeVisible (valueLabel);

        auto* knob = new SliderQVT();
        knobAttachments.add (new juce::AudioProcessorValueTreeState::SliderAttachment (processor.valueTreeState, id, *knob));
        knob->addListener (this);
        knob->setName (id);

        knob->setSliderStyle (juce::Slider::RotaryVerticalDrag);
        knob->setRotaryParameters (rotaryStartAngle, rotaryEndAngle, true);
        knob->setTextBoxStyle (juce::Slider::NoTextBox, false, 70, 20);
        knob->setTextValueSuffix ({});
        knob->setNumDecimalPlacesToDisplay (2);

        knobLookAndFeel.arcColour = accentColour;
        centreKnobLookAndFeel.arcColour = accentColour;
        const auto fromCentre = caption == gainCaption || caption == panCaption;
        knob->setLookAndFeel (fromCentre ? &centreKnobLookAndFeel : &knobLookAndFeel);

        knob->percentMode = percentCaptions.contains (caption);
        knob->panMode = caption == panCaption;
        knob->setLabel (valueLabel);

        knob->knobIndex = knobs.size();
        addAndMakeVisible (knob);
        knobValueLabels.add (valueLabel);
        knobs.add (knob);
    }
}

void DrumVoicePanel::paint (juce::Graphics& g)
{
    g.fillAll (Palette::panelBackground);

    g.setColour (Palette::divider);

    for (auto x : separatorXs)
        g.drawRect (juce::Rectangle<float> (x, separatorMargin, 1.0f, (float) getHeight() - 2.0f * separatorMargin), 1.0f);

    g.setFont (getCondensedSemiboldFont().withHeight (headingFontHeight));
    g.setColour (Palette::text);

    for (const auto& heading : headings)
        g.drawText (heading.text, juce::Rectangle<float> (heading.x, headingY, heading.width, headingHeight),
                    juce::Justification::centred, false);
}

void DrumVoicePanel::resized()
{
    for (int i = 0; i < knobs.size(); ++i)
    {
        auto* knob = knobs[i];

        for (const auto& place : knobPlaces)
        {
            if (knob->getName() == parameterId (voiceNumber, VoiceParameters::getSuffix (place.parameter)))
            {
                knob->setBounds (place.x, place.y, knobSize, knobSize);
                break;
            }
        }

        knobNameLabels[i]->setBounds (knob->getX() - labelInset, knob->getY() + captionOffset, labelWidth, labelHeight);
        knobValueLabels[i]->setBounds (knob->getX() - labelInset, knob->getY() + valueOffset, labelWidth, labelHeight);
    }

    waveformButton->setBounds (waveformButtonBounds);
    knobNameLabels[knobs.size()]->setBounds (waveformCaptionBounds);
    knobValueLabels[knobs.size()]->setBounds (waveformNameBounds);
    bendCurveButton->setBounds (bendCurveButtonBounds);
}

void DrumVoicePanel::sliderValueChanged (juce::Slider* slider)
{
    if (auto* knob = dynamic_cast<SliderQVT*> (slider))
        knobValueLabels[knob->knobIndex]->setText (knob->getTextFromValue (knob->getValue()), juce::dontSendNotification);
}

void DrumVoicePanel::sliderDragStarted (juce::Slider*) {}
void DrumVoicePanel::sliderDragEnded (juce::Slider*) {}

void DrumVoicePanel::comboBoxChanged (juce::ComboBox* box)
{
    if (box != &waveformBox)
        return;

    const auto selected = waveformBox.getSelectedItemIndex();
    const std::array<juce::Drawable*, 3> icons { waveformButton->triangleIcon.get(), waveformButton->hybridIcon.get(),
                                                 waveformButton->sineIcon.get() };

    // An icon that failed to load is simply not there to show.
    for (size_t i = 0; i < icons.size(); ++i)
        if (icons[i] != nullptr)
            icons[i]->setVisible ((int) i == selected);

    knobValueLabels[knobs.size()]->setText (waveformBox.getText(), juce::dontSendNotification);
}

void DrumVoicePanel::buttonClicked (juce::Button* button)
{
    if (button != waveformButton.get())
        return;

    // Asynchronous, so the parameter changes after the click has been handled.
    const auto selected = waveformBox.getSelectedItemIndex();
    waveformBox.setSelectedItemIndex (selected < waveformNames.size() - 1 ? selected + 1 : 0, juce::sendNotificationAsync);
}
