#include "editor/PresetSaveDialog.h"

#include "editor/CrossPath.h"
#include "editor/KestrinAudioProcessorEditor.h"
#include "editor/PresetFileFilter.h"
#include "editor/SelectDeeplyNestedFile.h"
#include "editor/WriteFailureAlert.h"
#include "lookandfeel/Fonts.h"
#include "lookandfeel/Palette.h"
#include "processor/KestrinAudioProcessor.h"
#include "processor/StateIds.h"

namespace
{
constexpr int saveButtonRight = 626;
constexpr int buttonHeight = 24;
} // namespace

PresetSaveDialog::PresetSaveDialog (KestrinAudioProcessor& processorToUse) : processor (processorToUse)
{
    processor.addActionListener (this);

    addAndMakeVisible (titleLabel);
    titleLabel.setColour (juce::Label::textColourId, Palette::text);
    titleLabel.setJustificationType (juce::Justification::centredTop);
    titleLabel.setText ("SAVE PATCH", juce::dontSendNotification);
    titleLabel.setFont (getCondensedSemiboldFont().withHeight (15.0f));

    addAndMakeVisible (nameEditor);
    nameEditor.setMultiLine (false);
    nameEditor.setSelectAllWhenFocused (true);
    nameEditor.setFont (juce::Font (12.0f));
    nameEditor.setText (fileName, false);
    nameEditor.onTextChange = [this]
    {
        fileName = nameEditor.getText() + StateIds::presetExtension;
        updateSaveButton();
    };

    const auto cross = createCrossPath();
    cross->setStrokeFill (Palette::buttonOutline);
    const auto downCross = createCrossPath();
    downCross->setStrokeFill (Palette::divider);
    closeButton = std::make_unique<juce::DrawableButton> ("closeButton", juce::DrawableButton::ImageFitted);
    closeButton->setImages (cross.get(), nullptr, downCross.get());
    closeButton->setEdgeIndent (0);
    closeButton->setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentBlack);
    closeButton->addListener (this);
    addAndMakeVisible (*closeButton);

    saveButton = std::make_unique<juce::TextButton>();
    saveButton->setToggleState (true, juce::dontSendNotification);
    saveButton->addListener (this);
    addAndMakeVisible (*saveButton);

    organiseButton = std::make_unique<juce::TextButton>();
    organiseButton->addListener (this);
    organiseButton->setButtonText ("Organise...");
    organiseButton->setLookAndFeel (&textOnlyLookAndFeel);
    organiseButton->setToggleState (true, juce::dontSendNotification);
    addAndMakeVisible (*organiseButton);

    presetsFolder = processor.presetsFolderPath;
    currentFolder = presetsFolder;

    fileFilter = std::make_unique<PresetFileFilter>();
    // Listing folders may wait on the disk; it should never compete with the interface.
    scanningThread.startThread (juce::Thread::Priority::low);
    directoryList = std::make_unique<juce::DirectoryContentsList> (fileFilter.get(), scanningThread);
    // A preset saved under a name starting with "." is listed too, so that it is preselected after the save.
    directoryList->setIgnoresHiddenFiles (false);
    directoryList->setDirectory (juce::File (currentFolder), true, true);

    fileTree = std::make_unique<juce::FileTreeComponent> (*directoryList);
    fileTree->addListener (this);
    addAndMakeVisible (*fileTree);

    startTimer (100);
}

PresetSaveDialog::~PresetSaveDialog()
{
    fileTree.reset();
    directoryList.reset();
    scanningThread.stopThread (10000);
    organiseButton->setLookAndFeel (nullptr);
    processor.removeActionListener (this);
}

void PresetSaveDialog::selectPresetFile (const juce::String& path)
{
    // The path comes from a host's saved state as well: only a full path names a folder to save into.
    if (! juce::File::isAbsolutePath (path))
        return;

    const juce::File file (path);
    currentFolder = file.getParentDirectory().getFullPathName();
    setFileName (file.getFileName());
    treeOpener = std::make_unique<SelectDeeplyNestedFile> (*fileTree, file);
}

