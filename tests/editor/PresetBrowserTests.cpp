#include "editor/ControlImages.h"
#include "editor/PresetTestHelpers.h"

#include "editor/PresetBrowser.h"
#include "lookandfeel/Palette.h"

using namespace PresetTest;

namespace
{
struct Browser : Presets
{
    Browser() { browser.setBounds (0, 0, 295, 27); }

    /** Loads through a menu choice and waits for the browser to follow. */
    void choose (int id)
    {
        browser.presetMenuItemChosen (id);
        pump();
    }

    void click (const char* buttonName)
    {
        browser.buttonClicked (findButton (browser, buttonName));
        pump();
    }

    juce::String shownName() { return findChild<juce::TextButton> (browser)->getButtonText(); }

    PresetBrowser browser { processor };
};
} // namespace

TEST (PresetBrowser, MenuListsPresetFilesFoldersFirstInNaturalOrderNumberedDepthFirst)
{
    Browser b;
    b.add ("B.qvtp");
    b.add ("a.qvtp");
    b.add ("Drums/Kick 10.qvtp");
    b.add ("Drums/Kick 2.qvtp");
    b.add ("Other/a.qvtp", "Stored Name");
    b.add (".hidden/X.qvtp");
    b.add ("Snare.QVTP");
    b.root.getChildFile ("notes.txt").replaceWithText ("not a preset");
    b.root.getChildFile ("Empty").createDirectory();
    b.browser.refreshPresetList();

    EXPECT_EQ (describe (b.browser.getPresetMenu()),
               ".hidden{X=1} Drums{Kick 2=2 Kick 10=3} Empty{} Other{a=4} a=5 B=6 | Organise...=9999");

    // Same file name in two folders: each id loads its own file, and only that one is ticked.
    b.choose (4);
    EXPECT_EQ (b.state (StateIds::presetPath), b.root.getChildFile ("Other/a.qvtp").getFullPathName());
    EXPECT_EQ (b.shownName(), "Stored Name");
    EXPECT_EQ (describe (b.browser.getPresetMenu()),
               ".hidden{X=1} Drums{Kick 2=2 Kick 10=3} Empty{} Other{a=4*} a=5 B=6 | Organise...=9999");

    b.choose (5);
    EXPECT_EQ (b.shownName(), "a");
    EXPECT_TRUE (describe (b.browser.getPresetMenu()).contains ("Other{a=4} a=5*"));

    // A link back to an enclosing folder is listed once, not followed forever.
    ASSERT_TRUE (b.root.createSymbolicLink (b.root.getChildFile ("Drums/Loop"), true));
    b.browser.refreshPresetList();
    EXPECT_TRUE (describe (b.browser.getPresetMenu()).startsWith (".hidden{X=1} Drums{Loop{} Kick 2=2 Kick 10=3}"))
        << describe (b.browser.getPresetMenu());

    // A presets folder that has gone leaves "Organise..." alone.
    b.root.deleteRecursively();
    b.browser.refreshPresetList();
    EXPECT_EQ (describe (b.browser.getPresetMenu()), "Organise...=9999");
}

TEST (PresetBrowser, StepsWrapAroundTheWholeTreeAndOrganiseLoadsNothing)
{
    Browser b;
    juce::Array<juce::File> revealed;
    b.browser.revealFolder = [&] (const juce::File& f) { revealed.add (f); };

    // No presets at all: each arrow tries a load that fails without any visible change.
    for (const auto* arrow : { "prevButton", "nextButton" })
    {
        b.click (arrow);
        EXPECT_EQ (b.shownName(), "Init");
        EXPECT_EQ (b.state (StateIds::presetPath), b.root.getChildFile ("Init.qvtp").getFullPathName());
    }

    // Menu order: Kits{Deep{Two=1} One=2} Three=3.
    const auto item2 = b.add ("Kits/One.qvtp"), item1 = b.add ("Kits/Deep/Two.qvtp"), item3 = b.add ("Three.qvtp");
    b.browser.refreshPresetList();

    const std::vector<std::pair<const char*, juce::File>> steps { { "prevButton", item3 }, { "nextButton", item1 }, { "nextButton", item2 },
                                                                  { "nextButton", item3 }, { "prevButton", item2 }, { "prevButton", item1 } };
    for (const auto& [arrow, expected] : steps)
    {
        b.click (arrow);
        EXPECT_EQ (b.state (StateIds::presetPath), expected.getFullPathName()) << arrow;
        EXPECT_EQ (b.shownName(), expected.getFileNameWithoutExtension());
    }

    b.choose (PresetBrowser::organiseItemId);
    b.choose (0);
    EXPECT_EQ (revealed, juce::Array<juce::File> { b.root });
    EXPECT_EQ (b.state (StateIds::presetPath), item1.getFullPathName());

    // The index stayed where the last step put it.
    b.click ("nextButton");
    EXPECT_EQ (b.state (StateIds::presetPath), item2.getFullPathName());
}

