#include "ExpectedJuceAssertions.h"
#include "ProcessorTestHelpers.h"

#include "processor/UntrustedXml.h"

#include <climits>
#include <fstream>
#include <functional>

#include <sys/stat.h>

using namespace ProcessorTestHelpers;
namespace Id = ParameterIds;
namespace S = StateIds;

namespace
{
using Bytes = std::string;
using Edit = std::function<Bytes (const Bytes&)>;

void write (const juce::File& file, const Bytes& bytes) { ASSERT_TRUE (std::ofstream (file.getFullPathName().toStdString(), std::ios::binary | std::ios::trunc) << bytes); }
Bytes repeated (const char* s, int n) { return juce::String::repeatedString (s, n).toStdString(); }
juce::var property (KestrinAudioProcessor& processor, const juce::String& name) { return processor.valueTreeState.state[name]; }

juce::MemoryBlock stateBlock (KestrinAudioProcessor& processor) { juce::MemoryBlock block; processor.getStateInformation (block); return block; }
void restore (KestrinAudioProcessor& processor, const juce::MemoryBlock& block) { processor.setStateInformation (block.getData(), (int) block.getSize()); }

/** A host's state block around any bytes, framed as juce::AudioProcessor::copyXmlToBinary frames a document. */
juce::MemoryBlock stateBlockOf (const Bytes& text)
{
    const uint32_t header[] { juce::ByteOrder::swapIfBigEndian (0x21324356u), juce::ByteOrder::swapIfBigEndian ((uint32_t) text.size()) };
    juce::MemoryBlock block (header, sizeof (header));
    block.append (text.c_str(), text.size() + 1);
    return block;
}

/** The document from its root element on, without the XML declaration. */
Bytes body (const Bytes& document) { const auto end = document.find ("?>"); return document.substr (document.find ('<', end == Bytes::npos ? 0 : end)); }

/** document with snippet right after the root's start tag. */
Bytes insideRoot (const Bytes& document, const Bytes& snippet)
{
    const auto at = document.find ('>', document.size() - body (document).size()) + 1;
    return document.substr (0, at) + snippet + document.substr (at);
}

Bytes edited (const Bytes& document, const std::function<void (juce::XmlElement&)>& edit)
{
    auto xml = juce::parseXML (juce::String::fromUTF8 (document.data(), (int) document.size()));
    edit (*xml);
    return xml->toString().toStdString();
}

/** Gives a parameter's entry, a settings entry or else the root's attribute called `name` another value. */
Edit valueOf (const juce::String& name, const juce::String& value)
{
    return [=] (const Bytes& d)
    {
        return edited (d, [&] (juce::XmlElement& x)
        {
            auto* entry = x.getChildByAttribute ("id", name) != nullptr ? x.getChildByAttribute ("id", name) : x.getChildByName (name);
            entry != nullptr ? entry->setAttribute (S::value, value) : x.setAttribute (name, value);
        });
    };
}

/** Renames the settings entry `from` to `to`, with another value. */
Edit retagged (const juce::String& from, const juce::String& to, const char* value)
{
    return [=] (const Bytes& d) { return edited (d, [&] (auto& x) { x.getChildByName (from)->setTagName (to); x.getChildByName (to)->setAttribute (S::value, value); }); };
}

/** A document as large as may be read: the root gains a value of text and character references up
    to the size limit, which the framework's parser would copy whole at every reference. */
Bytes filledUp (const Bytes& document)
{
    const auto at = document.find_first_of (" >", document.size() - body (document).size());
    const Bytes start (" filler=\""), end ("\"");
    auto filler = Bytes (UntrustedXml::maximumSize - document.size() - start.size() - end.size(), 'a');

    for (size_t i = 0; i + 8 <= filler.size(); i += 8)
        filler.replace (i + 4, 4, "&#1;");

    return document.substr (0, at) + start + filler + end + document.substr (at);
}

/** Seconds that f takes. */
double secondsFor (const std::function<void()>& f)
{
    const auto start = juce::Time::getMillisecondCounterHiRes();
    f();
    return (juce::Time::getMillisecondCounterHiRes() - start) / 1000.0;
}

enum Loaders { preset = 1, hostState = 2, settings = 4, all = 7 };

/** Documents that every loader, or the ones named, must refuse, made from a valid document of its kind. */
const std::vector<std::tuple<const char*, int, Edit>> refusedEdits {
    { "empty", all, [] (auto&) { return Bytes(); } },
    { "garbage", all, [] (auto&) { return Bytes ("\x01\x02 kick drum, snare drum \x7f"); } },
    { "truncated", all, [] (auto& d) { return d.substr (0, d.size() / 2); } },
    { "another root", all, [] (auto&) { return Bytes ("<other><scale value=\"1.0\"/></other>"); } },
    { "processing instruction then text", all, [] (auto& d) { return insideRoot (d, "<?p?>x"); } },
    { "parameter entity reading /dev/zero", all, [] (auto& d) { return "<!DOCTYPE R [<!ENTITY % p SYSTEM \"/dev/zero\"> %p;]>" + body (d); } },
    { "external DTD and unknown entity", all, [] (auto& d) { return "<!DOCTYPE R SYSTEM \"/dev/zero\">" + insideRoot (body (d), "&x;"); } },
    { "malformed entity", all, [] (auto& d) { return insideRoot (d, "&;"); } },
    { "malformed entity, minimised", all, [] (auto&) { return Bytes ("<!DOCTYPE<\xA0>?><i e=\"&;"); } },
    { "lead byte at the very end", all, [] (auto& d) { return body (d).substr (0, body (d).find ('"') + 1) + "\xE2"; } },
    { "lead byte inside", all, [] (auto& d) { return insideRoot (d, "\xE2"); } },
    { "overlong form", all, [] (auto& d) { return insideRoot (d, "\xC0\xAF"); } },
    { "surrogate", all, [] (auto& d) { return insideRoot (d, "\xED\xA0\x80"); } },
    { "NUL", all, [] (auto& d) { return insideRoot (d, Bytes (1, '\0')); } },
    { "CDATA", all, [] (auto& d) { return insideRoot (d, "<![CDATA[x]]>"); } },
    { "deeper than a state", all, [] (auto& d) { return insideRoot (d, "<a><b/></a>"); } },
    { "200,000 unclosed levels", all, [] (auto& d) { return insideRoot (d, repeated ("<a>", 200000)); } },
    { "5,000 balanced levels", all, [] (auto& d) { return insideRoot (d, repeated ("<a>", 5000) + repeated ("</a>", 5000)); } },
    { "an attribute twice", all, [] (auto& d) { auto r = d; return r.insert (r.find (" value=\""), " value=\"7\""); } },
    { "larger than 1 MB", all, [] (auto& d) { return insideRoot (d, "<!--" + Bytes ((size_t) 1 << 20, 'x') + "-->"); } },
    { "more elements than a document may have", all, [] (auto& d) { return insideRoot (d, repeated ("<a/>", UntrustedXml::maximumElements)); } },
    { "more attributes than a document may have", all, [] (auto& d) { Bytes a; for (int i = 0; i < UntrustedXml::maximumAttributes; ++i) a += " a" + std::to_string (i) + "=''"; return insideRoot (d, "<a" + a + "/>"); } },
    { "an entry twice", all, [] (auto& d) { return edited (d, [] (auto& x) { x.addChildElement (new juce::XmlElement (*x.getFirstChildElement())); }); } },
    { "fractional note", all, valueOf (S::voiceMidi (1), "36.5") },
    { "note name", all, valueOf (S::voiceMidi (3), "D3") },
    { "note 1e2", all, valueOf (S::voiceMidi (1), "1e2") },
    { "note 4.0e1", all, valueOf (S::voiceMidi (2), "4.0e1") },
    { "pan beyond its range", preset | hostState, valueOf (Id::voiceParameterId (1, Id::pan), "7") },
    { "gain below its range", preset | hostState, valueOf (Id::voiceParameterId (2, Id::gain), "-100") },
    { "value in words", preset | hostState, valueOf (Id::paramPhase, "loud") },
    { "exponent of twenty digits", preset | hostState, valueOf (Id::paramPhase, "1e99999999999999999999") },
    { "hexadecimal", preset | hostState, valueOf (Id::paramPhase, "0x1") },
    { "no such panel", preset | hostState, valueOf (S::activePanel, "voice9") },
    { "a name longer than a file name", preset | hostState, valueOf (S::presetName, juce::String::repeatedString ("n", NAME_MAX + 1)) },
    { "a path longer than the platform's", preset | hostState, valueOf (S::presetPath, "/" + juce::String::repeatedString ("p", PATH_MAX - 1)) },
    { "scale in words", settings, valueOf (S::scale, "large") },
    { "negative scale", settings, valueOf (S::scale, "-2") },
    { "scale beyond a double", settings, valueOf (S::scale, "1e400") },
    { "note tag in capitals, not a number", settings, retagged (S::voiceMidi (1), "VOICE1MIDI", "x") },
    { "note tag in mixed case, 1e2", settings, retagged (S::voiceMidi (1), "voIce1Midi", "1e2") },
    { "a note twice, once in capitals", settings, [] (auto& d) { return insideRoot (d, "<VOICE2MIDI value=\"50\"/>"); } },
};

class StateTest : public ::testing::Test
{
protected:
    /** Valid documents of each kind, with the sound, note map, extra properties and settings away from every default. */
    StateTest()
    {
        for (const auto& [id, value] : { std::pair { Id::voiceParameterId (2, Id::decay), 1.5f }, { Id::voiceParameterId (3, Id::label), 12.0f }, { Id::voiceParameterId (7, Id::pan), -0.4f },
                                         { Id::voiceParameterId (5, Id::chokeGroup), 3.0f }, { juce::String (Id::paramPhase), 2.0f }, { juce::String (Id::paramMultiOut), 1.0f } })
            setValue (parameter (other, id), value);

        other.setVoiceMidiNotes (-3, 51, 52, 53, 54, 55, 500); // any integers are kept
        other.settingsTree.getChildWithName (S::scale).setProperty (S::value, "1.5", nullptr);
        other.settingsTree.getChildWithName (S::voiceMidi (1)).setProperty (S::value, 60, nullptr);
        EXPECT_TRUE (other.savePresetFile (otherFolder.presetsFolder().getChildFile ("Groove.qvtp").getFullPathName()) && other.saveSettings());
        other.valueTreeState.state.setProperty (S::activePanel, "voice4", nullptr);
        const auto block = stateBlock (other);
        validState = Bytes (static_cast<const char*> (block.getData()) + 8, block.getSize() - 9);
        validPreset = otherFolder.presetsFolder().getChildFile ("Groove.qvtp").loadFileAsString().toStdString();
        validSettings = otherFolder.settingsFile().loadFileAsString().toStdString();
    }

