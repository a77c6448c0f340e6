// GCC notes that eight-lane vectors are passed differently without AVX. None crosses a call between
// builds: the eight-lane code here is all inlined into the AVX2 build of the sample loop.
#if defined (__GNUC__) && ! defined (__clang__)
 #pragma GCC diagnostic ignored "-Wpsabi"
#endif

#include "VoiceLanes.h"

namespace
{
using Lanes::Float;
using Lanes::Mask;
using P = VoiceParameter;

// Fixed parts of the sound that no parameter controls.
constexpr float attackSeconds = 0.0005f;          // takes the edge off a note starting mid-cycle
constexpr float releaseSeconds = 0.005f;          // choke and note-off fade
constexpr float glideSeconds = 0.01f;             // parameter changes on a sounding note
constexpr float maximumSweepOctaves = 6.0f;       // noise cutoff drop at NoiseSweep 1
constexpr float lfoPitchRangeSemitones = 12.0f;   // at LFO tone depth 1
constexpr float lfoCutoffRangeOctaves = 3.0f;     // at LFO noise depth 1
constexpr float lfoCutoffHalfLifeCycles = 1.0f;   // the LFO's swing of the cutoff dies away over its first few cycles
constexpr float maximumDrive = 15.0f;             // extra drive into the clipper at saturation 1
constexpr float noiseLevel = 1.5f;                // evens filtered noise out against the tone
constexpr float noiseReferenceRate = 48000.0f;    // the rate at which noiseLevel applies as it is
constexpr float lowestNoiseRate = 44100.0f;       // noise runs at the oversampled rate halved down to no lower than this
constexpr float minimumCutoff = 20.0f;
constexpr float maximumPhaseIncrement = 0.45f;    // keeps the tone below the oversampled Nyquist
constexpr float offsetPhase = 0.25f;              // "Offset": start at the waveform's peak

static_assert (VoiceLanes::modulationInterval % NoiseInterpolator::maxFactor == 0 && NoiseInterpolator::maxOutput >= VoiceLanes::modulationInterval,
               "a stretch's noise is made in one go");

/** A well-mixed noise seed for a voice's note (MurmurHash3's finaliser); never 0, where xorshift stays. */
uint32_t noteSeed (uint32_t voiceSeed, uint32_t note) noexcept
{
    auto h = voiceSeed ^ (note * 0xcc9e2d51u);
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return h | 1u;
}

float get (const VoiceLanes::Values& values, P p) noexcept { return values[(size_t) p]; }

/** Saturation blends towards a driven clipper, so that a little saturation is only a little change. */
struct SaturationBlend
{
    explicit SaturationBlend (Float amount) noexcept
        : drive (1.0f + maximumDrive * amount), dry (1.0f - amount), wet (amount / DspMath::softClip (drive))
    {
    }

    Float drive, dry, wet;
};
} // namespace

void VoiceLanes::setVoiceIndex (int lane, int voiceIndex) noexcept
{
    // Each voice its own noise, so that two voices hit together do not cancel or double up.
    noise[lane] = voiceSeed[lane] = 0x9e3779b9u * (uint32_t) (voiceIndex + 1);
    notesStarted[(size_t) lane] = 0;
}

void VoiceLanes::setSampleRate (float oversampledRate) noexcept
{
    // What moves per sample keeps its pace in time.
    const auto ratio = sampleRate / oversampledRate;

    for (auto* glide : glides())
        glide->step = glide->step * ratio;

    glidesMoving = true;

    releaseStep = releaseStep * ratio;

    sampleRate = oversampledRate;
    inverseSampleRate = 1.0f / sampleRate;

    // The noise's rate: 48 kHz at 48, 96 and 192 kHz, 44.1 kHz at 88.2 kHz, whatever the oversampling.
    noiseStep = 1;

    while (noiseStep < NoiseInterpolator::maxFactor && oversampledRate / (float) (2 * noiseStep) >= lowestNoiseRate)
        noiseStep *= 2;

    noiseRate = oversampledRate / (float) noiseStep;
    noiseUp.setFactor (noiseStep);
    clickUp.setFactor (noiseStep);
    pendingStart = noiseStep;

    // White noise spreads over the whole band up to half the rate; its audible part keeps its
    // level whatever the host rate.
    noiseGain = noiseLevel * std::sqrt (noiseRate / noiseReferenceRate);
    appliedHighPassCutoff = appliedCutoff = Float {};
    appliedResonance = Lanes::splat (-1.0f);
}

