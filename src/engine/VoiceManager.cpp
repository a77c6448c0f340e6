#include "VoiceManager.h"

namespace
{
constexpr int numNotes = 128;

/** Fade of the whole output before an oversampling change and into bypass. */
constexpr double transitionSeconds = 0.003;

/** A pad note waits at most this long, or two of the host's blocks if those are longer. */
constexpr double queuedNoteLifetimeSeconds = 0.1;

/** Adds the sum of the lanes in `lanes` of each of numSamples vectors of left and right to output,
    as interleaved stereo. */
void addLanes (const Lanes::Float* left, const Lanes::Float* right, Lanes::Mask lanes, float* output, int numSamples) noexcept
{
    int i = 0;

   #if defined (__SSE2__)
    // Four samples at a time: transposed, each lane becomes one vector of four samples.
    const auto sumOfLanes = [lanes] (const Lanes::Float* in)
    {
        auto r0 = (__m128) Lanes::keep (lanes, in[0]);
        auto r1 = (__m128) Lanes::keep (lanes, in[1]);
        auto r2 = (__m128) Lanes::keep (lanes, in[2]);
        auto r3 = (__m128) Lanes::keep (lanes, in[3]);
        _MM_TRANSPOSE4_PS (r0, r1, r2, r3);
        return _mm_add_ps (_mm_add_ps (_mm_add_ps (r0, r1), r2), r3);
    };

    for (; i + 4 <= numSamples; i += 4)
    {
        const auto l = sumOfLanes (left + i), r = sumOfLanes (right + i);
        auto* out = output + 2 * i;
        _mm_storeu_ps (out, _mm_add_ps (_mm_loadu_ps (out), _mm_unpacklo_ps (l, r)));
        _mm_storeu_ps (out + 4, _mm_add_ps (_mm_loadu_ps (out + 4), _mm_unpackhi_ps (l, r)));
    }
   #endif

    for (; i < numSamples; ++i)
    {
        const auto l = Lanes::keep (lanes, left[i]), r = Lanes::keep (lanes, right[i]);
        output[2 * i] += ((l[0] + l[1]) + l[2]) + l[3];
        output[2 * i + 1] += ((r[0] + r[1]) + r[2]) + r[3];
    }
}
} // namespace

VoiceManager::VoiceManager()
{
    for (int i = 0; i < numVoices; ++i)
    {
        voices[(size_t) i] = std::make_unique<Voice> (i, dispatcher, lanesOf (i), i % VoiceLanes::numLanes);
        chokeGroups[(size_t) i].store (0, std::memory_order_relaxed);
    }
}

VoiceManager::~VoiceManager()
{
    dispatcher.shutDown();
}

Voice* VoiceManager::getVoice (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, numVoices) ? voices[(size_t) index].get() : nullptr;
}

//==============================================================================
void VoiceManager::prepareToPlay (double sampleRate, int maximumBlock, Lanes::Path path)
{
    for (auto& group : groups)
        group.setPath (path);

    hostSampleRate = sampleRate;
    maximumBlockSize = juce::jmax (1, maximumBlock);
    const auto maximumOversampled = (size_t) (maximumBlockSize * maximumFactor);

    for (int g = 0; g < numGroups; ++g)
    {
        groupLeft[(size_t) g].calloc (maximumOversampled);
        groupRight[(size_t) g].calloc (maximumOversampled);
    }

    mixOversampled.calloc (2 * maximumOversampled);
    mixOut.calloc (2 * (size_t) maximumBlockSize);

    for (int v = 0; v < numVoices; ++v)
    {
        ownOversampled[(size_t) v].calloc (2 * maximumOversampled);
        ownOut[(size_t) v].calloc (2 * (size_t) maximumBlockSize);
    }

    settings.queuedNoteLifetimeSeconds = juce::jmax (queuedNoteLifetimeSeconds, 2.0 * maximumBlockSize / sampleRate);
    outputGainStep = (float) (1.0 / juce::jmax (1.0, transitionSeconds * sampleRate));
    outputGain = 1.0f;

    switchFactor (requestedFactor.load (std::memory_order_relaxed));
    stopAllVoices();
}

