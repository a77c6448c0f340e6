#include "editor/Navbar.h"

#include "BinaryData.h"
#include "editor/KestrinAudioProcessorEditor.h"
#include "lookandfeel/Palette.h"
#include "processor/KestrinAudioProcessor.h"
#include "processor/ParameterIds.h"

#ifndef TOMBREL_MAKER_WEBSITE
 #define TOMBREL_MAKER_WEBSITE ""
#endif

namespace
{
enum LogoMenuItem
{
    userGuideItem = 1,
    resetScalingItem,
    websiteItem
};

constexpr const char* userGuideFileName = "Tombrel User Guide.pdf";

std::unique_ptr<juce::Drawable> createIcon (const char* svgData, int svgSize, juce::Colour colour)
{
    const auto xml = juce::parseXML (juce::String::fromUTF8 (svgData, svgSize));
    auto icon = xml != nullptr ? juce::Drawable::createFromSVG (*xml) : nullptr;

    if (icon != nullptr)
        icon->replaceColour (juce::Colours::black, colour);

    return icon;
}

std::unique_ptr<juce::DrawableButton> createIconButton (const juce::String& name, juce::DrawableButton::ButtonStyle style, int edgeIndent)
{
    auto button = std::make_unique<juce::DrawableButton> (name, style);
    button->setEdgeIndent (edgeIndent);
    button->setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentBlack);
    return button;
}
} // namespace

Navbar::Navbar (KestrinAudioProcessor& processorToUse) : processor (processorToUse)
{
    processor.addActionListener (this);

    logoIcon = createIcon (TombrelBinary::logo_svg, TombrelBinary::logo_svgSize, Palette::text);
    logoButton = createIconButton ("logoButton", juce::DrawableButton::ImageRaw, 0);
    logoButton->setImages (logoIcon.get(), nullptr, logoIcon.get());
    logoButton->addListener (this);
    addAndMakeVisible (*logoButton);

    logoMenu = createLogoMenu (getMakerWebsite());

    bypassIcon = createIcon (TombrelBinary::bypass_svg, TombrelBinary::bypass_svgSize, Palette::text);
    bypassOnIcon = createIcon (TombrelBinary::bypass_svg, TombrelBinary::bypass_svgSize, Palette::iconGrey);
    bypassButton = createIconButton ("BypassButton", juce::DrawableButton::ImageFitted, 3);
    bypassButton->setImages (bypassIcon.get(), nullptr, nullptr, nullptr, bypassOnIcon.get());
    bypassButton->setClickingTogglesState (true);
    bypassAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (
        processor.valueTreeState, ParameterIds::paramBypassGlobal, *bypassButton);
    addAndMakeVisible (*bypassButton);

    const auto makeButton = [this] (const char* name, const char* svgData, int svgSize,
                                    std::unique_ptr<juce::Drawable>& icon, std::unique_ptr<juce::Drawable>& downIcon)
    {
        icon = createIcon (svgData, svgSize, Palette::text);
        downIcon = createIcon (svgData, svgSize, Palette::iconGrey);
        auto button = createIconButton (name, juce::DrawableButton::ImageFitted, 3);
        button->setImages (icon.get(), nullptr, downIcon.get());
        button->addListener (this);
        addAndMakeVisible (*button);
        return button;
    };

    settingsButton = makeButton ("settingsButton", TombrelBinary::settings_svg, TombrelBinary::settings_svgSize, settingsIcon, settingsDownIcon);
    saveButton = makeButton ("saveButton", TombrelBinary::save_svg, TombrelBinary::save_svgSize, saveIcon, saveDownIcon);
    refreshButton = makeButton ("refreshButton", TombrelBinary::refresh_svg, TombrelBinary::refresh_svgSize, refreshIcon, refreshDownIcon);
}

Navbar::~Navbar()
{
    processor.removeActionListener (this);
    bypassAttachment.reset();
}

juce::PopupMenu Navbar::createLogoMenu (const juce::String& websiteAddress)
{
    juce::PopupMenu menu;
    menu.addItem (userGuideItem, "User guide");
    menu.addItem (resetScalingItem, "Reset GUI scaling");

    // Without an address the item says so by being disabled rather than pointing anywhere.
    const auto domain = juce::URL (websiteAddress).getDomain();
    menu.addItem (websiteItem, domain.isEmpty() ? juce::String ("Visit web site") : "Visit " + domain, domain.isNotEmpty());
    return menu;
}

juce::String Navbar::getMakerWebsite()
{
    return TOMBREL_MAKER_WEBSITE;
}

void Navbar::paint (juce::Graphics& g)
{
    g.fillAll (Palette::barBackground);
    g.setColour (Palette::panelBackground);
    g.drawRect (415, 0, 1, getHeight(), 1);
    g.drawRect (getWidth() - 78, 0, 1, getHeight(), 1);
}

void Navbar::resized()
{
    const auto w = getWidth();
    logoButton->setBounds (15, 9, 126, 34);
    bypassButton->setBounds (w - 36, 12, 25, 25);
    settingsButton->setBounds (w - 65, 12, 25, 25);
    saveButton->setBounds (733, 12, 25, 25);
    refreshButton->setBounds (760, 12, 36, 25);
}

void Navbar::buttonClicked (juce::Button* button)
{
    if (button == logoButton.get())
    {
        if (logoMenuShowing)
            return;

        logoMenuShowing = true;
        const juce::Component::SafePointer<Navbar> safeThis (this);
        const auto result = logoMenu.showAt (logoButton.get(), 0, 250, 0, 0);

        // The host may close the editor while the menu runs its own event loop.
        if (safeThis == nullptr)
            return;

        logoMenuItemChosen (result);
        logoMenuShowing = false;
        return;
    }

    auto* editor = findParentComponentOfClass<KestrinAudioProcessorEditor>();

    if (editor == nullptr)
        return;

    if (button == saveButton.get())
    {
        editor->presetSaveDialog.setVisible (! editor->presetSaveDialog.isVisible());
    }
    else if (button == refreshButton.get())
    {
        editor->presetBrowser.refreshPresetList();
        editor->presetSaveDialog.refreshFolderListing();
    }
    else if (button == settingsButton.get())
    {
        auto& dialog = editor->settingsDialog;

        if (! dialog.isVisible())
        {
            dialog.prepareToShow();
            dialog.setVisible (true);
        }
        else
        {
            processor.midiLearnArmed = false;
            dialog.setVisible (false);
        }
    }
}

void Navbar::logoMenuItemChosen (int result)
{
    if (result == userGuideItem)
    {
        const auto guide = juce::File (processor.dataFolderPath).getChildFile (userGuideFileName);

        if (guide.existsAsFile())
            openDocument (guide);
        else
            juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::NoIcon, "WARNING", "User guide does not exist!");
    }
    else if (result == resetScalingItem)
    {
        if (auto* editor = findParentComponentOfClass<KestrinAudioProcessorEditor>())
            editor->setBounds (editor->getX(), editor->getY(), editor->baseWidth, editor->baseHeight);
    }
    else if (result == websiteItem && getMakerWebsite().isNotEmpty())
    {
        openWebsite (juce::URL (getMakerWebsite()));
    }
}

void Navbar::actionListenerCallback (const juce::String&)
{
}
