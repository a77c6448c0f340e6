#include "editor/PresetSaveDialog.h"

#include "processor/KestrinAudioProcessor.h"

PresetSaveDialog::PresetSaveDialog (KestrinAudioProcessor& processorToUse) : processor (processorToUse) {}
PresetSaveDialog::~PresetSaveDialog() = default;
void PresetSaveDialog::selectPresetFile (const juce::String&) {}
void PresetSaveDialog::setFileName (const juce::String&) {}
void PresetSaveDialog::updateSaveButton() {}
void PresetSaveDialog::paint (juce::Graphics&) {}
void PresetSaveDialog::resized() {}
void PresetSaveDialog::buttonClicked (juce::Button*) {}
void PresetSaveDialog::fileClicked (const juce::File&, const juce::MouseEvent&) {}
void PresetSaveDialog::actionListenerCallback (const juce::String&) {}
void PresetSaveDialog::timerCallback() {}
