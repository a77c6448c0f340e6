#include "VoiceManager.h"

namespace
{
constexpr int numChokeGroups = 4;
constexpr int firstVoiceChannel = 2;
constexpr int numNotes = 128;
}

VoiceManager::VoiceManager()
{
    for (int i = 0; i < numVoices; ++i)
    {
        voices[(size_t) i] = std::make_unique<Voice> (i);
        chokeGroups[(size_t) i].store (0, std::memory_order_relaxed);
    }
}

VoiceManager::~VoiceManager() = default;

Voice* VoiceManager::getVoice (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, numVoices) ? voices[(size_t) index].get() : nullptr;
}

//==============================================================================
void VoiceManager::prepareToPlay (double sampleRate, int maximumBlock)
{
    maximumBlockSize = juce::jmax (1, maximumBlock);

    for (auto& voice : voices)
        voice->prepare (sampleRate, maximumBlockSize);
}

void VoiceManager::releaseResources()
{
    for (auto& voice : voices)
        voice->releaseResources();
}

void VoiceManager::setPhaseResetMode (int mode) noexcept
{
    phaseResetMode.store (juce::jlimit (0, 2, mode), std::memory_order_relaxed);
}

void VoiceManager::setObeyNoteOff (bool shouldObey) noexcept
{
    obeyNoteOff.store (shouldObey, std::memory_order_relaxed);
}

void VoiceManager::setOversamplingFactor (int factor) noexcept
{
    oversamplingFactor.store (factor <= 1 ? 1 : (factor < 3 ? 2 : 4), std::memory_order_relaxed);
}

void VoiceManager::setChokeGroup (int voiceIndex, int group) noexcept
{
    if (juce::isPositiveAndBelow (voiceIndex, numVoices))
        chokeGroups[(size_t) voiceIndex].store (juce::isPositiveAndNotGreaterThan (group, numChokeGroups) ? group : 0,
                                                std::memory_order_relaxed);
}

void VoiceManager::rebuildChokeLists() noexcept
{
    for (int i = 0; i < numVoices; ++i)
    {
        std::array<uint64_t, 2> notes {};
        uint32_t channels = 0;
        const auto group = chokeGroups[(size_t) i].load (std::memory_order_relaxed);

        if (group != 0)
        {
            for (int j = 0; j < numVoices; ++j)
            {
                if (j == i || chokeGroups[(size_t) j].load (std::memory_order_relaxed) != group)
                    continue;

                // Whatever starts voice j: its mapped note, and its own channel.
                const auto note = voices[(size_t) j]->getMidiNote();

                if (juce::isPositiveAndBelow (note, numNotes))
                    notes[(size_t) (note >> 6)] |= uint64_t (1) << (note & 63);

                channels |= uint32_t (1) << (j + firstVoiceChannel);
            }
        }

        voices[(size_t) i]->setChokeTriggers (notes, channels);
    }
}

//==============================================================================
Voice::BlockSettings VoiceManager::currentSettings() const noexcept
{
    Voice::BlockSettings settings;
    settings.phaseResetMode = phaseResetMode.load (std::memory_order_relaxed);
    settings.obeyNoteOff = obeyNoteOff.load (std::memory_order_relaxed);
    settings.oversamplingFactor = oversamplingFactor.load (std::memory_order_relaxed);
    return settings;
}

void VoiceManager::renderBlock (const juce::MidiBuffer& midi, int numSamples,
                                const std::array<StereoTarget, numVoices>& targets) noexcept
{
    if (maximumBlockSize == 0)
        return;

    const Voice::ScopedRenderThread renderThread;
    const juce::ScopedNoDenormals noDenormals;
    const auto settings = currentSettings();

    // Hosts may send more than they announced; render such blocks in pieces.
    for (int start = 0; start < numSamples; start += maximumBlockSize)
        renderChunk (midi, start, juce::jmin (maximumBlockSize, numSamples - start), targets, settings);
}

void VoiceManager::renderChunk (const juce::MidiBuffer& midi, int startSample, int numSamples,
                                const std::array<StereoTarget, numVoices>& targets,
                                const Voice::BlockSettings& settings) noexcept
{
    for (auto& voice : voices)
        voice->beginBlock (settings);

    // Notes queued by other threads (the editor's pad) start on the first sample and choke their
    // group there, as a note-on at that position would.
    std::array<bool, numVoices> started {};

    for (size_t i = 0; i < voices.size(); ++i)
        started[i] = voices[i]->startQueuedNote();

    for (size_t i = 0; i < voices.size(); ++i)
        if (started[i])
            for (size_t j = 0; j < voices.size(); ++j)
                if (! started[j] && voices[j]->isChokedBy ((int) i))
                    voices[j]->release();

    for (size_t i = 0; i < voices.size(); ++i)
    {
        auto target = targets[i];

        if (target.left != nullptr)
            target.left += startSample;

        if (target.right != nullptr)
            target.right += startSample;

        voices[i]->renderBlock (midi, startSample, numSamples, target);
    }
}

void VoiceManager::stopAllVoices() noexcept
{
    for (auto& voice : voices)
        voice->stop();
}

void VoiceManager::actionListenerCallback (const juce::String&)
{
}
