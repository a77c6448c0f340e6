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
             { [&] { e.click (".qvtp"); }, " OVERWRITE disabled at 0.5" },
             { [&] { e.click ("Factory/Snare.qvtp"); }, "Snare OVERWRITE disabled at 0.5" },
             { [&] { e.type (""); }, " SAVE disabled at 0.5" } })
    {
        step();
        EXPECT_EQ (e.target(), expected);
    }
}

TEST (PresetSaveDialog, SavesTheNameAsShownOnlyIntoTheChosenFolderThenClosesAndPreselectsIt)
{
    PresetEditor e;
    const auto sub = e.root.getChildFile ("Factory/Sub");
    const auto filesElsewhere = [&] { return e.data.get().getNumberOfChildFiles (juce::File::findFiles) + e.root.getNumberOfChildFiles (juce::File::findFiles); };
    const auto before = filesElsewhere() + 2; // and the two hidden ones

    // Characters that other systems refuse are kept, and a leading "." gives a hidden file, which the tree lists in
    // the presets folder itself (the framework's tree lists none in subfolders).
    for (const auto& [folder, typed] : std::vector<std::pair<juce::String, juce::String>> {
             { "Factory/Sub", "a\\b:c*d?e\"f<g>h|i" }, { "Factory/Sub", " Kick  " }, { "", ".Hidden" }, { "", "..." } })
    {
        e.clickNavbar (*e.editor->navbar.saveButton);
        e.click (folder.isEmpty() ? "Kick.qvtp" : folder);
        e.type (typed);
        EXPECT_EQ (e.target(), typed + " SAVE");
        e.save();
        EXPECT_FALSE (e.dialog().isVisible());
        const auto saved = e.root.getChildFile (folder).getChildFile (typed + ".qvtp");
        EXPECT_EQ (e.state (StateIds::presetPath), saved.getFullPathName());
        EXPECT_TRUE (saved.existsAsFile()) << typed;
        EXPECT_TRUE (pumpUntil ([&, typed = typed] { return e.tree().getSelectedFile() == saved && e.nameField().getText() == typed; })) << "the rescan selects " << typed;
    }

    // What cannot be one file name in the folder is refused where it is typed, and a click writes nothing.
    e.clickNavbar (*e.editor->navbar.saveButton);
    e.click ("Factory/Sub");

    for (const juce::String typed : { "../../Escape", "x/..", "a/b", "Tab\tNew", "Bell\x07", "", ".", ".." })
    {
        e.type (typed);
        EXPECT_EQ (e.target(), typed + " SAVE disabled at 0.5");
        e.save();
        EXPECT_TRUE (e.dialog().isVisible());
    }

    EXPECT_EQ (sub.getNumberOfChildFiles (juce::File::findFiles), 3);
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

TEST (PresetSaveDialog, AnyListedPresetIsOverwrittenInPlaceWhateverItsName)
{
    Editor e;
    const juce::StringArray names { "Hat? Open", "a\\b:c", "<Kick> | \"2\"*", ".Hidden", "Snare.qvtp" };

    for (const auto& name : names)
        e.add (name + ".qvtp");

    e.open();
    ASSERT_EQ (e.dialog().directoryList->getNumFiles(), names.size());

    for (const auto& name : names)
    {
        const auto file = e.root.getChildFile (name + ".qvtp");
        const auto contents = file.loadFileAsString();
        voiceParameter (e.processor, 1, ParameterIds::gain).setValueNotifyingHost ((float) names.indexOf (name) / 10.0f);

        e.clickNavbar (*e.editor->navbar.saveButton);
        e.click (file.getFileName());
        EXPECT_EQ (e.target(), name + " OVERWRITE");
        e.save();
        EXPECT_FALSE (e.dialog().isVisible()) << name;
        EXPECT_NE (file.loadFileAsString(), contents) << name;
        EXPECT_EQ (e.state (StateIds::presetName), name);
        // The rescan after the save selects the file again; later than the next click on a loaded machine.
        EXPECT_TRUE (pumpUntil ([&] { return e.tree().getSelectedFile() == file; })) << name;
    }

    EXPECT_EQ (e.root.getNumberOfChildFiles (juce::File::findFiles, "*"), names.size()) << "no second file beside any of them";
}

TEST (PresetSaveDialog, FailedSaveKeepsTheDialogOpenAndTheExistingFileAndSaysWhy)
{
    PresetEditor e;
    e.clickNavbar (*e.editor->navbar.saveButton);

    // Beside a name this long the temporary file cannot be made, so the atomic write fails before touching the original.
    const auto existing = e.add (juce::String::repeatedString ("L", 240) + ".qvtp");
    const auto contents = existing.loadFileAsString();
    e.click (existing.getFileName());
    e.save();
    EXPECT_EQ (existing.loadFileAsString(), contents);
    EXPECT_EQ (takeAlert(), "WARNING. " + existing.getFullPathName() + " could not be written. The preset was not saved.\n\n"
                                "The name is too long for the file system.");

    // The chosen folder has gone in the meantime.
    e.click ("Factory Kits");
    e.type ("Lost");
    e.root.getChildFile ("Factory Kits").deleteRecursively();
    e.save();
    EXPECT_EQ (takeAlert(), "WARNING. " + e.root.getChildFile ("Factory Kits/Lost.qvtp").getFullPathName()
                                + " could not be written. The preset was not saved.\n\nThe folder " + e.root.getChildFile ("Factory Kits").getFullPathName()
                                + " does not exist.");
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
