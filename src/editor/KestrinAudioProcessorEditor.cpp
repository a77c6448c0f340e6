#include "editor/KestrinAudioProcessorEditor.h"

#include "processor/KestrinAudioProcessor.h"

KestrinAudioProcessorEditor::KestrinAudioProcessorEditor (KestrinAudioProcessor& p)
    : juce::AudioProcessorEditor (p),
      processor (p),
      navbar (p),
      presetBrowser (p),
      presetSaveDialog (p),
      settingsDialog (p),
      footer (p),
      saveScaleTimer (p)
{
    setSize (baseWidth, baseHeight);
}

KestrinAudioProcessorEditor::~KestrinAudioProcessorEditor() = default;

void KestrinAudioProcessorEditor::mouseDown (const juce::MouseEvent&) {}
void KestrinAudioProcessorEditor::paint (juce::Graphics&) {}
void KestrinAudioProcessorEditor::resized() {}
void KestrinAudioProcessorEditor::actionListenerCallback (const juce::String&) {}
void KestrinAudioProcessorEditor::buttonClicked (juce::Button*) {}
void KestrinAudioProcessorEditor::applyScaleSetting() {}
void KestrinAudioProcessorEditor::updateVoiceTabLabel (int) {}
void KestrinAudioProcessorEditor::showPanel (const juce::String&) {}
void KestrinAudioProcessorEditor::restoreActivePanel() {}
void KestrinAudioProcessorEditor::showVoiceMenu (int) {}
void KestrinAudioProcessorEditor::copyVoiceToClipboard (int) {}
void KestrinAudioProcessorEditor::timerCallback() {}
