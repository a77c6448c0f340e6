#include "editor/DrumVoicePanel.h"

#include "processor/KestrinAudioProcessor.h"

DrumVoicePanel::DrumVoicePanel (KestrinAudioProcessor& processorToUse, int voiceIndex)
    : processor (processorToUse),
      voiceNumber (juce::String (voiceIndex + 1))
{
}

DrumVoicePanel::~DrumVoicePanel() = default;

void DrumVoicePanel::setupControls (juce::Colour accentColourToUse) { accentColour = accentColourToUse; }
void DrumVoicePanel::createKnobs() {}
void DrumVoicePanel::paint (juce::Graphics&) {}
void DrumVoicePanel::resized() {}
void DrumVoicePanel::sliderValueChanged (juce::Slider*) {}
void DrumVoicePanel::sliderDragStarted (juce::Slider*) {}
void DrumVoicePanel::sliderDragEnded (juce::Slider*) {}
void DrumVoicePanel::comboBoxChanged (juce::ComboBox*) {}
void DrumVoicePanel::buttonClicked (juce::Button*) {}
