#include "ProcessorTestHelpers.h"

using namespace ProcessorTestHelpers;

namespace
{
juce::String noteChild (int voiceNumber)
{
    return "voice" + juce::String (voiceNumber) + "Midi";
}

void expectFactorySettings (KestrinAudioProcessor& processor)
{
    const auto& settings = processor.settingsTree;
    EXPECT_TRUE (settings.hasType ("settings"));
    EXPECT_EQ (settings.getChildWithName ("scale")["value"].toString(), "1.0");

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
    {
        EXPECT_EQ ((int) settings.getChildWithName (noteChild (voiceNumber))["value"], 35 + voiceNumber);
        EXPECT_EQ ((int) processor.valueTreeState.state[noteChild (voiceNumber).toRawUTF8()], 35 + voiceNumber);
    }
}

juce::String settingsDocument (const juce::String& scale, const juce::StringArray& notes)
{
    juce::XmlElement root ("settings");
    root.createNewChildElement ("scale")->setAttribute ("value", scale);

    for (int i = 0; i < notes.size(); ++i)
        root.createNewChildElement (noteChild (i + 1))->setAttribute ("value", notes[i]);

    return root.toString();
}
} // namespace

//==============================================================================
TEST (Settings, WithoutAFileTheFactoryMapAndScaleApply)
{
    TemporaryDataFolder folder;
    KestrinAudioProcessor processor (folder.get());

    expectFactorySettings (processor);
    EXPECT_FALSE (folder.settingsFile().exists());

    const std::array<int, 7> factoryNotes { 36, 37, 38, 39, 40, 41, 42 };
    EXPECT_TRUE (std::equal (processor.defaultVoiceNotes.begin(), processor.defaultVoiceNotes.end(), factoryNotes.begin()));
}

TEST (Settings, SavedSettingsStartTheNextInstance)
{
    TemporaryDataFolder folder;

    {
        KestrinAudioProcessor first (folder.get());
        first.settingsTree.getChildWithName ("scale").setProperty ("value", 1.5, nullptr);

        for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
            first.settingsTree.getChildWithName (noteChild (voiceNumber)).setProperty ("value", 47 + voiceNumber, nullptr);

        ASSERT_TRUE (first.saveSettings());
    }

    const auto xml = juce::parseXML (folder.settingsFile());
    ASSERT_NE (xml, nullptr);
    EXPECT_TRUE (xml->hasTagName ("settings"));

    KestrinAudioProcessor second (folder.get());
    EXPECT_EQ (second.settingsTree.getChildWithName ("scale")["value"].toString(), "1.5");

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
    {
        EXPECT_EQ ((int) second.settingsTree.getChildWithName (noteChild (voiceNumber))["value"], 47 + voiceNumber);
        EXPECT_EQ ((int) second.valueTreeState.state[noteChild (voiceNumber).toRawUTF8()], 47 + voiceNumber);
        EXPECT_EQ (second.voiceManager.getVoice (voiceNumber - 1)->getMidiNote(), 47 + voiceNumber);
    }
}

TEST (Settings, AFileWithOnlySomeEntriesKeepsDefaultsForTheRest)
{
    TemporaryDataFolder folder;
    folder.get().createDirectory();
    folder.settingsFile().replaceWithText ("<settings><voice3Midi value=\"50\"/></settings>");

    KestrinAudioProcessor processor (folder.get());
    EXPECT_EQ (processor.settingsTree.getChildWithName ("scale")["value"].toString(), "1.0");
    EXPECT_EQ ((int) processor.valueTreeState.state["voice3Midi"], 50);
    EXPECT_EQ ((int) processor.valueTreeState.state["voice4Midi"], 39);
}

TEST (Settings, NotesOfAnyIntegerAreKept)
{
    TemporaryDataFolder folder;
    folder.get().createDirectory();
    folder.settingsFile().replaceWithText (settingsDocument ("1.0", { "-5", "37", "38", "39", "40", "41", "300" }));

    KestrinAudioProcessor processor (folder.get());
    EXPECT_EQ ((int) processor.valueTreeState.state["voice1Midi"], -5);
    EXPECT_EQ ((int) processor.valueTreeState.state["voice7Midi"], 300);
}

TEST (Settings, UnusableFilesLeaveTheFactorySettings)
{
    const juce::StringArray fineNotes { "48", "49", "50", "51", "52", "53", "54" };
    const std::vector<std::pair<std::string, juce::String>> documents {
        { "empty", {} },
        { "garbage", "scale=2 notes=48..54" },
        { "truncated", settingsDocument ("1.5", fineNotes).substring (0, 60) },
        { "another root", "<PARAMETERS presetName=\"Init\"/>" },
        { "scale in words", settingsDocument ("large", fineNotes) },
        { "negative scale", settingsDocument ("-2", fineNotes) },
        { "fractional note", settingsDocument ("1.5", { "48", "49.5", "50", "51", "52", "53", "54" }) },
        { "note name", settingsDocument ("1.5", { "48", "49", "D3", "51", "52", "53", "54" }) },
    };

    for (const auto& [name, content] : documents)
    {
        TemporaryDataFolder folder;
        folder.get().createDirectory();
        folder.settingsFile().replaceWithText (content);

        KestrinAudioProcessor processor (folder.get());
        SCOPED_TRACE (name);
        expectFactorySettings (processor);
        EXPECT_EQ (folder.settingsFile().loadFileAsString(), content);
    }
}

TEST (Settings, SaveFailsWhenTheDataFolderIsGone)
{
    TemporaryDataFolder folder;
    KestrinAudioProcessor processor (folder.get());
    ASSERT_TRUE (processor.saveSettings());

    ASSERT_TRUE (folder.get().deleteRecursively());
    EXPECT_FALSE (processor.saveSettings());
    EXPECT_FALSE (folder.settingsFile().exists());
}
