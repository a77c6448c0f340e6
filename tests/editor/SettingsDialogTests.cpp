#include "editor/EditorTestHelpers.h"

#include <thread>

using namespace EditorTestHelpers;
using Notes = std::array<int, 7>;

namespace
{
constexpr Notes factoryNotes { 36, 37, 38, 39, 40, 41, 42 };
const juce::StringArray factoryNames { "C1", "Db1", "D1", "Eb1", "E1", "F1", "Gb1" };

Notes notesOf (KestrinAudioProcessor& processor)
{
    Notes notes {};
    for (size_t i = 0; i < notes.size(); ++i)
        notes[i] = processor.getStateProperty (StateIds::voiceMidi ((int) i + 1));
    return notes;
}

/** The dialog of a real editor, off screen. */
struct SettingsDialogTest : public ::testing::Test, public Processor
{
    SettingsDialogTest() { processor.prepareToPlay (sampleRate, blockSize); }

    Notes notes() { return notesOf (processor); }

    juce::StringArray names() const
    {
        juce::StringArray result;
        for (auto& noteEditor : dialog.noteEditors)
            result.add (noteEditor.getText());
        return result;
    }

    void setMap (const Notes& n)
    {
        processor.setVoiceMidiNotes (n[0], n[1], n[2], n[3], n[4], n[5], n[6]);
        dialog.prepareToShow();
    }

    /** Types into a row and leaves it by return or, when leaving is true, by moving the focus away. */
    void type (int voiceNumber, const juce::String& text, bool leaving = false)
    {
        auto& noteEditor = dialog.noteEditors[(size_t) voiceNumber - 1];
        noteEditor.setText (text);
        leaving ? dialog.textEditorFocusLost (noteEditor) : dialog.textEditorReturnKeyPressed (noteEditor);
    }

    void click (juce::Button& button)
    {
        const auto clicked = std::make_shared<bool> (false);
        button.onClick = [clicked] { *clicked = true; };
        button.triggerClick();
        EXPECT_TRUE (pumpUntil ([clicked] { return *clicked; }));
    }

    /** The rows whose learn light is on, as digits. */
    juce::String lightsOn() const
    {
        juce::String on;
        for (size_t i = 0; i < dialog.learnButtons.size(); ++i)
            on << (dialog.learnButtons[i]->getToggleState() ? juce::String ((int) i + 1) : "");
        return on;
    }

    KestrinAudioProcessorEditor editor { processor };
    SettingsDialog& dialog { editor.settingsDialog };
};
} // namespace

TEST_F (SettingsDialogTest, TypedNamesAreAcceptedInAnyCaseWithFlatsShownAndAnythingElsePutsEveryRowBack)
{
    EXPECT_EQ (names(), factoryNames);

    struct Case { const char* typed; const char* shown; int note; };
    const Case cases[] = { { "c#3", "Db3", 61 }, { "C3", "C3", 60 }, { "DB1", "Db1", 37 }, { "b7", "B7", 119 }, { "c0", "C0", 24 },
                           { "h3", nullptr, 0 }, { "c3 ", nullptr, 0 }, { "E#3", nullptr, 0 }, { "Cb4", nullptr, 0 },
                           { "c8", nullptr, 0 }, { "c-1", nullptr, 0 }, { "", nullptr, 0 }, { "ERR", nullptr, 0 } };

    for (const auto leaving : { false, true })
    {
        for (const auto& c : cases)
        {
            setMap (factoryNotes);
            auto expectedNotes = factoryNotes;
            auto expectedNames = factoryNames;
            expectedNotes[1] = c.shown == nullptr ? 37 : c.note;
            expectedNames.set (1, c.shown == nullptr ? "Db1" : c.shown);
            dialog.noteEditors[3].setText (c.shown == nullptr ? "zz" : "Eb1"); // a half-typed row goes back too

            type (2, c.typed, leaving);
            EXPECT_EQ (names(), expectedNames) << c.typed << (leaving ? " left" : " returned");
            EXPECT_EQ (notes(), expectedNotes) << c.typed;
        }
    }

    // A note without a name shows "ERR"; every accepted entry applies all rows, so that row gets 60.
    setMap ({ 36, 37, 10, 39, 40, 41, 127 });
    EXPECT_EQ (names()[2] + names()[6], "ERRERR");
    type (1, "d1");
    EXPECT_EQ (notes(), (Notes { 38, 37, 60, 39, 40, 41, 60 }));
}

