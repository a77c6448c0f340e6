#include "Voice.h"

namespace
{
thread_local bool isRenderThread = false;

enum MessageIndex
{
    noteOnMessageIndex,
    decayEndMessageIndex
};

juce::StringArray voiceMessages (int index)
{
    return { "voice" + juce::String (index) + "NoteOn", "voice" + juce::String (index) + "DecayEnd" };
}

/** Default, lowest and highest value of each parameter, in the order of VoiceParameter. The
    defaults make a plain tom; the processor sets every value before it plays. */
struct ParameterInfo
{
    float defaultValue, minimum, maximum;
};

constexpr ParameterInfo parameterInfo[] = {
    { 0.4f, 0.005f, 10.0f },      // decay, s
    { 2.0f, 0.0f, 2.0f },         // waveform
    { 120.0f, 1.0f, 20000.0f },   // tonePitch, Hz
    { 0.3f, 0.0f, 1.0f },         // toneBend
    { 0.0f, 0.0f, 1.0f },         // bendSweepCurve
    { 5000.0f, 1.0f, 30000.0f },  // noiseCutoff, Hz
    { 0.1f, 0.0f, 1.0f },         // noiseResonance
    { 200.0f, 1.0f, 30000.0f },   // noiseHPCutoff, Hz
    { 0.3f, 0.0f, 1.0f },         // noiseSweep
    { 0.2f, 0.0f, 1.0f },         // noiseMix
    { 5.0f, 0.0f, 100.0f },       // lfoRate, Hz
    { 0.0f, 0.0f, 1.0f },         // lfoToneDepth
    { 0.0f, 0.0f, 1.0f },         // lfoNoiseDepth
    { 5.0f, 0.1f, 1000.0f },      // clickDecay, ms
    { 0.2f, 0.0f, 1.0f },         // clickMix
    { 0.0f, 0.0f, 1.0f },         // saturation
    { 0.5f, 0.0f, 1.0f },         // velocity sensitivity
    { 0.0f, -1.0f, 1.0f },        // pan
    { 0.0f, -96.0f, 48.0f },      // gain, dB
};

static_assert (std::size (parameterInfo) == (size_t) VoiceParameter::numParameters);

// Fixed parts of the sound that no parameter controls.
constexpr float attackSeconds = 0.0005f;              // takes the edge off a note starting mid-cycle
constexpr float releaseSeconds = 0.005f;              // choke and note-off fade
constexpr float curveATimeFraction = 1.0f / 12.0f;    // exponential time constant, of the decay
constexpr float curveBTimeFraction = 0.5f;            // end of the straight glide, of the decay
constexpr float maximumSweepOctaves = 6.0f;           // noise cutoff drop at NoiseSweep 1
constexpr float lfoPitchRangeSemitones = 12.0f;       // at LFO tone depth 1
constexpr float lfoCutoffRangeOctaves = 3.0f;         // at LFO noise depth 1
constexpr float softNoteDropSemitones = 2.0f;         // pitch drop at velocity 0, full sensitivity
constexpr float maximumDrive = 15.0f;                 // extra drive into the clipper at saturation 1
constexpr float noiseLevel = 1.5f;                    // evens filtered noise out against the tone
constexpr float minimumCutoff = 20.0f;
constexpr float maximumPhaseIncrement = 0.45f;        // keeps the tone below the oversampled Nyquist
constexpr float offsetPhase = 0.25f;                  // "Offset": start at the waveform's peak
constexpr int modulationInterval = 16;                // oversampled samples per LFO/cutoff update
constexpr float bendResolution = 1.0e-7f;             // the bend counts as arrived; no denormals

// The oversampled signal is generated, not upsampled: the upsampling filter only ever sees zeros,
// so it can be as cheap as possible. The downsampling filters are JUCE's maximum-quality ones.
constexpr float upTransitionWidth = 0.25f, upStopbandDb = -30.0f;
constexpr float downTransitionWidth[] = { 0.06f, 0.12f };
constexpr float downStopbandDb[] = { -75.0f, -85.0f };

// Queued notes from other threads, packed into one atomic word.
constexpr uint64_t queuedFlag = 1ull << 63;
constexpr uint64_t byChannelFlag = 1ull << 48;
constexpr float velocitySteps = 65535.0f;

uint64_t packNote (int note, bool byChannel, float velocity) noexcept
{
    const auto v = (uint64_t) juce::roundToInt (juce::jlimit (0.0f, 1.0f, velocity) * velocitySteps);
    return queuedFlag | (byChannel ? byChannelFlag : 0) | (v << 32) | (uint64_t) (uint32_t) note;
}

bool isMappedChannel (int channel) noexcept { return channel == 1 || channel >= 9; }

constexpr int firstVoiceChannel = 2;

float triangleLfo (float phase) noexcept
{
    return DspMath::triangleCycle (phase);
}
}

