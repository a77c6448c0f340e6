#include "ProcessorTestHelpers.h"

using namespace ProcessorTestHelpers;
namespace Id = ParameterIds;

namespace
{
const juce::StringArray sessionParameterIds { Id::paramBypassGlobal, Id::paramOversampling, Id::paramOfflineQuality, Id::paramMultiOut };

juce::String snapshot (KestrinAudioProcessor& processor) { return processor.valueTreeState.copyState().toXmlString(); }
juce::var property (KestrinAudioProcessor& processor, const juce::String& name) { return processor.valueTreeState.state[name]; }
juce::String noteProperty (int voiceNumber) { return "voice" + juce::String (voiceNumber) + "Midi"; }

juce::MemoryBlock stateBlock (KestrinAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

void restore (KestrinAudioProcessor& processor, const juce::MemoryBlock& block) { processor.setStateInformation (block.getData(), (int) block.getSize()); }

/** A host's block of an XML text; text that is no XML as it is. */
juce::MemoryBlock blockOf (const juce::String& text)
{
    juce::MemoryBlock block;

    if (const auto xml = juce::parseXML (text))
        juce::AudioProcessor::copyXmlToBinary (*xml, block);
    else
        block.append (text.toRawUTF8(), text.getNumBytesAsUTF8());

    return block;
}

const juce::XmlElement* findEntry (const juce::XmlElement& xml, const juce::String& id)
{
    for (auto* entry : xml.getChildWithTagNameIterator ("PARAM"))
        if (entry->getStringAttribute ("id") == id)
            return entry;

    return nullptr;
}

/** A state document with one parameter's value, or (for an ID without "param") one property, replaced. */
juce::String edited (const juce::String& document, const juce::String& id, const juce::String& value)
{
    auto xml = juce::parseXML (document);

    if (! id.startsWith ("param"))
        xml->setAttribute (id, value);
    else if (auto* entry = const_cast<juce::XmlElement*> (findEntry (*xml, id)))
        entry->setAttribute ("value", value);

    return xml->toString();
}

using Documents = std::vector<std::pair<std::string, juce::String>>;

/** Unusable versions of a valid document: the ones every loader meets, then its own. */
Documents unusable (const juce::String& valid, Documents own)
{
    own.insert (own.begin(), { { "empty", {} }, { "garbage", "\x01\x02 kick drum, snare drum \x7f" },
                               { "truncated", valid.substring (0, valid.length() / 2) }, { "another root", "<other><scale value=\"1.0\"/></other>" } });
    return own;
}

/** Out-of-range values in a saved state or preset. */
Documents badValues (const juce::String& valid)
{
    return { { "pan beyond its range", edited (valid, Id::voiceParameterId (1, Id::pan), "7") },
             { "gain below its range", edited (valid, Id::voiceParameterId (2, Id::gain), "-100") },
             { "not a number", edited (valid, Id::voiceParameterId (3, Id::decay), "nan") },
             { "infinite", edited (valid, Id::voiceParameterId (3, Id::decay), "inf") },
             { "words", edited (valid, Id::paramPhase, "loud") } };
}

class StateTest : public ::testing::Test
{
protected:
    /** Changes the sound, note map and extra properties away from every default. */
    static void makeDistinctive (KestrinAudioProcessor& p)
    {
        setValue (voiceParameter (p, 2, Id::decay), 1.5f);
        setValue (voiceParameter (p, 3, Id::label), 12.0f);
        setValue (voiceParameter (p, 7, Id::pan), -0.4f);
        setValue (voiceParameter (p, 5, Id::chokeGroup), 3.0f);
        setValue (parameter (p, Id::paramPhase), 2.0f);
        setValue (parameter (p, Id::paramMultiOut), 1.0f);
        p.valueTreeState.state.setProperty ("activePanel", "voice4", nullptr);
        p.valueTreeState.state.setProperty ("presetName", "Groove", nullptr);
        p.setVoiceMidiNotes (-3, 51, 52, 53, 54, 55, 500); // any integers are kept
    }

    juce::String presetPath (const juce::String& fileName) const { return folder.presetsFolder().getChildFile (fileName).getFullPathName(); }

    TemporaryDataFolder folder, otherFolder;
    KestrinAudioProcessor processor { folder.get() }, other { otherFolder.get() };
};
} // namespace

//==============================================================================
TEST_F (StateTest, HostStateRoundTripBringsBackSoundNotesAndExtraProperties)
{
    makeDistinctive (other);
    const auto block = stateBlock (other);
    MessageRecorder recorder (processor);
    restore (processor, block);
    pumpMessages();

    for (const auto& [id, value] : { std::pair { Id::voiceParameterId (2, Id::decay), 1.5f }, { Id::voiceParameterId (3, Id::label), 12.0f },
                                     { Id::voiceParameterId (7, Id::pan), -0.4f }, { Id::voiceParameterId (5, Id::chokeGroup), 3.0f },
                                     { Id::paramPhase, 2.0f }, { Id::paramMultiOut, 1.0f } })
        EXPECT_FLOAT_EQ (getValue (processor, id), value) << id;

    EXPECT_EQ (property (processor, "activePanel").toString(), "voice4");
    EXPECT_EQ (processor.getProgramName (0), "Groove");
    EXPECT_EQ ((int) property (processor, noteProperty (1)), -3);
    EXPECT_EQ ((int) property (processor, noteProperty (7)), 500);

    // The voices play what was restored.
    EXPECT_FLOAT_EQ (processor.voiceManager.getVoice (1)->getParameter (VoiceParameter::decay), 1.5f);
    EXPECT_FLOAT_EQ (processor.voiceManager.getVoice (6)->getParameter (VoiceParameter::pan), -0.4f);

    for (int i = 1; i < 6; ++i)
        EXPECT_EQ (processor.voiceManager.getVoice (i)->getMidiNote(), 50 + i);

    EXPECT_EQ (recorder.count ("StateInformationSet"), 1);
    EXPECT_EQ (recorder.count ("voiceLabelChanged3"), 1);
    EXPECT_EQ (recorder.count ("voiceLabelChanged1"), 0);

    // Saved again, it is the same state.
    EXPECT_EQ (snapshot (processor), snapshot (other));
    EXPECT_EQ (stateBlock (processor), block);
}

TEST_F (StateTest, HostStateWithoutExtraPropertiesKeepsTheCurrentOnes)
{
    processor.setVoiceMidiNotes (60, 61, 62, 63, 64, 65, 66);
    processor.valueTreeState.state.setProperty ("activePanel", "voice2", nullptr);

    setValue (voiceParameter (other, 1, Id::gain), -6.0f);
    auto xml = other.valueTreeState.copyState().createXml();
    xml->removeAttribute ("activePanel");
    xml->removeAttribute (noteProperty (3));
    restore (processor, blockOf (xml->toString()));

    EXPECT_FLOAT_EQ (getValue (processor, Id::voiceParameterId (1, Id::gain)), -6.0f);
    EXPECT_EQ (property (processor, "activePanel").toString(), "voice2");
    EXPECT_EQ ((int) property (processor, noteProperty (3)), 62);
    EXPECT_EQ ((int) property (processor, noteProperty (4)), 39);
}

//==============================================================================
TEST_F (StateTest, PresetsFolderAndInitPresetExistFromTheStart)
{
    EXPECT_TRUE (folder.presetsFolder().isDirectory());
    EXPECT_EQ (processor.dataFolderPath, folder.get().getFullPathName());
    EXPECT_EQ (processor.presetsFolderPath, folder.presetsFolder().getFullPathName());
    EXPECT_TRUE (processor.valueTreeState.state.hasType ("PARAMETERS"));
    EXPECT_EQ (property (processor, "presetName").toString(), "Init");
    EXPECT_EQ (property (processor, "presetPath").toString(), presetPath ("Init.qvtp"));
    EXPECT_EQ (property (processor, "activePanel").toString(), "voice1");
    EXPECT_EQ (processor.getProgramName (0), "Init");
}

TEST_F (StateTest, PresetSaveWritesTheSoundWithoutSessionSettingsAndReplacesAnOldFile)
{
    makeDistinctive (processor);
    setValue (parameter (processor, Id::paramOversampling), 2.0f);
    const auto path = presetPath ("My Kit.qvtp");
    ASSERT_TRUE (processor.savePresetFile (path));
    setValue (voiceParameter (processor, 2, Id::decay), 0.75f);

    MessageRecorder recorder (processor);
    ASSERT_TRUE (processor.savePresetFile (path));
    pumpMessages();

    EXPECT_EQ (recorder.count ("PresetSaved"), 1);
    EXPECT_EQ (property (processor, "presetPath").toString(), path);
    EXPECT_EQ (property (processor, "presetName").toString(), "My Kit");
    EXPECT_EQ (folder.presetsFolder().getNumberOfChildFiles (juce::File::findFiles), 1);

    const auto xml = juce::parseXML (juce::File (path));
    ASSERT_NE (xml, nullptr);
    EXPECT_TRUE (xml->hasTagName ("PARAMETERS"));
    EXPECT_EQ (xml->getStringAttribute ("presetName"), "My Kit");

    for (const auto* leftOut : { "presetPath", "activePanel", "voice1Midi", "voice4Midi", "voice7Midi" })
        EXPECT_FALSE (xml->hasAttribute (leftOut)) << leftOut;

    for (const auto& id : sessionParameterIds)
        EXPECT_EQ (findEntry (*xml, id), nullptr) << id;

    EXPECT_EQ (xml->getNumChildElements(), 153 - sessionParameterIds.size());
    ASSERT_NE (findEntry (*xml, Id::paramPhase), nullptr);
    EXPECT_DOUBLE_EQ (findEntry (*xml, Id::paramPhase)->getDoubleAttribute ("value"), 2.0);
    ASSERT_NE (findEntry (*xml, Id::voiceParameterId (2, Id::decay)), nullptr);
    EXPECT_NEAR (findEntry (*xml, Id::voiceParameterId (2, Id::decay))->getDoubleAttribute ("value"), 0.75, 1.0e-5);
}

TEST_F (StateTest, PresetLoadReplacesTheSoundAndKeepsSessionSettings)
{
    setValue (voiceParameter (other, 2, Id::decay), 1.5f);
    setValue (voiceParameter (other, 4, Id::label), 13.0f);
    setValue (parameter (other, Id::paramPhase), 2.0f);
    setValue (parameter (other, Id::paramMultiOut), 1.0f);
    ASSERT_TRUE (other.savePresetFile (otherFolder.presetsFolder().getChildFile ("Shared.qvtp").getFullPathName()));

    // Renamed on disk: the name comes from the file's contents.
    const auto path = presetPath ("Renamed.qvtp");
    ASSERT_TRUE (otherFolder.presetsFolder().getChildFile ("Shared.qvtp").moveFileTo (juce::File (path)));

    const std::array<float, 4> session { 0.0f, 1.0f, 1.0f, 0.0f }; // bypass, oversampling, offline quality, multi-out

    for (int i = 0; i < sessionParameterIds.size(); ++i)
        setValue (parameter (processor, sessionParameterIds[i]), session[(size_t) i]);

    processor.valueTreeState.state.setProperty ("activePanel", "voice6", nullptr);
    processor.setVoiceMidiNotes (70, 71, 72, 73, 74, 75, 76);

    MessageRecorder recorder (processor);
    ASSERT_TRUE (processor.loadPresetFile (path));
    pumpMessages();

    EXPECT_FLOAT_EQ (getValue (processor, Id::voiceParameterId (2, Id::decay)), 1.5f);
    EXPECT_FLOAT_EQ (getValue (processor, Id::voiceParameterId (4, Id::label)), 13.0f);
    EXPECT_FLOAT_EQ (getValue (processor, Id::paramPhase), 2.0f);
    EXPECT_FLOAT_EQ (processor.voiceManager.getVoice (1)->getParameter (VoiceParameter::decay), 1.5f);

    // Session settings and the note map stay as they were, whatever the file's writer had.
    for (int i = 0; i < sessionParameterIds.size(); ++i)
        EXPECT_FLOAT_EQ (getValue (processor, sessionParameterIds[i]), session[(size_t) i]) << sessionParameterIds[i];

    EXPECT_EQ (property (processor, "activePanel").toString(), "voice6");

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
    {
        EXPECT_EQ ((int) property (processor, noteProperty (voiceNumber)), 69 + voiceNumber);
        EXPECT_EQ (processor.voiceManager.getVoice (voiceNumber - 1)->getMidiNote(), 69 + voiceNumber);
    }

    EXPECT_EQ (property (processor, "presetName").toString(), "Shared");
    EXPECT_EQ (property (processor, "presetPath").toString(), path);
    EXPECT_EQ (recorder.count ("PresetLoaded"), 1);
    EXPECT_EQ (recorder.count ("voiceLabelChanged4"), 1);
}

TEST_F (StateTest, FailedPresetSaveReportsSendsNothingAndLeavesTheExistingFileIntact)
{
    MessageRecorder recorder (processor);
    const auto intoMissingFolder = folder.get().getChildFile ("No Such Folder").getChildFile ("Kit.qvtp").getFullPathName();
    EXPECT_FALSE (processor.savePresetFile (intoMissingFolder));
    EXPECT_FALSE (juce::File (intoMissingFolder).exists());
    EXPECT_EQ (property (processor, "presetName").toString(), "Kit") << "the preset takes its new name all the same";

    EXPECT_FALSE (processor.savePresetFile (folder.presetsFolder().getFullPathName()));
    EXPECT_TRUE (folder.presetsFolder().isDirectory());
    EXPECT_FALSE (processor.savePresetFile ({}));

    // A name so long that no temporary file fits beside it makes the write fail after the target
    // exists, whatever the user's permissions. Written in place: replaceWithText uses a temporary file too.
    const auto target = folder.presetsFolder().getChildFile (juce::String::repeatedString ("k", 245) + ".qvtp");
    const juce::String precious ("<PARAMETERS presetName=\"Precious\"/>");
    ASSERT_TRUE (juce::FileOutputStream (target).writeText (precious, false, false, nullptr));
    ASSERT_EQ (target.loadFileAsString(), precious);

    EXPECT_FALSE (processor.savePresetFile (target.getFullPathName()));
    EXPECT_EQ (target.loadFileAsString(), precious);
    EXPECT_EQ (folder.presetsFolder().getNumberOfChildFiles (juce::File::findFiles), 1);

    pumpMessages();
    EXPECT_EQ (recorder.count ("PresetSaved"), 0);
}

//==============================================================================
TEST (Settings, FactoryNotesWithoutAFileAndSavedSettingsStartTheNextInstance)
{
    TemporaryDataFolder folder;

    {
        KestrinAudioProcessor first (folder.get());
        EXPECT_FALSE (folder.settingsFile().exists());
        EXPECT_EQ (first.settingsTree.getChildWithName ("scale")["value"].toString(), "1.0");

        for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
        {
            EXPECT_EQ ((int) first.settingsTree.getChildWithName (noteProperty (voiceNumber))["value"], 35 + voiceNumber);
            EXPECT_EQ (first.defaultVoiceNotes[(size_t) voiceNumber - 1], 35 + voiceNumber);
            first.settingsTree.getChildWithName (noteProperty (voiceNumber)).setProperty ("value", 47 + voiceNumber, nullptr);
        }

        first.settingsTree.getChildWithName ("scale").setProperty ("value", 1.5, nullptr);
        ASSERT_TRUE (first.saveSettings());
    }

    EXPECT_TRUE (juce::parseXML (folder.settingsFile())->hasTagName ("settings"));
    KestrinAudioProcessor second (folder.get());
    EXPECT_EQ (second.settingsTree.getChildWithName ("scale")["value"].toString(), "1.5");

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
    {
        EXPECT_EQ ((int) second.valueTreeState.state[noteProperty (voiceNumber)], 47 + voiceNumber);
        EXPECT_EQ (second.voiceManager.getVoice (voiceNumber - 1)->getMidiNote(), 47 + voiceNumber);
    }

    ASSERT_TRUE (folder.get().deleteRecursively());
    EXPECT_FALSE (second.saveSettings()) << "the data folder is gone";
    EXPECT_FALSE (folder.settingsFile().exists());
}

TEST (Settings, AFileWithSomeEntriesKeepsAnyIntegerAndDefaultsForTheRest)
{
    TemporaryDataFolder folder;
    folder.get().createDirectory();
    folder.settingsFile().replaceWithText ("<settings><voice1Midi value=\"-5\"/><voice3Midi value=\"50\"/><voice7Midi value=\"300\"/></settings>");

    KestrinAudioProcessor processor (folder.get());
    EXPECT_EQ (processor.settingsTree.getChildWithName ("scale")["value"].toString(), "1.0");

    for (const auto& [voiceNumber, note] : { std::pair { 1, -5 }, { 3, 50 }, { 4, 39 }, { 7, 300 } })
        EXPECT_EQ ((int) processor.valueTreeState.state[noteProperty (voiceNumber)], note);
}

//==============================================================================
TEST_F (StateTest, UnusableHostStatesChangeNothing)
{
    makeDistinctive (processor);
    const auto before = snapshot (processor);
    const auto valid = snapshot (other);
    auto documents = unusable (valid, badValues (valid));

    for (const auto& [name, value] : { std::pair { "fractional note", "36.5" }, { "note in words", "C1" } })
        documents.push_back ({ name, edited (valid, noteProperty (1), value) });

    documents.push_back ({ "no such panel", edited (valid, "activePanel", "voice9") });
    MessageRecorder recorder (processor);

    for (const auto& [name, text] : documents)
    {
        restore (processor, blockOf (text));
        EXPECT_EQ (snapshot (processor), before) << name;
    }

    const auto block = stateBlock (other);
    restore (processor, juce::MemoryBlock (block.getData(), block.getSize() / 2));
    processor.setStateInformation (nullptr, 0);
    EXPECT_EQ (snapshot (processor), before) << "truncated block";

    pumpMessages();
    EXPECT_EQ (recorder.count ("StateInformationSet"), 0);
}

TEST_F (StateTest, UnusablePresetsChangeNothing)
{
    ASSERT_TRUE (processor.savePresetFile (presetPath ("Valid.qvtp")));
    const auto valid = juce::File (presetPath ("Valid.qvtp")).loadFileAsString();
    processor.valueTreeState.state.setProperty ("presetName", "Current", nullptr);
    setValue (voiceParameter (processor, 3, Id::noiseMix), 0.2f);
    const auto before = snapshot (processor);
    MessageRecorder recorder (processor);

    std::vector<std::pair<std::string, juce::String>> paths { { "empty path", {} }, { "relative path", "Presets/Valid.qvtp" },
                                                              { "missing file", presetPath ("Missing.qvtp") },
                                                              { "folder", folder.presetsFolder().getFullPathName() } };

    for (const auto& [name, text] : unusable (valid, badValues (valid)))
    {
        const auto file = folder.presetsFolder().getChildFile (juce::String (name) + ".qvtp");
        ASSERT_TRUE (file.replaceWithText (text));
        paths.push_back ({ name, file.getFullPathName() });
    }

    for (const auto& [name, path] : paths)
    {
        EXPECT_FALSE (processor.loadPresetFile (path)) << name;
        EXPECT_EQ (snapshot (processor), before) << name;
    }

    pumpMessages();
    EXPECT_EQ (recorder.count ("PresetLoaded"), 0);
}

TEST (Settings, UnusableFilesLeaveTheFactorySettings)
{
    juce::XmlElement root ("settings");
    root.createNewChildElement ("scale")->setAttribute ("value", "1.5");

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
        root.createNewChildElement (noteProperty (voiceNumber))->setAttribute ("value", 47 + voiceNumber);

    const auto valid = root.toString();
    const auto documents = unusable (valid, { { "scale in words", valid.replace ("\"1.5\"", "\"large\"") },
                                              { "negative scale", valid.replace ("\"1.5\"", "\"-2\"") },
                                              { "fractional note", valid.replace ("\"49\"", "\"49.5\"") },
                                              { "note name", valid.replace ("\"50\"", "\"D3\"") } });

    for (const auto& [name, content] : documents)
    {
        TemporaryDataFolder folder;
        folder.get().createDirectory();
        folder.settingsFile().replaceWithText (content);
        ASSERT_NE (content, valid) << name;

        KestrinAudioProcessor processor (folder.get());
        EXPECT_EQ (processor.settingsTree.getChildWithName ("scale")["value"].toString(), "1.0") << name;

        for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
            EXPECT_EQ ((int) processor.valueTreeState.state[noteProperty (voiceNumber)], 35 + voiceNumber) << name;

        EXPECT_EQ (folder.settingsFile().loadFileAsString(), content) << name;
    }
}
