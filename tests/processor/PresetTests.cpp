#include "ProcessorTestHelpers.h"

using namespace ProcessorTestHelpers;

namespace
{
const juce::StringArray sessionParameterIds { "paramBypassGlobal", "paramOversampling", "paramOfflineQuality", "paramMultiOut" };

juce::String snapshot (KestrinAudioProcessor& processor)
{
    return processor.valueTreeState.copyState().toXmlString();
}

const juce::XmlElement* findEntry (const juce::XmlElement& xml, const juce::String& parameterId)
{
    for (auto* entry : xml.getChildWithTagNameIterator ("PARAM"))
        if (entry->getStringAttribute ("id") == parameterId)
            return entry;

    return nullptr;
}

class PresetTest : public ::testing::Test
{
protected:
    juce::String presetPath (const juce::String& fileName) const
    {
        return folder.presetsFolder().getChildFile (fileName).getFullPathName();
    }

    TemporaryDataFolder folder;
    KestrinAudioProcessor processor { folder.get() };
};
} // namespace

//==============================================================================
TEST_F (PresetTest, PresetsFolderAndInitPathExistFromTheStart)
{
    EXPECT_TRUE (folder.presetsFolder().isDirectory());
    EXPECT_EQ (processor.dataFolderPath, folder.get().getFullPathName());
    EXPECT_EQ (processor.presetsFolderPath, folder.presetsFolder().getFullPathName());

    const auto& state = processor.valueTreeState.state;
    EXPECT_TRUE (state.hasType ("PARAMETERS"));
    EXPECT_EQ (state["presetName"].toString(), "Init");
    EXPECT_EQ (state["presetPath"].toString(), presetPath ("Init.qvtp"));
    EXPECT_EQ (state["activePanel"].toString(), "voice1");
    EXPECT_EQ (processor.getProgramName (0), "Init");
}

TEST_F (PresetTest, SaveWritesTheSoundWithoutSessionSettings)
{
    setValue (voiceParameter (processor, 2, ParameterIds::decay), 1.5f);
    setValue (parameter (processor, "paramPhase"), 1.0f);
    setValue (parameter (processor, "paramMultiOut"), 1.0f);
    setValue (parameter (processor, "paramOversampling"), 2.0f);
    processor.valueTreeState.state.setProperty ("activePanel", "voice3", nullptr);
    processor.setVoiceMidiNotes (60, 61, 62, 63, 64, 65, 66);

    MessageRecorder recorder (processor);
    const auto path = presetPath ("My Kit.qvtp");
    ASSERT_TRUE (processor.savePresetFile (path));
    pumpMessages();

    EXPECT_EQ (recorder.count ("PresetSaved"), 1);
    EXPECT_EQ (processor.valueTreeState.state["presetPath"].toString(), path);
    EXPECT_EQ (processor.valueTreeState.state["presetName"].toString(), "My Kit");

    const auto xml = juce::parseXML (juce::File (path));
    ASSERT_NE (xml, nullptr);
    EXPECT_TRUE (xml->hasTagName ("PARAMETERS"));
    EXPECT_EQ (xml->getStringAttribute ("presetName"), "My Kit");

    for (const auto* leftOut : { "presetPath", "activePanel", "voice1Midi", "voice4Midi", "voice7Midi" })
        EXPECT_FALSE (xml->hasAttribute (leftOut)) << leftOut;

    for (const auto& id : sessionParameterIds)
        EXPECT_EQ (findEntry (*xml, id), nullptr) << id;

    ASSERT_NE (findEntry (*xml, "paramPhase"), nullptr);
    EXPECT_DOUBLE_EQ (findEntry (*xml, "paramPhase")->getDoubleAttribute ("value"), 1.0);
    ASSERT_NE (findEntry (*xml, "paramVoice2Decay"), nullptr);
    EXPECT_NEAR (findEntry (*xml, "paramVoice2Decay")->getDoubleAttribute ("value"), 1.5, 1.0e-5);
    EXPECT_EQ (xml->getNumChildElements(), 153 - sessionParameterIds.size());
}

