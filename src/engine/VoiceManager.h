#pragma once

#include "Voice.h"

#include <array>
#include <atomic>
#include <memory>

/**
    Owns the seven voices and renders them block by block.

    Setters may be called from any thread; the audio thread applies them at its next block.
    prepareToPlay allocates everything the audio thread will need, for every oversampling factor.
*/
class VoiceManager : public juce::ActionListener
{
public:
    static constexpr int numVoices = 7;

    VoiceManager();
    ~VoiceManager() override;

    int getNumVoices() const noexcept { return numVoices; }

    /** The voice at index 0 to 6, or nullptr for any other index. */
    Voice* getVoice (int index) const noexcept;

    //==============================================================================
    void prepareToPlay (double sampleRate, int maximumBlockSize);
    void releaseResources();

    /** 0 Off, 1 On, 2 Offset. */
    void setPhaseResetMode (int mode) noexcept;
    /** When true, a note-off for a voice's last note releases it. */
    void setObeyNoteOff (bool shouldObey) noexcept;
    /** 1, 2 or 4; other values are rounded to the nearest of these. */
    void setOversamplingFactor (int factor) noexcept;
    /** 0 is no group, 1 to 4 the group. Takes effect after rebuildChokeLists(). */
    void setChokeGroup (int voiceIndex, int group) noexcept;
    /** Recomputes, for every voice, which notes and channels choke it. */
    void rebuildChokeLists() noexcept;

    //==============================================================================
    /** Audio thread. Every voice scans the whole block's MIDI and adds its output into its target. */
    void renderBlock (const juce::MidiBuffer& midi, int numSamples,
                      const std::array<StereoTarget, numVoices>& targets) noexcept;

    /** Audio thread. Silences every voice at once (bypass). */
    void stopAllVoices() noexcept;

    void actionListenerCallback (const juce::String& message) override;

private:
    Voice::BlockSettings currentSettings() const noexcept;
    void renderChunk (const juce::MidiBuffer& midi, int startSample, int numSamples,
                      const std::array<StereoTarget, numVoices>& targets,
                      const Voice::BlockSettings& settings) noexcept;

    std::array<std::unique_ptr<Voice>, numVoices> voices;
    std::array<std::atomic<int>, numVoices> chokeGroups;
    std::atomic<int> phaseResetMode { 0 }, oversamplingFactor { 1 };
    std::atomic<bool> obeyNoteOff { false };
    int maximumBlockSize = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VoiceManager)
};