    juce::String presetPath (const juce::String& fileName) const { return folder.presetsFolder().getChildFile (fileName).getFullPathName(); }

    /** Loads a preset from path, or from text written to a file; a load that fails must change nothing. */
    bool presetLoads (const juce::String& path)
    {
        const auto before = processor.valueTreeState.copyState();
        const auto loaded = processor.loadPresetFile (path);
        EXPECT_TRUE (loaded || processor.valueTreeState.copyState().isEquivalentTo (before)) << "a failed load changed the state";
        return loaded;
    }

    bool presetLoads (const Bytes& text) { write (presetFile, text); return presetLoads (presetFile.getFullPathName()); }

    bool hostStateRefused (const juce::MemoryBlock& block)
    {
        const auto before = processor.valueTreeState.copyState();
        processor.setStateInformation (block.getData(), (int) block.getSize());
        return processor.valueTreeState.copyState().isEquivalentTo (before);
    }

    /** A new instance whose settings file placeSettings makes starts with the factory settings. */
    bool settingsRefused (const std::function<void (const juce::File&)>& placeSettings)
    {
        scratchFolder.settingsFile().deleteRecursively();
        placeSettings (scratchFolder.settingsFile());
        return KestrinAudioProcessor (scratchFolder.get()).settingsTree.isEquivalentTo (factory.settingsTree);
    }