TEST_F (PresetTest, LoadReplacesTheSoundAndKeepsSessionSettings)
{
    TemporaryDataFolder otherFolder;
    KestrinAudioProcessor other (otherFolder.get());
    setValue (voiceParameter (other, 2, ParameterIds::decay), 1.5f);
    setValue (voiceParameter (other, 4, ParameterIds::label), 13.0f);
    setValue (parameter (other, "paramPhase"), 2.0f);
    setValue (parameter (other, "paramMultiOut"), 1.0f);
    const auto path = otherFolder.presetsFolder().getChildFile ("Shared.qvtp").getFullPathName();
    ASSERT_TRUE (other.savePresetFile (path));

    setValue (parameter (processor, "paramOversampling"), 1.0f);
    setValue (parameter (processor, "paramOfflineQuality"), 1.0f);
    setValue (parameter (processor, "paramBypassGlobal"), 1.0f);
    processor.valueTreeState.state.setProperty ("activePanel", "voice6", nullptr);
    processor.setVoiceMidiNotes (70, 71, 72, 73, 74, 75, 76);

    MessageRecorder recorder (processor);
    ASSERT_TRUE (processor.loadPresetFile (path));
    pumpMessages();

    EXPECT_FLOAT_EQ (getValue (processor, "paramVoice2Decay"), 1.5f);
    EXPECT_FLOAT_EQ (getValue (processor, "paramVoice4Label"), 13.0f);
    EXPECT_FLOAT_EQ (getValue (processor, "paramPhase"), 2.0f);

    // Session settings and the note map stay as they were, whatever the file's writer had.
    EXPECT_FLOAT_EQ (getValue (processor, "paramMultiOut"), 0.0f);
    EXPECT_FLOAT_EQ (getValue (processor, "paramOversampling"), 1.0f);
    EXPECT_FLOAT_EQ (getValue (processor, "paramOfflineQuality"), 1.0f);
    EXPECT_FLOAT_EQ (getValue (processor, "paramBypassGlobal"), 1.0f);

    const auto& state = processor.valueTreeState.state;
    EXPECT_EQ (state["activePanel"].toString(), "voice6");

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
        EXPECT_EQ ((int) state["voice" + juce::String (voiceNumber) + "Midi"], 69 + voiceNumber);

    EXPECT_EQ (state["presetName"].toString(), "Shared");
    EXPECT_EQ (state["presetPath"].toString(), path);
    EXPECT_EQ (recorder.count ("PresetLoaded"), 1);
    EXPECT_EQ (recorder.count ("voiceLabelChanged4"), 1);
}

TEST_F (PresetTest, LoadedPresetReachesTheVoices)
{
    setValue (voiceParameter (processor, 6, ParameterIds::gain), -12.0f);
    const auto path = presetPath ("Quiet Tom.qvtp");
    ASSERT_TRUE (processor.savePresetFile (path));

    setValue (voiceParameter (processor, 6, ParameterIds::gain), 3.0f);
    processor.setVoiceMidiNotes (40, 41, 42, 43, 44, 45, 46);
    ASSERT_TRUE (processor.loadPresetFile (path));

    EXPECT_FLOAT_EQ (processor.voiceManager.getVoice (5)->getParameter (VoiceParameter::gain), -12.0f);
    EXPECT_EQ (processor.voiceManager.getVoice (0)->getMidiNote(), 40);
}

TEST_F (PresetTest, PresetNameComesFromTheFileContents)
{
    const auto path = presetPath ("Renamed On Disk.qvtp");
    ASSERT_TRUE (processor.savePresetFile (presetPath ("Original.qvtp")));
    ASSERT_TRUE (juce::File (presetPath ("Original.qvtp")).moveFileTo (juce::File (path)));

    ASSERT_TRUE (processor.loadPresetFile (path));
    EXPECT_EQ (processor.valueTreeState.state["presetName"].toString(), "Original");
    EXPECT_EQ (processor.valueTreeState.state["presetPath"].toString(), path);
}

TEST_F (PresetTest, SavingOverAPresetReplacesIt)
{
    const auto path = presetPath ("Kit.qvtp");
    setValue (voiceParameter (processor, 1, ParameterIds::tonePitch), 100.0f);
    ASSERT_TRUE (processor.savePresetFile (path));
    setValue (voiceParameter (processor, 1, ParameterIds::tonePitch), 80.0f);
    ASSERT_TRUE (processor.savePresetFile (path));

    setValue (voiceParameter (processor, 1, ParameterIds::tonePitch), 300.0f);
    ASSERT_TRUE (processor.loadPresetFile (path));
    EXPECT_NEAR (getValue (processor, "paramVoice1TonePitch"), 80.0f, 0.01f);
    EXPECT_EQ (folder.presetsFolder().getNumberOfChildFiles (juce::File::findFiles), 1);
}

