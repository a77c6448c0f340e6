#pragma once

#include "EngineConstants.h"
#include "MessageBroadcaster.h"
#include "VoiceLanes.h"

#include <atomic>
#include <cstdint>

/**
    One drum voice, index 0 to 6: what starts and stops its notes. Its sound is made in one lane of
    a VoiceLanes group that the VoiceManager renders.

    Broadcasts "voice" + index + "NoteOn" when it starts and "voice" + index + "DecayEnd" once per
    note when its amplitude envelope has run out.
*/
class Voice final : public MessageBroadcaster
{
public:
    Voice (int voiceIndex, MessageDispatcher& messageDispatcher, VoiceLanes& voiceLanes, int voiceLane);

    int getVoiceIndex() const noexcept { return index; }

    //==============================================================================
    // Any thread, lock-free; the audio thread picks changes up at its next block.

    void setParameter (VoiceParameter parameter, float value) noexcept;
    float getParameter (VoiceParameter parameter) const noexcept;

    /** The mapped note that starts this voice on channels 1 and 9 to 16. */
    void setMidiNote (int note) noexcept;
    int getMidiNote() const noexcept;

    /** Any thread (the editor's pad): broadcasts "NoteOn" at once and queues the note, which starts
        at the first sample of the next block. A note still queued after a short while is dropped:
        the host has stopped processing, and it would sound seconds late. */
    void noteOn (int note, bool byChannel, float velocity);

    //==============================================================================
    // Audio thread, used by VoiceManager.

    struct BlockSettings
    {
        int phaseResetMode = 0;     // 0 Off, 1 On, 2 Offset
        bool obeyNoteOff = false;
        double queuedNoteLifetimeSeconds = 0.1;
    };

    /** Takes the settings and parameter values for the coming block; with allParameters the
        values are handed on even when unchanged (a new rate). */
    void beginBlock (const BlockSettings& settings, bool allParameters) noexcept;

    /** Starts a note queued from another thread, if there is a fresh one. Returns true if it did. */
    bool startQueuedNote (int numSamplesToGrid) noexcept;

    /** A MIDI event at the current sample: may start, choke or release the voice. Returns true if
        it started. */
    bool handleMidi (const uint8_t* data, int numBytes, int numSamplesToGrid) noexcept;

    /** Which note-ons of other voices silence this one: a set of notes on the mapped channels and
        a mask of channels (bit c for channel c). */
    void setChokeTriggers (const std::array<uint64_t, 2>& noteSet, uint32_t channelMask) noexcept;

    /** True if the voice with the given index starting silences this one. */
    bool isChokedBy (int voiceIndex) const noexcept;

    /** Fades out quickly without a click (choke, note-off). */
    void release() noexcept;

    /** Silences at once and forgets any queued note. */
    void stop() noexcept;

    bool isSounding() const noexcept { return lanes.isSounding (lane); }

    void announceDecayEnd() noexcept;

private:
    void startNote (int note, bool byChannel, float velocity, int channel, int numSamplesToGrid) noexcept;
    float value (VoiceParameter p) const noexcept { return values[(size_t) p]; }

    const int index;
    VoiceLanes& lanes;
    const int lane;

    std::array<std::atomic<float>, VoiceParameters::count> parameters;
    std::atomic<int> midiNote { 0 };
    std::atomic<uint64_t> queuedNote { 0 };
    std::atomic<int64_t> queuedAtTicks { 0 };

    //==============================================================================
    // Audio thread only.
    BlockSettings settings;
    VoiceLanes::Values values {}, storedValues {};
    int lastNote = -1, lastChannel = 0;
    uint64_t chokeNotes[2] {};
    uint32_t chokeChannels = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Voice)
};
