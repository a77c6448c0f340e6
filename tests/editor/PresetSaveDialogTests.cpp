#include "editor/ControlImages.h"
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
        d->setVisible (true);
        return d;
    }();

    /** Waits for the first listing, after which the dialog selects the current preset. */
    bool listed() { return pumpUntil ([this] { return saveButton().getButtonText().isNotEmpty(); }); }

    juce::TextEditor& nameField() { return *findChild<juce::TextEditor> (*dialog); }
    juce::FileTreeComponent& tree() { return *findChild<juce::FileTreeComponent> (*dialog); }

    juce::TextButton& saveButton()
    {
        return *findChild<juce::TextButton> (*dialog, [] (juce::TextButton& b) { return b.getButtonText() != "Organise..."; });
    }

    void click (const juce::String& relativePath)
    {
        dialog->fileClicked (root.getChildFile (relativePath), clickOn (tree()));
        pump();
    }

    void type (const juce::String& name)
    {
        nameField().setText (name, true);
        pump();
    }

    /** The name field, the button's text, whether it is enabled and its opacity. */
    juce::String target()
    {
        auto& button = saveButton();
        EXPECT_EQ (juce::Point<int> (button.getRight(), button.getY()), juce::Point<int> (626, 340));
        EXPECT_EQ (button.getHeight(), 24);
        EXPECT_EQ (button.getWidth(), button.getBestWidthForHeight (24));
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

    const std::vector<std::pair<std::function<void()>, juce::String>> steps {
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
        { [&] { d.type (""); }, " SAVE" },
    };

    for (const auto& [step, expected] : steps)
    {
        step();
        EXPECT_EQ (d.target(), expected);
    }
}

TEST (PresetSaveDialog, SavesOnlyIntoTheChosenFolderAndSelectsTheNewFileAfterTheRescan)
{
    Dialog d;
    ASSERT_TRUE (d.listed());
    const auto sub = d.root.getChildFile ("Factory/Sub");
    const auto filesOutside = [&] { return d.data.get().findChildFiles (juce::File::findFiles, true, "*").size() - sub.getNumberOfChildFiles (juce::File::findFiles); };
    const auto outside = filesOutside();

    for (const auto& [typed, saved] : std::vector<std::pair<juce::String, juce::String>> {
             { "../../Escape", "....Escape" }, { "a/b\\c:d*e?f\"g<h>i|j", "abcdefghij" }, { "..", ".." }, { "Tab\tNew\nLine", "TabNewLine" } })
    {
        d.click ("Factory/Sub");
        d.type (typed);
        d.dialog->buttonClicked (&d.saveButton());
        EXPECT_TRUE (sub.getChildFile (saved + ".qvtp").existsAsFile()) << typed;
        EXPECT_EQ (d.state (StateIds::presetName), saved);
    }

    EXPECT_EQ (filesOutside(), outside);

    // After the rescan the new file is selected in the opened tree.
    d.click ("Factory");
    d.type ("Fresh");
    d.dialog->buttonClicked (&d.saveButton());
    const auto fresh = d.root.getChildFile ("Factory/Fresh.qvtp");
    EXPECT_TRUE (pumpUntil ([&] { return d.tree().getSelectedFile() == fresh; })) << d.tree().getSelectedFile().getFullPathName();
    EXPECT_EQ (d.target(), "Fresh OVERWRITE disabled at 0.5");

    // A load retargets the dialog, a host state restore doesn't.
    juce::MemoryBlock state;
    d.processor.getStateInformation (state);
    ASSERT_TRUE (d.processor.loadPresetFile (sub.getChildFile ("Hat.qvtp").getFullPathName()));
    EXPECT_TRUE (pumpUntil ([&] { return d.tree().getSelectedFile() == sub.getChildFile ("Hat.qvtp"); }));
    EXPECT_EQ (d.target(), "Hat OVERWRITE");
    d.processor.setStateInformation (state.getData(), (int) state.getSize());
    pump (300);
    EXPECT_EQ (d.target(), "Hat OVERWRITE");
}