void VoiceManager::releaseResources()
{
}

void VoiceManager::setPhaseResetMode (int mode) noexcept
{
    phaseResetMode.store (juce::jlimit (0, 2, mode), std::memory_order_relaxed);
}

void VoiceManager::setObeyNoteOff (bool shouldObey) noexcept
{
    obeyNoteOff.store (shouldObey, std::memory_order_relaxed);
}

void VoiceManager::setOversamplingFactor (int newFactor) noexcept
{
    requestedFactor.store (newFactor <= 1 ? 1 : (newFactor < 3 ? 2 : 4), std::memory_order_relaxed);
}

void VoiceManager::setChokeGroup (int voiceIndex, int group) noexcept
{
    if (juce::isPositiveAndBelow (voiceIndex, numVoices))
        chokeGroups[(size_t) voiceIndex].store (juce::isPositiveAndNotGreaterThan (group, Engine::numChokeGroups) ? group : 0,
                                                std::memory_order_relaxed);
}

void VoiceManager::setBypassed (bool shouldBeBypassed) noexcept
{
    bypassed.store (shouldBeBypassed, std::memory_order_relaxed);
}

void VoiceManager::stopAllVoices() noexcept
{
    for (auto& voice : voices)
        voice->stop();
}

bool VoiceManager::anySounding() const noexcept
{
    for (auto& group : groups)
        if (! group.isSilent())
            return true;

    return false;
}

//==============================================================================
void VoiceManager::rebuildChokeLists() noexcept
{
    // Only the audio thread writes the lists, from what the other threads have stored.
    std::array<int, numVoices> group {}, note {};

    for (int i = 0; i < numVoices; ++i)
    {
        group[(size_t) i] = chokeGroups[(size_t) i].load (std::memory_order_relaxed);
        note[(size_t) i] = voices[(size_t) i]->getMidiNote();
    }

    for (int i = 0; i < numVoices; ++i)
    {
        std::array<uint64_t, 2> notes {};
        uint32_t channels = 0;

        for (int j = 0; j < numVoices; ++j)
        {
            if (j == i || group[(size_t) i] == 0 || group[(size_t) j] != group[(size_t) i])
                continue;

            // Whatever starts voice j: its mapped note, and its own channel.
            if (juce::isPositiveAndBelow (note[(size_t) j], numNotes))
                notes[(size_t) (note[(size_t) j] >> 6)] |= uint64_t (1) << (note[(size_t) j] & 63);

            channels |= uint32_t (1) << (j + Engine::firstVoiceChannel);
        }

        voices[(size_t) i]->setChokeTriggers (notes, channels);
    }
}

void VoiceManager::switchFactor (int newFactor) noexcept
{
    factor = newFactor;

    mixDecimator.setFactor (factor);

    for (auto& decimator : ownDecimators)
        decimator.setFactor (factor);

    for (auto& group : groups)
        group.setSampleRate ((float) (hostSampleRate * factor));

    samplesToGrid = 0;
    parametersNeedSending = true;
}

//==============================================================================
void VoiceManager::renderBlock (const juce::MidiBuffer& midi, int numSamples, StereoTarget mixed,
                                const std::array<StereoTarget, numVoices>& ownOutputs) noexcept
{
    if (maximumBlockSize == 0 || numSamples <= 0)
        return;

    const juce::ScopedNoDenormals noDenormals;
    const auto isBypassed = bypassed.load (std::memory_order_relaxed);
    const auto wantedFactor = requestedFactor.load (std::memory_order_relaxed);

    // A new factor, and the end of a bypass fade, wait for the output to have faded out.
    if (wantedFactor != factor && (outputGain <= 0.0f || ! anySounding()))
    {
        switchFactor (wantedFactor);
        outputGain = anySounding() ? 0.0f : 1.0f;
    }

    if (isBypassed && (outputGain <= 0.0f || ! anySounding()))
    {
        // What the decimators still hold would otherwise come out when the bypass ends.
        stopAllVoices();
        mixDecimator.reset();

        for (auto& decimator : ownDecimators)
            decimator.reset();

        outputGain = 1.0f;
        return;
    }

    settings.phaseResetMode = phaseResetMode.load (std::memory_order_relaxed);
    settings.obeyNoteOff = obeyNoteOff.load (std::memory_order_relaxed);

    for (auto& voice : voices)
        voice->beginBlock (settings, parametersNeedSending);

    parametersNeedSending = false;
    rebuildChokeLists();

    // Hosts may send more than they announced; such blocks are rendered in pieces.
    for (int start = 0; start < numSamples; start += maximumBlockSize)
    {
        const auto length = juce::jmin (maximumBlockSize, numSamples - start);
        renderChunk (midi, start, length, start + length >= numSamples, ! isBypassed, mixed, ownOutputs);
    }
}