std::array<Glide<VoiceLanes::numLanes>*, 13> VoiceLanes::glides() noexcept
{
    return { &noiseMix, &triangle, &clickMix, &saturation, &gainLeft, &gainRight, &level, &noiseCutoff,
             &resonance, &sweepOctaves, &highPassCutoff, &lfoPitchSemitones, &lfoCutoffOctaves };
}

void VoiceLanes::setParameters (int lane, const Values& values) noexcept
{
    const auto decay = get (values, P::decay);
    amplitude.setTimes (lane, attackSeconds, decay, sampleRate);
    click.setTimes (lane, 0.0f, get (values, P::clickDecay) * 0.001f, noiseRate);
    bend.setTimes (lane, get (values, P::bendSweepCurve) >= 0.5f, decay, sampleRate);
    lfoIncrement[lane] = get (values, P::lfoRate) * inverseSampleRate;
    releaseStepTarget[lane] = 1.0f / juce::jmax (1.0f, releaseSeconds * sampleRate);

    const auto waveform = juce::roundToInt (get (values, P::waveform));

    // Constant-power pan: -3 dB each side in the centre.
    const auto gain = juce::Decibels::decibelsToGain (get (values, P::gain));
    const auto angle = (get (values, P::pan) + 1.0f) * juce::MathConstants<float>::pi * 0.25f;

    const auto sounding = isSounding (lane);
    const auto glideSamples = glideSeconds * sampleRate;

    const auto aim = [&] (Glide<numLanes>& glide, float target)
    {
        if (sounding)
        {
            glide.setTarget (lane, target, glideSamples);
            glidesMoving = true;
        }
        else
        {
            glide.target[lane] = target;
            glide.jump (lane);
        }
    };

    aim (triangle, waveform == 0 ? 1.0f : (waveform == 1 ? 0.5f : 0.0f));
    aim (noiseMix, get (values, P::noiseMix));
    aim (clickMix, get (values, P::clickMix));
    aim (saturation, get (values, P::saturation));
    aim (gainLeft, gain * std::cos (angle));
    aim (gainRight, gain * std::sin (angle));
    aim (noiseCutoff, get (values, P::noiseCutoff));
    aim (resonance, get (values, P::noiseResonance));
    aim (sweepOctaves, maximumSweepOctaves * get (values, P::noiseSweep));
    aim (highPassCutoff, get (values, P::noiseHPCutoff));
    aim (lfoPitchSemitones, lfoPitchRangeSemitones * get (values, P::lfoToneDepth));
    aim (lfoCutoffOctaves, lfoCutoffRangeOctaves * get (values, P::lfoNoiseDepth));
}

