#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

class KestrinAudioProcessor;

/**
    The bar across the top: the logo and its menu, the preset save and refresh buttons, and the
    settings and bypass buttons. The dialogs and the preset browser it acts on are the editor's.
*/
class Navbar final : public juce::Component,
                     public juce::Button::Listener,
                     public juce::ActionListener
{
public:
    explicit Navbar (KestrinAudioProcessor& processorToUse);
    ~Navbar() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    void buttonClicked (juce::Button*) override;
    void actionListenerCallback (const juce::String& message) override;

private:
    KestrinAudioProcessor& processor;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> bypassAttachment;

public:
    std::unique_ptr<juce::DrawableButton> logoButton;

private:
    std::unique_ptr<juce::Drawable> logoIcon;

public:
    std::unique_ptr<juce::DrawableButton> bypassButton;

private:
    std::unique_ptr<juce::Drawable> bypassIcon, bypassOnIcon;

public:
    std::unique_ptr<juce::DrawableButton> settingsButton;

private:
    std::unique_ptr<juce::Drawable> settingsIcon, settingsDownIcon;

public:
    std::unique_ptr<juce::DrawableButton> saveButton;

private:
    std::unique_ptr<juce::Drawable> saveIcon, saveDownIcon;

public:
    std::unique_ptr<juce::DrawableButton> refreshButton;

private:
    std::unique_ptr<juce::Drawable> refreshIcon, refreshDownIcon;
    juce::PopupMenu logoMenu;
    bool logoMenuShowing = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Navbar)
};
