#include "editor/PresetBrowser.h"

#include "lookandfeel/Palette.h"
#include "processor/KestrinAudioProcessor.h"
#include "processor/StateIds.h"

#include <filesystem>

namespace
{
/** Natural order of the full paths without regard to case, as the system's file manager shows
    them: folders and files mixed on macOS, folders first elsewhere. Ties fall back to case so the
    order is stable. */
struct PresetEntryOrder
{
   #if JUCE_MAC
    static constexpr bool foldersFirst = false;
   #else
    static constexpr bool foldersFirst = true;
   #endif

    static int compareElements (const juce::File& a, const juce::File& b)
    {
        if (foldersFirst && a.isDirectory() != b.isDirectory())
            return a.isDirectory() ? -1 : 1;

        const auto byName = a.getFullPathName().compareNatural (b.getFullPathName(), false);
        return byName != 0 ? byName : a.getFullPathName().compare (b.getFullPathName());
    }
};

// Ids from here on belong to "Organise...".
constexpr int maxPresetItems = PresetBrowser::organiseItemId - 1;

juce::String realPathOf (const juce::File& folder)
{
    std::error_code error;
    const auto real = std::filesystem::canonical (folder.getFullPathName().toStdString(), error);
    return error ? folder.getFullPathName() : juce::String (real.string());
}
} // namespace

PresetBrowser::PresetBrowser (KestrinAudioProcessor& processorToUse) : processor (processorToUse)
{
    processor.addActionListener (this);

    addAndMakeVisible (nameBox);
    nameBox.setColour (juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
    nameBox.setColour (juce::TextButton::buttonOnColourId, juce::Colours::transparentBlack);
    nameBox.setColour (juce::TextButton::textColourOffId, Palette::buttonOutline);
    nameBox.setLookAndFeel (&presetNameLookAndFeel);
    nameBox.addListener (this);
    nameBox.addMouseListener (this, true);

    juce::Path chevron;
    chevron.startNewSubPath (8.0f, 5.5f);
    chevron.lineTo (13.0f, 12.5f);
    chevron.lineTo (8.0f, 19.5f);

    const auto makeArrow = [&chevron] (juce::Colour colour)
    {
        juce::DrawablePath arrow;
        arrow.setPath (chevron);
        arrow.setFill (juce::Colours::transparentBlack);
        arrow.setStrokeThickness (2.0f);
        arrow.setStrokeFill (colour);
        return arrow;
    };

    const auto normalArrow = makeArrow (Palette::buttonOutline);
    const auto downArrow = makeArrow (Palette::divider);

    for (auto* button : { &nextButton, &prevButton })
    {
        *button = std::make_unique<juce::DrawableButton> (button == &nextButton ? "nextButton" : "prevButton",
                                                         juce::DrawableButton::ImageRaw);
        (*button)->setImages (&normalArrow, nullptr, &downArrow);
        (*button)->setEdgeIndent (0);
        (*button)->addListener (this);
    }

    addAndMakeVisible (*nextButton);
    prevButton->setTransform (juce::AffineTransform::rotation (3.14159f, 11.0f, 13.5f));
    addAndMakeVisible (*prevButton);

    presetsFolder = processor.presetsFolderPath;
    refreshPresetList();
    nameBox.setButtonText (processor.getStateProperty (StateIds::presetName).toString());
}

PresetBrowser::~PresetBrowser()
{
    processor.removeActionListener (this);
    nameBox.setLookAndFeel (nullptr);
}

void PresetBrowser::refreshPresetList()
{
    presetMenu.clear();
    presetCount = 0;
    presetPaths.clear();
    currentPresetPath = processor.getStateProperty (StateIds::presetPath).toString();

    addPresetsFromFolder (presetMenu, presetsFolder);

    presetMenu.addSeparator();
    presetMenu.addItem (organiseItemId, "Organise...", true, false);
}

void PresetBrowser::addPresetsFromFolder (juce::PopupMenu& menu, juce::String folderPath)
{
    const juce::File folder (folderPath + "/");
    const auto realPath = realPathOf (folder);

    if (foldersBeingScanned.contains (realPath))
        return;

    juce::Array<juce::File> entries;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories))
        entries.add (entry.getFile());

    PresetEntryOrder order;
    entries.sort (order, true);

    foldersBeingScanned.add (realPath);

    for (const auto& entry : entries)
    {
        if (entry.isDirectory())
        {
            juce::PopupMenu subMenu;
            addPresetsFromFolder (subMenu, entry.getFullPathName());
            menu.addSubMenu (entry.getFileName(), subMenu, true);
        }
        else if (entry.getFileName().endsWith (StateIds::presetExtension) && presetCount < maxPresetItems)
        {
            const auto path = entry.getFullPathName();
            const auto id = ++presetCount;
            const auto isCurrent = path == currentPresetPath;

            menu.addItem (id, entry.getFileNameWithoutExtension(), true, isCurrent);
            presetPaths.add (path);

            if (isCurrent)
                currentPresetIndex = id;
        }
    }

    foldersBeingScanned.removeString (realPath);
}

void PresetBrowser::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent != &nameBox || menuShowing)
        return;

    menuShowing = true;
    const juce::Component::SafePointer<PresetBrowser> safeThis (this);
    const auto result = presetMenu.showAt (prevButton.get(), 0, getWidth(), 0, 0);

    // The host may close the editor while the menu runs its own event loop.
    if (safeThis == nullptr)
        return;

    presetMenuItemChosen (result);
    menuShowing = false;
}

void PresetBrowser::presetMenuItemChosen (int result)
{
    if (result == 0)
        return;

    if (result == organiseItemId)
    {
        revealFolder (juce::File (presetsFolder + "/"));
        return;
    }

    currentPresetIndex = result;
    loadPresetAt (result - 1);
}

void PresetBrowser::loadPresetAt (int index)
{
    processor.loadPresetFile (juce::isPositiveAndBelow (index, presetPaths.size()) ? presetPaths[index] : juce::String());
}

void PresetBrowser::paint (juce::Graphics& g)
{
    g.fillAll (Palette::panelBackground);
}

void PresetBrowser::resized()
{
    const auto w = getWidth();
    nameBox.setBounds (23, 2, w - 46, 24);
    prevButton->setBounds (-1, 1, 22, 25);
    nextButton->setBounds (w - 23, 1, 22, 25);
}

void PresetBrowser::buttonClicked (juce::Button* button)
{
    if (button == prevButton.get())
        currentPresetIndex = currentPresetIndex <= 1 ? presetCount : currentPresetIndex - 1;
    else if (button == nextButton.get())
        currentPresetIndex = currentPresetIndex < presetCount ? currentPresetIndex + 1 : 1;
    else
        return;

    loadPresetAt (currentPresetIndex - 1);
}

void PresetBrowser::actionListenerCallback (const juce::String& message)
{
    using Kind = BroadcastMessages::Kind;
    const auto kind = BroadcastMessages::read (message).kind;

    if (kind != Kind::presetLoaded && kind != Kind::presetSaved && kind != Kind::stateInformationSet)
        return;

    const auto name = processor.getStateProperty (StateIds::presetName).toString();

    if (name != nameBox.getButtonText())
        nameBox.setButtonText (name);

    refreshPresetList();
}
