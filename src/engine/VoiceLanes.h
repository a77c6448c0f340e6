#pragma once

#include "BendCurve.h"
#include "DecayEnvelope.h"
#include "Glide.h"
#include "HighPassFilter.h"
#include "LadderFilter.h"
#include "NoiseInterpolator.h"
#include "ToneOscillator.h"
#include "VoiceParameters.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>

/**
    The sound of up to four voices, one per lane, rendered side by side (the Voice objects decide
    when notes start and stop; this only makes the sound).

    Each lane: a tone (ToneOscillator) whose pitch bends along a BendCurve; white noise through a
    resonant LadderFilter, whose cutoff the same curve sweeps down, and a HighPassFilter; a noise
    click; a triangle LFO on pitch and cutoff; one amplitude envelope; saturation; then level and
    constant-power pan. All of it runs at the oversampled rate but the noise, its filters and the
    click: they run at the oversampled rate halved as often as it stays a full audio rate (48 kHz
    for a 48 kHz project at any oversampling, and for a 96 kHz one) and are brought up to it, so
    that they sound the same at every rate. Run faster, the filters' response near the top of the
    band would move, and noise spread over the wider band would drive the saturation harder.

    Modulation (LFO, sweep, filter coefficients, parameter glides) is worked out once per stretch
    of modulationInterval samples on a grid that the caller keeps across blocks, so that the sound
    does not depend on how the host cuts its blocks.

    Where the AVX2 build runs, two groups that both sound are rendered side by side in 256-bit
    registers (renderBoth): each lane does exactly what it does in its own group, so the samples
    are the same to the bit, in half the instructions.
*/
class VoiceLanes final
{
public:
    static constexpr int numLanes = Lanes::size;

    template <int width>
    using FloatOf = typename Lanes::Vectors<width>::Float;

    /** Oversampled samples per modulation update. */
    static constexpr int modulationInterval = 16;

    using Values = std::array<float, VoiceParameters::count>;

    /** Which build of the inner loops renders; the same samples either way. */
    void setPath (Lanes::Path newPath) noexcept { path = newPath; }

    /** Which voice a lane plays: each has noise of its own. */
    void setVoiceIndex (int lane, int voiceIndex) noexcept;

    /** The oversampled rate. Sounding lanes go on; their parameters must be set again for it. */
    void setSampleRate (float oversampledRate) noexcept;

    /** The sound parameters of one lane, each within its range. Changes glide on a sounding note. */
    void setParameters (int lane, const Values& values) noexcept;

    /** Starts a note on one lane; numSamplesToGrid samples remain before the next modulation update. */
    void startNote (int lane, float startPitch, float endPitch, float velocityGain, int phaseResetMode,
                    int numSamplesToGrid) noexcept;

    /** Fades a lane out quickly without a click (choke, note-off). */
    void release (int lane) noexcept;

    /** Silences a lane at once. */
    void stop (int lane) noexcept;

    bool isSounding (int lane) const noexcept { return active[lane] != 0; }
    bool isSilent() const noexcept { return ! Lanes::any (active); }

    /** At a grid point: lanes that have died away stop sounding. Returns the lanes whose amplitude
        envelope has just reached its end (bit per lane), unless they were released first. */
    uint32_t finishStretch() noexcept;

    /** At a grid point: the modulation of every sounding lane for the next numSamples. */
    void beginStretch (int numSamples) noexcept;

    /** Renders numSamples, each lane's left and right into left[i] and right[i]. */
    void render (int numSamples, Lanes::Float* __restrict left, Lanes::Float* __restrict right) noexcept;

    /** The same as render() on each of two groups that both sound, with the same samples. */
    static void renderBoth (VoiceLanes& first, VoiceLanes& second, int numSamples,
                            Lanes::Float* __restrict firstLeft, Lanes::Float* __restrict firstRight,
                            Lanes::Float* __restrict secondLeft, Lanes::Float* __restrict secondRight) noexcept;

private:
    bool isGliding() const noexcept;
    template <bool gliding>
    forcedinline void renderStretch (int numSamples, Lanes::Float* __restrict left, Lanes::Float* __restrict right) noexcept;
    void renderWithAvx2 (bool gliding, int numSamples, Lanes::Float* __restrict left, Lanes::Float* __restrict right) noexcept;
    template <bool gliding>
    static forcedinline void renderBothStretch (VoiceLanes& first, VoiceLanes& second, int numSamples,
                                                Lanes::Float* __restrict firstLeft, Lanes::Float* __restrict firstRight,
                                                Lanes::Float* __restrict secondLeft, Lanes::Float* __restrict secondRight) noexcept;
    static void renderBothWithAvx2 (bool gliding, VoiceLanes& first, VoiceLanes& second, int numSamples,
                                    Lanes::Float* __restrict firstLeft, Lanes::Float* __restrict firstRight,
                                    Lanes::Float* __restrict secondLeft, Lanes::Float* __restrict secondRight) noexcept;
    void finishGlides (int numSamples) noexcept;