//==============================================================================
void VoiceLanes::startNote (int lane, float startPitch, float endPitch, float velocityGain, int phaseResetMode,
                            int numSamplesToGrid) noexcept
{
    const auto wasSounding = isSounding (lane);

    // After a silence, in which nothing was rendered, the noise starts afresh with the note, as it
    // does when it runs at the oversampled rate.
    if (isSilent())
        pendingStart = noiseStep;

    // A sounding voice goes on from where it is: its phase, its filters and its level, so that a
    // retrigger never steps, whatever the velocities.
    if (! wasSounding)
    {
        if (phaseResetMode != 0)
            oscillator.setPhase (lane, phaseResetMode == 2 ? offsetPhase : 0.0f);

        lowPass.reset (lane);
        highPass.reset (lane);
    }

    // The envelope rises again from its current level. The note's level glides from the old
    // note's (which a release may have been fading) to the new one: quickly to a louder note, over
    // a few milliseconds to a softer one.
    amplitude.start (lane, wasSounding ? amplitude.getLevel (lane) : 0.0f);
    level.target[lane] = velocityGain;

    if (wasSounding)
    {
        const auto from = level.value[lane] * releaseFade[lane];
        level.value[lane] = level.stretchEnd[lane] = from;
        level.setTarget (lane, velocityGain, (velocityGain > from ? attackSeconds : releaseSeconds) * sampleRate);
        glidesMoving = true;
    }
    else
    {
        level.jump (lane);
    }

    // A click that cannot be heard would only keep the noise generator busy.
    if (clickMix.target[lane] > 0.0f)
        click.start (lane, 1.0f);
    else
        click.stop (lane);

    // Every note after the first draws its noise from a seed of its own, so that the same notes
    // bring the same noise whatever the rate and however long the notes before them sounded.
    if (const auto count = notesStarted[(size_t) lane]++; count > 0)
        noise[lane] = noteSeed (voiceSeed[lane], count);

    bend.start (lane, startPitch, endPitch);
    lfoPhase[lane] = 0.0f;
    lfoCutoffSwing[lane] = 1.0f;
    releasing[lane] = 0;
    releaseFade[lane] = 1.0f;
    releaseStep[lane] = 0.0f;

    if (! wasSounding)
        for (auto* glide : glides())
            glide->jump (lane);

    decayEndPending[lane] = -1;
    active[lane] = -1;
    updateModulation (Lanes::laneMask (lane), numSamplesToGrid);
}

void VoiceLanes::release (int lane) noexcept
{
    if (isSounding (lane) && releasing[lane] == 0)
    {
        releasing[lane] = -1;
        releaseStep[lane] = releaseStepTarget[lane];
    }
}

void VoiceLanes::stop (int lane) noexcept
{
    active[lane] = releasing[lane] = decayEndPending[lane] = 0;
    releaseFade[lane] = 1.0f;
    releaseStep[lane] = 0.0f;
    phaseScale[lane] = 0.0f;
    needsNoise[lane] = 0;
    amplitude.stop (lane);
    click.stop (lane);
}

//==============================================================================
uint32_t VoiceLanes::finishStretch() noexcept
{
    const auto ampRunning = amplitude.isRunning();
    const auto decayEnded = active & decayEndPending & ~ampRunning;
    decayEndPending &= ~decayEnded;

    const auto ended = active & ((~ampRunning & ~click.isRunning()) | (releasing & (releaseFade <= 0.0f)));
    const auto announced = Lanes::bits (decayEnded & ~releasing);
    active &= ~ended;
    releasing &= ~ended;
    return announced;
}

void VoiceLanes::beginStretch (int numSamples) noexcept
{
    if (glidesMoving)
        for (auto* glide : glides())
            glide->endStretch();

    updateModulation (Lanes::maskOf (true), numSamples);
}

void VoiceLanes::updateModulation (Mask lanes, int numSamples) noexcept
{
   #if TOMBREL_BUILD_FOR_AVX2
    if (path == Lanes::Path::avx2)
        return updateModulationWithAvx2 (lanes, numSamples);
   #endif

    workOutModulation (lanes, numSamples);
}

#if TOMBREL_BUILD_FOR_AVX2
TOMBREL_AVX2_TARGET void VoiceLanes::updateModulationWithAvx2 (Mask lanes, int numSamples) noexcept
{
    workOutModulation (lanes, numSamples);
}
#endif

