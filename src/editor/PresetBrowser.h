#pragma once

#include "lookandfeel/LookAndFeelPresetName.h"

#include <functional>
#include <memory>

class KestrinAudioProcessor;

/**
    The strip in the top bar with the current preset's name, the previous and next arrows and the
    menu of every preset file under the presets folder.
*/
class PresetBrowser final : public juce::Component,
                            public juce::Button::Listener,
                            public juce::ActionListener
{
public:
    explicit PresetBrowser (KestrinAudioProcessor& processorToUse);
    ~PresetBrowser() override;

    /** Rescans the presets folder and rebuilds the menu. */
    void refreshPresetList();

    /** Acts on a result of the preset menu: 0 dismissed, 9999 "Organise...", else the preset with that id. */
    void presetMenuItemChosen (int result);

    const juce::PopupMenu& getPresetMenu() const noexcept { return presetMenu; }

    static constexpr int organiseItemId = 9999;

    /** Shows a folder in the system's file manager; replaceable so that tests launch nothing. */
    std::function<void (const juce::File&)> revealFolder = [] (const juce::File& folder) { folder.revealToUser(); };

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    void buttonClicked (juce::Button*) override;
    void actionListenerCallback (const juce::String& message) override;

private:
    void addPresetsFromFolder (juce::PopupMenu& menu, juce::String folderPath);
    void loadPresetAt (int index);

    KestrinAudioProcessor& processor;
    std::unique_ptr<juce::DrawableButton> nextButton;
    std::unique_ptr<juce::DrawableButton> prevButton;
    LookAndFeelPresetName presetNameLookAndFeel;
    juce::TextButton nameBox;
    juce::String presetsFolder;
    int presetCount = 0;
    int currentPresetIndex = 1;
    juce::String currentPresetPath;
    juce::StringArray presetPaths;
    juce::PopupMenu presetMenu;
    bool menuShowing = false;
    /** Real paths of the folders being scanned, so that a link back to one of them isn't followed forever. */
    juce::StringArray foldersBeingScanned;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetBrowser)
};