void VoiceManager::renderChunk (const juce::MidiBuffer& midi, int startSample, int numSamples, bool isLastChunk, bool playMidi,
                                StereoTarget mixed, const std::array<StereoTarget, numVoices>& ownOutputs) noexcept
{
    position = 0;
    groupSounded.fill (false);

    if (startSample == 0 && playMidi)
    {
        if (samplesToGrid == 0)
            passGridPoint();

        // Notes queued by other threads (the editor's pad) start on the first sample and choke
        // their group there, as a note-on at that position would.
        std::array<bool, numVoices> started {};

        for (size_t i = 0; i < voices.size(); ++i)
            started[i] = voices[i]->startQueuedNote (samplesToGrid);

        for (size_t i = 0; i < voices.size(); ++i)
            if (started[i])
                for (size_t j = 0; j < voices.size(); ++j)
                    if (! started[j] && voices[j]->isChokedBy ((int) i))
                        voices[j]->release();
    }

    if (playMidi)
    {
        const auto endSample = startSample + numSamples;

        for (auto it = startSample == 0 ? midi.cbegin() : midi.findNextSamplePosition (startSample); it != midi.cend(); ++it)
        {
            const auto event = *it;

            if (event.samplePosition >= endSample && ! isLastChunk)
                break;

            renderUntil (juce::jlimit (0, numSamples - 1, event.samplePosition - startSample) * factor);

            if (samplesToGrid == 0)
                passGridPoint();

            for (auto& voice : voices)
                voice->handleMidi (event.data, event.numBytes, samplesToGrid);
        }
    }

    renderUntil (numSamples * factor);
    writeOutputs (startSample, numSamples, mixed, ownOutputs);
}

void VoiceManager::passGridPoint() noexcept
{
    for (int g = 0; g < numGroups; ++g)
    {
        auto& group = groups[(size_t) g];

        if (group.isSilent())
            continue;

        const auto decayEnded = group.finishStretch();

        for (int lane = 0; lane < VoiceLanes::numLanes; ++lane)
            if ((decayEnded >> lane) & 1u)
                voices[(size_t) (g * VoiceLanes::numLanes + lane)]->announceDecayEnd();

        if (! group.isSilent())
            group.beginStretch (VoiceLanes::modulationInterval);
    }

    samplesToGrid = VoiceLanes::modulationInterval;
}

void VoiceManager::renderUntil (int oversampledPosition) noexcept
{
    while (position < oversampledPosition)
    {
        if (samplesToGrid == 0)
            passGridPoint();

        const auto length = juce::jmin (oversampledPosition - position, samplesToGrid);
        const auto left = [this] (int g) { return groupLeft[(size_t) g].get() + position; };
        const auto right = [this] (int g) { return groupRight[(size_t) g].get() + position; };

        static_assert (numGroups == 2, "the voices fill two groups");

        if (! groups[0].isSilent() && ! groups[1].isSilent())
        {
            VoiceLanes::renderBoth (groups[0], groups[1], length, left (0), right (0), left (1), right (1));
            groupSounded.fill (true);
        }
        else
        {
            for (int g = 0; g < numGroups; ++g)
            {
                if (groups[(size_t) g].isSilent())
                {
                    std::fill (left (g), left (g) + length, Lanes::Float {});
                    std::fill (right (g), right (g) + length, Lanes::Float {});
                }
                else
                {
                    groups[(size_t) g].render (length, left (g), right (g));
                    groupSounded[(size_t) g] = true;
                }
            }
        }

        position += length;
        samplesToGrid -= length;
    }
}

