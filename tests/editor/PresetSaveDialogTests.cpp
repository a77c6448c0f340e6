#include "editor/PresetTestHelpers.h"

#include "editor/PresetSaveDialog.h"
#include "lookandfeel/Palette.h"

using namespace PresetTest;

namespace
{
struct Dialog : Presets
{
    std::unique_ptr<PresetSaveDialog> dialog = [this]
    {
        for (const auto* path : { "Kick.qvtp", "Kick.qvtp.qvtp", ".qvtp", "Factory/Snare.qvtp", "Factory/Sub/Hat.qvtp", "Factory Kits/Tom.qvtp" })
            add (path);

        auto d = std::make_unique<PresetSaveDialog> (processor);
        d->setBounds (0, 0, 883, 396);
        return d;
    }();

    /** Waits for the first listing, after which the dialog selects the current preset. */
    bool listed() { return pumpUntil ([this] { return saveButton().getButtonText().isNotEmpty(); }); }

    juce::TextEditor& nameField()    { return *findChild<juce::TextEditor> (*dialog); }
    juce::FileTreeComponent& tree()  { return *findChild<juce::FileTreeComponent> (*dialog); }
    juce::TextButton& saveButton()   { return *findChild<juce::TextButton> (*dialog, [] (auto& b) { return b.getButtonText() != "Organise..."; }); }
    void click (const juce::String& path) { dialog->fileClicked (root.getChildFile (path), clickOn (tree())); pump(); }
    void type (const juce::String& name)  { nameField().setText (name, true); pump(); }
    void save()                           { dialog->buttonClicked (&saveButton()); }

    /** The name field, the button's text, and how it is shown when it is disabled; its right edge stays at 626. */
    juce::String target()
    {
        auto& button = saveButton();
        EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (626 - button.getBestWidthForHeight (24), 340, button.getBestWidthForHeight (24), 24));
        return nameField().getText() + " " + button.getButtonText() + (button.isEnabled() ? "" : " disabled")
             + (button.getAlpha() == 1.0f ? "" : " at " + juce::String (button.getAlpha(), 1));
    }
};
} // namespace

TEST (PresetSaveDialog, ClicksAndTypingSetTheTargetAndFactoryFilesCannotBeOverwritten)
{
    Dialog d;
    ASSERT_TRUE (d.listed());
    EXPECT_EQ (d.target(), "Init SAVE");

    for (const auto& [step, expected] : std::vector<std::pair<std::function<void()>, juce::String>> {
             { [&] { d.click ("Kick.qvtp"); }, "Kick OVERWRITE" },
             { [&] { d.click ("Factory"); }, "Kick SAVE" },
             { [&] { d.type ("Snare"); }, "Snare OVERWRITE disabled at 0.5" },
             { [&] { d.type ("Snare 2"); }, "Snare 2 SAVE" },
             { [&] { d.click ("Factory/Sub/Hat.qvtp"); }, "Hat OVERWRITE" },
             { [&] { d.click ("Factory Kits/Tom.qvtp"); }, "Tom OVERWRITE" },
             { [&] { d.click ("Kick.qvtp.qvtp"); }, "Kick.qvtp OVERWRITE" },
             { [&] { d.type ("A much longer name than before"); }, "A much longer name than before SAVE" },
             { [&] { d.click (".qvtp"); }, " OVERWRITE" },
             { [&] { d.click ("Factory/Snare.qvtp"); }, "Snare OVERWRITE disabled at 0.5" },
             { [&] { d.type (""); }, " SAVE" } })
    {
        step();
        EXPECT_EQ (d.target(), expected);
    }
}