//==============================================================================
Voice::ScopedRenderThread::ScopedRenderThread() noexcept
    : wasRenderThread (isRenderThread)
{
    isRenderThread = true;
}

Voice::ScopedRenderThread::~ScopedRenderThread()
{
    isRenderThread = wasRenderThread;
}

//==============================================================================
Voice::Voice (int voiceIndex)
    : AsyncMessageBroadcaster (voiceMessages (voiceIndex)),
      index (voiceIndex),
      noteOnMessage (voiceMessages (voiceIndex)[noteOnMessageIndex])
{
    for (size_t i = 0; i < parameters.size(); ++i)
        parameters[i].store (parameterInfo[i].defaultValue, std::memory_order_relaxed);

    for (auto& bits : chokeNotes)
        bits.store (0, std::memory_order_relaxed);

    // Each voice its own noise, so that two voices hit together do not cancel or double up.
    noiseState = 0x9e3779b9u * (uint32_t) (voiceIndex + 1);
}

Voice::~Voice() = default;

void Voice::setParameter (VoiceParameter parameter, float value) noexcept
{
    if (juce::isPositiveAndBelow ((int) parameter, (int) VoiceParameter::numParameters))
        parameters[(size_t) parameter].store (value, std::memory_order_relaxed);
}

float Voice::getParameter (VoiceParameter parameter) const noexcept
{
    if (juce::isPositiveAndBelow ((int) parameter, (int) VoiceParameter::numParameters))
        return parameters[(size_t) parameter].load (std::memory_order_relaxed);

    return 0.0f;
}

void Voice::setMidiNote (int note) noexcept
{
    midiNote.store (note, std::memory_order_relaxed);
}

int Voice::getMidiNote() const noexcept
{
    return midiNote.load (std::memory_order_relaxed);
}

float Voice::loadParameter (VoiceParameter p) const noexcept
{
    const auto& info = parameterInfo[(size_t) p];
    const auto value = parameters[(size_t) p].load (std::memory_order_relaxed);
    return std::isfinite (value) ? juce::jlimit (info.minimum, info.maximum, value) : info.defaultValue;
}

void Voice::setChokeTriggers (const std::array<uint64_t, 2>& noteSet, uint32_t channelMask) noexcept
{
    chokeNotes[0].store (noteSet[0], std::memory_order_relaxed);
    chokeNotes[1].store (noteSet[1], std::memory_order_relaxed);
    chokeChannels.store (channelMask, std::memory_order_relaxed);
}

bool Voice::isChokedBy (int voiceIndex) const noexcept
{
    return voiceIndex != index && ((chokeChannelBits >> (voiceIndex + firstVoiceChannel)) & 1u) != 0;
}

//==============================================================================
void Voice::noteOn (int note, bool byChannel, float velocity)
{
    if (isRenderThread)
    {
        postInOrder (noteOnMessageIndex);
        startNote (note, byChannel, velocity, byChannel ? index + firstVoiceChannel : 0);
        return;
    }

    // Not rendering: announce now (these threads may allocate), play at the next block.
    sendActionMessage (noteOnMessage);
    queuedNote.store (packNote (note, byChannel, velocity), std::memory_order_release);
}

