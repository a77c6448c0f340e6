#include <gtest/gtest.h>

#include <juce_audio_processors/juce_audio_processors.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;

enum class Format
{
    vst3,
    lv2
};

std::string formatName (const testing::TestParamInfo<Format>& info)
{
    return info.param == Format::vst3 ? "VST3" : "LV2";
}

/** Finds and instantiates the freshly built bundle, as a host's scanner would. */
class HostedTombrel
{
public:
    explicit HostedTombrel (Format format)
    {
        juce::OwnedArray<juce::PluginDescription> types;

        if (format == Format::vst3)
        {
            pluginFormat = std::make_unique<juce::VST3PluginFormat>();
            pluginFormat->findAllTypesForFile (types, TOMBREL_VST3_BUNDLE);
        }
        else
        {
            pluginFormat = std::make_unique<juce::LV2PluginFormat>();
            const auto uris = pluginFormat->searchPathsForPlugins (juce::FileSearchPath (TOMBREL_LV2_FOLDER), true, false);

            if (uris.contains (TOMBREL_LV2_URI))
                pluginFormat->findAllTypesForFile (types, TOMBREL_LV2_URI);
        }

        if (types.isEmpty())
            return;

        description = *types.getFirst();
        instance = createInstance();
    }

    std::unique_ptr<juce::AudioPluginInstance> createInstance()
    {
        juce::String error;
        auto result = pluginFormat->createInstanceFromDescription (description, sampleRate, blockSize, error);
        EXPECT_TRUE (error.isEmpty()) << error;
        return result;
    }

    std::unique_ptr<juce::AudioPluginFormat> pluginFormat;
    juce::PluginDescription description;
    std::unique_ptr<juce::AudioPluginInstance> instance;
};

juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& processor, const juce::String& name)
{
    for (auto* parameter : processor.getParameters())
        if (parameter->getName (64) == name)
            return parameter;

    return nullptr;
}

struct Rendered
{
    float peak = 0.0f;
    bool finite = true;
};

/** Renders the given number of blocks, with the MIDI messages placed in the first block. */
Rendered render (juce::AudioPluginInstance& plugin, const juce::MidiBuffer& firstBlockMidi, int numBlocks)
{
    Rendered result;
    juce::AudioBuffer<float> buffer (juce::jmax (2, plugin.getTotalNumOutputChannels(), plugin.getTotalNumInputChannels()),
                                     blockSize);

    for (int block = 0; block < numBlocks; ++block)
    {
        buffer.clear();
        juce::MidiBuffer midi;

        if (block == 0)
            midi = firstBlockMidi;

        plugin.processBlock (buffer, midi);

        // The main "Mixed" output is the first stereo pair.
        for (int channel = 0; channel < 2; ++channel)
        {
            const auto* data = buffer.getReadPointer (channel);

            for (int i = 0; i < blockSize; ++i)
            {
                result.finite = result.finite && std::isfinite (data[i]);
                result.peak = juce::jmax (result.peak, std::abs (data[i]));
            }
        }
    }

    return result;
}

juce::MidiBuffer noteOn (int note)
{
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, note, (juce::uint8) 110), 0);
    return midi;
}

constexpr int oneSecondOfBlocks = (int) (sampleRate / blockSize);

class PluginHosting : public testing::TestWithParam<Format>
{
protected:
    void SetUp() override
    {
        host = std::make_unique<HostedTombrel> (GetParam());
        ASSERT_NE (host->instance, nullptr) << "the built bundle did not load";
    }

    juce::AudioPluginInstance& plugin() { return *host->instance; }

    /** JUCE's LV2 host adds a bypass of its own for the "enabled" port; this is not one of the plug-in's. */
    bool isHostsOwn (const juce::AudioProcessorParameter* parameter)
    {
        return GetParam() == Format::lv2 && parameter == plugin().getBypassParameter();
    }

    juce::AudioProcessorParameter* findPluginParameter (const juce::String& name)
    {
        for (auto* parameter : plugin().getParameters())
            if (! isHostsOwn (parameter) && parameter->getName (64) == name)
                return parameter;

        return nullptr;
    }

    std::unique_ptr<HostedTombrel> host;
};
} // namespace

