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

    Below the top bar, seven voice tabs each carry a pad that plays the voice and flashes whenever
    it starts; one voice panel shows at a time, and which one is kept in the processor's state.
    A right-button press on a tab opens the voice's menu: copy, paste, label and choke group.
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

    /** Reads the saved scale and sizes the window by it, within the resize limits. */
    void applyScaleSetting();

    /** Titles voice voiceNumber's tab (1 to 7) after its label and places its pad before the text. */
    void updateVoiceTabLabel (int voiceNumber);

    /** Shows the panel named "voice1" to "voice7" and hides the others; any other name hides all. */
    void showPanel (const juce::String& panelName);

    /** Shows the panel named by the state's activePanel, "voice1" when it has none. */
    void restoreActivePanel();

    /** Builds the voice's menu, shows it at the mouse and carries out the choice. */
    void showVoiceMenu (int voiceNumber);

    /** Fills voiceMenu for the voice: Copy, Paste, then the Label and Choke Group submenus. */
    void buildVoiceMenu (int voiceNumber);

    /** Carries out a voice menu result (0 when the menu was dismissed). */
    void handleVoiceMenuResult (int voiceNumber, int result);

    /** Puts the voice's 19 sound settings on the clipboard as one line of text. */
    void copyVoiceToClipboard (int voiceNumber);

    /** Applies a voice text from the clipboard; anything unusable is left alone. */
    void pasteVoiceFromClipboard (int voiceNumber);

    /** A normalised value as the clipboard text writes it: six significant digits, like C's %g,
        whatever the locale. */
    static juce::String formatClipboardValue (double value);

    const juce::PopupMenu& getVoiceMenu() const noexcept           { return voiceMenu; }
    juce::TextButton& getVoiceTab (int voiceIndex) const           { return *voiceTabs[(size_t) voiceIndex]; }
    HexButton& getVoicePad (int voiceIndex) const                  { return *voicePads[(size_t) voiceIndex]; }
    DrumVoicePanel& getVoicePanel (int voiceIndex) const           { return *voicePanels[voiceIndex]; }
    float getCurrentScale() const noexcept                         { return currentScale; }

    /** Window widths the user can resize to; heights follow at the base aspect ratio. */
    static constexpr int minimumWidth = 600;
    static constexpr int maximumWidth = 2400;

private:
    void timerCallback() override;

    void setActivePanel (int voiceNumber);

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
    juce::OwnedArray<DrumVoicePanel> voicePanels; // deleted last to first
    SaveScaleTimer saveScaleTimer;
    float currentScale = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KestrinAudioProcessorEditor)
};