TEST_F (SettingsDialogTest, OctaveButtonsMoveTheWholeMapOnlyWhileEveryNoteKeepsAName)
{
    // The rows show the map as it is after each press: its first and last names.
    struct Case { Notes before; bool up; Notes after; const char* shown; };
    const Case cases[] = { { factoryNotes, true, { 48, 49, 50, 51, 52, 53, 54 }, "C2 Gb2" },
                           { { 36, 37, 38, 39, 40, 41, 107 }, true, { 48, 49, 50, 51, 52, 53, 119 }, "C2 B7" },
                           { { 36, 37, 38, 39, 40, 41, 108 }, true, { 36, 37, 38, 39, 40, 41, 108 }, "C1 C7" },
                           { { 10, 37, 38, 39, 40, 41, 42 }, true, { 22, 49, 50, 51, 52, 53, 54 }, "ERR Gb2" },
                           { { 36, 47, 48, 49, 50, 51, 52 }, false, { 24, 35, 36, 37, 38, 39, 40 }, "C0 E1" },
                           { { 35, 47, 48, 49, 50, 51, 52 }, false, { 35, 47, 48, 49, 50, 51, 52 }, "B0 E2" } };

    for (const auto& c : cases)
    {
        setMap (c.before);
        dialog.noteEditors[1].setText ("zz"); // the buttons work from the map, not from what is typed
        click (c.up ? *dialog.octaveUpButton : *dialog.octaveDownButton);
        EXPECT_EQ (notes(), c.after) << c.shown;
        EXPECT_EQ (names()[0] + " " + names()[6], c.shown);
    }
}

TEST_F (SettingsDialogTest, ResetLeavesTheFileAloneAndSaveMakesTheShownMapTheDefaultOfNewInstances)
{
    setMap ({ 50, 51, 52, 53, 54, 55, 56 });
    click (*dialog.resetButton);
    EXPECT_EQ (names(), factoryNames);
    EXPECT_EQ (notes(), factoryNotes);
    EXPECT_FALSE (data.settingsFile().exists());

    // SAVE takes what the rows show, also names typed but not yet entered, and recreates a lost row in the file.
    processor.settingsTree.removeChild (processor.settingsTree.getChildWithName (StateIds::voiceMidi (4)), nullptr);
    type (1, "a#4");
    dialog.noteEditors[3].setText ("A1");
    dialog.noteEditors[6].setText ("G1");
    click (*dialog.saveButton);

    const Notes saved { 82, 37, 38, 45, 40, 41, 43 };
    EXPECT_EQ (notes(), saved);
    ASSERT_TRUE (data.settingsFile().existsAsFile());

    // RESET changes the map only: a new instance starts with the saved default.
    click (*dialog.resetButton);
    KestrinAudioProcessor nextInstance (data.get());
    EXPECT_EQ (notesOf (nextInstance), saved);
}

