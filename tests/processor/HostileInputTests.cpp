#include "ProcessorTestHelpers.h"

#include <fstream>
#include <functional>

#include <sys/stat.h>

using namespace ProcessorTestHelpers;
namespace Id = ParameterIds;

namespace
{
using Bytes = std::string;
using Edit = std::function<Bytes (const Bytes&)>;

void write (const juce::File& file, const Bytes& bytes) { ASSERT_TRUE (std::ofstream (file.getFullPathName().toStdString(), std::ios::binary | std::ios::trunc) << bytes); }
Bytes repeated (const char* s, int n) { return juce::String::repeatedString (s, n).toStdString(); }

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

/** Every kind of hostile text the loaders meet, made from a valid document of any of them. */
const std::vector<std::pair<const char*, Edit>> hostileEdits {
    { "processing instruction then text", [] (auto& d) { return insideRoot (d, "<?p?>x"); } },
    { "parameter entity reading /dev/zero", [] (auto& d) { return "<!DOCTYPE R [<!ENTITY % p SYSTEM \"/dev/zero\"> %p;]>" + body (d); } },
    { "external DTD and unknown entity", [] (auto& d) { return "<!DOCTYPE R SYSTEM \"/dev/zero\">" + insideRoot (body (d), "&x;"); } },
    { "malformed entity", [] (auto& d) { return insideRoot (d, "&;"); } },
    { "malformed entity, minimised", [] (auto&) { return Bytes ("<!DOCTYPE<\xA0>?><i e=\"&;"); } },
    { "lead byte at the very end", [] (auto& d) { return body (d).substr (0, body (d).find ('"') + 1) + "\xE2"; } },
    { "lead byte inside", [] (auto& d) { return insideRoot (d, "\xE2"); } },
    { "overlong form", [] (auto& d) { return insideRoot (d, "\xC0\xAF"); } },
    { "surrogate", [] (auto& d) { return insideRoot (d, "\xED\xA0\x80"); } },
    { "NUL", [] (auto& d) { return insideRoot (d, Bytes (1, '\0')); } },
    { "CDATA", [] (auto& d) { return insideRoot (d, "<![CDATA[x]]>"); } },
    { "deeper than a state", [] (auto& d) { return insideRoot (d, "<a><b/></a>"); } },
    { "200,000 unclosed levels", [] (auto& d) { return insideRoot (d, repeated ("<a>", 200000)); } },
    { "5,000 balanced levels", [] (auto& d) { return insideRoot (d, repeated ("<a>", 5000) + repeated ("</a>", 5000)); } },
    { "an attribute twice", [] (auto& d) { auto r = d; return r.insert (r.find (" value=\""), " value=\"7\""); } },
    { "larger than 1 MB", [] (auto& d) { return insideRoot (d, "<!--" + Bytes ((size_t) 1 << 20, 'x') + "-->"); } },
};

class HostileInput : public ::testing::Test
{
protected:
    HostileInput()
    {
        setValue (voiceParameter (other, 2, Id::decay), 1.5f);
        setValue (voiceParameter (other, 4, Id::chokeGroup), 3.0f);
        other.setVoiceMidiNotes (50, 51, 52, 53, 54, 55, 56);
        other.settingsTree.getChildWithName ("scale").setProperty ("value", "1.5", nullptr);
        other.settingsTree.getChildWithName ("voice1Midi").setProperty ("value", 60, nullptr);
        const auto validFile = otherFolder.presetsFolder().getChildFile ("Valid.qvtp");
        EXPECT_TRUE (other.savePresetFile (validFile.getFullPathName()) && other.saveSettings());
        juce::MemoryBlock block;
        other.getStateInformation (block);
        validState = Bytes (static_cast<const char*> (block.getData()) + 8, block.getSize() - 9);
        validPreset = validFile.loadFileAsString().toStdString();
        validSettings = otherFolder.settingsFile().loadFileAsString().toStdString();
    }

    /** Loads a preset from path, or from text written to a file; a load that fails must change nothing. */
    bool presetLoads (const juce::String& path)
    {
        const auto before = processor.valueTreeState.copyState();
        const auto loaded = processor.loadPresetFile (path);
        EXPECT_TRUE (loaded || processor.valueTreeState.copyState().isEquivalentTo (before)) << "a failed load changed the state";
        return loaded;
    }