void PresetSaveDialog::setFileName (const juce::String& name)
{
    const auto extensionStart = name.lastIndexOf (StateIds::presetExtension);
    const auto shownName = extensionStart >= 1 ? name.substring (0, extensionStart) : juce::String();

    // The target follows the name shown, so that it is always a preset file however the given name ends.
    fileName = shownName + StateIds::presetExtension;
    updateSaveButton();
    nameEditor.setText (shownName, true);
}

void PresetSaveDialog::updateSaveButton()
{
    const juce::File target (currentFolder + "/" + fileName);
    const auto overwrites = target.existsAsFile();
    const auto isProtected = overwrites && currentFolder.endsWith ("/Factory");
    // The name is saved exactly as shown, so a name that cannot be one file name is refused where it is typed.
    const auto isRefused = isProtected || ! canSaveShownName();

    saveButton->setButtonText (overwrites ? "OVERWRITE" : "SAVE");
    saveButton->setEnabled (! isRefused);
    saveButton->setAlpha (isRefused ? 0.5f : 1.0f);
    saveButton->changeWidthToFitText (buttonHeight);
    saveButton->setBounds (saveButtonRight - saveButton->getWidth(), 340, saveButton->getWidth(), buttonHeight);
}

bool PresetSaveDialog::canSaveShownName() const
{
    const juce::String extension (StateIds::presetExtension);
    return fileName.endsWith (extension) && PresetFileFilter::isSaveableName (fileName.dropLastCharacters (extension.length()));
}

void PresetSaveDialog::refreshFolderListing()
{
    // A list whose folder has gone would keep showing its old rows: emptying it tells the tree.
    if (directoryList->getDirectory().isDirectory())
        directoryList->refresh();
    else
        directoryList->clear();

    stopTimer();
    startTimer (100);
}

void PresetSaveDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xBF000000));
    g.setColour (Palette::panelBackground);
    g.fillRect (241, 20, 400, 356);
    g.setColour (Palette::divider);
    g.drawRect (256, 71, 370, 24, 1);
}

void PresetSaveDialog::resized()
{
    titleLabel.setBounds (256, 40, 370, 30);
    closeButton->setBounds (616, 30, 15, 15);
    nameEditor.setBounds (258, 73, 364, 20);
    fileTree->setBounds (256, 106, 370, 200);

    organiseButton->changeWidthToFitText (buttonHeight);
    organiseButton->setBounds (256, 341, organiseButton->getWidth(), buttonHeight);
    saveButton->changeWidthToFitText (buttonHeight);
    saveButton->setBounds (saveButtonRight - saveButton->getWidth(), 340, saveButton->getWidth(), buttonHeight);
}

void PresetSaveDialog::buttonClicked (juce::Button* button)
{
    if (button == closeButton.get())
    {
        hideThroughEditor();
    }
    else if (button == organiseButton.get())
    {
        revealFolder (juce::File (presetsFolder + "/"));
    }
    else if (button == saveButton.get())
    {
        // The field's change message may still be on its way.
        fileName = nameEditor.getText() + StateIds::presetExtension;
        updateSaveButton();

        if (! saveButton->isEnabled())
            return;

        const juce::File target (currentFolder + "/" + fileName);

        if (! processor.savePresetFile (target.getFullPathName()))
        {
            showWriteFailure (target, "The preset was not saved.", this);
            return;
        }

        refreshFolderListing();
        hideThroughEditor();
    }
}

void PresetSaveDialog::hideThroughEditor()
{
    if (auto* editor = findParentComponentOfClass<KestrinAudioProcessorEditor>())
        editor->presetSaveDialog.setVisible (false);
}

void PresetSaveDialog::fileClicked (const juce::File& file, const juce::MouseEvent&)
{
    if (file.isDirectory())
    {
        currentFolder = file.getFullPathName();
    }
    else
    {
        currentFolder = file.getParentDirectory().getFullPathName();
        setFileName (file.getFileName());
    }

    updateSaveButton();
}

void PresetSaveDialog::actionListenerCallback (const juce::String& message)
{
    if (BroadcastMessages::read (message).kind == BroadcastMessages::Kind::presetLoaded)
        selectPresetFile (processor.getStateProperty (StateIds::presetPath).toString());
}

void PresetSaveDialog::timerCallback()
{
    if (directoryList->isStillLoading())
        return;

    stopTimer();
    selectPresetFile (processor.getStateProperty (StateIds::presetPath).toString());
}