TEST (PresetBrowser, HostStateRestoreShowsTheRestoredNameAndTick)
{
    Browser b;
    b.add ("Kick.qvtp", "Big Kick");
    b.add ("Snare.qvtp");
    b.browser.refreshPresetList();
    b.choose (1);

    juce::MemoryBlock saved;
    b.processor.getStateInformation (saved);
    b.choose (2);
    EXPECT_EQ (b.shownName(), "Snare");

    b.processor.setStateInformation (saved.getData(), (int) saved.getSize());
    pump();
    EXPECT_EQ (b.shownName(), "Big Kick");
    EXPECT_EQ (describe (b.browser.getPresetMenu()), "Kick=1* Snare=2 | Organise...=9999");
}

TEST (PresetBrowser, ListsAThousandPresetsInFiftyFoldersQuickly)
{
    Browser b;
    const auto preset = b.add ("Folder 1/Preset 1.qvtp");

    for (int folder = 1; folder <= 50; ++folder)
        for (int i = 1; i <= 20; ++i)
        {
            const auto copy = b.root.getChildFile ("Folder " + juce::String (folder) + "/Preset " + juce::String (i) + ".qvtp");
            copy.getParentDirectory().createDirectory();
            preset.copyFileTo (copy);
        }

    const auto start = juce::Time::getMillisecondCounterHiRes();
    b.browser.refreshPresetList();
    const auto elapsed = juce::Time::getMillisecondCounterHiRes() - start;

    EXPECT_LT (elapsed, 300.0);
    const auto menu = describe (b.browser.getPresetMenu());
    EXPECT_TRUE (menu.startsWith ("Folder 1{Preset 1=1 Preset 2=2 ")) << menu.substring (0, 80);
    EXPECT_TRUE (menu.contains ("Folder 2{Preset 1=21 ")) << menu.substring (0, 400);
    EXPECT_TRUE (menu.endsWith ("Preset 20=1000} | Organise...=9999")) << menu.getLastCharacters (80);
}

TEST (PresetBrowser, PaintsTheNameBetweenMirroredArrows)
{
    Browser b;
    const auto image = ControlImages::paintAndSave (b.browser, "presetbrowser");
    const auto inkIn = [&image] (juce::Rectangle<int> area)
    {
        juce::Rectangle<int> ink;

        for (auto y = area.getY(); y < area.getBottom(); ++y)
            for (auto x = area.getX(); x < area.getRight(); ++x)
                if (ControlImages::coloursNear (image.getPixelAt (x, y), Palette::buttonOutline, 60))
                    ink = ink.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : ink.getUnion ({ x, y, 1, 1 });

        return ink;
    };

    EXPECT_TRUE (ControlImages::coloursNear (image.getPixelAt (150, 3), Palette::panelBackground));

    // Chevrons of 5 x 14 with their tips pointing outwards, mirrored about the middle.
    const auto left = inkIn ({ 0, 0, 23, 27 }), right = inkIn ({ 272, 0, 23, 27 });
    EXPECT_NEAR (left.getX(), 9, 1);
    EXPECT_NEAR (left.getRight(), 16, 1);
    EXPECT_NEAR (right.getX(), 279, 1);
    EXPECT_NEAR (right.getRight(), 286, 1);
    EXPECT_EQ (left.getY(), right.getY());
    EXPECT_NEAR (left.getHeight(), 16, 1);
    EXPECT_TRUE (ControlImages::coloursNear (image.getPixelAt (10, 13), Palette::buttonOutline, 60));
    EXPECT_TRUE (ControlImages::coloursNear (image.getPixelAt (284, 13), Palette::buttonOutline, 60));

    // "Init" in the middle of the box, small.
    const auto name = inkIn ({ 23, 2, 249, 24 });
    EXPECT_NEAR (name.getCentreX(), 147, 2);
    EXPECT_NEAR (name.getCentreY(), 14, 2);
    EXPECT_LT (name.getHeight(), 11);
}