bool Voice::startQueuedNote() noexcept
{
    const auto packed = queuedNote.exchange (0, std::memory_order_acquire);

    if ((packed & queuedFlag) == 0)
        return false;

    const auto note = (int) (int32_t) (uint32_t) (packed & 0xffffffffu);
    const auto byChannel = (packed & byChannelFlag) != 0;
    const auto velocity = (float) ((packed >> 32) & 0xffffu) / velocitySteps;

    startNote (note, byChannel, velocity, byChannel ? index + firstVoiceChannel : 0);
    return true;
}

void Voice::startNote (int note, bool byChannel, float velocity, int channel) noexcept
{
    if (maximumBlockSize == 0)
        return;

    ensureCoefficients();
    velocity = juce::jlimit (0.0f, 1.0f, velocity);
    const auto sensitivity = loadParameter (VoiceParameter::velocity);
    const auto tonePitch = loadParameter (VoiceParameter::tonePitch);

    if (byChannel)
        startPitch = tonePitch * std::exp2 ((float) (note - 60) / 12.0f);
    else if (sensitivity > 0.0f)
        startPitch = tonePitch * std::exp2 (-sensitivity * (1.0f - velocity) * softNoteDropSemitones / 12.0f);
    else
        startPitch = tonePitch;

    endPitch = startPitch * (1.0f - loadParameter (VoiceParameter::toneBend));
    pitchSpan = startPitch - endPitch;

    if (! active && settings.phaseResetMode != 0)
        oscillator.setPhase (settings.phaseResetMode == 2 ? offsetPhase : 0.0f);

    lowPass.reset();
    highPass.reset();

    // A retrigger rises from where the sound is now instead of jumping, whatever the velocities.
    const auto newVelocityGain = 1.0f - sensitivity + sensitivity * velocity * velocity;
    const auto currentLevel = active ? amplitude.getLevel() * (releasing ? releaseGain : 1.0f) * velocityGain : 0.0f;
    amplitude.start (newVelocityGain > 0.0f ? juce::jmin (1.0f, currentLevel / newVelocityGain) : 1.0f);

    // A click that cannot be heard would only keep the noise generator busy.
    if (coefficients.clickLevel > 0.0f)
        click.start (1.0f);
    else
        click.stop();

    bendRemaining = 1.0f;
    lfoPhase = 0.0f;
    releasing = false;
    releaseGain = 1.0f;
    velocityGain = newVelocityGain;

    lastNote = note;
    lastChannel = channel;
    decayEndPending = true;
    active = true;
}

void Voice::release() noexcept
{
    if (active)
        releasing = true;
}

void Voice::stop() noexcept
{
    queuedNote.store (0, std::memory_order_relaxed);
    active = releasing = decayEndPending = flushPending = false;
    amplitude.stop();
    click.stop();
    oversamplerNeedsReset = true;
}

//==============================================================================
void Voice::prepare (double sampleRate, int maximumBlock)
{
    hostSampleRate = sampleRate;
    maximumBlockSize = juce::jmax (1, maximumBlock);

    for (size_t i = 0; i < oversamplers.size(); ++i)
    {
        auto os = std::make_unique<juce::dsp::Oversampling<float>> (1);
        os->clearOversamplingStages();

        for (size_t stage = 0; stage <= i; ++stage)
            os->addOversamplingStage (juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR,
                                      upTransitionWidth, upStopbandDb,
                                      downTransitionWidth[stage], downStopbandDb[stage]);

        os->initProcessing ((size_t) maximumBlockSize);
        oversamplers[i] = std::move (os);
    }

    for (auto* block : { &mono, &left, &right, &zeros })
        block->calloc ((size_t) maximumBlockSize);

    stop();
    queuedNote.store (0, std::memory_order_relaxed);
    gainsValid = false;
    lastFactor = 1;
}

void Voice::releaseResources()
{
}

juce::dsp::Oversampling<float>* Voice::oversamplerFor (int factor) const noexcept
{
    return factor == 2 ? oversamplers[0].get() : (factor == 4 ? oversamplers[1].get() : nullptr);
}