TEST_F (SettingsDialogTest, SaveAndTheOctaveButtonsFirstTakeEveryRowAsReturnWouldAndAFailedWriteIsShown)
{
    // A sharp typed without Return and a row of nonsense: SAVE shows, plays and saves one map, also once the
    // row has lost the focus to the button, which leaves a voice without a name where it is.
    setMap ({ 36, 37, 10, 39, 40, 41, 42 });
    dialog.noteEditors[0].setText ("c#3");
    dialog.noteEditors[1].setText ("zz");
    click (*dialog.saveButton);
    dialog.textEditorFocusLost (dialog.noteEditors[0]);

    const Notes saved { 61, 37, 10, 39, 40, 41, 42 };
    EXPECT_EQ (notes(), saved);
    EXPECT_EQ (names().joinIntoString (" "), "Db3 Db1 ERR Eb1 E1 F1 Gb1");
    {
        KestrinAudioProcessor nextInstance (data.get());
        EXPECT_EQ (notesOf (nextInstance), saved);
    }

    // The octave buttons move the map with what was typed into it.
    setMap (factoryNotes);
    dialog.noteEditors[1].setText ("a3");
    click (*dialog.octaveUpButton);
    EXPECT_EQ (notes(), (Notes { 48, 81, 50, 51, 52, 53, 54 }));
    dialog.noteEditors[6].setText ("G#2");
    click (*dialog.octaveDownButton);
    EXPECT_EQ (notes(), (Notes { 36, 69, 38, 39, 40, 41, 44 }));
    EXPECT_EQ (names().joinIntoString (" "), "C1 A3 D1 Eb1 E1 F1 Ab1");

    // A file that cannot be written is shown; the map is in use all the same.
    ASSERT_TRUE (data.settingsFile().deleteFile() && data.settingsFile().createDirectory());
    dialog.noteEditors[0].setText ("d3");
    click (*dialog.saveButton);
    EXPECT_EQ (takeAlert(), "WARNING. " + data.settingsFile().getFullPathName()
                                + " could not be written. The note map is in use but is not the default for new instances.\n\n"
                                  "A folder of that name is in the way.");
    EXPECT_EQ (notes()[0], 62);
    click (*dialog.saveButton);
    EXPECT_TRUE (takeAlert().isNotEmpty()) << "every failed write is shown";
}

TEST_F (SettingsDialogTest, RowsFollowAMapTheHostRestoresWhileTheDialogIsShown)
{
    setMap ({ 50, 51, 52, 53, 54, 55, 56 });
    juce::MemoryBlock hostState;
    processor.getStateInformation (hostState);
    setMap (factoryNotes);
    click (*editor.navbar.settingsButton);
    ASSERT_TRUE (dialog.isVisible());

    std::thread ([&] { processor.setStateInformation (hostState.getData(), (int) hostState.getSize()); }).join();
    EXPECT_TRUE (pumpUntil ([this] { return names().joinIntoString (" ") == "D2 Eb2 E2 F2 Gb2 G2 Ab2"; })) << names().joinIntoString (" ");

    // The next row entered changes only itself.
    type (1, "c4");
    EXPECT_EQ (notes(), (Notes { 72, 51, 52, 53, 54, 55, 56 }));
}

TEST_F (SettingsDialogTest, MidiLearnTakesThePlayedNoteIntoTheOneLitRow)
{
    click (*dialog.learnButtons[2]);
    click (*dialog.learnButtons[4]);
    EXPECT_EQ (lightsOn(), "5");
    EXPECT_TRUE (processor.midiLearnArmed);
    click (*dialog.learnButtons[4]);
    EXPECT_TRUE (lightsOn().isEmpty());
    EXPECT_FALSE (processor.midiLearnArmed);

    // The last note-on of the block is learned, on any channel; a note without a name plays 60.
    struct Case { int played; const char* shown; int note; };

    for (const auto& c : { Case { 38, "D1", 38 }, Case { 12, "ERR", 60 } })
    {
        click (*dialog.learnButtons[4]);
        render (processor, midiOf ({ juce::MidiMessage::noteOn (10, 70, (juce::uint8) 100), juce::MidiMessage::noteOn (3, c.played, (juce::uint8) 90),
                                     juce::MidiMessage::noteOn (1, 80, (juce::uint8) 0) }),
                blockSize);
        EXPECT_TRUE (pumpUntil ([this] { return lightsOn().isEmpty(); })) << c.played;
        EXPECT_EQ (names()[4], c.shown);
        EXPECT_EQ (notes()[4], c.note);
        EXPECT_FALSE (processor.midiLearnArmed);
    }

    // With no light on the rows are applied as they stand and nothing else changes.
    const auto before = notes();
    processor.midiLearnArmed = true;
    dialog.noteEditors[0].setText ("E2");
    render (processor, midiNoteOn (1, 70), blockSize);
    EXPECT_TRUE (pumpUntil ([this] { return notes()[0] == 52; }));
    EXPECT_EQ (names()[0], "E2");
    EXPECT_TRUE (std::equal (before.begin() + 1, before.end(), notes().begin() + 1));

    // Hiding by the cross or by the navigation bar abandons a waiting learn, so a note played
    // afterwards changes nothing; showing again switches the lights off and shows the map as it is.
    for (auto* hide : { dialog.closeButton.get(), editor.navbar.settingsButton.get() })
    {
        click (*editor.navbar.settingsButton);
        ASSERT_TRUE (dialog.isVisible());
        click (*dialog.learnButtons[1]);
        click (*hide);
        EXPECT_FALSE (dialog.isVisible());
        EXPECT_FALSE (processor.midiLearnArmed);
        const auto hidden = notes();
        render (processor, midiNoteOn (1, 90), blockSize);
        pump (100);
        EXPECT_EQ (notes(), hidden);
    }

    processor.setVoiceMidiNotes (50, 51, 52, 53, 54, 55, 56);
    click (*editor.navbar.settingsButton);
    EXPECT_TRUE (lightsOn().isEmpty());
    EXPECT_EQ (names()[6], "Ab2");
}