forcedinline void VoiceLanes::workOutModulation (Mask lanes, int numSamples) noexcept
{
    const auto length = (float) numSamples;
    const auto reciprocal = 1.0f / length;

    // Most of the time nothing glides, and every glide is where it is headed.
    if (glidesMoving)
    {
        auto moving = false;

        for (auto* glide : glides())
        {
            glide->beginStretch (lanes, length, reciprocal);
            moving = moving || Lanes::any ((glide->step != 0.0f) | (glide->increment != 0.0f));
        }

        glidesMoving = moving;
    }

    // The LFO and the sweep move slowly enough to be followed once per stretch.
    const auto lfoValue = DspMath::triangleCycle (lfoPhase);
    lfoPhase = Lanes::select (lanes, Lanes::fraction (lfoPhase + lfoIncrement * length), lfoPhase);

    const auto pitchOctaves = lfoValue * lfoPitchSemitones.value / 12.0f;
    const auto vibrato = pitchOctaves != 0.0f;
    const auto scale = Lanes::any (vibrato) ? Lanes::select (vibrato, DspMath::exp2 (pitchOctaves), Lanes::splat (1.0f)) * inverseSampleRate
                                            : Lanes::splat (inverseSampleRate);
    phaseScale = Lanes::select (lanes, Lanes::keep (active, scale), phaseScale);

    // The LFO's swing of the noise cutoff halves every lfoCutoffHalfLifeCycles cycles: at a few
    // Hz it wobbles through a drum, at audio rates it makes a few quick bursts (the slaps of a
    // hand clap) and lets the tail ring on smoothly.
    const auto octaves = lfoValue * lfoCutoffOctaves.value * lfoCutoffSwing - sweepOctaves.value * (1.0f - bend.getRemaining());

    if (Lanes::any (lfoCutoffOctaves.value != 0.0f))
        lfoCutoffSwing = Lanes::select (lanes, lfoCutoffSwing * DspMath::exp2 (lfoIncrement * (-length / lfoCutoffHalfLifeCycles)), lfoCutoffSwing);

    stretchCutoff = Lanes::select (lanes, Lanes::max (Lanes::splat (minimumCutoff), noiseCutoff.value * DspMath::exp2 (octaves)), stretchCutoff);
    stretchResonance = Lanes::select (lanes, resonance.value, stretchResonance);

    // Once a sweep has settled the cutoff stays put, and so do the coefficients.
    if (Lanes::any ((stretchCutoff != appliedCutoff) | (stretchResonance != appliedResonance)))
    {
        if (Lanes::any (stretchResonance != appliedResonance))
            resonanceCompensation = LadderFilter<numLanes>::noiseLevelCompensation (stretchResonance);

        lowPass.setParameters (stretchCutoff, noiseRate, stretchResonance, resonanceCompensation);
        appliedCutoff = stretchCutoff;
        appliedResonance = stretchResonance;
    }

    needsNoise = Lanes::select (lanes, active & ((noiseMix.value > 0.0f) | click.isRunning()), needsNoise);
    clicking = Lanes::any (active & click.isRunning());

    // The blend costs a division; it only changes with the saturation.
    if (Lanes::any (lanes & ((saturation.value != blendFrom) | (saturation.stretchEnd != blendTo))))
    {
        const SaturationBlend start (saturation.value), end (saturation.stretchEnd);
        drive = Lanes::select (lanes, start.drive, drive);
        dry = Lanes::select (lanes, start.dry, dry);
        wet = Lanes::select (lanes, start.wet, wet);
        driveIncrement = Lanes::select (lanes, (end.drive - start.drive) * reciprocal, driveIncrement);
        dryIncrement = Lanes::select (lanes, (end.dry - start.dry) * reciprocal, dryIncrement);
        wetIncrement = Lanes::select (lanes, (end.wet - start.wet) * reciprocal, wetIncrement);
        blendFrom = Lanes::select (lanes, saturation.value, blendFrom);
        blendTo = Lanes::select (lanes, saturation.stretchEnd, blendTo);
    }

    withTriangle = Lanes::any (active & ((triangle.value != 0.0f) | (triangle.stretchEnd != 0.0f)));
    updateHighPass (lanes);
}

