#include "Voice.h"

namespace
{
constexpr float softNoteDropSemitones = 2.0f; // pitch drop at velocity 0, full sensitivity
constexpr int noteOnStatus = 0x90, noteOffStatus = 0x80, statusMask = 0xf0;

// Queued notes from other threads, packed into one atomic word.
constexpr uint64_t queuedFlag = 1ull << 63;
constexpr uint64_t byChannelFlag = 1ull << 48;
constexpr float velocitySteps = 65535.0f;

uint64_t packNote (int note, bool byChannel, float velocity) noexcept
{
    const auto v = (uint64_t) juce::roundToInt (juce::jlimit (0.0f, 1.0f, velocity) * velocitySteps);
    return queuedFlag | (byChannel ? byChannelFlag : 0) | (v << 32) | (uint64_t) (uint32_t) note;
}

bool hasBit (const uint64_t (&set)[2], int note) noexcept
{
    return ((set[note >> 6] >> (note & 63)) & 1u) != 0;
}
} // namespace

//==============================================================================
Voice::Voice (int voiceIndex, MessageDispatcher& messageDispatcher, VoiceLanes& voiceLanes, int voiceLane)
    : MessageBroadcaster (messageDispatcher),
      index (voiceIndex),
      lanes (voiceLanes),
      lane (voiceLane)
{
    lanes.setVoiceIndex (lane, index);

    for (int i = 0; i < VoiceParameters::count; ++i)
    {
        values[(size_t) i] = VoiceParameters::getRange ((VoiceParameter) i).defaultValue;
        parameters[(size_t) i].store (values[(size_t) i], std::memory_order_relaxed);
    }
}

void Voice::setParameter (VoiceParameter parameter, float newValue) noexcept
{
    if (juce::isPositiveAndBelow ((int) parameter, VoiceParameters::count))
        parameters[(size_t) parameter].store (newValue, std::memory_order_relaxed);
}

float Voice::getParameter (VoiceParameter parameter) const noexcept
{
    if (juce::isPositiveAndBelow ((int) parameter, VoiceParameters::count))
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

void Voice::noteOn (int note, bool byChannel, float velocity)
{
    post ({ BroadcastMessages::Kind::voiceNoteOn, index });
    queuedAtTicks.store (juce::Time::getHighResolutionTicks(), std::memory_order_relaxed);
    queuedNote.store (packNote (note, byChannel, velocity), std::memory_order_release);
}

//==============================================================================
void Voice::beginBlock (const BlockSettings& newSettings, bool allParameters) noexcept
{
    settings = newSettings;
    auto changed = allParameters;

    for (size_t i = 0; i < values.size(); ++i)
    {
        const auto stored = parameters[i].load (std::memory_order_relaxed);

        if (stored != storedValues[i] || allParameters)
        {
            storedValues[i] = stored;
            values[i] = VoiceParameters::limit ((VoiceParameter) i, stored);
            changed = true;
        }
    }

    if (changed)
        lanes.setParameters (lane, values);
}

bool Voice::startQueuedNote (int numSamplesToGrid) noexcept
{
    const auto queued = queuedNote.exchange (0, std::memory_order_acquire);

    if ((queued & queuedFlag) == 0)
        return false;

    const auto waitedSeconds = juce::Time::highResolutionTicksToSeconds (juce::Time::getHighResolutionTicks()
                                                                         - queuedAtTicks.load (std::memory_order_relaxed));

    if (waitedSeconds > settings.queuedNoteLifetimeSeconds)
        return false;

    const auto note = (int) (int32_t) (uint32_t) (queued & 0xffffffffu);
    const auto velocity = (float) ((queued >> 32) & 0xffffu) / velocitySteps;
    startNote (note, (queued & byChannelFlag) != 0, velocity, 0, numSamplesToGrid);
    return true;
}

bool Voice::handleMidi (const uint8_t* data, int numBytes, int numSamplesToGrid) noexcept
{
    if (numBytes < 3)
        return false;

    const auto type = data[0] & statusMask;
    const auto channel = (data[0] & 0x0f) + 1;
    const auto note = data[1] & 0x7f;
    const auto velocity = data[2] & 0x7f;
    const auto mapped = Engine::isMappedChannel (channel);

    if (type == noteOnStatus && velocity > 0)
    {
        if ((mapped && note == getMidiNote()) || channel == index + Engine::firstVoiceChannel)
        {
            post ({ BroadcastMessages::Kind::voiceNoteOn, index });
            startNote (note, ! mapped, (float) velocity / 127.0f, mapped ? 0 : channel, numSamplesToGrid);
            return true;
        }

        if ((mapped && hasBit (chokeNotes, note)) || ((chokeChannels >> channel) & 1u) != 0)
            release();

        return false;
    }

    const auto isNoteOff = type == noteOffStatus || type == noteOnStatus;

    if (isNoteOff && settings.obeyNoteOff && isSounding() && note == lastNote
        && (lastChannel == 0 ? mapped : channel == lastChannel))
        release();

    return false;
}

void Voice::startNote (int note, bool byChannel, float velocity, int channel, int numSamplesToGrid) noexcept
{
    velocity = juce::jlimit (0.0f, 1.0f, velocity);
    const auto sensitivity = value (VoiceParameter::velocity);
    const auto tonePitch = value (VoiceParameter::tonePitch);
    auto startPitch = tonePitch;

    if (byChannel)
        startPitch = tonePitch * std::exp2 ((float) (note - 60) / 12.0f);
    else if (sensitivity > 0.0f)
        startPitch = tonePitch * std::exp2 (-sensitivity * (1.0f - velocity) * softNoteDropSemitones / 12.0f);

    const auto endPitch = startPitch * (1.0f - value (VoiceParameter::toneBend));
    const auto velocityGain = 1.0f - sensitivity + sensitivity * velocity * velocity;

    lanes.startNote (lane, startPitch, endPitch, velocityGain, settings.phaseResetMode, numSamplesToGrid);
    lastNote = note;
    lastChannel = channel;
}

void Voice::setChokeTriggers (const std::array<uint64_t, 2>& noteSet, uint32_t channelMask) noexcept
{
    chokeNotes[0] = noteSet[0];
    chokeNotes[1] = noteSet[1];
    chokeChannels = channelMask;
}

bool Voice::isChokedBy (int voiceIndex) const noexcept
{
    return voiceIndex != index && ((chokeChannels >> (voiceIndex + Engine::firstVoiceChannel)) & 1u) != 0;
}

void Voice::release() noexcept
{
    lanes.release (lane);
}

void Voice::stop() noexcept
{
    queuedNote.store (0, std::memory_order_relaxed);
    lanes.stop (lane);
}

void Voice::announceDecayEnd() noexcept
{
    post ({ BroadcastMessages::Kind::voiceDecayEnd, index });
}
