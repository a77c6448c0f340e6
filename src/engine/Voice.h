#pragma once

#include "AsyncMessageBroadcaster.h"
#include "DecayEnvelope.h"
#include "HighPassFilter.h"
#include "LadderFilter.h"
#include "ToneOscillator.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_dsp/juce_dsp.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

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

    The sound: a band-limited triangle/sine tone whose pitch bends from the start to the end pitch,
    white noise through a resonant ladder low-pass (cutoff swept down along the same curve) and a
    high-pass, a noise click, a triangle LFO on pitch and cutoff, one amplitude envelope, saturation,
    then level, gain and constant-power pan. Everything up to the saturation runs at the
    oversampled rate.

    Bend/sweep curves: Curve A is exponential with a time constant of a twelfth of the decay (a
    fast drop that settles early, as in a kick); Curve B is a straight glide that arrives at half
    the decay time. The "Offset" phase reset starts the oscillator a quarter cycle in, at its peak,
    for a harder attack than the zero crossing of "On".
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
    /** Starts the voice. On the thread that is inside VoiceManager::renderBlock it takes effect at
        once; from any other thread (the editor's pad) it broadcasts "NoteOn" straight away and the
        note is queued, to start at the first sample of the next block. Other threads may
        allocate here; only the rendering thread must not. */
    void noteOn (int note, bool byChannel, float velocity);

    //==============================================================================
    // Used by VoiceManager.

    /** The global settings one block is rendered with. */
    struct BlockSettings
    {
        int phaseResetMode = 0;     // 0 Off, 1 On, 2 Offset
        bool obeyNoteOff = false;
        int oversamplingFactor = 1; // 1, 2 or 4
    };

    /** Marks the calling thread as the rendering thread while it exists, so that noteOn() on it
        takes effect at once instead of being queued. */
    class ScopedRenderThread final
    {
    public:
        ScopedRenderThread() noexcept;
        ~ScopedRenderThread();

    private:
        const bool wasRenderThread;

        JUCE_DECLARE_NON_COPYABLE (ScopedRenderThread)
    };

    /** Allocates the scratch buffers and one oversampler per factor. */
    void prepare (double sampleRate, int maximumBlockSize);
    void releaseResources();

    /** Which note-ons of the other voices silence this one: a set of notes on channels 1 and 9 to
        16, and a mask of channels (bit c for channel c). Any thread. */
    void setChokeTriggers (const std::array<uint64_t, 2>& noteSet, uint32_t channelMask) noexcept;

    /** Audio thread, after beginBlock: true if starting the voice with the given index silences
        this one (they share a choke group). */
    bool isChokedBy (int voiceIndex) const noexcept;

    /** Audio thread, before renderBlock: takes the settings and choke lists for the coming block. */
    void beginBlock (const BlockSettings& settings) noexcept;

    /** Audio thread, after beginBlock: starts a note queued from another thread, if there is one,
        at the first sample of the block. Returns true if it did. */
    bool startQueuedNote() noexcept;

    /** Audio thread: fades out quickly without a click (choke, note-off). */
    void release() noexcept;

    /** Audio thread: silences at once (bypass) and forgets any queued note. */
    void stop() noexcept;

    bool isSounding() const noexcept { return active; }

    /** Audio thread: scans the MIDI between startSample and startSample + numSamples, renders
        that part and adds it into target (whose pointers are at startSample). */
    void renderBlock (const juce::MidiBuffer& midi, int startSample, int numSamples,
                      StereoTarget target) noexcept;

private:
    //==============================================================================
    struct BlockCoefficients
    {
        int factor = 1;
        float sampleRate = 44100.0f, inverseSampleRate = 1.0f / 44100.0f;
        float triangleLevel = 0.0f, sineLevel = 1.0f;
        float toneLevel = 1.0f, noiseLevel = 0.0f, clickLevel = 0.0f, noiseGain = 1.0f;
        bool curveB = false;
        float bendMultiplier = 1.0f, bendStep = 0.0f;
        float noiseCutoff = 1000.0f, resonance = 0.0f, sweepOctaves = 0.0f;
        float lfoIncrement = 0.0f, lfoPitchSemitones = 0.0f, lfoCutoffOctaves = 0.0f;
        float saturationDry = 1.0f, saturationWet = 0.0f, drive = 1.0f;
        float releaseStep = 1.0f;
        float gainLeft = 0.0f, gainRight = 0.0f;
    };

    void startNote (int note, bool byChannel, float velocity, int channel) noexcept;
    /** Reads the parameters for this block, the first time a sounding voice needs them. */
    void ensureCoefficients() noexcept;
    void ensureOutputStarted (int numSamples) noexcept;
    void renderRange (int startOsSample, int endOsSample) noexcept;
    void finishBlock (int numSamples, StereoTarget target) noexcept;
    /** Returns true if the event started the voice. */
    bool handleMidi (const uint8_t* data, int numBytes) noexcept;

    float loadParameter (VoiceParameter p) const noexcept;
    juce::dsp::Oversampling<float>* oversamplerFor (int factor) const noexcept;

    //==============================================================================
    const int index;
    const juce::String noteOnMessage;

    std::array<std::atomic<float>, (size_t) VoiceParameter::numParameters> parameters;
    std::atomic<int> midiNote { 0 };
    std::atomic<uint64_t> queuedNote { 0 };
    std::array<std::atomic<uint64_t>, 2> chokeNotes;
    std::atomic<uint32_t> chokeChannels { 0 };

    //==============================================================================
    // Audio thread only.
    double hostSampleRate = 0.0;
    int maximumBlockSize = 0;
    BlockSettings settings;
    BlockCoefficients coefficients;
    int lastFactor = 1;
    bool oversamplerNeedsReset = false;

    bool active = false, releasing = false, decayEndPending = false, flushPending = false;
    bool outputStarted = false, coefficientsReady = false;
    float* renderBuffer = nullptr;

    int lastNote = -1, lastChannel = 0;
    float velocityGain = 1.0f, startPitch = 0.0f, pitchSpan = 0.0f, endPitch = 0.0f;
    float bendRemaining = 0.0f, releaseGain = 1.0f, lfoPhase = 0.0f;
    float previousGainLeft = 0.0f, previousGainRight = 0.0f;
    bool gainsValid = false;
    uint32_t noiseState = 0;
    uint64_t chokeNoteBits[2] {};
    uint32_t chokeChannelBits = 0;

    ToneOscillator oscillator;
    LadderFilter lowPass;
    HighPassFilter highPass;
    DecayEnvelope amplitude, click;

    std::array<std::unique_ptr<juce::dsp::Oversampling<float>>, 2> oversamplers;
    juce::HeapBlock<float> mono, left, right, zeros;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Voice)
};
