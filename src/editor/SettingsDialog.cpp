#include "editor/SettingsDialog.h"

#include "processor/KestrinAudioProcessor.h"

SettingsDialog::SettingsDialog (KestrinAudioProcessor& processorToUse) : processor (processorToUse) {}
SettingsDialog::~SettingsDialog() = default;
void SettingsDialog::prepareToShow() {}
void SettingsDialog::paint (juce::Graphics&) {}
void SettingsDialog::resized() {}
void SettingsDialog::buttonClicked (juce::Button*) {}
void SettingsDialog::actionListenerCallback (const juce::String&) {}
void SettingsDialog::textEditorReturnKeyPressed (juce::TextEditor&) {}
void SettingsDialog::textEditorFocusLost (juce::TextEditor&) {}