void Voice::beginBlock (const BlockSettings& newSettings) noexcept
{
    settings = newSettings;

    auto& c = coefficients;
    c.factor = settings.oversamplingFactor == 4 ? 4 : (settings.oversamplingFactor == 2 ? 2 : 1);

    if (c.factor != lastFactor)
    {
        lastFactor = c.factor;
        oversamplerNeedsReset = true;
    }

    if (oversamplerNeedsReset)
    {
        if (auto* os = oversamplerFor (c.factor))
            os->reset();

        oversamplerNeedsReset = false;
        flushPending = false;
    }

    chokeNoteBits[0] = chokeNotes[0].load (std::memory_order_relaxed);
    chokeNoteBits[1] = chokeNotes[1].load (std::memory_order_relaxed);
    chokeChannelBits = chokeChannels.load (std::memory_order_relaxed);

    outputStarted = false;
    coefficientsReady = false;
}

void Voice::ensureCoefficients() noexcept
{
    if (coefficientsReady)
        return;

    coefficientsReady = true;
    auto& c = coefficients;
    c.sampleRate = (float) (hostSampleRate * c.factor);
    c.inverseSampleRate = 1.0f / c.sampleRate;

    const auto waveform = juce::roundToInt (loadParameter (VoiceParameter::waveform));
    c.triangleLevel = waveform == 0 ? 1.0f : (waveform == 1 ? 0.5f : 0.0f);
    c.sineLevel = 1.0f - c.triangleLevel;

    const auto noiseMix = loadParameter (VoiceParameter::noiseMix);
    c.toneLevel = 1.0f - noiseMix;
    c.noiseLevel = noiseMix;
    c.clickLevel = loadParameter (VoiceParameter::clickMix);
    // White noise spreads over the whole oversampled band; keep its audible part equally loud.
    c.noiseGain = noiseLevel * std::sqrt ((float) c.factor);

    const auto decay = loadParameter (VoiceParameter::decay);
    amplitude.setTimes (attackSeconds, decay, c.sampleRate);
    click.setTimes (0.0f, loadParameter (VoiceParameter::clickDecay) * 0.001f, c.sampleRate);

    c.curveB = loadParameter (VoiceParameter::bendSweepCurve) >= 0.5f;
    c.bendMultiplier = std::exp (-1.0f / (decay * curveATimeFraction * c.sampleRate));
    c.bendStep = 1.0f / (decay * curveBTimeFraction * c.sampleRate);

    c.noiseCutoff = loadParameter (VoiceParameter::noiseCutoff);
    c.resonance = loadParameter (VoiceParameter::noiseResonance);
    c.sweepOctaves = maximumSweepOctaves * loadParameter (VoiceParameter::noiseSweep);
    highPass.setCutoff (loadParameter (VoiceParameter::noiseHPCutoff), c.sampleRate);

    c.lfoIncrement = loadParameter (VoiceParameter::lfoRate) * c.inverseSampleRate;
    c.lfoPitchSemitones = lfoPitchRangeSemitones * loadParameter (VoiceParameter::lfoToneDepth);
    c.lfoCutoffOctaves = lfoCutoffRangeOctaves * loadParameter (VoiceParameter::lfoNoiseDepth);

    // Blends towards a driven clipper, so that a little saturation is only a little change.
    const auto saturation = loadParameter (VoiceParameter::saturation);
    c.drive = 1.0f + maximumDrive * saturation;
    c.saturationDry = 1.0f - saturation;
    c.saturationWet = saturation / DspMath::softClip (c.drive);

    c.releaseStep = 1.0f / juce::jmax (1.0f, releaseSeconds * c.sampleRate);

    // Constant-power pan: -3 dB each side in the centre.
    const auto gain = juce::Decibels::decibelsToGain (loadParameter (VoiceParameter::gain));
    const auto angle = (loadParameter (VoiceParameter::pan) + 1.0f) * juce::MathConstants<float>::pi * 0.25f;
    c.gainLeft = gain * std::cos (angle);
    c.gainRight = gain * std::sin (angle);
}

