#pragma once

#include "Decimator.h"
#include "Voice.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>
#include <memory>

/** Where a voice's stereo output goes for one block. */
struct StereoTarget
{
    float* left = nullptr;
    float* right = nullptr;
};

/**
    Owns the seven voices, renders them block by block and delivers their messages (and those of
    whoever else shares its MessageDispatcher) on the message thread.

    Setters may be called from any thread; the audio thread applies them at its next block.
    prepareToPlay allocates everything the audio thread will need, for every oversampling factor.

    The voices are summed at the oversampled rate and brought down to the host rate once for the
    mix; only a voice with an output of its own has its own decimators. Changing the oversampling
    factor or bypassing fades the output out over a few milliseconds first.
*/
class VoiceManager final
{
public:
    static constexpr int numVoices = Engine::numVoices;

    VoiceManager();
    ~VoiceManager();

    int getNumVoices() const noexcept { return numVoices; }

    /** The voice at index 0 to 6, or nullptr for any other index. */
    Voice* getVoice (int index) const noexcept;

    MessageDispatcher& getMessageDispatcher() noexcept { return dispatcher; }

    //==============================================================================
    /** Also chooses which build of the inner loops runs until the next call: by default the
        fastest this processor has. */
    void prepareToPlay (double sampleRate, int maximumBlockSize, Lanes::Path path = Lanes::fastestPath());
    void releaseResources();

    /** 0 Off, 1 On, 2 Offset. */
    void setPhaseResetMode (int mode) noexcept;
    /** When true, a note-off for a voice's last note releases it. */
    void setObeyNoteOff (bool shouldObey) noexcept;
    /** 1, 2 or 4; other values are rounded to the nearest of these. */
    void setOversamplingFactor (int factor) noexcept;
    /** 0 is no group, 1 to 4 the group. */
    void setChokeGroup (int voiceIndex, int group) noexcept;
    /** While bypassed the voices fade out and stop, and MIDI plays nothing. */
    void setBypassed (bool shouldBeBypassed) noexcept;

    //==============================================================================
    /** Audio thread. Renders numSamples and adds them into `mixed`, except for the voices whose
        entry in ownOutputs points somewhere: those go there instead. MIDI events at or after the
        end of the block play at its last sample. */
    void renderBlock (const juce::MidiBuffer& midi, int numSamples, StereoTarget mixed,
                      const std::array<StereoTarget, numVoices>& ownOutputs) noexcept;

    /** Audio thread. Silences every voice at once. */
    void stopAllVoices() noexcept;

private:
    static constexpr int numGroups = (numVoices + VoiceLanes::numLanes - 1) / VoiceLanes::numLanes;
    static constexpr int maximumFactor = 4;

    VoiceLanes& lanesOf (int voiceIndex) noexcept { return groups[(size_t) (voiceIndex / VoiceLanes::numLanes)]; }

    void rebuildChokeLists() noexcept;
    bool anySounding() const noexcept;
    void switchFactor (int newFactor) noexcept;
    void renderChunk (const juce::MidiBuffer& midi, int startSample, int numSamples, bool isLastChunk, bool playMidi,
                      StereoTarget mixed, const std::array<StereoTarget, numVoices>& ownOutputs) noexcept;
    void renderUntil (int oversampledPosition) noexcept;
    void passGridPoint() noexcept;
    void writeOutputs (int startSample, int numSamples, StereoTarget mixed,
                       const std::array<StereoTarget, numVoices>& ownOutputs) noexcept;

    MessageDispatcher dispatcher;
    std::array<VoiceLanes, numGroups> groups;
    std::array<std::unique_ptr<Voice>, numVoices> voices;

    std::array<std::atomic<int>, numVoices> chokeGroups;
    std::atomic<int> phaseResetMode { 0 }, requestedFactor { 1 };
    std::atomic<bool> obeyNoteOff { false }, bypassed { false };

    //==============================================================================
    // Audio thread only.
    double hostSampleRate = 0.0;
    int maximumBlockSize = 0, factor = 1;
    int position = 0, samplesToGrid = 0;   // oversampled, within the chunk and to the next modulation update
    bool parametersNeedSending = true;
    float outputGain = 1.0f, outputGainStep = 1.0f;
    Voice::BlockSettings settings;

    std::array<juce::HeapBlock<Lanes::Float>, numGroups> groupLeft, groupRight;
    std::array<bool, numGroups> groupSounded {};

    // Stereo, interleaved: the mix, and the voices that have outputs of their own.
    juce::HeapBlock<float> mixOversampled, mixOut;
    std::array<juce::HeapBlock<float>, numVoices> ownOversampled, ownOut;
    Decimator mixDecimator;
    std::array<Decimator, numVoices> ownDecimators;
    std::array<bool, numVoices> routedToOwnOutput {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VoiceManager)
};
