#include "KestrinAudioProcessor.h"

KestrinAudioProcessor::KestrinAudioProcessor()
    : KestrinAudioProcessor (juce::File())
{
}

KestrinAudioProcessor::KestrinAudioProcessor (const juce::File&)
    : juce::AudioProcessor (BusesProperties().withOutput ("Mixed", juce::AudioChannelSet::stereo(), true)),
      AsyncMessageBroadcaster ({})
{
}

KestrinAudioProcessor::~KestrinAudioProcessor() = default;

void KestrinAudioProcessor::prepareToPlay (double, int) {}
void KestrinAudioProcessor::releaseResources() {}

void KestrinAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    buffer.clear();
}

juce::AudioProcessorEditor* KestrinAudioProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor (*this);
}

void KestrinAudioProcessor::getStateInformation (juce::MemoryBlock&) {}
void KestrinAudioProcessor::setStateInformation (const void*, int) {}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new KestrinAudioProcessor();
}