TEST_F (SettingsDialogTest, CaptionsAndSettingBoxesFollowTheParametersFromAnyThread)
{
    struct Case { int voiceNumber; float label; const char* caption; };

    for (const auto& c : { Case { 3, 17, "Triangle" }, Case { 7, 26, "7" }, Case { 1, 0, "Bass" }, Case { 2, 25, "6" } })
    {
        std::thread ([&] { setValue (voiceParameter (processor, c.voiceNumber, ParameterIds::label), c.label); }).join();
        EXPECT_TRUE (pumpUntil ([&] { return dialog.voiceLabels[(size_t) c.voiceNumber - 1].getText() == c.caption; })) << c.caption;
    }

    // A pick in a box's menu arrives asynchronously, as here.
    dialog.oversamplingBox.setSelectedId (3);
    dialog.offlineQualityBox.setSelectedId (2);
    EXPECT_TRUE (pumpUntil ([this] { return getValue (processor, ParameterIds::paramOversampling) == 2.0f; }));
    EXPECT_TRUE (pumpUntil ([this] { return getValue (processor, ParameterIds::paramOfflineQuality) == 1.0f; }));

    std::thread ([&] { setValue (parameter (processor, ParameterIds::paramMultiOut), 1.0f); }).join();
    EXPECT_TRUE (pumpUntil ([&] { return dialog.multiOutBox.getText() == "On"; }));
}

TEST_F (SettingsDialogTest, PaintsTheBoxAndItsDividersOverTheDimmedWindow)
{
    const auto image = snapshot (dialog, "settings-dialog");
    const juce::Colour dim (0xBF000000);

    for (const auto& [x, y, colour] : std::initializer_list<std::tuple<int, int, juce::Colour>> {
        { 5, 5, dim }, { 41, 100, dim }, { 42, 100, Palette::panelBackground }, { 842, 100, Palette::panelBackground }, { 843, 100, dim },
        { 100, 29, dim }, { 100, 30, Palette::panelBackground }, { 100, 365, Palette::panelBackground }, { 100, 366, dim },
        // the column divider, the line under the settings rows and the one across both columns, each one pixel thick
        { 442, 150, Palette::divider }, { 600, 191, Palette::divider }, { 600, 190, Palette::panelBackground }, { 400, 324, Palette::divider } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (x, y), colour)) << x << ", " << y;

    // Shown, it covers the whole window: the dimmed footer and tabs take no clicks.
    editor.setVisible (true);
    dialog.setVisible (true);
    snapshot (editor, "settings-dialog-in-editor");
    EXPECT_EQ (editor.getComponentAt (20, 380), &dialog);
    EXPECT_EQ (editor.getComponentAt (30, 70), &dialog);
    EXPECT_EQ (editor.getComponentAt (855, 20), &dialog);
}
