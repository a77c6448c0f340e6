#pragma once

#include "editor/LEDButton.h"
#include "lookandfeel/LookAndFeelTextEditorBordered.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <memory>
#include <vector>

class KestrinAudioProcessor;

/**
    The overlay with the note map (names, MIDI learn, octave shift, reset and save as default) and
    the three global settings: multi-channel output, oversampling and offline quality.
*/
class SettingsDialog final : public juce::Component,
                             public juce::Button::Listener,
                             public juce::ActionListener,
                             public juce::TextEditor::Listener
{
public:
    explicit SettingsDialog (KestrinAudioProcessor& processorToUse);
    ~SettingsDialog() override;

    /** Lays out the box, switches the learn lights off and shows the current note map. Call before showing. */
    void prepareToShow();

    void paint (juce::Graphics&) override;
    void resized() override;

    void buttonClicked (juce::Button*) override;
    void actionListenerCallback (const juce::String& message) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorFocusLost (juce::TextEditor&) override;

private:
    KestrinAudioProcessor& processor;
    std::unique_ptr<juce::DrawableButton> closeButton;
    LookAndFeelTextEditorBordered noteEditorLookAndFeel;
    juce::Label settingsTitle;
    juce::Label midiMapTitle;
    std::array<juce::Label, 7> voiceLabels;
    juce::Label oversamplingLabel;
    juce::Label offlineQualityLabel;
    juce::Label multiOutLabel;
    juce::Label octaveLabel;
    juce::ComboBox oversamplingBox;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> oversamplingAttachment;
    juce::ComboBox offlineQualityBox;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> offlineQualityAttachment;
    juce::ComboBox multiOutBox;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> multiOutAttachment;
    std::array<juce::TextEditor, 7> noteEditors;
    juce::TextEditor helpText;
    std::unique_ptr<juce::TextButton> resetButton;
    std::unique_ptr<juce::TextButton> saveButton;
    std::unique_ptr<juce::TextButton> octaveUpButton;
    std::unique_ptr<juce::TextButton> octaveDownButton;
    std::array<std::unique_ptr<LEDButton>, 7> learnButtons;
    std::vector<juce::String> flatNoteNames;
    std::vector<juce::String> sharpNoteNames;
    int boxY = 0;
    int boxHeight = 0;
    const int settingsRowCount = 3;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SettingsDialog)
};
