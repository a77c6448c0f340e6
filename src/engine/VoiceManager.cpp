#include "VoiceManager.h"

VoiceManager::VoiceManager()
{
    for (int i = 0; i < numVoices; ++i)
        voices[(size_t) i] = std::make_unique<Voice> (i);
}

VoiceManager::~VoiceManager() = default;

Voice* VoiceManager::getVoice (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, numVoices) ? voices[(size_t) index].get() : nullptr;
}

void VoiceManager::prepareToPlay (double, int) {}
void VoiceManager::releaseResources() {}
void VoiceManager::setPhaseResetMode (int) noexcept {}
void VoiceManager::setObeyNoteOff (bool) noexcept {}
void VoiceManager::setOversamplingFactor (int) noexcept {}
void VoiceManager::setChokeGroup (int, int) noexcept {}
void VoiceManager::rebuildChokeLists() noexcept {}
void VoiceManager::renderBlock (const juce::MidiBuffer&, int, const std::array<StereoTarget, numVoices>&) noexcept {}
void VoiceManager::stopAllVoices() noexcept {}
void VoiceManager::actionListenerCallback (const juce::String&) {}
