#include "editor/EditorTestHelpers.h"

using namespace EditorTestHelpers;

TEST (Navbar, LogoMenuOpensTheUserGuideOrWarnsResetsTheScalingAndOffersOnlyARealWebSite)
{
    EXPECT_EQ (describe (Navbar::createLogoMenu ({})), "User guide=1 Reset GUI scaling=2 Visit web site=3!");
    EXPECT_EQ (describe (Navbar::createLogoMenu ("https://www.example.org/tombrel")), "User guide=1 Reset GUI scaling=2 Visit www.example.org=3");

    PresetEditor e;
    const auto guide = e.data.get().getChildFile ("Tombrel User Guide.pdf");

    for (const auto& makeGuide : std::vector<std::function<void()>> { [] {}, [&] { guide.createDirectory(); } })
    {
        makeGuide();
        e.editor->navbar.logoMenuItemChosen (1);
        EXPECT_EQ (takeAlert(), "WARNING. User guide does not exist!");
    }

    guide.deleteRecursively();
    guide.replaceWithText ("%PDF-1.4");
    e.editor->setSize (1324, 594);

    for (const auto item : { 1, 2, 3, 0 })
        e.editor->navbar.logoMenuItemChosen (item);

    EXPECT_EQ (takeAlert(), "");
    EXPECT_EQ (e.opened.joinIntoString (" "), (guide.getFullPathName() + " " + Navbar::getMakerWebsite()).trim());
    EXPECT_EQ (e.editor->getBounds(), juce::Rectangle<int> (40, 30, 883, 396));
}

TEST (Navbar, TogglesTheDialogsRescansAndBypassesWithAGreyIcon)
{
    PresetEditor e;

    for (const auto shown : { true, false })
    {
        e.clickNavbar (*e.editor->navbar.saveButton);
        EXPECT_EQ (e.dialog().isVisible(), shown);
        e.clickNavbar (*e.editor->navbar.settingsButton);
        EXPECT_EQ (e.editor->settingsDialog.isVisible(), shown);
    }

    e.add ("Factory Kits/New.qvtp");
    e.clickNavbar (*e.editor->navbar.refreshButton);
    EXPECT_TRUE (describe (e.editor->presetBrowser.getPresetMenu()).contains ("Factory Kits{New=5 Tom=6}"));
    EXPECT_TRUE (pumpUntil ([&] { return e.dialog().directoryList->getNumFiles() == 5; })) << "the rescan lists the new file";

    // A presets folder that has gone leaves empty lists.
    e.root.deleteRecursively();
    e.clickNavbar (*e.editor->navbar.refreshButton);
    EXPECT_EQ (describe (e.editor->presetBrowser.getPresetMenu()), "Organise...=9999");
    EXPECT_TRUE (pumpUntil ([&] { return e.dialog().directoryList->getNumFiles() == 0 && e.tree().getNumRowsInTree() == 0; }));

    auto& bypass = *e.editor->navbar.bypassButton;
    const auto bypassIsGrey = [&]
    {
        const auto image = e.snapshot();
        return inkOf (image, Palette::text, bypass.getBounds()).isEmpty() && ! inkOf (image, Palette::iconGrey, bypass.getBounds()).isEmpty();
    };

    for (const auto expected : { 1.0f, 0.0f })
    {
        bypass.triggerClick();
        pump();
        EXPECT_EQ (*e.processor.valueTreeState.getRawParameterValue (ParameterIds::paramBypassGlobal), expected);
        EXPECT_EQ (bypassIsGrey(), expected > 0.5f);
    }

    setValue (parameter (e.processor, ParameterIds::paramBypassGlobal), 1.0f);
    pump();
    EXPECT_TRUE (bypassIsGrey());
}