//==============================================================================
TEST_F (PresetTest, UnusablePresetsChangeNothing)
{
    const auto presets = folder.presetsFolder();
    const auto write = [&] (const juce::String& name, const juce::String& content)
    {
        const auto file = presets.getChildFile (name);
        file.replaceWithText (content);
        return file.getFullPathName();
    };

    ASSERT_TRUE (processor.savePresetFile (presetPath ("Valid.qvtp")));
    const auto valid = juce::File (presetPath ("Valid.qvtp")).loadFileAsString();
    processor.valueTreeState.state.setProperty ("presetName", "Current", nullptr);
    setValue (voiceParameter (processor, 3, ParameterIds::noiseMix), 0.2f);

    const auto before = snapshot (processor);
    MessageRecorder recorder (processor);

    const std::vector<std::pair<std::string, juce::String>> paths {
        { "empty path", {} },
        { "relative path", "Presets/Valid.qvtp" },
        { "missing file", presetPath ("Missing.qvtp") },
        { "folder", presets.getFullPathName() },
        { "empty file", write ("Empty.qvtp", {}) },
        { "not XML", write ("Text.qvtp", "kick drum, snare drum") },
        { "truncated", write ("Truncated.qvtp", valid.substring (0, valid.length() / 2)) },
        { "another root", write ("Settings.qvtp", "<settings><scale value=\"1.0\"/></settings>") },
        { "value beyond range", write ("Loud.qvtp", valid.replace ("id=\"paramVoice1Gain\" value=\"0.0\"",
                                                                   "id=\"paramVoice1Gain\" value=\"90.0\"")) },
        { "value not a number", write ("Nan.qvtp", valid.replace ("id=\"paramVoice1Gain\" value=\"0.0\"",
                                                                  "id=\"paramVoice1Gain\" value=\"nan\"")) },
    };

    // The edited files really differ from the valid one.
    ASSERT_NE (juce::File (paths[8].second).loadFileAsString(), valid);
    ASSERT_NE (juce::File (paths[9].second).loadFileAsString(), valid);

    for (const auto& [name, path] : paths)
    {
        EXPECT_FALSE (processor.loadPresetFile (path)) << name;
        EXPECT_EQ (snapshot (processor), before) << name;
    }

    pumpMessages();
    EXPECT_EQ (recorder.count ("PresetLoaded"), 0);
}

TEST_F (PresetTest, FailedSaveReportsAndSendsNothing)
{
    MessageRecorder recorder (processor);

    const auto intoMissingFolder = folder.get().getChildFile ("No Such Folder").getChildFile ("Kit.qvtp").getFullPathName();
    EXPECT_FALSE (processor.savePresetFile (intoMissingFolder));
    EXPECT_FALSE (juce::File (intoMissingFolder).exists());

    // The preset takes its new name even though the write failed.
    EXPECT_EQ (processor.valueTreeState.state["presetPath"].toString(), intoMissingFolder);
    EXPECT_EQ (processor.valueTreeState.state["presetName"].toString(), "Kit");

    EXPECT_FALSE (processor.savePresetFile (folder.presetsFolder().getFullPathName()));
    EXPECT_TRUE (folder.presetsFolder().isDirectory());

    EXPECT_FALSE (processor.savePresetFile ({}));

    pumpMessages();
    EXPECT_EQ (recorder.count ("PresetSaved"), 0);
}

TEST_F (PresetTest, FailedSaveLeavesTheExistingFileIntact)
{
    // A name so long that no temporary file can be made beside it makes the write fail after
    // the target already exists, whatever the user's permissions.
    const auto longName = juce::String::repeatedString ("k", 245) + ".qvtp";
    const auto target = folder.presetsFolder().getChildFile (longName);

    {
        // Written in place: the framework's own replaceWithText goes through a temporary file too.
        juce::FileOutputStream out (target);
        ASSERT_TRUE (out.openedOk());
        out.writeText ("<PARAMETERS presetName=\"Precious\"/>", false, false, nullptr);
    }

    ASSERT_EQ (target.loadFileAsString(), "<PARAMETERS presetName=\"Precious\"/>");

    EXPECT_FALSE (processor.savePresetFile (target.getFullPathName()));
    EXPECT_EQ (target.loadFileAsString(), "<PARAMETERS presetName=\"Precious\"/>");
    EXPECT_EQ (folder.presetsFolder().getNumberOfChildFiles (juce::File::findFiles), 1);
}
