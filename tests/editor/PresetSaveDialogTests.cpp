#include "editor/EditorTestHelpers.h"

using namespace EditorTestHelpers;

TEST (PresetSaveDialog, ClicksAndTypingSetTheTargetAndFactoryFilesCannotBeOverwritten)
{
    PresetEditor e;
    EXPECT_EQ (e.target(), "Init SAVE");

    for (const auto& [step, expected] : std::vector<std::pair<std::function<void()>, juce::String>> {
             { [&] { e.click ("Kick.qvtp"); }, "Kick OVERWRITE" },
             { [&] { e.click ("Factory"); }, "Kick SAVE" },
             { [&] { e.type ("Snare"); }, "Snare OVERWRITE disabled at 0.5" },
             { [&] { e.type ("Snare 2"); }, "Snare 2 SAVE" },
             { [&] { e.click ("Factory/Sub/Hat.qvtp"); }, "Hat OVERWRITE" },
             { [&] { e.click ("Factory Kits/Tom.qvtp"); }, "Tom OVERWRITE" },
             { [&] { e.click ("Kick.qvtp.qvtp"); }, "Kick.qvtp OVERWRITE" },
             { [&] { e.type ("A much longer name than before"); }, "A much longer name than before SAVE" },
             { [&] { e.click (".qvtp"); }, " OVERWRITE" },
             { [&] { e.click ("Factory/Snare.qvtp"); }, "Snare OVERWRITE disabled at 0.5" },
             { [&] { e.type (""); }, " SAVE" } })
    {
        step();
        EXPECT_EQ (e.target(), expected);
    }
}

TEST (PresetSaveDialog, SavesOnlyIntoTheChosenFolderThenClosesAndPreselectsTheCurrentPreset)
{
    PresetEditor e;
    const auto sub = e.root.getChildFile ("Factory/Sub");
    const auto filesElsewhere = [&] { return e.data.get().getNumberOfChildFiles (juce::File::findFiles) + e.root.getNumberOfChildFiles (juce::File::findFiles); };
    const auto before = filesElsewhere();

    for (const auto& [typed, saved] : std::vector<std::pair<juce::String, juce::String>> {
             { "../../Escape", "....Escape" }, { "a/b\\c:d*e?f\"g<h>i|j", "abcdefghij" }, { "x/..", "x.." }, { "Tab\tNew\nLine", "TabNew Line" } })
    {
        e.clickNavbar (*e.editor->navbar.saveButton);
        e.click ("Factory/Sub");
        e.type (typed);
        e.save();
        EXPECT_FALSE (e.dialog().isVisible());
        EXPECT_EQ (e.state (StateIds::presetPath), sub.getChildFile (saved + ".qvtp").getFullPathName()) << typed;
        EXPECT_TRUE (sub.getChildFile (saved + ".qvtp").existsAsFile()) << typed;
        EXPECT_TRUE (pumpUntil ([&e, saved = saved] { return e.nameField().getText() == saved; })) << "the rescan selects what was saved";
    }

    EXPECT_EQ (filesElsewhere(), before);

    // The rescan after a save selects the new file; a load retargets the dialog, a host state restore doesn't.
    e.click ("Factory");
    e.type ("Fresh");
    e.save();
    EXPECT_TRUE (pumpUntil ([&] { return e.tree().getSelectedFile() == e.root.getChildFile ("Factory/Fresh.qvtp"); }));
    EXPECT_EQ (e.target(), "Fresh OVERWRITE disabled at 0.5");

    juce::MemoryBlock hostState;
    e.processor.getStateInformation (hostState);
    ASSERT_TRUE (e.processor.loadPresetFile (sub.getChildFile ("Hat.qvtp").getFullPathName()));
    EXPECT_TRUE (pumpUntil ([&] { return e.tree().getSelectedFile() == sub.getChildFile ("Hat.qvtp"); }));
    e.processor.setStateInformation (hostState.getData(), (int) hostState.getSize());
    pump (300);
    EXPECT_EQ (e.target(), "Hat OVERWRITE");
}

TEST (PresetSaveDialog, FailedSaveKeepsTheDialogOpenAndTheExistingFile)
{
    PresetEditor e;
    e.clickNavbar (*e.editor->navbar.saveButton);

    // Beside a name this long the temporary file cannot be made, so the atomic write fails before touching the original.
    const auto existing = e.add (juce::String::repeatedString ("L", 240) + ".qvtp");
    const auto contents = existing.loadFileAsString();
    e.click (existing.getFileName());
    e.save();
    EXPECT_EQ (existing.loadFileAsString(), contents);

    // The chosen folder has gone in the meantime.
    e.click ("Factory Kits");
    e.type ("Lost");
    e.root.getChildFile ("Factory Kits").deleteRecursively();
    e.save();
    pump (300);
    EXPECT_FALSE (e.root.getChildFile ("Factory Kits").exists());
    EXPECT_EQ (e.target(), "Lost SAVE");
    EXPECT_TRUE (e.dialog().isVisible());

    e.dialog().buttonClicked (&child<juce::Button> (e.dialog(), "closeButton"));
    EXPECT_FALSE (e.dialog().isVisible());
}

TEST (PresetSaveDialog, DestroyedWhileItsFolderListingAndSelectionTimersRun)
{
    Processor p;
    auto dialog = std::make_unique<PresetSaveDialog> (p.processor);
    ASSERT_TRUE (p.processor.loadPresetFile (p.add ("Deep/1/2/3/4/5/6/7/8/9/10/11/12/Bottom.qvtp").getFullPathName()));
    pump (250);
    dialog.reset();
    pump (2000);
}