TEST (Navbar, EditorLooksRightWithTheSaveDialogAndWithThePresetMenuOpen)
{
    PresetEditor e;
    ASSERT_TRUE (e.processor.loadPresetFile (e.root.getChildFile ("Drums/Snare.qvtp").getFullPathName()));
    pump();
    const auto plain = e.snapshot();

    // The browser's arrows mirror each other about its middle, with the name between them.
    const auto left = inkOf (plain, Palette::buttonOutline, { 431, 10, 23, 27 }, 60), right = inkOf (plain, Palette::buttonOutline, { 703, 10, 23, 27 }, 60);
    EXPECT_EQ (left, right.withX (431 + 431 + 295 - right.getRight()));
    EXPECT_NEAR (inkOf (plain, Palette::buttonOutline, { 454, 12, 249, 24 }, 60).getCentreX(), 431 + 147, 3);

    e.clickNavbar (*e.editor->navbar.saveButton);
    ASSERT_TRUE (pumpUntil ([&] { return e.tree().getSelectedFile().getFileName() == "Snare.qvtp"; }));
    const auto withDialog = e.snapshot ("editor-save-dialog");
    e.clickNavbar (*e.editor->navbar.saveButton);

    // Dimmed around the box; the box, and the frame of the name field.
    for (const auto& [x, y, colour] : std::vector<std::tuple<int, int, juce::Colour>> {
             { 5, 200, {} }, { 240, 200, {} }, { 641, 200, {} }, { 440, 19, {} }, { 440, 376, {} }, { 241, 20, Palette::panelBackground },
             { 640, 375, Palette::panelBackground }, { 256, 80, Palette::divider }, { 625, 80, Palette::divider }, { 440, 94, Palette::divider } })
        EXPECT_TRUE (coloursNear (withDialog.getPixelAt (x, y), colour.isTransparent() ? plain.getPixelAt (x, y).overlaidWith (juce::Colour (0xBF000000)) : colour, 3))
            << x << ", " << y;

    EXPECT_TRUE (inkOf (withDialog, Palette::buttonOutline, { 242, 310, 398, 28 }, 40).isEmpty()) << "nothing between the tree and the buttons";

    // The menu runs its own event loop: as soon as it is open (before it can close itself when another test program takes the
    // focus), paint it over the editor where it stands on the screen, then close it.
    juce::Image withMenu;
    juce::Rectangle<int> menuArea;
    juce::Timer::callAfterDelay (1, [&]
    {
        if (auto* menu = juce::Component::getCurrentlyModalComponent(); menu != nullptr && menu != e.editor.get())
        {
            menuArea = menu->getScreenBounds() - e.editor->getScreenPosition();
            withMenu = juce::Image (juce::Image::ARGB, e.editor->getWidth(), juce::jmax (e.editor->getHeight(), menuArea.getBottom()), true);
            juce::Graphics g (withMenu);
            g.drawImageAt (e.snapshot(), 0, 0);
            g.drawImageAt (menu->createComponentSnapshot (menu->getLocalBounds()), menuArea.getX(), menuArea.getY());
        }

        juce::PopupMenu::dismissAllActiveMenus();
    });

    e.editor->presetBrowser.mouseDown (clickOn (child<juce::TextButton> (e.editor->presetBrowser)));
    ASSERT_TRUE (withMenu.isValid());
    saveImageForReview (withMenu, "editor-preset-menu");

    // Below the left arrow, at least as wide as the browser, the loaded preset ticked in its submenu.
    EXPECT_NEAR (menuArea.getX(), 431 + 1, 4);
    EXPECT_GE (menuArea.getY(), 10 + 26 - 1);
    EXPECT_GE (menuArea.getWidth(), 295);
    EXPECT_EQ (describe (e.editor->presetBrowser.getPresetMenu()),
               "Drums{Snare=1* Tom=2} Factory{Sub{Hat=3} Snare=4} Factory Kits{Tom=5} .qvtp=6 Kick=7 Kick.qvtp=8 | Organise...=9999");
    EXPECT_TRUE (coloursNear (withMenu.getPixelAt (menuArea.getX() + 10, menuArea.getBottom() - 3), Palette::panelBackground));
}
