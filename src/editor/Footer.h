#pragma once

#include "editor/LEDButton.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

class KestrinAudioProcessor;

/** The bar along the bottom: phase reset and the note-off light, both bound to their parameters. */
class Footer final : public juce::Component
{
public:
    explicit Footer (KestrinAudioProcessor& processorToUse);
    ~Footer() override;

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    KestrinAudioProcessor& processor;
    juce::Label phaseLabel;
    juce::Label obeyNoteOffLabel;

public:
    juce::ComboBox phaseComboBox;

private:
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> phaseAttachment;

public:
    /** The editor gives it the accent of the shown voice. */
    std::unique_ptr<LEDButton> obeyNoteOffButton;

private:
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> obeyNoteOffAttachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Footer)
};
