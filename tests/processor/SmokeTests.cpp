#include "processor/KestrinAudioProcessor.h"

#include <gtest/gtest.h>

TEST (ProcessorSmoke, ConstructsWithSevenVoices)
{
    KestrinAudioProcessor processor (juce::File::createTempFile ("tombrel"));
    EXPECT_EQ (processor.voiceManager.getNumVoices(), 7);
    EXPECT_NE (processor.voiceManager.getVoice (6), nullptr);
    EXPECT_EQ (processor.voiceManager.getVoice (7), nullptr);
}
