#include "editor/Footer.h"

#include "lookandfeel/Fonts.h"
#include "lookandfeel/Palette.h"
#include "processor/KestrinAudioProcessor.h"
#include "processor/ParameterIds.h"

namespace
{
/** Darker than the dimmed text, so an unlit light reads as off against the bar. */
const juce::Colour lightOffColour { 0xFF495059 };

void setUpCaption (juce::Label& label, const juce::String& text, const juce::Font& font)
{
    label.setColour (juce::Label::textColourId, Palette::text);
    label.setJustificationType (juce::Justification::centredLeft);
    label.setText (text, juce::dontSendNotification);
    label.setFont (font);
}
} // namespace

Footer::Footer (KestrinAudioProcessor& processorToUse)
    : processor (processorToUse)
{
    const auto captionFont = getSemiboldFont().withHeight (12.0f);

    addAndMakeVisible (phaseLabel);
    setUpCaption (phaseLabel, "Phase Reset", captionFont);

    // The outline takes the bar's colour, so only the box's own fill shows.
    phaseComboBox.setColour (juce::ComboBox::outlineColourId, Palette::barBackground);
    phaseComboBox.addItemList ({ "Off", "On", "Offset" }, 1);
    addAndMakeVisible (phaseComboBox);
    phaseAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ComboBoxAttachment> (
        processor.valueTreeState, ParameterIds::paramPhase, phaseComboBox);

    obeyNoteOffButton = std::make_unique<LEDButton>();
    obeyNoteOffButton->setOffColour (lightOffColour);
    obeyNoteOffButton->setClickingTogglesState (true);
    obeyNoteOffAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (
        processor.valueTreeState, ParameterIds::paramObeyNoteOff, *obeyNoteOffButton);
    addAndMakeVisible (*obeyNoteOffButton);

    addAndMakeVisible (obeyNoteOffLabel);
    setUpCaption (obeyNoteOffLabel, "Obey Note-Off", captionFont);
}

// Members go in reverse order, so each attachment before its control.
Footer::~Footer() = default;

void Footer::paint (juce::Graphics& g)
{
    g.fillAll (Palette::barBackground);

    g.setColour (Palette::panelBackground);
    for (auto x : { 223, 356 })
        g.drawRect (x, 0, 1, getHeight(), 1);
}

void Footer::resized()
{
    // Fixed positions: a wider bar only grows its fill.
    phaseLabel.setBounds (10, 10, 79, 27);
    phaseComboBox.setBounds (89, 10, 119, 27);
    obeyNoteOffLabel.setBounds (234, 10, 90, 27);
    obeyNoteOffButton->setBounds (327, 16, 14, 14);
}