TEST_P (PluginHosting, PresentsItselfAsADrumInstrumentWithItsOwnParameters)
{
    EXPECT_EQ (host->description.name, "Tombrel");
    EXPECT_EQ (host->description.manufacturerName, "Vantrel");
    EXPECT_TRUE (host->description.isInstrument);
    EXPECT_TRUE (plugin().acceptsMidi());

    // Exactly the plug-in's parameters: no extra bypass, no MIDI controller proxies. An LV2
    // plug-in always has the host-designated "enabled" port, which JUCE's host adds as its own
    // bypass beside the plug-in's parameter.
    auto numParameters = plugin().getParameters().size();

    if (GetParam() == Format::lv2 && plugin().getBypassParameter() != nullptr)
        --numParameters;

    EXPECT_EQ (numParameters, 153);

    for (auto name : { "Phase Reset", "Obey Note Off", "Bypass", "Oversampling", "Offline Oversampling Quality",
                       "Multi-Channel Output", "Voice 1 Decay", "Voice 4 Tone Shape", "Voice 7 Noise LP Cutoff",
                       "Voice 2 Pan", "Voice 3 Gain" })
        EXPECT_NE (findParameter (plugin(), name), nullptr) << name;
}

TEST_P (PluginHosting, ParametersShowTheirOwnTexts)
{
    if (GetParam() == Format::lv2)
        GTEST_SKIP() << "LV2 control ports carry numbers only; hosts format them themselves";

    auto* pan = findParameter (plugin(), "Voice 2 Pan");
    ASSERT_NE (pan, nullptr);
    EXPECT_EQ (pan->getText (0.5f, 32), "Center");
    EXPECT_EQ (pan->getText (0.0f, 32), "L100");

    auto* oversampling = findParameter (plugin(), "Oversampling");
    ASSERT_NE (oversampling, nullptr);
    EXPECT_EQ (oversampling->getText (1.0f, 32), "4x");

    auto* gain = findParameter (plugin(), "Voice 3 Gain");
    ASSERT_NE (gain, nullptr);
    EXPECT_EQ (gain->getText (0.5f, 32), "0.0dB");
}

TEST_P (PluginHosting, SwitchesAndChoicesStepThroughTheirTexts)
{
    struct Choice
    {
        const char* name;
        juce::StringArray texts;
    };

    const std::vector<Choice> choices {
        { "Phase Reset", { "Off", "On", "Offset" } },
        { "Obey Note Off", { "Ignore", "Obey" } },
        { "Bypass", { "Active", "Bypassed" } },
        { "Oversampling", { "1x", "2x", "4x" } },
        { "Offline Oversampling Quality", { "Same", "Best" } },
        { "Multi-Channel Output", { "Off", "On" } },
        { "Voice 1 Tone Shape", { "Triangle", "TriangleSine", "Sine" } },
        { "Voice 7 Bend/Sweep Curve", { "Curve A", "Curve B" } },
        { "Voice 3 Label", { "Bass", "Kick", "Snare", "Rimshot", "Sidestick", "Tom L", "Tom LM", "Tom M", "Tom MH",
                             "Tom H", "Closed HH", "Open HH", "Crash", "Ride", "Handclap", "Cowbell", "Woodblock",
                             "Triangle", "Noise", "SFX", "1", "2", "3", "4", "5", "6", "7" } },
        { "Voice 5 Choke Group", { "0", "1", "2", "3", "4" } },
    };

    for (const auto& choice : choices)
    {
        SCOPED_TRACE (choice.name);
        auto* parameter = findPluginParameter (choice.name);
        ASSERT_NE (parameter, nullptr);

        const auto numTexts = choice.texts.size();
        EXPECT_TRUE (parameter->isDiscrete());
        EXPECT_EQ (parameter->getNumSteps(), numTexts);

        // VST3 has no toggle flag and leaves listing the texts to the host.
        if (GetParam() == Format::lv2)
        {
            EXPECT_EQ (parameter->isBoolean(), numTexts == 2);
            EXPECT_EQ (parameter->getAllValueStrings().joinIntoString ("|"), choice.texts.joinIntoString ("|"));
        }

        // Step i sits at i / (n - 1) whichever way the host goes: from a value to its text, or
        // from a text picked in a list to the value it sends.
        for (int i = 0; i < numTexts; ++i)
        {
            const auto position = (float) i / (float) (numTexts - 1);
            EXPECT_EQ (parameter->getText (position, 64), choice.texts[i]) << "step " << i;
            EXPECT_NEAR (parameter->getValueForText (choice.texts[i]), position, 1.0e-5f) << choice.texts[i];
        }
    }

    // Every other parameter is a knob that a host may sweep. A voice parameter's name is
    // "Voice " + N + " " + its own name.
    const auto ownName = [] (const juce::String& name) { return name.startsWith ("Voice ") ? name.substring (8) : name; };
    const auto isChoice = [&] (const juce::String& name)
    {
        return std::any_of (choices.begin(), choices.end(), [&] (const Choice& c) { return ownName (c.name) == ownName (name); });
    };

    for (auto* parameter : plugin().getParameters())
        if (! isHostsOwn (parameter))
            EXPECT_EQ (parameter->isDiscrete(), isChoice (parameter->getName (64))) << parameter->getName (64);

    // What the host sends for a text picked from its list is what the plug-in does: in choke
    // group "2", that of the factory kit's closed hi-hat (note 42), the low tom (note 41) stops
    // when the hat is struck.
    auto* tomChokeGroup = findPluginParameter ("Voice 6 Choke Group");
    ASSERT_NE (tomChokeGroup, nullptr);
    plugin().prepareToPlay (sampleRate, blockSize);

    const auto tomAfterHat = [this]
    {
        juce::MidiBuffer tomThenHat;
        tomThenHat.addEvent (juce::MidiMessage::noteOn (1, 41, (juce::uint8) 110), 0);
        tomThenHat.addEvent (juce::MidiMessage::noteOn (1, 42, (juce::uint8) 110), blockSize / 2);
        render (plugin(), tomThenHat, oneSecondOfBlocks / 4);
        return render (plugin(), {}, oneSecondOfBlocks / 4).peak;
    };

    render (plugin(), {}, 2);
    const auto ringing = tomAfterHat();
    tomChokeGroup->setValueNotifyingHost (tomChokeGroup->getValueForText ("2"));
    render (plugin(), {}, oneSecondOfBlocks);
    const auto choked = tomAfterHat();
    EXPECT_GT (ringing, 0.01f);
    EXPECT_LT (choked, ringing * 0.01f);

    plugin().releaseResources();
}

