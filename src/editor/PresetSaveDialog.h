#pragma once

#include "lookandfeel/LookAndFeelTextOnlyButton.h"

#include <functional>
#include <memory>

class KestrinAudioProcessor;
class SelectDeeplyNestedFile;

/**
    The overlay that saves the current sound as a preset file: a name field, a tree of the presets
    folder, "SAVE" / "OVERWRITE", "Organise..." and a close cross. It preselects the current preset
    after every load and every rescan of its folder listing.
*/
class PresetSaveDialog final : public juce::Component,
                               public juce::Button::Listener,
                               public juce::FileBrowserListener,
                               public juce::ActionListener,
                               private juce::Timer
{
public:
    explicit PresetSaveDialog (KestrinAudioProcessor& processorToUse);
    ~PresetSaveDialog() override;

    /** Makes path the target and opens the tree down to it. */
    void selectPresetFile (const juce::String& path);
    void setFileName (const juce::String& name);
    void updateSaveButton();

    /** Lists the folders again and selects the current preset once the listing is complete. */
    void refreshFolderListing();

    /** Shows a folder in the system's file manager; replaceable so that tests launch nothing. */
    std::function<void (const juce::File&)> revealFolder = [] (const juce::File& folder) { folder.revealToUser(); };

    void paint (juce::Graphics&) override;
    void resized() override;

    void buttonClicked (juce::Button*) override;
    void fileClicked (const juce::File&, const juce::MouseEvent&) override;
    void selectionChanged() override {}
    void fileDoubleClicked (const juce::File&) override {}
    void browserRootChanged (const juce::File&) override {}
    void actionListenerCallback (const juce::String& message) override;

private:
    void timerCallback() override;
    void hideThroughEditor();
    /** Whether the name the target carries can be one file name in its folder. */
    bool canSaveShownName() const;

    KestrinAudioProcessor& processor;
    std::unique_ptr<juce::DrawableButton> closeButton;
    std::unique_ptr<juce::FileFilter> fileFilter;
    juce::Label titleLabel;
    std::unique_ptr<juce::TextButton> saveButton;
    juce::String presetsFolder;
    juce::String currentFolder;
    juce::String fileName;
    juce::TextEditor nameEditor;
    LookAndFeelTextOnlyButton textOnlyLookAndFeel;
    std::unique_ptr<juce::TextButton> organiseButton;
    juce::TimeSliceThread scanningThread { "Directory Contents Scanning Thread" };

public:
    std::unique_ptr<juce::DirectoryContentsList> directoryList;
private:
    std::unique_ptr<juce::FileTreeComponent> fileTree;
    std::unique_ptr<SelectDeeplyNestedFile> treeOpener;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetSaveDialog)
};
