#include "ProcessorTestHelpers.h"

#include <thread>

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

/** A state document with one parameter's value, or (for an ID without "param") one property, replaced. */
juce::String edited (const juce::String& document, const juce::String& id, const juce::String& value)
{
    auto xml = juce::parseXML (document);

    if (auto* entry = xml->getChildByAttribute ("id", id))
        entry->setAttribute ("value", value);
    else
        xml->setAttribute (id, value);

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
TEST_F (StateTest, HostStateRoundTripBringsBackSoundNotesAndExtraPropertiesAndNeverANonFiniteValue)
{
    makeDistinctive (other);

    // A host may send what is not a number: the parameter takes its default (or, beyond 0 to 1, an end).
    auto& pitch = voiceParameter (other, 4, Id::tonePitch);
    static_cast<juce::AudioProcessorParameter&> (pitch).setValue (std::numeric_limits<float>::quiet_NaN()); // as host automation arrives
    pitch.sendValueChangedMessageToListeners (std::numeric_limits<float>::quiet_NaN());
    voiceParameter (other, 6, Id::gain).setValueNotifyingHost (std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ (getValue (other, Id::voiceParameterId (4, Id::tonePitch)), pitch.convertFrom0to1 (pitch.getDefaultValue()));
    EXPECT_FLOAT_EQ (getValue (other, Id::voiceParameterId (6, Id::gain)), 24.0f);

    const auto block = stateBlock (other);
    MessageRecorder recorder (processor);
    restore (processor, block);
    pumpMessages();

    for (const auto& [id, value] : { std::pair { Id::voiceParameterId (2, Id::decay), 1.5f }, { Id::voiceParameterId (3, Id::label), 12.0f },
                                     { Id::voiceParameterId (7, Id::pan), -0.4f }, { Id::paramPhase, 2.0f }, { Id::paramMultiOut, 1.0f } })
        EXPECT_FLOAT_EQ (getValue (processor, id), value) << id;

    EXPECT_EQ (property (processor, "activePanel").toString(), "voice4");
    EXPECT_EQ (processor.getProgramName (0), "Groove");
    EXPECT_EQ ((int) property (processor, noteProperty (7)), 500);

    // The voices play what was restored.
    EXPECT_FLOAT_EQ (processor.voiceManager.getVoice (1)->getParameter (VoiceParameter::decay), 1.5f);

    const std::array<int, 7> notes { -3, 51, 52, 53, 54, 55, 500 };

    for (int i = 0; i < 7; ++i)
        EXPECT_EQ (processor.voiceManager.getVoice (i)->getMidiNote(), notes[(size_t) i]);

    EXPECT_EQ (recorder.messages, juce::StringArray ({ "voiceLabelChanged3", "StateInformationSet" }));

    // Saved again, it is the same state.
    EXPECT_EQ (snapshot (processor), snapshot (other));
    EXPECT_EQ (stateBlock (processor), block);

    // A state without the extra properties keeps the current ones.
    other.setVoiceMidiNotes (60, 61, 62, 63, 64, 65, 66);
    auto xml = other.valueTreeState.copyState().createXml();
    xml->removeAttribute ("activePanel");
    xml->removeAttribute (noteProperty (3));
    restore (processor, blockOf (xml->toString()));
    EXPECT_EQ (property (processor, "activePanel").toString(), "voice4");
    EXPECT_EQ ((int) property (processor, noteProperty (3)), 52);
    EXPECT_EQ ((int) property (processor, noteProperty (4)), 63);
}

//==============================================================================
TEST_F (StateTest, PresetsCarryTheSoundButNeitherTheSessionSettingsNorTheNoteMap)
{
    // A new instance starts with the presets folder and the "Init" preset's name and path.
    EXPECT_TRUE (folder.presetsFolder().isDirectory());
    EXPECT_EQ (processor.presetsFolderPath, folder.presetsFolder().getFullPathName());
    EXPECT_EQ (property (processor, "presetPath").toString(), presetPath ("Init.qvtp"));
    EXPECT_EQ (property (processor, "activePanel").toString(), "voice1");
    EXPECT_EQ (processor.getProgramName (0), "Init");

    makeDistinctive (processor);
    setValue (parameter (processor, Id::paramOversampling), 2.0f);
    const auto path = presetPath ("My Kit.qvtp");
    ASSERT_TRUE (processor.savePresetFile (path));
    setValue (voiceParameter (processor, 2, Id::decay), 0.75f);
    MessageRecorder recorder (processor);
    ASSERT_TRUE (processor.savePresetFile (path)); // replaces the old file
    EXPECT_EQ (folder.presetsFolder().getNumberOfChildFiles (juce::File::findFiles), 1);
    EXPECT_EQ (property (processor, "presetName").toString(), "My Kit");

    const auto xml = juce::parseXML (juce::File (path));
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getStringAttribute ("presetName"), "My Kit");

    for (const auto* leftOut : { "presetPath", "activePanel", "voice1Midi", "voice7Midi" })
        EXPECT_FALSE (xml->hasAttribute (leftOut)) << leftOut;

    for (const auto& id : sessionParameterIds)
        EXPECT_EQ (xml->getChildByAttribute ("id", id), nullptr) << id << " is left out";

    EXPECT_EQ (xml->getNumChildElements(), 153 - sessionParameterIds.size());

    // Loaded elsewhere from a renamed file: the name comes from its contents, the session and the note map stay.
    const auto renamed = otherFolder.presetsFolder().getChildFile ("Renamed.qvtp").getFullPathName();
    ASSERT_TRUE (juce::File (path).copyFileTo (renamed));
    const std::array<float, 4> session { 0.0f, 1.0f, 1.0f, 0.0f }; // bypass, oversampling, offline quality, multi-out

    for (int i = 0; i < sessionParameterIds.size(); ++i)
        setValue (parameter (other, sessionParameterIds[i]), session[(size_t) i]);

    other.valueTreeState.state.setProperty ("activePanel", "voice6", nullptr);
    other.setVoiceMidiNotes (70, 71, 72, 73, 74, 75, 76);
    MessageRecorder otherRecorder (other);
    ASSERT_TRUE (other.loadPresetFile (renamed));
    pumpMessages();

    EXPECT_NEAR (getValue (other, Id::voiceParameterId (2, Id::decay)), 0.75f, 1.0e-5f);
    EXPECT_FLOAT_EQ (getValue (other, Id::paramPhase), 2.0f);
    EXPECT_NEAR (other.voiceManager.getVoice (1)->getParameter (VoiceParameter::decay), 0.75f, 1.0e-5f);

    for (int i = 0; i < sessionParameterIds.size(); ++i)
        EXPECT_FLOAT_EQ (getValue (other, sessionParameterIds[i]), session[(size_t) i]) << sessionParameterIds[i];

    EXPECT_EQ (property (other, "activePanel").toString(), "voice6");
    EXPECT_EQ (other.voiceManager.getVoice (6)->getMidiNote(), 76);
    EXPECT_EQ (property (other, "presetName").toString(), "My Kit");
    EXPECT_EQ (property (other, "presetPath").toString(), renamed);
    EXPECT_EQ (recorder.messages, juce::StringArray ("PresetSaved"));
    EXPECT_EQ (otherRecorder.count ("PresetLoaded"), 1);
    EXPECT_EQ (otherRecorder.count ("voiceLabelChanged3"), 1);
}

TEST_F (StateTest, FailedPresetSaveReportsSendsNothingAndLeavesTheExistingFileIntact)
{
    MessageRecorder recorder (processor);
    const auto intoMissingFolder = folder.get().getChildFile ("No Such Folder").getChildFile ("Kit.qvtp").getFullPathName();
    EXPECT_FALSE (processor.savePresetFile (intoMissingFolder));
    EXPECT_EQ (property (processor, "presetName").toString(), "Kit") << "the preset takes its new name all the same";
    EXPECT_FALSE (processor.savePresetFile (folder.presetsFolder().getFullPathName()));
    EXPECT_TRUE (folder.presetsFolder().isDirectory());

    // A name so long that no temporary file fits beside it makes the write fail after the target
    // exists, whatever the user's permissions. Written in place: replaceWithText uses a temporary file too.
    const auto target = folder.presetsFolder().getChildFile (juce::String::repeatedString ("k", 245) + ".qvtp");
    const juce::String precious ("<PARAMETERS presetName=\"Precious\"/>");
    ASSERT_TRUE (juce::FileOutputStream (target).writeText (precious, false, false, nullptr));
    EXPECT_FALSE (processor.savePresetFile (target.getFullPathName()));
    EXPECT_EQ (target.loadFileAsString(), precious);
    EXPECT_EQ (folder.presetsFolder().getNumberOfChildFiles (juce::File::findFiles), 1);

    pumpMessages();
    EXPECT_TRUE (recorder.messages.isEmpty());
}

TEST_F (StateTest, HostAndEditorMayWorkOnTheStateAtOnce)
{
    // A host saving and restoring the session on its thread while the editor saves and loads presets
    // and edits the note map and the active panel.
    makeDistinctive (other);
    const auto blocks = std::array { stateBlock (processor), stateBlock (other) };
    const auto path = presetPath ("Busy.qvtp");
    ASSERT_TRUE (processor.savePresetFile (path));

    std::thread host ([&]
    {
        for (int round = 0; round < 200; ++round)
        {
            const auto saved = stateBlock (processor);
            EXPECT_NE (juce::AudioProcessor::getXmlFromBinary (saved.getData(), (int) saved.getSize()), nullptr);
            restore (processor, blocks[(size_t) round % 2]);
        }
    });

    for (int round = 0; round < 200; ++round)
    {
        processor.setVoiceMidiNotes (round, 37, 38, 39, 40, 41, 42);
        EXPECT_TRUE (round % 2 == 0 ? processor.savePresetFile (path) : processor.loadPresetFile (path));
        const juce::ScopedLock lock (processor.getStateLock());
        processor.valueTreeState.state.setProperty ("activePanel", "voice" + juce::String (1 + round % 7), nullptr);
    }

    host.join();
    restore (other, stateBlock (processor));
    EXPECT_EQ (snapshot (other), snapshot (processor));
}

//==============================================================================
TEST (Settings, FactoryNotesWithoutAFileSavedSettingsForTheNextInstanceAndAnyIntegerKept)
{
    TemporaryDataFolder folder;
    const auto note = [] (KestrinAudioProcessor& p, int voiceNumber) { return (int) p.valueTreeState.state[noteProperty (voiceNumber)]; };

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
        EXPECT_EQ (note (second, voiceNumber), 47 + voiceNumber);
        EXPECT_EQ (second.voiceManager.getVoice (voiceNumber - 1)->getMidiNote(), 47 + voiceNumber);
    }

    // A file with only some entries: any integer is kept, the rest are the factory's.
    folder.settingsFile().replaceWithText ("<settings><voice1Midi value=\"-5\"/><voice3Midi value=\"50\"/><voice7Midi value=\"300\"/></settings>");
    KestrinAudioProcessor third (folder.get());
    EXPECT_EQ (third.settingsTree.getChildWithName ("scale")["value"].toString(), "1.0");
    EXPECT_TRUE (note (third, 1) == -5 && note (third, 3) == 50 && note (third, 4) == 39 && note (third, 7) == 300);

    ASSERT_TRUE (folder.get().deleteRecursively());
    EXPECT_FALSE (second.saveSettings()) << "the data folder is gone";
    EXPECT_FALSE (folder.settingsFile().exists());
}