void VoiceLanes::updateHighPass (Mask lanes) noexcept
{
    const auto changed = Lanes::bits (lanes & (highPassCutoff.value != appliedHighPassCutoff));

    for (int lane = 0; lane < numLanes; ++lane)
    {
        if ((changed >> lane) & 1u)
        {
            highPass.setCutoff (lane, highPassCutoff.value[lane], noiseRate);
            appliedHighPassCutoff[lane] = highPassCutoff.value[lane];
        }
    }
}

//==============================================================================
bool VoiceLanes::isGliding() const noexcept
{
    return noiseMix.isMoving() || triangle.isMoving() || clickMix.isMoving() || gainLeft.isMoving() || gainRight.isMoving()
        || level.isMoving() || Lanes::any ((driveIncrement != 0.0f) | (dryIncrement != 0.0f) | (wetIncrement != 0.0f));
}

template <int width>
struct VoiceLanes::MixSettings
{
    // Lane vectors only, so that two groups can be joined side by side (Lanes::join).
    Glide<width> noiseMix, clickMix, level, gainLeft, gainRight;
    FloatOf<width> drive, dry, wet, driveIncrement, dryIncrement, wetIncrement, releaseStep;
};

VoiceLanes::MixSettings<VoiceLanes::numLanes> VoiceLanes::mixSettings() const noexcept
{
    return { noiseMix, clickMix, level, gainLeft, gainRight, drive, dry, wet, driveIncrement, dryIncrement, wetIncrement, releaseStep };
}

void VoiceLanes::finishGlides (int numSamples) noexcept
{
    const auto length = (float) numSamples;

    for (auto* g : { &noiseMix, &triangle, &clickMix, &gainLeft, &gainRight, &level })
        g->value = g->value + g->increment * length;

    drive = drive + driveIncrement * length;
    dry = dry + dryIncrement * length;
    wet = wet + wetIncrement * length;
}

// The stages of the sample loop, for one group's lanes (width 4) or two groups' side by side (width 8).
namespace
{
/** Glides move in a straight line through the stretch. */
template <bool gliding, typename V>
forcedinline V along (V value, V increment, float i) noexcept
{
    if constexpr (gliding)
        return value + increment * i;
    else
        return value;
}

template <bool gliding, int width>
forcedinline VoiceLanes::FloatOf<width> glideAt (const Glide<width>& g, float i) noexcept
{
    return along<gliding> (g.value, g.increment, i);
}

template <bool gliding, int width>
forcedinline void makeTone (int numSamples, BendCurve<width>& curve, ToneOscillator<width>& osc, VoiceLanes::FloatOf<width> scale,
                            const Glide<width>& noiseMix, const Glide<width>& triangle,
                            typename Lanes::Vectors<width>::Int withTriangle, bool anyTriangle,
                            VoiceLanes::FloatOf<width>* __restrict tone) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        const auto increment = Lanes::min (Lanes::splat<VoiceLanes::FloatOf<width>> (maximumPhaseIncrement), curve.nextPitch() * scale);
        tone[i] = (1.0f - glideAt<gliding> (noiseMix, (float) i))
                * osc.processSample (increment, glideAt<gliding> (triangle, (float) i), withTriangle, anyTriangle);
    }
}

/** The noise, its filters and the click at the oversampled rate. */
template <int width>
forcedinline void makeNoise (int numSamples, typename Lanes::Vectors<width>::UInt& state, typename Lanes::Vectors<width>::Int needsNoise,
                             float gain, LadderFilter<width>& lp, HighPassFilter<width>& hp, DecayEnvelope<width>& clk,
                             VoiceLanes::FloatOf<width>* __restrict white, VoiceLanes::FloatOf<width>* __restrict noiseOut,
                             VoiceLanes::FloatOf<width>* __restrict clickLevel) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        auto next = state;
        white[i] = DspMath::whiteNoise (next) * gain;
        state = Lanes::select (needsNoise, next, state);
        noiseOut[i] = hp.processSample (lp.processSample (white[i]));
        clickLevel[i] = clk.processSample();
    }
}
} // namespace