    bool presetLoads (const Bytes& text) { write (presetFile, text); return presetLoads (presetFile.getFullPathName()); }

    /** Every parameter finite and inside its range with one entry in the state, and a fresh instance
        given the saved state has the same extra properties in the same order and, to a rounding error,
        the same values. */
    bool isWholeAndRestores (KestrinAudioProcessor& p)
    {
        juce::MemoryBlock block;
        p.getStateInformation (block);
        KestrinAudioProcessor fresh (restoreFolder.get());
        fresh.setStateInformation (block.getData(), (int) block.getSize());
        auto state = p.valueTreeState.copyState(), restored = fresh.valueTreeState.copyState();
        bool result = state.getNumChildren() == p.getParameters().size();

        for (auto* parameter : p.getParameters())
        {
            const auto& ranged = dynamic_cast<juce::RangedAudioParameter&> (*parameter);
            const auto value = getValue (p, ranged.paramID);
            const auto& range = ranged.getNormalisableRange();
            result = result && std::isfinite (value) && value >= range.start && value <= range.end
                     && state.getChildWithProperty ("id", ranged.paramID).hasProperty ("value")
                     && std::abs (getValue (fresh, ranged.paramID) - value) <= 1.0e-5f * (range.end - range.start);
        }

        state.removeAllChildren (nullptr);
        restored.removeAllChildren (nullptr);
        return result && state.toXmlString() == restored.toXmlString();
    }

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

    bool settingsRefused (const Bytes& text) { return settingsRefused ([&] (auto& file) { write (file, text); }); }

    TemporaryDataFolder folder, otherFolder, scratchFolder, restoreFolder;
    KestrinAudioProcessor processor { folder.get() }, other { otherFolder.get() }, factory { scratchFolder.get() };
    const juce::File presetFile { folder.presetsFolder().getChildFile ("Hostile.qvtp") };
    Bytes validState, validPreset, validSettings;
};
} // namespace

TEST_F (HostileInput, EveryLoaderRefusesHostileTextFilesAndNumbersAndChangesNothing)
{
    for (const auto& [name, edit] : hostileEdits)
    {
        EXPECT_FALSE (presetLoads (edit (validPreset))) << "preset: " << name;
        EXPECT_TRUE (hostStateRefused (stateBlockOf (edit (validState)))) << "host state: " << name;
        EXPECT_TRUE (settingsRefused (edit (validSettings))) << "settings: " << name;
    }

    using XmlEdit = std::function<void (juce::XmlElement&)>;
    const auto copyFirstEntry = [] (juce::XmlElement& x) { x.addChildElement (new juce::XmlElement (*x.getFirstChildElement())); };
    const auto firstValue = [] (const char* v) { return [v] (juce::XmlElement& x) { x.getFirstChildElement()->setAttribute ("value", v); }; };

    for (const auto& [name, edit] : std::vector<std::pair<const char*, XmlEdit>> {
             { "note 1e2", [] (auto& x) { x.setAttribute ("voice1Midi", "1e2"); } }, { "note 4.0e1", [] (auto& x) { x.setAttribute ("voice2Midi", "4.0e1"); } },
             { "exponent of twenty digits", firstValue ("1e99999999999999999999") }, { "hexadecimal", firstValue ("0x1") },
             { "entry given twice", copyFirstEntry } })
    {
        EXPECT_FALSE (presetLoads (edited (validPreset, edit))) << "preset: " << name;
        EXPECT_TRUE (hostStateRefused (stateBlockOf (edited (validState, edit)))) << "host state: " << name;
    }

    for (const auto& [name, edit] : std::vector<std::pair<const char*, XmlEdit>> {
             { "scale beyond a double", [] (auto& x) { x.getChildByName ("scale")->setAttribute ("value", "1e400"); } },
             { "note 1e2", [] (auto& x) { x.getChildByName ("voice1Midi")->setAttribute ("value", "1e2"); } }, { "entry given twice", copyFirstEntry } })
        EXPECT_TRUE (settingsRefused (edited (validSettings, edit))) << "settings: " << name;

    // Blocks whose frame lies: a length beyond the block, a document beyond 1 MB.
    auto overlong = stateBlockOf (validState);
    overlong.setSize (overlong.getSize() - 2);
    EXPECT_TRUE (hostStateRefused (overlong));
    EXPECT_TRUE (hostStateRefused (stateBlockOf (validState + Bytes (((size_t) 1 << 20) - validState.size() + 1, ' '))));

    // Files that never end or are no files: a pipe, a device, a link to it, a folder.
    const auto pipe = folder.get().getChildFile ("pipe.qvtp"), link = folder.get().getChildFile ("zero.qvtp");
    ASSERT_EQ (mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (link, true));

    for (const auto& file : { pipe, juce::File ("/dev/zero"), link, folder.get() })
    {
        EXPECT_FALSE (presetLoads (file.getFullPathName())) << file.getFullPathName();
        EXPECT_TRUE (settingsRefused ([&] (auto& settings) { file.createSymbolicLink (settings, true); })) << file.getFullPathName();
    }

    EXPECT_TRUE (settingsRefused ([] (auto& settings) { mkfifo (settings.getFullPathName().toRawUTF8(), 0600); }));

    // The valid documents load, or none of the above shows anything.
    EXPECT_FALSE (settingsRefused (validSettings));
    EXPECT_TRUE (presetLoads (validPreset));
    EXPECT_FALSE (hostStateRefused (stateBlockOf (validState)));
}