//==============================================================================
void Voice::renderBlock (const juce::MidiBuffer& midi, int startSample, int numSamples,
                         StereoTarget target) noexcept
{
    if (maximumBlockSize == 0 || numSamples <= 0)
        return;

    numSamples = juce::jmin (numSamples, maximumBlockSize);
    const auto factor = coefficients.factor;
    const auto endSample = startSample + numSamples;
    auto position = 0;

    // One more block after the voice has gone quiet lets the downsampling filter run out.
    const auto flushing = flushPending;
    flushPending = false;

    if (active || flushing)
        ensureOutputStarted (numSamples);

    for (auto it = midi.findNextSamplePosition (startSample); it != midi.cend(); ++it)
    {
        const auto event = *it;

        if (event.samplePosition >= endSample)
            break;

        const auto eventPosition = juce::jlimit (0, numSamples, event.samplePosition - startSample);
        renderRange (position * factor, eventPosition * factor);
        position = eventPosition;

        if (handleMidi (event.data, event.numBytes))
            ensureOutputStarted (numSamples);
    }

    renderRange (position * factor, numSamples * factor);

    if (outputStarted)
        finishBlock (numSamples, target);
    else
        gainsValid = false; // the next note starts at its own gain, not gliding from an old one
}

bool Voice::handleMidi (const uint8_t* data, int numBytes) noexcept
{
    if (numBytes < 3)
        return false;

    const auto type = data[0] & 0xf0;
    const auto channel = (data[0] & 0x0f) + 1;
    const auto note = data[1] & 0x7f;
    const auto velocity = data[2] & 0x7f;
    const auto mapped = isMappedChannel (channel);

    if (type == 0x90 && velocity > 0)
    {
        if ((mapped && note == getMidiNote()) || channel == index + firstVoiceChannel)
        {
            postInOrder (noteOnMessageIndex);
            startNote (note, ! mapped, (float) velocity / 127.0f, mapped ? 0 : channel);
            return true;
        }

        const auto chokedByNote = mapped && ((chokeNoteBits[note >> 6] >> (note & 63)) & 1u) != 0;
        const auto chokedByChannel = ((chokeChannelBits >> channel) & 1u) != 0;

        if (chokedByNote || chokedByChannel)
            release();

        return false;
    }

    const auto isNoteOff = type == 0x80 || type == 0x90;

    if (isNoteOff && settings.obeyNoteOff && active && note == lastNote
        && (lastChannel == 0 ? mapped : channel == lastChannel))
        release();

    return false;
}

void Voice::ensureOutputStarted (int numSamples) noexcept
{
    if (outputStarted)
        return;

    outputStarted = true;
    ensureCoefficients();

    if (auto* os = oversamplerFor (coefficients.factor))
    {
        const float* silence = zeros.get();
        const juce::dsp::AudioBlock<const float> input (&silence, 1, (size_t) numSamples);
        renderBuffer = os->processSamplesUp (input).getChannelPointer (0);
    }
    else
    {
        juce::FloatVectorOperations::clear (mono.get(), numSamples);
        renderBuffer = mono.get();
    }
}