template <bool gliding, int width>
forcedinline void VoiceLanes::mix (int numSamples, const MixSettings<width>& s, DecayEnvelope<width>& amp, FloatOf<width>& fade,
                                   const FloatOf<width>* tone, const FloatOf<width>* white, const FloatOf<width>* clickLevel,
                                   const FloatOf<width>* noiseOut, FloatOf<width>* __restrict left, FloatOf<width>* __restrict right) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        const auto at = (float) i;
        const auto body = tone[i] + glideAt<gliding> (s.noiseMix, at) * noiseOut[i];
        const auto clickSample = glideAt<gliding> (s.clickMix, at) * white[i] * clickLevel[i];

        auto x = body * amp.processSample() + clickSample;
        x = along<gliding> (s.dry, s.dryIncrement, at) * x
          + along<gliding> (s.wet, s.wetIncrement, at) * DspMath::softClip (along<gliding> (s.drive, s.driveIncrement, at) * x);
        x = x * fade;
        fade = Lanes::max (FloatOf<width> {}, fade - s.releaseStep);

        const auto out = x * glideAt<gliding> (s.level, at);
        left[i] = out * glideAt<gliding> (s.gainLeft, at);
        right[i] = out * glideAt<gliding> (s.gainRight, at);
    }
}

//==============================================================================
template <bool gliding>
void VoiceLanes::renderStretch (int numSamples, Float* __restrict left, Float* __restrict right) noexcept
{
    // Stage by stage over the stretch, each stage a short loop whose state fits in registers.
    Float tone[modulationInterval], white[modulationInterval], clickLevel[modulationInterval], noiseOut[modulationInterval];

    {
        auto curve = bend;
        auto osc = oscillator;
        makeTone<gliding> (numSamples, curve, osc, phaseScale, noiseMix, triangle, Lanes::maskOf (withTriangle), withTriangle, tone);
        bend = curve;
        oscillator = osc;
    }

    if (noiseStep == 1)
    {
        auto state = noise;
        auto lp = lowPass;
        auto hp = highPass;
        auto clk = click;
        makeNoise (numSamples, state, needsNoise, noiseGain, lp, hp, clk, white, noiseOut, clickLevel);
        noise = state;
        lowPass = lp;
        highPass = hp;
        click = clk;
    }
    else
    {
        // The click comes shaped already.
        makeSlowNoise (numSamples, noiseOut, white);
        std::fill (clickLevel, clickLevel + numSamples, Lanes::splat (1.0f));
    }

    auto fade = releaseFade;
    auto amp = amplitude;
    mix<gliding> (numSamples, mixSettings(), amp, fade, tone, white, clickLevel, noiseOut, left, right);
    releaseFade = fade;
    amplitude = amp;

    if constexpr (gliding)
        finishGlides (numSamples);
}