    /** ... and leaves the file as it was. */
    bool settingsRefused (const Bytes& text)
    {
        return settingsRefused ([&] (auto& file) { write (file, text); }) && scratchFolder.settingsFile().getSize() == (juce::int64) text.size();
    }

    /** Every parameter finite and inside its range with one entry in the state, and a fresh instance
        given the saved state holds the same values and saves the state again byte for byte. */
    bool isWholeAndRestores (KestrinAudioProcessor& p)
    {
        KestrinAudioProcessor fresh (restoreFolder.get());
        const auto block = stateBlock (p);
        restore (fresh, block);
        const auto state = p.valueTreeState.copyState();
        bool result = state.getNumChildren() == p.getParameters().size() && stateBlock (fresh) == block;

        for (auto* parameter : p.getParameters())
        {
            const auto& ranged = dynamic_cast<juce::RangedAudioParameter&> (*parameter);
            const auto value = getValue (p, ranged.paramID);
            const auto& range = ranged.getNormalisableRange();
            result = result && std::isfinite (value) && value >= range.start && value <= range.end
                     && state.getChildWithProperty ("id", ranged.paramID).hasProperty (S::value) && getValue (fresh, ranged.paramID) == value;
        }

        return result;
    }

    TemporaryDataFolder folder, otherFolder, scratchFolder, restoreFolder;
    KestrinAudioProcessor processor { folder.get() }, other { otherFolder.get() }, factory { scratchFolder.get() };
    const juce::File presetFile { folder.presetsFolder().getChildFile ("Hostile.qvtp") };
    Bytes validState, validPreset, validSettings;
};
} // namespace