void VoiceManager::writeOutputs (int startSample, int numSamples, StereoTarget mixed,
                                 const std::array<StereoTarget, numVoices>& ownOutputs) noexcept
{
    const auto numOversampled = numSamples * factor;
    std::fill (mixOversampled.get(), mixOversampled.get() + 2 * numOversampled, 0.0f);
    std::array<Lanes::Mask, numGroups> toMix {};
    bool anyOwn = false;

    for (int v = 0; v < numVoices; ++v)
    {
        const auto g = (size_t) (v / VoiceLanes::numLanes);
        const auto lane = v % VoiceLanes::numLanes;
        const auto own = ownOutputs[(size_t) v].left != nullptr && ownOutputs[(size_t) v].right != nullptr;

        // A voice that moves between the mix and its own output starts its own decimator afresh.
        if (own != routedToOwnOutput[(size_t) v])
        {
            routedToOwnOutput[(size_t) v] = own;
            ownDecimators[(size_t) v].reset();
        }

        if (! own)
        {
            toMix[g][lane] = -1;
            continue;
        }

        anyOwn = true;
        const auto* left = groupLeft[g].get();
        const auto* right = groupRight[g].get();
        auto* interleaved = ownOversampled[(size_t) v].get();

        for (int i = 0; i < numOversampled; ++i)
        {
            interleaved[2 * i] = left[i][lane];
            interleaved[2 * i + 1] = right[i][lane];
        }

        ownDecimators[(size_t) v].process (interleaved, ownOut[(size_t) v].get(), numSamples);
    }

    for (size_t g = 0; g < (size_t) numGroups; ++g)
        if (groupSounded[g] && Lanes::any (toMix[g]))
            addLanes (groupLeft[g].get(), groupRight[g].get(), toMix[g], mixOversampled.get(), numOversampled);

    mixDecimator.process (mixOversampled.get(), mixOut.get(), numSamples);

    // Towards silence while a new factor or a bypass waits, back to full level otherwise.
    const auto fadingOut = bypassed.load (std::memory_order_relaxed) || requestedFactor.load (std::memory_order_relaxed) != factor;
    const auto gainTarget = fadingOut ? 0.0f : 1.0f;
    const auto startGain = outputGain;
    const auto movedGain = startGain < gainTarget ? juce::jmin (gainTarget, startGain + outputGainStep * (float) numSamples)
                                                  : juce::jmax (gainTarget, startGain - outputGainStep * (float) numSamples);

    const auto addInto = [&] (StereoTarget target, const float* interleaved)
    {
        auto* left = target.left + startSample;
        auto* right = target.right + startSample;

        if (startGain == 1.0f && movedGain == 1.0f)
        {
            for (int i = 0; i < numSamples; ++i)
            {
                left[i] += interleaved[2 * i];
                right[i] += interleaved[2 * i + 1];
            }

            return;
        }

        auto gain = startGain;

        for (int i = 0; i < numSamples; ++i)
        {
            left[i] += interleaved[2 * i] * gain;
            right[i] += interleaved[2 * i + 1] * gain;
            gain = gain < gainTarget ? juce::jmin (gainTarget, gain + outputGainStep) : juce::jmax (gainTarget, gain - outputGainStep);
        }
    };

    if (mixed.left != nullptr && mixed.right != nullptr)
        addInto (mixed, mixOut.get());

    if (anyOwn)
        for (int v = 0; v < numVoices; ++v)
            if (routedToOwnOutput[(size_t) v])
                addInto (ownOutputs[(size_t) v], ownOut[(size_t) v].get());

    outputGain = movedGain;
}