template <bool gliding>
void VoiceLanes::renderBothStretch (VoiceLanes& first, VoiceLanes& second, int numSamples,
                                    Float* __restrict firstLeft, Float* __restrict firstRight,
                                    Float* __restrict secondLeft, Float* __restrict secondRight) noexcept
{
    // As renderStretch, on both groups' lanes at once: each stage's state is joined from the two
    // groups before its loop and handed back after it.
    using Wide = FloatOf<2 * numLanes>;
    Wide tone[modulationInterval], white[modulationInterval], clickLevel[modulationInterval], noiseOut[modulationInterval];
    Wide left[modulationInterval], right[modulationInterval];

    {
        auto curve = Lanes::join (first.bend, second.bend);
        auto osc = Lanes::join (first.oscillator, second.oscillator);
        makeTone<gliding> (numSamples, curve, osc, Lanes::join (first.phaseScale, second.phaseScale),
                           Lanes::join (first.noiseMix, second.noiseMix), Lanes::join (first.triangle, second.triangle),
                           Lanes::join (Lanes::maskOf (first.withTriangle), Lanes::maskOf (second.withTriangle)),
                           first.withTriangle || second.withTriangle, tone);
        Lanes::split (curve, first.bend, second.bend);
        Lanes::split (osc, first.oscillator, second.oscillator);
    }

    // Both groups run at the same rates.
    jassert (first.noiseStep == second.noiseStep && first.noiseGain == second.noiseGain);

    if (first.noiseStep == 1)
    {
        auto state = Lanes::join (first.noise, second.noise);
        auto lp = Lanes::join (first.lowPass, second.lowPass);
        auto hp = Lanes::join (first.highPass, second.highPass);
        auto clk = Lanes::join (first.click, second.click);
        makeNoise (numSamples, state, Lanes::join (first.needsNoise, second.needsNoise), first.noiseGain, lp, hp, clk,
                   white, noiseOut, clickLevel);
        Lanes::split (state, first.noise, second.noise);
        Lanes::split (lp, first.lowPass, second.lowPass);
        Lanes::split (hp, first.highPass, second.highPass);
        Lanes::split (clk, first.click, second.click);
    }
    else
    {
        // Below the oversampled rate each group keeps its own noise schedule, which a note
        // starting in a silent group restarts.
        Float firstNoise[modulationInterval], firstClick[modulationInterval], secondNoise[modulationInterval], secondClick[modulationInterval];
        first.makeSlowNoise (numSamples, firstNoise, firstClick);
        second.makeSlowNoise (numSamples, secondNoise, secondClick);

        for (int i = 0; i < numSamples; ++i)
        {
            noiseOut[i] = Lanes::join (firstNoise[i], secondNoise[i]);
            white[i] = Lanes::join (firstClick[i], secondClick[i]);
            clickLevel[i] = Lanes::splat<Wide> (1.0f);
        }
    }

    {
        auto fade = Lanes::join (first.releaseFade, second.releaseFade);
        auto amp = Lanes::join (first.amplitude, second.amplitude);
        mix<gliding> (numSamples, Lanes::join (first.mixSettings(), second.mixSettings()), amp, fade,
                      tone, white, clickLevel, noiseOut, left, right);
        Lanes::split (fade, first.releaseFade, second.releaseFade);
        Lanes::split (amp, first.amplitude, second.amplitude);
    }

    for (int i = 0; i < numSamples; ++i)
    {
        Lanes::split (left[i], firstLeft[i], secondLeft[i]);
        Lanes::split (right[i], firstRight[i], secondRight[i]);
    }

    if constexpr (gliding)
    {
        first.finishGlides (numSamples);
        second.finishGlides (numSamples);
    }
}