//==============================================================================
TEST_F (StateTest, HostStateRoundTripBringsBackSoundNotesAndExtraPropertiesAndNeverANonFiniteValue)
{
    // A host may send what is not a number: the parameter takes its default (or, beyond 0 to 1, an end).
    auto& pitch = voiceParameter (other, 4, Id::tonePitch);
    {
        const ExpectedJuceAssertions outOfRange; // the framework flags such a host, and copes
        static_cast<juce::AudioProcessorParameter&> (pitch).setValue (std::numeric_limits<float>::quiet_NaN()); // as host automation arrives
        pitch.sendValueChangedMessageToListeners (std::numeric_limits<float>::quiet_NaN());
        voiceParameter (other, 6, Id::gain).setValueNotifyingHost (std::numeric_limits<float>::infinity());
    }
    EXPECT_TRUE (getValue (other, pitch.paramID) == pitch.convertFrom0to1 (pitch.getDefaultValue()) && getValue (other, Id::voiceParameterId (6, Id::gain)) == 24.0f);

    const auto block = stateBlock (other);
    MessageRecorder recorder (processor);
    restore (processor, block);
    pumpMessages();

    // Saved again, it is the same state, and the voices play it.
    EXPECT_EQ (stateBlock (processor), block);
    EXPECT_EQ (processor.getProgramName (0), "Groove");
    EXPECT_FLOAT_EQ (processor.voiceManager.getVoice (1)->getParameter (VoiceParameter::decay), 1.5f);
    EXPECT_TRUE (processor.voiceManager.getVoice (0)->getMidiNote() == -3 && processor.voiceManager.getVoice (6)->getMidiNote() == 500);
    EXPECT_EQ (recorder.messages, juce::StringArray ({ "voiceLabelChanged3", "StateInformationSet" }));

    // A state without the extra properties keeps the current ones.
    other.setVoiceMidiNotes (60, 61, 62, 63, 64, 65, 66);
    restore (processor, stateBlockOf (edited (other.valueTreeState.copyState().toXmlString().toStdString(), [] (auto& x) { x.removeAttribute (S::activePanel); x.removeAttribute (S::voiceMidi (3)); })));
    EXPECT_TRUE (property (processor, S::activePanel) == "voice4" && (int) property (processor, S::voiceMidi (3)) == 52 && (int) property (processor, S::voiceMidi (4)) == 63);
}

//==============================================================================
TEST_F (StateTest, PresetsCarryTheSoundButNeitherTheSessionSettingsNorTheNoteMap)
{
    // A new instance starts with the presets folder and the "Init" preset's name and path.
    EXPECT_TRUE (folder.presetsFolder().isDirectory() && processor.presetsFolderPath == folder.presetsFolder().getFullPathName());
    EXPECT_TRUE (property (processor, S::presetPath) == presetPath ("Init.qvtp") && property (processor, S::activePanel) == "voice1" && processor.getProgramName (0) == "Init");

    restore (processor, stateBlockOf (validState));
    setValue (parameter (processor, Id::paramOversampling), 2.0f);
    const auto path = presetPath ("My Kit.qvtp");
    ASSERT_TRUE (processor.savePresetFile (path));
    setValue (voiceParameter (processor, 2, Id::decay), 0.75f);
    MessageRecorder recorder (processor);
    ASSERT_TRUE (processor.savePresetFile (path)); // replaces the old file
    EXPECT_TRUE (folder.presetsFolder().getNumberOfChildFiles (juce::File::findFiles) == 1 && property (processor, S::presetName) == "My Kit");

    // The file holds every sound parameter, and nothing of the session, the note map, the panel or where it lies.
    const auto xml = juce::parseXML (juce::File (path));
    ASSERT_NE (xml, nullptr);
    const juce::StringArray sessionIds { Id::paramBypassGlobal, Id::paramOversampling, Id::paramOfflineQuality, Id::paramMultiOut };
    EXPECT_EQ (xml->getNumChildElements(), 153 - sessionIds.size());
    auto leftOut = sessionIds;
    leftOut.addArray ({ S::presetPath, S::activePanel, S::voiceMidi (1), S::voiceMidi (7) });

    for (const auto& name : leftOut)
        EXPECT_TRUE (! xml->hasAttribute (name) && xml->getChildByAttribute ("id", name) == nullptr) << name << " is left out";

    // Loaded elsewhere from a renamed file: the name comes from its contents, the session and the note map stay.
    const auto renamed = otherFolder.presetsFolder().getChildFile ("Renamed.qvtp").getFullPathName();
    ASSERT_TRUE (juce::File (path).copyFileTo (renamed));
    const std::array<float, 4> session { 1.0f, 1.0f, 1.0f, 0.0f }; // each unlike the saving instance's

    for (int i = 0; i < sessionIds.size(); ++i)
        setValue (parameter (other, sessionIds[i]), session[(size_t) i]);

    setValue (voiceParameter (other, 3, Id::label), 0.0f);
    other.valueTreeState.state.setProperty (S::activePanel, "voice6", nullptr);
    other.setVoiceMidiNotes (70, 71, 72, 73, 74, 75, 76);
    MessageRecorder otherRecorder (other);
    ASSERT_TRUE (other.loadPresetFile (renamed));
    pumpMessages();

    for (int i = 0; i < sessionIds.size(); ++i)
        EXPECT_FLOAT_EQ (getValue (other, sessionIds[i]), session[(size_t) i]) << sessionIds[i];

    EXPECT_NEAR (other.voiceManager.getVoice (1)->getParameter (VoiceParameter::decay), 0.75f, 1.0e-5f);
    EXPECT_TRUE (property (other, S::activePanel) == "voice6" && other.voiceManager.getVoice (6)->getMidiNote() == 76);
    EXPECT_TRUE (property (other, S::presetName) == "My Kit" && property (other, S::presetPath) == renamed);
    EXPECT_EQ (recorder.messages, juce::StringArray ("PresetSaved"));
    EXPECT_EQ (otherRecorder.messages, juce::StringArray ({ "voiceLabelChanged3", "PresetLoaded" }));
}

