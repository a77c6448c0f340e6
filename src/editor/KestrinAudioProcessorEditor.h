#pragma once

#include "editor/DefaultLookAndFeelHolder.h"
#include "editor/DrumVoicePanel.h"
#include "editor/Footer.h"
#include "editor/HexButton.h"
#include "editor/Navbar.h"
#include "editor/PresetBrowser.h"
#include "editor/PresetSaveDialog.h"
#include "editor/SaveScaleTimer.h"
#include "editor/SettingsDialog.h"
#include "lookandfeel/LookAndFeelTabButton.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <memory>

class KestrinAudioProcessor;

/**
    The plug-in window: everything is laid out in a fixed base space of 883 x 396 inside one
    content component, which is scaled as a whole. The scale is written to the settings file one
    second after the last resize and restored when the next editor opens.
*/
class KestrinAudioProcessorEditor final : public juce::AudioProcessorEditor,
                                          public juce::Button::Listener,
                                          public juce::ActionListener,
                                          private juce::Timer
{
public:
    explicit KestrinAudioProcessorEditor (KestrinAudioProcessor&);
    ~KestrinAudioProcessorEditor() override;

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    void actionListenerCallback (const juce::String& message) override;
    void buttonClicked (juce::Button*) override;

    /** Reads the saved scale and sizes the window by it. */
    void applyScaleSetting();
    void updateVoiceTabLabel (int voiceNumber);
    void showPanel (const juce::String& panelName);
    void restoreActivePanel();
    void showVoiceMenu (int voiceNumber);
    void copyVoiceToClipboard (int voiceNumber);

private:
    void timerCallback() override;

    juce::SharedResourcePointer<DefaultLookAndFeelHolder> sharedLookAndFeel;
    KestrinAudioProcessor& processor;

public:
    const int baseWidth = 883;
    const int baseHeight = 396;

private:
    bool resizingEnabled = false;
    juce::Component contentComponent;

public:
    Navbar navbar;
    PresetBrowser presetBrowser;
    PresetSaveDialog presetSaveDialog;
    SettingsDialog settingsDialog;
    Footer footer;

private:
    std::array<LookAndFeelTabButton, 7> tabLookAndFeels;
    std::array<std::unique_ptr<juce::TextButton>, 7> voiceTabs;
    std::array<std::unique_ptr<HexButton>, 7> voicePads;
    juce::PopupMenu voiceMenu;
    juce::StringArray labelNames;
    juce::StringArray chokeNames;
    juce::OwnedArray<DrumVoicePanel> voicePanels;
    SaveScaleTimer saveScaleTimer;
    float currentScale = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KestrinAudioProcessorEditor)
};