    /** What the last stage of the sample loop reads besides its inputs. */
    template <int width>
    struct MixSettings;
    MixSettings<numLanes> mixSettings() const noexcept;

    template <bool gliding, int width>
    static forcedinline void mix (int numSamples, const MixSettings<width>& settings, DecayEnvelope<width>& amp, FloatOf<width>& fade,
                                  const FloatOf<width>* tone, const FloatOf<width>* white, const FloatOf<width>* clickLevel,
                                  const FloatOf<width>* noiseOut, FloatOf<width>* __restrict left, FloatOf<width>* __restrict right) noexcept;

    void updateModulation (Lanes::Mask lanes, int numSamples) noexcept;
    void updateModulationWithAvx2 (Lanes::Mask lanes, int numSamples) noexcept;
    forcedinline void workOutModulation (Lanes::Mask lanes, int numSamples) noexcept;
    void updateHighPass (Lanes::Mask lanes) noexcept;
    /** Noise made below the oversampled rate, brought up to it; both buffers hold modulationInterval samples. */
    forcedinline void makeSlowNoise (int numSamples, Lanes::Float* __restrict noiseOut, Lanes::Float* __restrict clickNoise) noexcept;

    std::array<Glide<numLanes>*, 13> glides() noexcept;

    Lanes::Path path = Lanes::Path::portable;
    float sampleRate = 48000.0f, inverseSampleRate = 1.0f / 48000.0f, noiseGain = 1.0f;
    float noiseRate = 48000.0f;
    int noiseStep = 1;   // oversampled samples per noise sample

    //==============================================================================
    // The sound stages.
    BendCurve<numLanes> bend;
    ToneOscillator<numLanes> oscillator;
    Lanes::UInt noise {}, voiceSeed {};
    std::array<uint32_t, numLanes> notesStarted {};
    LadderFilter<numLanes> lowPass;
    HighPassFilter<numLanes> highPass;
    DecayEnvelope<numLanes> amplitude, click;

    // Noise made below the oversampled rate, the filtered noise and the click, brought up to it;
    // what is still to come out of the last noise sample.
    NoiseInterpolator noiseUp, clickUp;
    Lanes::Float pendingNoise[NoiseInterpolator::maxFactor] {}, pendingClick[NoiseInterpolator::maxFactor] {};
    int pendingStart = 1;
    bool clicking = false;

    //==============================================================================
    // Parameters: where they are going, and where they are.
    Glide<numLanes> noiseMix, triangle, clickMix, saturation, gainLeft, gainRight, level;
    Glide<numLanes> noiseCutoff, resonance, sweepOctaves, highPassCutoff, lfoPitchSemitones, lfoCutoffOctaves;
    Lanes::Float lfoPhase {}, lfoIncrement {}, lfoCutoffSwing {}, releaseStepTarget {};
    bool glidesMoving = false;
    Lanes::Float appliedHighPassCutoff {}, appliedCutoff {}, appliedResonance = Lanes::splat (-1.0f);
    Lanes::Float resonanceCompensation = Lanes::splat (1.0f);

    //==============================================================================
    // Per stretch: what the inner loop reads.
    Lanes::Float phaseScale {}, stretchCutoff = Lanes::splat (1000.0f), stretchResonance {};
    Lanes::Float drive {}, dry {}, wet {}, driveIncrement {}, dryIncrement {}, wetIncrement {};
    Lanes::Float blendFrom = Lanes::splat (-1.0f), blendTo = Lanes::splat (-1.0f);
    Lanes::Mask needsNoise {};
    bool withTriangle = false;

    //==============================================================================
    // Per note.
    Lanes::Mask active {}, releasing {}, decayEndPending {};
    Lanes::Float releaseFade {}, releaseStep {};
};
