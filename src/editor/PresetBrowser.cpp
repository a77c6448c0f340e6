#include "editor/PresetBrowser.h"

#include "processor/KestrinAudioProcessor.h"

PresetBrowser::PresetBrowser (KestrinAudioProcessor& processorToUse) : processor (processorToUse) {}
PresetBrowser::~PresetBrowser() = default;
void PresetBrowser::refreshPresetList() {}
void PresetBrowser::addPresetsFromFolder (juce::PopupMenu&, juce::String) {}
void PresetBrowser::mouseDown (const juce::MouseEvent&) {}
void PresetBrowser::paint (juce::Graphics&) {}
void PresetBrowser::resized() {}
void PresetBrowser::buttonClicked (juce::Button*) {}
void PresetBrowser::actionListenerCallback (const juce::String&) {}