TEST (PresetSaveDialog, FailedSaveChangesNoFile)
{
    Dialog d;
    ASSERT_TRUE (d.listed());
    int saves = 0;
    juce::ActionListener* counter = nullptr;
    struct Counter final : juce::ActionListener
    {
        explicit Counter (int& c) : count (c) {}
        void actionListenerCallback (const juce::String& m) override { count += m == "PresetSaved" ? 1 : 0; }
        int& count;
    } saved (saves);
    counter = &saved;
    d.processor.addActionListener (counter);

    // The temporary file beside a name this long cannot be made, so the atomic write fails before touching the original.
    const auto longName = juce::String::repeatedString ("L", 240);
    const auto existing = d.add (longName + ".qvtp");
    const auto before = existing.loadFileAsString();
    d.click (longName + ".qvtp");
    EXPECT_EQ (d.saveButton().getButtonText(), "OVERWRITE");
    d.dialog->buttonClicked (&d.saveButton());
    EXPECT_EQ (existing.loadFileAsString(), before);

    // The chosen folder has gone in the meantime.
    d.click ("Factory Kits");
    d.type ("Lost");
    d.root.getChildFile ("Factory Kits").deleteRecursively();
    d.dialog->buttonClicked (&d.saveButton());
    EXPECT_FALSE (d.root.getChildFile ("Factory Kits").exists());

    pump();
    EXPECT_EQ (saves, 0);
    EXPECT_EQ (d.nameField().getText(), "Lost");
    d.processor.removeActionListener (counter);
}

TEST (PresetSaveDialog, DestroyedWhileItsFolderListingAndSelectionTimersRun)
{
    Dialog d;
    juce::String deep = "Deep";

    for (int level = 0; level < 12; ++level)
        deep << "/Level " << level;

    d.add (deep + "/Bottom.qvtp");
    ASSERT_TRUE (d.processor.loadPresetFile (d.root.getChildFile (deep + "/Bottom.qvtp").getFullPathName()));
    pump (250);
    d.dialog.reset();
    pump (2000);
}

TEST (PresetSaveDialog, DimsTheEditorAndFramesTheBox)
{
    Dialog d;
    ASSERT_TRUE (d.listed());
    d.click ("Kick.qvtp");
    pump (500);

    juce::Image image (juce::Image::ARGB, 883, 396, true);
    {
        juce::Graphics g (image);
        g.fillAll (Palette::blue);
        d.dialog->paintEntireComponent (g, true);
    }
    saveImageForReview (image, "presetsavedialog");

    const auto dimmed = Palette::blue.overlaidWith (juce::Colour (0xBF000000));
    for (const auto& [x, y, colour] : std::vector<std::tuple<int, int, juce::Colour>> {
             { 5, 5, dimmed }, { 240, 200, dimmed }, { 641, 200, dimmed }, { 440, 19, dimmed }, { 440, 376, dimmed },
             { 241, 20, Palette::panelBackground }, { 640, 375, Palette::panelBackground }, { 250, 320, Palette::panelBackground },
             { 256, 80, Palette::divider }, { 625, 80, Palette::divider }, { 440, 71, Palette::divider }, { 440, 94, Palette::divider } })
        EXPECT_TRUE (ControlImages::coloursNear (image.getPixelAt (x, y), colour, 3)) << x << ", " << y;

    // Title, cross, name, rows and both buttons carry light ink in their own places.
    const auto hasInk = [&image] (juce::Rectangle<int> area)
    {
        for (auto y = area.getY(); y < area.getBottom(); ++y)
            for (auto x = area.getX(); x < area.getRight(); ++x)
                if (image.getPixelAt (x, y).getBrightness() > 0.6f)
                    return true;
        return false;
    };

    for (const auto& area : { juce::Rectangle<int> (400, 40, 80, 20), { 616, 30, 15, 15 }, { 258, 73, 100, 20 }, { 256, 106, 200, 40 },
                              { 256, 341, 80, 24 }, { 540, 340, 86, 24 } })
        EXPECT_TRUE (hasInk (area)) << area.toString();

    EXPECT_FALSE (hasInk ({ 242, 310, 398, 28 }));
}
