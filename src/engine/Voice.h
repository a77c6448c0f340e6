#pragma once

#include "AsyncMessageBroadcaster.h"

#include <juce_audio_basics/juce_audio_basics.h>

/** The sound parameters of one voice, each in the units of its host parameter
    (seconds, Hz, 0 to 1, ms, dB, -1 to 1, or the step index of a choice). */
enum class VoiceParameter
{
    decay,
    waveform,
    tonePitch,
    toneBend,
    bendSweepCurve,
    noiseCutoff,
    noiseResonance,
    noiseHPCutoff,
    noiseSweep,
    noiseMix,
    lfoRate,
    lfoToneDepth,
    lfoNoiseDepth,
    clickDecay,
    clickMix,
    saturation,
    velocity,
    pan,
    gain,
    numParameters
};

/** Where a voice adds its stereo output for one block. */
struct StereoTarget
{
    float* left = nullptr;
    float* right = nullptr;
};

/**
    One drum voice, index 0 to 6.

    Broadcasts "voice" + index + "NoteOn" when it starts and "voice" + index + "DecayEnd" once per
    note when its amplitude envelope has run out. Messages raised on the audio thread are queued
    and broadcast from the message thread.
*/
class Voice : public AsyncMessageBroadcaster
{
public:
    explicit Voice (int voiceIndex);
    ~Voice() override;

    int getVoiceIndex() const noexcept { return index; }

    //==============================================================================
    // Any thread, lock-free; the audio thread picks changes up at its next block.

    void setParameter (VoiceParameter parameter, float value) noexcept;
    float getParameter (VoiceParameter parameter) const noexcept;

    /** The mapped note that starts this voice on channels 1 and 9 to 16. */
    void setMidiNote (int note) noexcept;
    int getMidiNote() const noexcept;

    //==============================================================================
    /** Starts the voice. On the thread that is rendering it, takes effect at once; from any
        other thread (the editor's pad) it is queued and applied at the start of the next block. */
    void noteOn (int note, bool byChannel, float velocity);

private:
    const int index;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Voice)
};
