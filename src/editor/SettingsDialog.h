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

    The map lives in the processor's state; the note editors are a view of it that the user edits
    by name. Names run from C0 (note 24) to B7 (note 119) and are shown with flats (Db3); any other
    note shows as "ERR". Its controls are public so that the editor's tests can drive them.
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

    /** The shown name of a MIDI note ("C3", "Db3"), or "ERR" outside 24 to 119. */
    juce::String noteNumberToName (int note) const;

    /** Shows the processor's current map in the seven note editors. */
    void refreshMidiMapEditors();

    /** Accepts a typed name in any case, with flats or sharps, and applies all rows; anything else
        puts every row back to the current map. */
    void validateNoteEntry (const juce::String& text, juce::TextEditor& editor);

    /** Hands the notes of the seven editors to the processor; a row without a valid name gets 60. */
    void applyMidiMapFromEditors();

    /** Takes every row as Return would, all at once: a valid name is applied, any other row shows
        its voice's note again. The map then is what the rows show. */
    void takeTypedNotes();

    /** Captions the row of voiceNumber (1 to 7) with its voice's drum-kind label; other numbers do nothing. */
    void updateVoiceLabel (int voiceNumber);

private:
    KestrinAudioProcessor& processor;

public:
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

private:
    /** The table index of a typed name, in any case, with flats or sharps; -1 when it is none. */
    int indexOfTypedName (const juce::String& text) const;
    /** The note of a name, or 60 when the text is not one. */
    int noteFromEditor (const juce::TextEditor& editor) const;
    void shiftOctave (int semitones);
    void learnButtonClicked (LEDButton& light);
    void noteLearned();
    /** The map in the processor's state, voices 1 to 7. */
    std::array<int, 7> currentNotes() const;
    void showNote (int voiceNumber, int note);

    std::vector<juce::String> flatNoteNames;
    std::vector<juce::String> sharpNoteNames;
    int boxY = 0;
    int boxHeight = 0;
    const int settingsRowCount = 3;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SettingsDialog)
};
