#include "ProcessorTestHelpers.h"

using namespace ProcessorTestHelpers;

namespace
{
juce::MemoryBlock stateBlock (KestrinAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

juce::MemoryBlock blockFromXml (const juce::XmlElement& xml)
{
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (xml, block);
    return block;
}

juce::String snapshot (KestrinAudioProcessor& processor)
{
    return processor.valueTreeState.copyState().toXmlString();
}

/** Changes one processor's sound, note map and extra properties away from every default. */
void makeDistinctive (KestrinAudioProcessor& processor)
{
    setValue (voiceParameter (processor, 2, ParameterIds::decay), 1.5f);
    setValue (voiceParameter (processor, 3, ParameterIds::label), 12.0f);
    setValue (voiceParameter (processor, 7, ParameterIds::pan), -0.4f);
    setValue (voiceParameter (processor, 5, ParameterIds::chokeGroup), 3.0f);
    setValue (parameter (processor, ParameterIds::paramPhase), 2.0f);
    setValue (parameter (processor, ParameterIds::paramMultiOut), 1.0f);
    processor.valueTreeState.state.setProperty ("activePanel", "voice4", nullptr);
    processor.valueTreeState.state.setProperty ("presetName", "Groove", nullptr);
    processor.setVoiceMidiNotes (50, 51, 52, 53, 54, 55, 56);
}

class HostStateTest : public ::testing::Test
{
protected:
    TemporaryDataFolder sourceFolder, targetFolder;
    KestrinAudioProcessor source { sourceFolder.get() };
    KestrinAudioProcessor target { targetFolder.get() };
};
} // namespace

//==============================================================================
TEST_F (HostStateTest, RestoredStateBringsBackSoundNotesAndExtraProperties)
{
    makeDistinctive (source);
    const auto block = stateBlock (source);

    MessageRecorder recorder (target);
    target.setStateInformation (block.getData(), (int) block.getSize());
    pumpMessages();

    EXPECT_FLOAT_EQ (getValue (target, "paramVoice2Decay"), 1.5f);
    EXPECT_FLOAT_EQ (getValue (target, "paramVoice3Label"), 12.0f);
    EXPECT_FLOAT_EQ (getValue (target, "paramVoice7Pan"), -0.4f);
    EXPECT_FLOAT_EQ (getValue (target, "paramVoice5ChokeGroup"), 3.0f);
    EXPECT_FLOAT_EQ (getValue (target, "paramPhase"), 2.0f);
    EXPECT_FLOAT_EQ (getValue (target, "paramMultiOut"), 1.0f);

    const auto& state = target.valueTreeState.state;
    EXPECT_EQ (state["activePanel"].toString(), "voice4");
    EXPECT_EQ (state["presetName"].toString(), "Groove");
    EXPECT_EQ (target.getProgramName (0), "Groove");

    for (int voiceNumber = 1; voiceNumber <= 7; ++voiceNumber)
        EXPECT_EQ ((int) state["voice" + juce::String (voiceNumber) + "Midi"], 49 + voiceNumber);

    EXPECT_EQ (recorder.count ("StateInformationSet"), 1);
    EXPECT_EQ (recorder.count ("voiceLabelChanged3"), 1);
    EXPECT_EQ (recorder.count ("voiceLabelChanged1"), 0);
}

TEST_F (HostStateTest, RestoredStateReachesTheVoices)
{
    makeDistinctive (source);
    const auto block = stateBlock (source);
    target.setStateInformation (block.getData(), (int) block.getSize());

    EXPECT_FLOAT_EQ (target.voiceManager.getVoice (1)->getParameter (VoiceParameter::decay), 1.5f);
    EXPECT_FLOAT_EQ (target.voiceManager.getVoice (6)->getParameter (VoiceParameter::pan), -0.4f);

    for (int i = 0; i < 7; ++i)
        EXPECT_EQ (target.voiceManager.getVoice (i)->getMidiNote(), 50 + i);
}

TEST_F (HostStateTest, SavingTwiceGivesTheSameState)
{
    makeDistinctive (source);
    const auto first = stateBlock (source);
    target.setStateInformation (first.getData(), (int) first.getSize());

    EXPECT_EQ (snapshot (target), snapshot (source));
    EXPECT_EQ (stateBlock (target), first);
}

TEST_F (HostStateTest, StateWithoutExtraPropertiesKeepsTheCurrentOnes)
{
    target.setVoiceMidiNotes (60, 61, 62, 63, 64, 65, 66);
    target.valueTreeState.state.setProperty ("activePanel", "voice2", nullptr);

    setValue (voiceParameter (source, 1, ParameterIds::gain), -6.0f);
    auto xml = source.valueTreeState.copyState().createXml();
    xml->removeAttribute ("activePanel");
    xml->removeAttribute ("voice3Midi");

    const auto block = blockFromXml (*xml);
    target.setStateInformation (block.getData(), (int) block.getSize());

    EXPECT_FLOAT_EQ (getValue (target, "paramVoice1Gain"), -6.0f);
    EXPECT_EQ (target.valueTreeState.state["activePanel"].toString(), "voice2");
    EXPECT_EQ ((int) target.valueTreeState.state["voice3Midi"], 62);
    EXPECT_EQ ((int) target.valueTreeState.state["voice4Midi"], 39);
}

//==============================================================================
TEST_F (HostStateTest, UnusableBlocksChangeNothing)
{
    makeDistinctive (target);
    const auto before = snapshot (target);
    const auto valid = stateBlock (source);

    std::vector<std::pair<std::string, juce::MemoryBlock>> blocks;

    const char garbage[] = "\x01\x02 this is not a saved state \xff\xfe";
    blocks.push_back ({ "garbage", juce::MemoryBlock (garbage, sizeof (garbage)) });
    blocks.push_back ({ "empty", juce::MemoryBlock() });
    blocks.push_back ({ "truncated", juce::MemoryBlock (valid.getData(), valid.getSize() / 2) });
    blocks.push_back ({ "another root", blockFromXml (juce::XmlElement ("settings")) });

    const auto withEntry = [&] (const juce::String& parameterId, const juce::String& value)
    {
        auto xml = source.valueTreeState.copyState().createXml();

        for (auto* entry : xml->getChildWithTagNameIterator ("PARAM"))
            if (entry->getStringAttribute ("id") == parameterId)
                entry->setAttribute ("value", value);

        return blockFromXml (*xml);
    };

    blocks.push_back ({ "pan beyond its range", withEntry ("paramVoice1Pan", "7") });
    blocks.push_back ({ "gain below its range", withEntry ("paramVoice2Gain", "-100") });
    blocks.push_back ({ "not a number", withEntry ("paramVoice3Decay", "nan") });
    blocks.push_back ({ "infinite", withEntry ("paramVoice3Decay", "inf") });
    blocks.push_back ({ "words", withEntry ("paramPhase", "loud") });

    const auto withProperty = [&] (const juce::String& name, const juce::String& value)
    {
        auto xml = source.valueTreeState.copyState().createXml();
        xml->setAttribute (name, value);
        return blockFromXml (*xml);
    };

    blocks.push_back ({ "fractional note", withProperty ("voice1Midi", "36.5") });
    blocks.push_back ({ "note in words", withProperty ("voice2Midi", "C1") });
    blocks.push_back ({ "no such panel", withProperty ("activePanel", "voice9") });

    MessageRecorder recorder (target);

    for (const auto& [name, block] : blocks)
    {
        target.setStateInformation (block.getData(), (int) block.getSize());
        EXPECT_EQ (snapshot (target), before) << name;
    }

    target.setStateInformation (nullptr, 0);
    EXPECT_EQ (snapshot (target), before);

    pumpMessages();
    EXPECT_EQ (recorder.count ("StateInformationSet"), 0);
}

TEST_F (HostStateTest, NotesOutsideTheMidiRangeAreKeptAsSaved)
{
    source.setVoiceMidiNotes (-3, 37, 38, 39, 40, 41, 500);
    const auto block = stateBlock (source);
    target.setStateInformation (block.getData(), (int) block.getSize());

    EXPECT_EQ ((int) target.valueTreeState.state["voice1Midi"], -3);
    EXPECT_EQ ((int) target.valueTreeState.state["voice7Midi"], 500);
}