//==============================================================================
TEST_F (StateTest, UnusableHostStatesPresetsAndSettingsChangeNothing)
{
    // Host state: the processor's state stays as it was and nothing is announced.
    makeDistinctive (processor);
    const auto before = snapshot (processor);
    const auto validState = snapshot (other);
    auto documents = unusable (validState, badValues (validState));

    for (const auto& [name, value] : { std::pair { "fractional note", "36.5" }, { "note in words", "C1" } })
        documents.push_back ({ name, edited (validState, noteProperty (1), value) });

    documents.push_back ({ "no such panel", edited (validState, "activePanel", "voice9") });
    MessageRecorder recorder (processor);

    for (const auto& [name, text] : documents)
    {
        restore (processor, blockOf (text));
        EXPECT_EQ (snapshot (processor), before) << "host state: " << name;
    }

    const auto block = stateBlock (other);
    restore (processor, juce::MemoryBlock (block.getData(), block.getSize() / 2));
    processor.setStateInformation (nullptr, 0);
    EXPECT_EQ (snapshot (processor), before) << "truncated block";

    // Preset: loading fails and changes nothing.
    ASSERT_TRUE (other.savePresetFile (presetPath ("Valid.qvtp")));
    const auto validPreset = juce::File (presetPath ("Valid.qvtp")).loadFileAsString();
    std::vector<std::pair<std::string, juce::String>> paths { { "empty path", {} }, { "relative path", "Presets/Valid.qvtp" },
                                                              { "missing file", presetPath ("Missing.qvtp") },
                                                              { "folder", folder.presetsFolder().getFullPathName() } };

    for (const auto& [name, text] : unusable (validPreset, badValues (validPreset)))
    {
        paths.push_back ({ name, presetPath (juce::String (name) + ".qvtp") });
        ASSERT_TRUE (juce::File (paths.back().second).replaceWithText (text));
    }

    for (const auto& [name, path] : paths)
    {
        EXPECT_FALSE (processor.loadPresetFile (path)) << "preset: " << name;
        EXPECT_EQ (snapshot (processor), before) << "preset: " << name;
    }

    pumpMessages();
    EXPECT_EQ (recorder.count ("StateInformationSet") + recorder.count ("PresetLoaded"), 0);

    // Settings file: a new instance starts with the factory settings and leaves the file alone.
    juce::XmlElement root ("settings");
    root.createNewChildElement ("scale")->setAttribute ("value", "1.5");

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
        root.createNewChildElement (noteProperty (voiceNumber))->setAttribute ("value", 47 + voiceNumber);

    const auto valid = root.toString();

    for (const auto& [name, content] : unusable (valid, { { "scale in words", valid.replace ("\"1.5\"", "\"large\"") },
                                                          { "negative scale", valid.replace ("\"1.5\"", "\"-2\"") },
                                                          { "fractional note", valid.replace ("\"49\"", "\"49.5\"") },
                                                          { "note name", valid.replace ("\"50\"", "\"D3\"") } }))
    {
        TemporaryDataFolder settingsFolder;
        settingsFolder.get().createDirectory();
        settingsFolder.settingsFile().replaceWithText (content);
        ASSERT_NE (content, valid) << name;

        KestrinAudioProcessor fresh (settingsFolder.get());
        EXPECT_EQ (fresh.settingsTree.getChildWithName ("scale")["value"].toString(), "1.0") << "settings: " << name;

        for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
            EXPECT_EQ ((int) property (fresh, noteProperty (voiceNumber)), 35 + voiceNumber) << "settings: " << name;

        EXPECT_EQ (settingsFolder.settingsFile().loadFileAsString(), content) << "settings: " << name;
    }
}