forcedinline void VoiceLanes::makeSlowNoise (int numSamples, Float* __restrict noiseOut, Float* __restrict clickNoise) noexcept
{
    int i = 0;

    for (; i < numSamples && pendingStart < noiseStep; ++i, ++pendingStart)
    {
        noiseOut[i] = pendingNoise[pendingStart];
        clickNoise[i] = pendingClick[pendingStart];
    }

    if (i == numSamples)
        return;

    // Whole noise samples; what is left of the last one comes out at the start of the next call.
    const auto wanted = numSamples - i;
    const auto count = (wanted + noiseStep - 1) / noiseStep;
    Float slowNoise[modulationInterval], slowClick[modulationInterval];

    {
        auto state = noise;
        auto lp = lowPass;
        auto hp = highPass;
        auto clk = click;

        // The click is shaped before it is brought up: it is then the same click as at the noise
        // rate, whose spectrum stays flat up to the top of the band however short it is.
        for (int k = 0; k < count; ++k)
        {
            auto next = state;
            const auto white = DspMath::whiteNoise (next) * noiseGain;
            state = Lanes::select (needsNoise, next, state);
            slowNoise[k] = hp.processSample (lp.processSample (white));
            slowClick[k] = white * clk.processSample();
        }

        noise = state;
        lowPass = lp;
        highPass = hp;
        click = clk;
    }

    // Brought up straight into the caller's samples when the whole noise samples fit there, as
    // they do when a stretch starts on a noise sample; otherwise through a scratch copy.
    const auto produced = count * noiseStep;
    const auto direct = i + produced <= modulationInterval;
    Float fastNoise[NoiseInterpolator::maxOutput], fastClick[NoiseInterpolator::maxOutput];
    auto* noiseTarget = direct ? noiseOut + i : fastNoise;
    auto* clickTarget = direct ? clickNoise + i : fastClick;
    noiseUp.process (slowNoise, noiseTarget, count);

    // The click is short; the rest of the time there is nothing to bring up.
    if (clicking)
        clickUp.process (slowClick, clickTarget, count);
    else
        std::fill (clickTarget, clickTarget + produced, Float {});

    if (! direct)
    {
        std::copy (fastNoise, fastNoise + wanted, noiseOut + i);
        std::copy (fastClick, fastClick + wanted, clickNoise + i);
    }

    const auto last = (count - 1) * noiseStep;
    std::copy (noiseTarget + last, noiseTarget + last + noiseStep, pendingNoise);
    std::copy (clickTarget + last, clickTarget + last + noiseStep, pendingClick);
    pendingStart = wanted - last;
}

void VoiceLanes::render (int numSamples, Float* __restrict left, Float* __restrict right) noexcept
{
    jassert (numSamples <= modulationInterval);
    const auto gliding = isGliding();

   #if TOMBREL_BUILD_FOR_AVX2
    if (path == Lanes::Path::avx2)
        return renderWithAvx2 (gliding, numSamples, left, right);
   #endif

    if (gliding)
        renderStretch<true> (numSamples, left, right);
    else
        renderStretch<false> (numSamples, left, right);
}

void VoiceLanes::renderBoth (VoiceLanes& first, VoiceLanes& second, int numSamples,
                             Float* __restrict firstLeft, Float* __restrict firstRight,
                             Float* __restrict secondLeft, Float* __restrict secondRight) noexcept
{
    jassert (numSamples <= modulationInterval && ! first.isSilent() && ! second.isSilent());

   #if TOMBREL_BUILD_FOR_AVX2
    // Side by side only where every lane then takes the same steps as in its own group: a group
    // that glides adds its increments, one that doesn't leaves them out.
    if (first.path == Lanes::Path::avx2 && second.path == Lanes::Path::avx2)
        if (const auto gliding = first.isGliding(); gliding == second.isGliding())
            return renderBothWithAvx2 (gliding, first, second, numSamples, firstLeft, firstRight, secondLeft, secondRight);
   #endif

    first.render (numSamples, firstLeft, firstRight);
    second.render (numSamples, secondLeft, secondRight);
}

#if TOMBREL_BUILD_FOR_AVX2
TOMBREL_AVX2_TARGET void VoiceLanes::renderWithAvx2 (bool gliding, int numSamples, Float* __restrict left, Float* __restrict right) noexcept
{
    if (gliding)
        renderStretch<true> (numSamples, left, right);
    else
        renderStretch<false> (numSamples, left, right);
}

TOMBREL_AVX2_TARGET void VoiceLanes::renderBothWithAvx2 (bool gliding, VoiceLanes& first, VoiceLanes& second, int numSamples,
                                                         Float* __restrict firstLeft, Float* __restrict firstRight,
                                                         Float* __restrict secondLeft, Float* __restrict secondRight) noexcept
{
    if (gliding)
        renderBothStretch<true> (first, second, numSamples, firstLeft, firstRight, secondLeft, secondRight);
    else
        renderBothStretch<false> (first, second, numSamples, firstLeft, firstRight, secondLeft, secondRight);
}
#endif