TEST_P (PluginHosting, PlaysADrumOnANoteAndStaysSilentWithout)
{
    plugin().prepareToPlay (sampleRate, blockSize);

    const auto quiet = render (plugin(), {}, oneSecondOfBlocks / 2);
    EXPECT_TRUE (quiet.finite);
    EXPECT_LT (quiet.peak, 1.0e-6f);

    const auto kick = render (plugin(), noteOn (36), oneSecondOfBlocks);
    EXPECT_TRUE (kick.finite);
    EXPECT_GT (kick.peak, 0.01f);
    EXPECT_LT (kick.peak, 4.0f);

    plugin().releaseResources();
}

TEST_P (PluginHosting, EitherBypassSilencesItAndPlayingResumesWhenBothAreOff)
{
    auto* ownBypass = findPluginParameter ("Bypass");
    auto* hostBypass = plugin().getBypassParameter();
    ASSERT_NE (ownBypass, nullptr);
    ASSERT_NE (hostBypass, nullptr) << "VST3 hosts get the plug-in's own; LV2 hosts have the enabled port";
    plugin().prepareToPlay (sampleRate, blockSize);

    // The plug-in's own switch (the editor's bypass button) must hold block after block.
    ownBypass->setValueNotifyingHost (1.0f);
    EXPECT_LT (render (plugin(), noteOn (36), oneSecondOfBlocks / 2).peak, 1.0e-6f) << "own bypass";
    ownBypass->setValueNotifyingHost (0.0f);

    hostBypass->setValueNotifyingHost (1.0f);
    EXPECT_LT (render (plugin(), noteOn (36), oneSecondOfBlocks / 2).peak, 1.0e-6f) << "host's bypass";
    hostBypass->setValueNotifyingHost (0.0f);

    EXPECT_GT (render (plugin(), noteOn (36), oneSecondOfBlocks / 2).peak, 0.01f);
    plugin().releaseResources();
}