TEST (PresetSaveDialog, SavesOnlyIntoTheChosenFolderAndPreselectsTheCurrentPreset)
{
    Dialog d;
    ASSERT_TRUE (d.listed());
    const auto sub = d.root.getChildFile ("Factory/Sub");
    const auto filesElsewhere = [&] { return d.data.get().getNumberOfChildFiles (juce::File::findFiles) + d.root.getNumberOfChildFiles (juce::File::findFiles); };
    const auto before = filesElsewhere();

    for (const auto& [typed, saved] : std::vector<std::pair<juce::String, juce::String>> {
             { "../../Escape", "....Escape" }, { "a/b\\c:d*e?f\"g<h>i|j", "abcdefghij" }, { "..", ".." }, { "Tab\tNew\nLine", "TabNewLine" } })
    {
        d.click ("Factory/Sub");
        d.type (typed);
        d.save();
        EXPECT_EQ (d.state (StateIds::presetPath), sub.getChildFile (saved + ".qvtp").getFullPathName()) << typed;
        EXPECT_TRUE (sub.getChildFile (saved + ".qvtp").existsAsFile()) << typed;
    }

    EXPECT_EQ (filesElsewhere(), before);

    // The rescan after a save selects the new file; a load retargets the dialog, a host state restore doesn't.
    d.click ("Factory");
    d.type ("Fresh");
    d.save();
    EXPECT_TRUE (pumpUntil ([&] { return d.tree().getSelectedFile() == d.root.getChildFile ("Factory/Fresh.qvtp"); }));
    EXPECT_EQ (d.target(), "Fresh OVERWRITE disabled at 0.5");

    juce::MemoryBlock hostState;
    d.processor.getStateInformation (hostState);
    ASSERT_TRUE (d.processor.loadPresetFile (sub.getChildFile ("Hat.qvtp").getFullPathName()));
    EXPECT_TRUE (pumpUntil ([&] { return d.tree().getSelectedFile() == sub.getChildFile ("Hat.qvtp"); }));
    d.processor.setStateInformation (hostState.getData(), (int) hostState.getSize());
    pump (300);
    EXPECT_EQ (d.target(), "Hat OVERWRITE");
}

TEST (PresetSaveDialog, FailedSaveKeepsTheExistingFileAndTheName)
{
    Dialog d;
    ASSERT_TRUE (d.listed());

    // Beside a name this long the temporary file cannot be made, so the write fails before the original is touched.
    const auto longName = juce::String::repeatedString ("L", 240);
    const auto existing = d.add (longName + ".qvtp");
    const auto contents = existing.loadFileAsString();
    d.click (longName + ".qvtp");
    d.save();
    EXPECT_EQ (existing.loadFileAsString(), contents);

    // The chosen folder has gone in the meantime.
    d.click ("Factory Kits");
    d.type ("Lost");
    d.root.getChildFile ("Factory Kits").deleteRecursively();
    d.save();
    pump (300);
    EXPECT_FALSE (d.root.getChildFile ("Factory Kits").exists());
    EXPECT_EQ (d.target(), "Lost SAVE");
}

TEST (PresetSaveDialog, DestroyedWhileItsFolderListingAndSelectionTimersRun)
{
    Dialog d;
    const auto deep = d.add ("Deep/1/2/3/4/5/6/7/8/9/10/11/12/Bottom.qvtp");
    ASSERT_TRUE (d.processor.loadPresetFile (deep.getFullPathName()));
    pump (250);
    d.dialog.reset();
    pump (2000);
}

TEST (PresetSaveDialog, DimsTheEditorAroundTheBox)
{
    Dialog d;
    ASSERT_TRUE (d.listed());
    d.click ("Kick.qvtp");
    juce::Image image (juce::Image::ARGB, 883, 396, true);
    juce::Graphics (image).fillAll (Palette::blue);
    {
        juce::Graphics g (image);
        d.dialog->paintEntireComponent (g, true);
    }
    saveImageForReview (image, "presetsavedialog");

    const auto dimmed = Palette::blue.overlaidWith (juce::Colour (0xBF000000));
    for (const auto& [x, y, colour] : std::vector<std::tuple<int, int, juce::Colour>> {
             { 5, 5, dimmed }, { 240, 200, dimmed }, { 641, 200, dimmed }, { 440, 19, dimmed }, { 440, 376, dimmed },
             { 241, 20, Palette::panelBackground }, { 640, 375, Palette::panelBackground }, { 250, 320, Palette::panelBackground },
             { 256, 80, Palette::divider }, { 625, 80, Palette::divider }, { 440, 71, Palette::divider }, { 440, 94, Palette::divider } })
        EXPECT_TRUE (ControlImages::coloursNear (image.getPixelAt (x, y), colour, 3)) << x << ", " << y;

    // Title, cross, name, rows and both buttons in their places, and nothing between the tree and the buttons.
    for (const auto& area : { juce::Rectangle<int> (400, 40, 80, 20), { 616, 30, 15, 15 }, { 258, 73, 100, 20 }, { 256, 106, 200, 40 },
                              { 256, 341, 80, 24 }, { 540, 340, 86, 24 }, { 242, 310, 398, 28 } })
        EXPECT_EQ (inkOf (image, Palette::buttonOutline, area, 40).isEmpty(), area.getY() == 310) << area.toString();
}
