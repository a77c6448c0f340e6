#include "editor/EditorTestHelpers.h"

using namespace EditorTestHelpers;

namespace
{
struct Browser : Processor
{
    void choose (int id)           { browser.presetMenuItemChosen (id); settle(); }
    void click (const char* arrow) { browser.buttonClicked (&child<juce::Button> (browser, arrow)); settle(); }

    /** A load shows its preset's name once its message has arrived, later on a loaded machine; the loads here
        change the name each time, and a failed one sends nothing. */
    void settle() { pumpUntil ([this] { return shownName() == state (StateIds::presetName); }); }
    juce::String menu()            { return describe (browser.getPresetMenu()); }
    juce::String shownName()       { return child<juce::TextButton> (browser).getButtonText(); }

    PresetBrowser browser { processor };
};
} // namespace

TEST (PresetBrowser, MenuListsPresetFilesFoldersFirstInNaturalOrderAndFollowsLoadsAndHostStates)
{
    Browser b;

    for (const auto* path : { "B.qvtp", "a.qvtp", "Drums/Kick 10.qvtp", "Drums/Kick 2.qvtp", ".hidden/X.qvtp", "Snare.QVTP", "notes.txt" })
        b.add (path);

    b.add ("Other/a.qvtp", "Stored Name");
    b.root.getChildFile ("Empty").createDirectory();
    b.browser.refreshPresetList();
    EXPECT_EQ (b.menu(), ".hidden{X=1} Drums{Kick 2=2 Kick 10=3} Empty{} Other{a=4} a=5 B=6 | Organise...=9999");

    // The same file name in two folders: each id loads its own file, and only that one is ticked.
    b.choose (4);
    EXPECT_EQ (b.state (StateIds::presetPath), b.root.getChildFile ("Other/a.qvtp").getFullPathName());
    EXPECT_EQ (b.shownName(), "Stored Name");
    EXPECT_TRUE (b.menu().contains ("Other{a=4*} a=5 B=6")) << b.menu();

    juce::MemoryBlock hostState;
    b.processor.getStateInformation (hostState);
    b.choose (5);
    EXPECT_EQ (b.shownName(), "a");
    EXPECT_TRUE (b.menu().contains ("Other{a=4} a=5* B=6")) << b.menu();

    b.processor.setStateInformation (hostState.getData(), (int) hostState.getSize());
    b.settle();
    EXPECT_EQ (b.shownName(), "Stored Name");
    EXPECT_TRUE (b.menu().contains ("Other{a=4*} a=5 B=6")) << b.menu();

    // A link back to an enclosing folder is listed, not followed forever.
    ASSERT_TRUE (b.root.createSymbolicLink (b.root.getChildFile ("Drums/Loop"), true));
    b.browser.refreshPresetList();
    EXPECT_TRUE (b.menu().startsWith (".hidden{X=1} Drums{Loop{} Kick 2=2 Kick 10=3}")) << b.menu();
}

TEST (PresetBrowser, ArrowsWrapAroundTheWholeTreeAndOrganiseLoadsNothing)
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

    for (const auto& [arrow, expected] : std::vector<std::pair<const char*, juce::File>> {
             { "prevButton", item3 }, { "nextButton", item1 }, { "nextButton", item2 }, { "nextButton", item3 }, { "prevButton", item2 },
             { "prevButton", item1 } })
    {
        b.click (arrow);
        EXPECT_EQ (b.state (StateIds::presetPath), expected.getFullPathName()) << arrow;
        EXPECT_EQ (b.shownName(), expected.getFileNameWithoutExtension());
    }

    b.choose (PresetBrowser::organiseItemId);
    b.choose (0);
    EXPECT_EQ (revealed, juce::Array<juce::File> { b.root });
    b.click ("nextButton");
    EXPECT_EQ (b.state (StateIds::presetPath), item2.getFullPathName());
}

TEST (PresetBrowser, ListsAThousandPresetsInFiftyFoldersQuickly)
{
    Browser b;
    const auto preset = b.add ("Folder 1/Preset 1.qvtp");

    for (int i = 1; i < 1000; ++i)
    {
        const auto copy = b.root.getChildFile ("Folder " + juce::String (i / 20 + 1) + "/Preset " + juce::String (i % 20 + 1) + ".qvtp");
        copy.getParentDirectory().createDirectory();
        preset.copyFileTo (copy);
    }

    // The quickest of three, so that a pause of a loaded machine doesn't count; slower under a sanitizer.
    auto quickest = std::numeric_limits<double>::max();
    for (int run = 0; run < 3; ++run)
    {
        const auto start = juce::Time::getMillisecondCounterHiRes();
        b.browser.refreshPresetList();
        quickest = std::min (quickest, juce::Time::getMillisecondCounterHiRes() - start);
    }
    EXPECT_LT (quickest, 300.0 * sanitizerSlowdown);
    EXPECT_TRUE (b.menu().startsWith ("Folder 1{Preset 1=1 Preset 2=2 ")) << b.menu().substring (0, 80);
    EXPECT_TRUE (b.menu().contains ("Folder 2{Preset 1=21 ")) << b.menu().substring (0, 400);
    EXPECT_TRUE (b.menu().endsWith ("Preset 20=1000} | Organise...=9999")) << b.menu().getLastCharacters (80);
}