TEST_F (StateTest, FailedPresetSaveReportsSendsNothingAndLeavesTheExistingFileIntact)
{
    MessageRecorder recorder (processor);
    EXPECT_FALSE (processor.savePresetFile (folder.get().getChildFile ("No Such Folder").getChildFile ("Kit.qvtp").getFullPathName()));
    EXPECT_EQ (property (processor, S::presetName).toString(), "Init") << "a failed save keeps the current name";
    EXPECT_FALSE (processor.savePresetFile (folder.presetsFolder().getFullPathName()));
    EXPECT_TRUE (folder.presetsFolder().isDirectory());
    EXPECT_FALSE (processor.savePresetFile (folder.presetsFolder().getFullPathName() + juce::String::repeatedString ("/.", PATH_MAX / 2) + "/Kit.qvtp"))
        << "a path longer than a state may hold, though the framework shortens it";

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

//==============================================================================
TEST_F (StateTest, SettingsAreTheFactoryOnesWithoutAFileOrTheSavedOnesWithAnyIntegerNote)
{
    const auto setting = [] (KestrinAudioProcessor& p, const juce::String& name) { return p.settingsTree.getChildWithName (name)[S::value]; };
    EXPECT_FALSE (scratchFolder.settingsFile().exists()) << "an instance writes none of its own";

    // No file, the file `other` saved, and one with only some entries: the rest are the factory's.
    const juce::String some ("<settings><voice1Midi value=\"-5\"/><voice3Midi value=\"50\"/><voice7Midi value=\"300\"/></settings>");

    for (const auto& [text, scale, notes] : { std::tuple { juce::String(), "1.0", std::array { 36, 37, 38, 39, 40, 41, 42 } },
                                              { juce::String (validSettings), "1.5", { 60, 37, 38, 39, 40, 41, 42 } }, { some, "1.0", { -5, 37, 50, 39, 40, 41, 300 } } })
    {
        scratchFolder.settingsFile().deleteFile();
        EXPECT_TRUE (text.isEmpty() || scratchFolder.settingsFile().replaceWithText (text));
        KestrinAudioProcessor next (scratchFolder.get());
        EXPECT_EQ (setting (next, S::scale).toString(), scale) << text;

        for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
            EXPECT_TRUE ((int) setting (next, S::voiceMidi (voiceNumber)) == notes[(size_t) voiceNumber - 1] && (int) property (next, S::voiceMidi (voiceNumber)) == notes[(size_t) voiceNumber - 1]
                         && next.voiceManager.getVoice (voiceNumber - 1)->getMidiNote() == notes[(size_t) voiceNumber - 1]) << text << ", voice " << voiceNumber;
    }

    ASSERT_TRUE (otherFolder.get().deleteRecursively());
    EXPECT_FALSE (other.saveSettings() || otherFolder.settingsFile().exists()) << "the data folder is gone";
}

//==============================================================================
TEST_F (StateTest, EveryLoaderRefusesHostileOrInvalidDocumentsAndFilesAndChangesNothing)
{
    MessageRecorder recorder (processor);

    for (const auto& [name, loaders, edit] : refusedEdits)
    {
        EXPECT_TRUE ((loaders & preset) == 0 || ! presetLoads (edit (validPreset))) << "preset: " << name;
        EXPECT_TRUE ((loaders & hostState) == 0 || hostStateRefused (stateBlockOf (edit (validState)))) << "host state: " << name;
        EXPECT_TRUE ((loaders & settings) == 0 || settingsRefused (edit (validSettings))) << "settings: " << name;
    }

    // Blocks whose frame lies or is missing: a length beyond the block, a document beyond 1 MB, nothing.
    auto overlong = stateBlockOf (validState);
    overlong.setSize (overlong.getSize() - 2);
    EXPECT_TRUE (hostStateRefused (overlong) && hostStateRefused ({}));
    EXPECT_TRUE (hostStateRefused (stateBlockOf (validState + Bytes (((size_t) 1 << 20) - validState.size() + 1, ' '))));

    // Files that never end or are no files: a pipe, a device, a link to it, a folder; paths to nothing.
    const auto pipe = folder.get().getChildFile ("pipe.qvtp"), link = folder.get().getChildFile ("zero.qvtp");
    ASSERT_EQ (mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (link, true));

    for (const auto& file : { pipe, juce::File ("/dev/zero"), link, folder.get() })
    {
        EXPECT_FALSE (presetLoads (file.getFullPathName())) << file.getFullPathName();
        EXPECT_TRUE (settingsRefused ([&] (auto& settingsFile) { file.createSymbolicLink (settingsFile, true); })) << file.getFullPathName();
    }

    EXPECT_TRUE (settingsRefused ([] (auto& settingsFile) { mkfifo (settingsFile.getFullPathName().toRawUTF8(), 0600); }));

    const auto workingDirectory = juce::File::getCurrentWorkingDirectory();
    otherFolder.get().setAsCurrentWorkingDirectory(); // where the relative path leads to a preset

    // A path longer than a state may hold, though the framework shortens it to one that leads to a preset.
    const auto longPath = otherFolder.presetsFolder().getFullPathName() + juce::String::repeatedString ("/.", PATH_MAX / 2) + "/Groove.qvtp";

    for (const auto& path : { juce::String(), juce::String ("Presets/Groove.qvtp"), presetPath ("Missing.qvtp"), longPath })
        EXPECT_FALSE (presetLoads (path)) << path;

    workingDirectory.setAsCurrentWorkingDirectory();

    pumpMessages();
    EXPECT_TRUE (recorder.messages.isEmpty());

    // The valid documents load (the settings' own test loads the settings), or none of the above shows anything.
    EXPECT_TRUE (presetLoads (validPreset));
    EXPECT_FALSE (hostStateRefused (stateBlockOf (validState)));
}

TEST_F (StateTest, TheLargestDocumentsThatLoadDoSoAtOnceAndLeaveWhatLoadsAgain)
{
    // Reading is linear: milliseconds here, tens of them under the sanitizers. A parser that copies a
    // value at every reference took a second and more. Each load is timed against a valid document
    // of its kind, which for the settings includes making a whole instance.
    constexpr double maximumExtraSeconds = 0.5;
    const auto extraSeconds = [] (const std::function<bool (const Bytes&)>& loads, const Bytes& plain, const Bytes& heavy)
    {
        const auto plainSeconds = secondsFor ([&] { EXPECT_TRUE (loads (plain)); });
        return secondsFor ([&] { EXPECT_TRUE (loads (heavy)); }) - plainSeconds;
    };

    // The longest name and path, escaped as long as they can be, and references up to the size limit.
    juce::String path ("/");

    while (path.getNumBytesAsUTF8() < PATH_MAX - 1)
        path << (path.length() % 2 == 0 ? "\"" : "\n");

    const auto longest = [&] (const Bytes& d) { return filledUp (edited (d, [&] (auto& x) { x.setAttribute (S::presetName, juce::String::repeatedString ("\"", NAME_MAX)); x.setAttribute (S::presetPath, path); })); };
    const auto heavyState = longest (validState), heavyPreset = longest (validPreset);
    ASSERT_TRUE (heavyState.size() == UntrustedXml::maximumSize && heavyPreset.size() == UntrustedXml::maximumSize);

    EXPECT_LT (extraSeconds ([&] (auto& d) { return ! hostStateRefused (stateBlockOf (d)); }, validState, heavyState), maximumExtraSeconds);
    EXPECT_TRUE (property (processor, S::presetName) == juce::String::repeatedString ("\"", NAME_MAX) && property (processor, S::presetPath) == path);
    EXPECT_TRUE (isWholeAndRestores (processor));

    EXPECT_LT (extraSeconds ([&] (auto& d) { return presetLoads (d); }, validPreset, heavyPreset), maximumExtraSeconds);
    EXPECT_TRUE (isWholeAndRestores (processor));
    EXPECT_LT (extraSeconds ([&] (auto& d) { return ! settingsRefused (d); }, validSettings, filledUp (validSettings)), maximumExtraSeconds);

    // A scale padded with blanks up to the limit is read as the number and saved as one.
    const auto padded = "<settings><scale value=\"1.5" + Bytes (UntrustedXml::maximumSize - 100, '\n') + "\"/><voice2Midi value=\"50\"/></settings>";
    EXPECT_FALSE (settingsRefused (padded));
    EXPECT_TRUE (KestrinAudioProcessor (scratchFolder.get()).saveSettings());
    KestrinAudioProcessor next (scratchFolder.get());
    EXPECT_TRUE ((double) next.settingsTree.getChildWithName (S::scale)[S::value] == 1.5 && next.voiceManager.getVoice (1)->getMidiNote() == 50);
}

TEST_F (StateTest, RestoredStatesSaveTheSameBytesAndKeepTheValuesAsRead)
{
    // The factory kit, then states of random values: restored into another instance, each saves as it was.
    juce::Random random (1616);

    for (int round = 0; round < 20; ++round)
    {
        KestrinAudioProcessor source (restoreFolder.get());

        for (auto* parameter : round == 0 ? juce::Array<juce::AudioProcessorParameter*>() : source.getParameters())
            parameter->setValueNotifyingHost (random.nextFloat());

        const auto block = stateBlock (source);
        restore (processor, block);
        EXPECT_EQ (stateBlock (processor), block) << "round " << round;
    }

    // Values typed into a file stay as they are, also where the knob's mapping has no setting for them.
    const std::array<std::tuple<int, const char*, const char*>, 4> typed { { { 1, Id::noiseHPCutoff, "49" }, { 5, Id::decay, "0.37" },
                                                                             { 6, Id::noiseHPCutoff, "3210.7" }, { 7, Id::tonePitch, "87.3" } } };
    auto text = validState;

    for (const auto& [voice, suffix, value] : typed)
        text = valueOf (Id::voiceParameterId (voice, suffix), value) (text);

    restore (processor, stateBlockOf (text));

    for (const auto& [voice, suffix, value] : typed)
        EXPECT_EQ (getValue (processor, Id::voiceParameterId (voice, suffix)), juce::String (value).getFloatValue()) << voice << suffix;

    EXPECT_TRUE (isWholeAndRestores (processor));
}

TEST_F (StateTest, InstancesSharingADataFolderEachWriteOnlyTheirOwnSettings)
{
    // Both open before either writes, so each holds the other's entries as they were at its start.
    KestrinAudioProcessor first (scratchFolder.get()), second (scratchFolder.get());
    const auto setNotes = [] (KestrinAudioProcessor& p, int base)
    {
        for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
            p.settingsTree.getChildWithName (S::voiceMidi (voiceNumber)).setProperty (S::value, base + voiceNumber, nullptr);
    };
    const auto setScale = [] (KestrinAudioProcessor& p, double scale) { p.settingsTree.getChildWithName (S::scale).setProperty (S::value, scale, nullptr); };
    const auto expectFile = [&] (double scale, int base, const char* what)
    {
        KestrinAudioProcessor next (scratchFolder.get());
        EXPECT_EQ ((double) next.settingsTree.getChildWithName (S::scale)[S::value], scale) << what;

        for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
            EXPECT_EQ (next.voiceManager.getVoice (voiceNumber - 1)->getMidiNote(), base + voiceNumber) << what << ", voice " << voiceNumber;
    };

    setNotes (first, 60);
    ASSERT_TRUE (first.saveNoteMapSetting());
    setScale (second, 1.25);
    ASSERT_TRUE (second.saveScaleSetting());
    expectFile (1.25, 60, "the scale written after the map");

    setScale (first, 2.0);
    ASSERT_TRUE (first.saveScaleSetting());
    setNotes (second, 70);
    ASSERT_TRUE (second.saveNoteMapSetting());
    expectFile (2.0, 70, "the map written after the scale");

    // A file that cannot be read is replaced by one with what was written and factory settings otherwise.
    write (scratchFolder.settingsFile(), "<settings><scale value=\"big\"/></settings>");
    ASSERT_TRUE (second.saveNoteMapSetting());
    expectFile (1.0, 70, "over an unreadable file");
}

TEST_F (StateTest, IncompleteStatesAndValuesThatAreNoNumbersLoadCompleteAndRestore)
{
    const auto value = [&] (int voice, const char* suffix) { return getValue (processor, Id::voiceParameterId (voice, suffix)); };
    const auto defaultOf = [&] (int voice, const char* suffix) { auto& p = voiceParameter (processor, voice, suffix); return p.convertFrom0to1 (p.getDefaultValue()); };

    // A preset without entries is the default sound, and what it leaves is a complete state.
    setValue (voiceParameter (processor, 3, Id::decay), 2.0f);
    EXPECT_TRUE (presetLoads (Bytes ("<PARAMETERS/>")));
    EXPECT_FLOAT_EQ (value (3, Id::decay), defaultOf (3, Id::decay));
    EXPECT_TRUE (isWholeAndRestores (processor));

    // In a host state, values that are no numbers, or none at all, take the default and the rest loads.
    const std::array<std::pair<int, const char*>, 3> unreadable { { { 2, Id::decay }, { 4, Id::pan }, { 5, Id::gain } } };

    for (const auto& [voice, suffix] : unreadable)
        voiceParameter (processor, voice, suffix).setValueNotifyingHost (0.7f);

    const auto unreadableValues = valueOf (Id::voiceParameterId (2, Id::decay), "nan") (valueOf (Id::voiceParameterId (4, Id::pan), "-inf") (validState));
    EXPECT_FALSE (hostStateRefused (stateBlockOf (edited (unreadableValues, [] (auto& x) { x.getChildByAttribute ("id", Id::voiceParameterId (5, Id::gain))->removeAttribute (S::value); }))));

    for (const auto& [voice, suffix] : unreadable)
        EXPECT_FLOAT_EQ (value (voice, suffix), defaultOf (voice, suffix)) << voice << suffix;

    EXPECT_FLOAT_EQ (value (5, Id::chokeGroup), 3.0f);
    EXPECT_TRUE (isWholeAndRestores (processor));
}

TEST_F (StateTest, MutatedPresetsStatesAndSettingsLoadWhollyOrChangeNothing)
{
    juce::Random random (1212);
    const std::vector<Bytes> snippets { "<", ">", "/>", "&", "&#0;", "&amp;", "\"", "=", "<?p?>", "<!DOCTYPE R>", "<!--", "<a>", "</a>",
                                        "\xE2", Bytes (1, '\0'), "e9999", "1e2", "-", ".", "nan", " value=\"7\"", "<PARAM id=\"paramPhase\" value=\"1\"/>" };
    const auto mutate = [&] (Bytes text)
    {
        for (int n = 1 + random.nextInt (3); --n >= 0;)
        {
            const auto at = (size_t) random.nextInt ((int) text.size());

            switch (random.nextInt (4))
            {
                case 0:  text[at] = random.nextBool() ? (char) random.nextInt (256) : (char) ('0' + random.nextInt (10)); break;
                case 1:  text.insert (at, snippets[(size_t) random.nextInt ((int) snippets.size())]); break;
                case 2:  text.erase (at, (size_t) random.nextInt (8)); break;
                default: text.insert (at, text.substr (at, (size_t) random.nextInt (40))); break;
            }
        }

        return text;
    };

    std::array<int, 3> loaded {}, refused {};
    const auto tally = [&] (size_t kind, bool wasLoaded, const std::function<bool()>& isWhole, int round)
    {
        ++(wasLoaded ? loaded : refused)[kind];
        EXPECT_TRUE (! wasLoaded || isWhole()) << "document " << kind << " of round " << round;
    };

    // The sanitized builds run many times slower; they go through the first rounds of the same sequence.
   #if defined (__SANITIZE_THREAD__) || defined (__SANITIZE_ADDRESS__)
    constexpr int rounds = 400;
   #else
    constexpr int rounds = 2000;
   #endif

    for (int round = 0; round < rounds; ++round)
    {
        const auto whole = [this] { return isWholeAndRestores (processor); };
        tally (0, presetLoads (mutate (validPreset)), whole, round);
        tally (1, ! hostStateRefused (stateBlockOf (mutate (validState))), whole, round);
        write (scratchFolder.settingsFile(), mutate (validSettings));
        KestrinAudioProcessor fresh (scratchFolder.get());
        tally (2, ! fresh.settingsTree.isEquivalentTo (factory.settingsTree), [&] { return fresh.saveSettings() && KestrinAudioProcessor (scratchFolder.get()).settingsTree.isEquivalentTo (fresh.settingsTree); }, round);
    }

    // Both outcomes must be common, or the run proves little about one of them.
    for (size_t kind = 0; kind < 3; ++kind)
        EXPECT_TRUE (loaded[kind] > rounds / 20 && refused[kind] > rounds / 20) << kind << ": " << loaded[kind] << " loaded, " << refused[kind] << " refused";
}