void Voice::renderRange (int startOsSample, int endOsSample) noexcept
{
    if (! active || startOsSample >= endOsSample)
        return;

    const auto& c = coefficients;
    auto* out = renderBuffer;

    // Work on local copies, which the compiler can keep in registers: out[] might otherwise
    // alias any member, forcing every state back to memory on every sample.
    auto osc = oscillator;
    auto lp = lowPass;
    auto hp = highPass;
    auto amp = amplitude;
    auto clk = click;
    auto noise = noiseState;
    auto remaining = bendRemaining;
    auto fade = releaseGain;
    auto lfo = lfoPhase;
    const auto isReleasing = releasing;
    const auto level = velocityGain;
    const auto end = endPitch, span = pitchSpan;

    const auto hasTone = c.toneLevel > 0.0f;
    const auto hasNoise = c.noiseLevel > 0.0f;
    const auto saturate = c.saturationWet > 0.0f;

    for (auto blockStart = startOsSample; blockStart < endOsSample; blockStart += modulationInterval)
    {
        const auto blockEnd = juce::jmin (endOsSample, blockStart + modulationInterval);

        // Modulation moves slowly enough to be updated once per short stretch.
        const auto lfoValue = triangleLfo (lfo);
        lfo += c.lfoIncrement * (float) (blockEnd - blockStart);
        lfo -= std::floor (lfo);

        const auto pitchOctaves = lfoValue * c.lfoPitchSemitones / 12.0f;
        const auto scale = (pitchOctaves != 0.0f ? std::exp2 (pitchOctaves) : 1.0f) * c.inverseSampleRate;

        if (hasNoise)
        {
            const auto octaves = lfoValue * c.lfoCutoffOctaves - c.sweepOctaves * (1.0f - remaining);
            lp.setParameters (juce::jmax (minimumCutoff, c.noiseCutoff * std::exp2 (octaves)), c.sampleRate, c.resonance);
        }

        const auto needsNoise = hasNoise || clk.isRunning();

        for (auto i = blockStart; i < blockEnd; ++i)
        {
            const auto pitch = end + span * remaining;
            remaining = c.curveB ? juce::jmax (0.0f, remaining - c.bendStep)
                                 : juce::jmax (bendResolution, remaining * c.bendMultiplier);

            auto body = 0.0f;

            if (hasTone)
                body = c.toneLevel * osc.processSample (juce::jmin (maximumPhaseIncrement, pitch * scale),
                                                        c.triangleLevel, c.sineLevel);

            auto clickSample = 0.0f;

            if (needsNoise)
            {
                const auto white = DspMath::whiteNoise (noise) * c.noiseGain;

                if (hasNoise)
                    body += c.noiseLevel * hp.processSample (lp.processSample (white));

                clickSample = c.clickLevel * white * clk.processSample();
            }

            auto x = body * amp.processSample() + clickSample;

            if (saturate)
                x = c.saturationDry * x + c.saturationWet * DspMath::softClip (c.drive * x);

            if (isReleasing)
            {
                x *= fade;
                fade = juce::jmax (0.0f, fade - c.releaseStep);
            }

            out[i] = x * level;
        }

        if (decayEndPending && ! amp.isRunning())
        {
            decayEndPending = false;

            if (! isReleasing)
                postInOrder (decayEndMessageIndex);
        }

        if ((! amp.isRunning() && ! clk.isRunning()) || (isReleasing && fade <= 0.0f))
        {
            active = releasing = false;
            // The downsampling filter still holds the last samples: let it run out next block.
            flushPending = c.factor > 1;
            break;
        }
    }

    oscillator = osc;
    lowPass = lp;
    highPass = hp;
    amplitude = amp;
    click = clk;
    noiseState = noise;
    bendRemaining = remaining;
    releaseGain = fade;
    lfoPhase = lfo;
}

void Voice::finishBlock (int numSamples, StereoTarget target) noexcept
{
    const auto& c = coefficients;

    if (auto* os = oversamplerFor (c.factor))
    {
        float* monoChannel = mono.get();
        juce::dsp::AudioBlock<float> output (&monoChannel, 1, (size_t) numSamples);
        os->processSamplesDown (output);
    }

    if (! gainsValid)
    {
        previousGainLeft = c.gainLeft;
        previousGainRight = c.gainRight;
        gainsValid = true;
    }

    // Gain and pan glide over the block so that moving them does not crackle.
    const auto stepLeft = (c.gainLeft - previousGainLeft) / (float) numSamples;
    const auto stepRight = (c.gainRight - previousGainRight) / (float) numSamples;

    for (int i = 0; i < numSamples; ++i)
    {
        const auto x = mono[i];
        left[i] = x * (previousGainLeft + stepLeft * (float) (i + 1));
        right[i] = x * (previousGainRight + stepRight * (float) (i + 1));
    }

    previousGainLeft = c.gainLeft;
    previousGainRight = c.gainRight;

    if (target.left != nullptr)
        juce::FloatVectorOperations::add (target.left, left.get(), numSamples);

    if (target.right != nullptr)
        juce::FloatVectorOperations::add (target.right, right.get(), numSamples);
}