TEST_P (PluginHosting, RestoresItsStateInAFreshInstance)
{
    auto* decay = findParameter (plugin(), "Voice 1 Decay");
    auto* shape = findParameter (plugin(), "Voice 4 Tone Shape");
    ASSERT_NE (decay, nullptr);
    ASSERT_NE (shape, nullptr);

    decay->setValueNotifyingHost (0.8f);
    shape->setValueNotifyingHost (1.0f);
    const auto savedDecay = decay->getValue();
    const auto savedDecayText = decay->getCurrentValueAsText();
    const auto savedShape = shape->getValue();

    // As in a host with the transport running: the plug-in sees control changes when it processes.
    plugin().prepareToPlay (sampleRate, blockSize);
    render (plugin(), {}, 2);

    juce::MemoryBlock state;
    plugin().getStateInformation (state);
    ASSERT_GT (state.getSize(), 0u);

    auto restored = host->createInstance();
    ASSERT_NE (restored, nullptr);

    auto* restoredDecay = findParameter (*restored, "Voice 1 Decay");
    auto* restoredShape = findParameter (*restored, "Voice 4 Tone Shape");
    ASSERT_NE (restoredDecay, nullptr);
    ASSERT_NE (restoredShape, nullptr);
    EXPECT_NE (restoredDecay->getCurrentValueAsText(), savedDecayText);

    restored->prepareToPlay (sampleRate, blockSize);
    restored->setStateInformation (state.getData(), (int) state.getSize());
    render (*restored, {}, 20);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    EXPECT_NEAR (restoredDecay->getValue(), savedDecay, 1.0e-4f);
    EXPECT_EQ (restoredDecay->getCurrentValueAsText(), savedDecayText);

    // JUCE's LV2 host refreshes its copies of stepped parameters lazily; the re-saved state
    // below shows what the plug-in itself restored.
    if (GetParam() == Format::vst3)
        EXPECT_NEAR (restoredShape->getValue(), savedShape, 1.0e-4f);

    // Saving again gives back what was restored.
    juce::MemoryBlock saved;
    restored->getStateInformation (saved);
    EXPECT_TRUE (saved == state);
}

TEST_P (PluginHosting, SurvivesGarbageStateAndKeepsPlaying)
{
    auto* decay = findParameter (plugin(), "Voice 1 Decay");
    ASSERT_NE (decay, nullptr);
    decay->setValueNotifyingHost (0.3f);
    const auto before = decay->getValue();

    juce::MemoryBlock good;
    plugin().getStateInformation (good);

    juce::Random random (1234);
    juce::MemoryBlock noise (4096);

    for (size_t i = 0; i < noise.getSize(); ++i)
        noise[i] = (char) random.nextInt (256);

    const juce::MemoryBlock truncated (good.getData(), good.getSize() / 2);
    const juce::String otherXml ("<SOMETHING><ELSE value=\"1\"/></SOMETHING>");

    plugin().setStateInformation (noise.getData(), (int) noise.getSize());
    plugin().setStateInformation (truncated.getData(), (int) truncated.getSize());
    plugin().setStateInformation (otherXml.toRawUTF8(), (int) otherXml.getNumBytesAsUTF8());
    plugin().setStateInformation ("", 0);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    EXPECT_NEAR (decay->getValue(), before, 1.0e-4f);

    plugin().prepareToPlay (sampleRate, blockSize);
    const auto kick = render (plugin(), noteOn (36), oneSecondOfBlocks / 2);
    EXPECT_TRUE (kick.finite);
    EXPECT_GT (kick.peak, 0.01f);
    plugin().releaseResources();
}

INSTANTIATE_TEST_SUITE_P (BuiltBundles, PluginHosting, testing::Values (Format::vst3, Format::lv2), formatName);

//==============================================================================
TEST (Lv2Description, NamesTheMakerWithNoEmptyAddresses)
{
    // lv2info is the LV2 library's own tool.
    juce::ChildProcess lv2info;
    ASSERT_TRUE (lv2info.start (juce::StringArray { "env", "LV2_PATH=" TOMBREL_LV2_FOLDER, "lv2info", TOMBREL_LV2_URI }));
    const auto shown = lv2info.readAllProcessOutput();
    ASSERT_TRUE (shown.contains ("Author:            Vantrel")) << "lv2info (lilv-utils) did not describe the bundle:\n" << shown;

    // An empty address reads as the address of the description file itself.
    EXPECT_FALSE (shown.contains ("Author Email:")) << shown;
    const auto homepage = shown.fromFirstOccurrenceOf ("Author Homepage:", false, false).upToFirstOccurrenceOf ("\n", false, false);
    EXPECT_EQ (homepage.trim(), TOMBREL_MAKER_WEBSITE) << shown;
}
