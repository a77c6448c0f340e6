#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
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

    /** Acts on a result of the logo menu: 1 user guide, 2 reset the scaling, 3 the maker's web site. */
    void logoMenuItemChosen (int result);

    /** The logo menu; without a web address its third item is shown disabled. */
    static juce::PopupMenu createLogoMenu (const juce::String& websiteAddress);

    /** The maker's web address as set for this build; empty when none was given. */
    static juce::String getMakerWebsite();

    /** Open a file in its default application and a web address in the browser; replaceable so that tests launch nothing. */
    std::function<void (const juce::File&)> openDocument = [] (const juce::File& file) { juce::Process::openDocument (file.getFullPathName(), {}); };
    std::function<void (const juce::URL&)> openWebsite = [] (const juce::URL& url) { url.launchInDefaultBrowser(); };

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