TEST_F (HostileInput, IncompleteStatesAndValuesThatAreNoNumbersLoadCompleteAndRestore)
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

    EXPECT_FALSE (hostStateRefused (stateBlockOf (edited (validState, [] (auto& x) {
        x.getChildByAttribute ("id", Id::voiceParameterId (2, Id::decay))->setAttribute ("value", "nan");
        x.getChildByAttribute ("id", Id::voiceParameterId (4, Id::pan))->setAttribute ("value", "-inf");
        x.getChildByAttribute ("id", Id::voiceParameterId (5, Id::gain))->removeAttribute ("value");
    }))));

    for (const auto& [voice, suffix] : unreadable)
        EXPECT_FLOAT_EQ (value (voice, suffix), defaultOf (voice, suffix)) << voice << suffix;

    EXPECT_FLOAT_EQ (value (4, Id::chokeGroup), 3.0f);
    EXPECT_TRUE (isWholeAndRestores (processor));
}

TEST_F (HostileInput, MutatedPresetsStatesAndSettingsLoadWhollyOrChangeNothing)
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

    // The sanitized builds run many times slower; they go through the first rounds of the same sequence.
   #if defined (__SANITIZE_THREAD__) || defined (__SANITIZE_ADDRESS__)
    constexpr int rounds = 400;
   #else
    constexpr int rounds = 2000;
   #endif

    for (int round = 0; round < rounds; ++round)
    {
        if (! presetLoads (mutate (validPreset)))
            ++refused[0];
        else if (++loaded[0]; ! (isWholeAndRestores (processor)))
            ADD_FAILURE() << "preset of round " << round;

        if (hostStateRefused (stateBlockOf (mutate (validState))))
            ++refused[1];
        else if (++loaded[1]; ! (isWholeAndRestores (processor)))
            ADD_FAILURE() << "host state of round " << round;

        write (scratchFolder.settingsFile(), mutate (validSettings));
        KestrinAudioProcessor fresh (scratchFolder.get());

        if (fresh.settingsTree.isEquivalentTo (factory.settingsTree))
            ++refused[2];
        else if (++loaded[2]; ! (fresh.saveSettings() && KestrinAudioProcessor (scratchFolder.get()).settingsTree.isEquivalentTo (fresh.settingsTree)))
            ADD_FAILURE() << "settings of round " << round;
    }

    // Both outcomes must be common, or the run proves little about one of them.
    for (size_t kind = 0; kind < 3; ++kind)
        EXPECT_TRUE (loaded[kind] > rounds / 20 && refused[kind] > rounds / 20) << kind << ": " << loaded[kind] << " loaded, " << refused[kind] << " refused";
}
