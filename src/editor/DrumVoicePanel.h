#pragma once

#include "editor/CenteredEditableLabel.h"
#include "editor/LEDButton.h"
#include "editor/SliderQVT.h"
#include "editor/WaveformButton.h"
#include "lookandfeel/LookAndFeelCustom.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

class KestrinAudioProcessor;

/**
    The knobs, waveform selector and curve switch of one drum voice, under five section headings.

    Every control is bound to its voice parameter through an attachment, so the panel follows the
    parameters whatever changes them, hidden or not, and its own code only keeps the value labels
    and the waveform icon in step with the controls.
*/
class DrumVoicePanel final : public juce::Component,
                             public juce::Button::Listener,
                             public juce::ComboBox::Listener,
                             private juce::Slider::Listener
{
public:
    DrumVoicePanel (KestrinAudioProcessor& processorToUse, int voiceIndex);
    ~DrumVoicePanel() override;

    /** Builds every child in the voice's accent colour. Call once, before the panel gets its bounds. */
    void setupControls (juce::Colour accentColourToUse);

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    void sliderValueChanged (juce::Slider*) override;
    void sliderDragStarted (juce::Slider*) override;
    void sliderDragEnded (juce::Slider*) override;

public:
    void comboBoxChanged (juce::ComboBox*) override;
    void buttonClicked (juce::Button*) override;

private:
    void createKnobs();

    KestrinAudioProcessor& processor;
    LookAndFeelCustom knobLookAndFeel;
    LookAndFeelCustom centreKnobLookAndFeel;
    juce::String voiceNumber;
    juce::Colour accentColour;

    std::unique_ptr<WaveformButton> waveformButton;
    // Holds the selection for the attachment; never added to a parent, so never drawn nor clicked.
    juce::ComboBox waveformBox;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> waveformAttachment;
    std::unique_ptr<LEDButton> bendCurveButton;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> bendCurveAttachment;

    // Declared after the look-and-feels and destroyed in reverse: value labels, captions,
    // attachments, then the knobs, each attachment before its control and each knob before
    // the look-and-feel it draws with. Entry i of each belongs to knob i; the label arrays hold
    // one more entry, the waveform selector's caption and name.
    juce::OwnedArray<SliderQVT> knobs;
    juce::OwnedArray<juce::AudioProcessorValueTreeState::SliderAttachment> knobAttachments;
    juce::OwnedArray<juce::Label> knobNameLabels;
    juce::OwnedArray<CenteredEditableLabel> knobValueLabels;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DrumVoicePanel)
};
