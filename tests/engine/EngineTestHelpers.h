#pragma once

#include "engine/VoiceManager.h"

#include <juce_dsp/juce_dsp.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

/** Rendering and measuring shared by the engine and processor tests. */
namespace EngineTest
{
using P = VoiceParameter;

constexpr double sampleRate = 48000.0;
constexpr int blockSize = 128;
constexpr int firstNote = 36;

/** One voice's sound, in the parameters' own units and in VoiceParameter's order. */
struct Sound
{
    float decay, waveform, pitch, bend, curve, cutoff, resonance, highPass, sweep, noiseMix,
          lfoRate, lfoTone, lfoNoise, clickMs, clickMix, saturation, velocity, pan, gain;
};

/** Kick, snare, clap, low tom, high tom, closed and open hi-hat. */
inline const Sound kit[VoiceManager::numVoices] = {
    { 0.45f, 2, 160, 0.70f, 0, 2000, 0.1f, 40, 0.3f, 0.05f, 1, 0, 0, 3, 0.3f, 0.3f, 0.5f, 0, -6 },
    { 0.25f, 1, 190, 0.25f, 0, 9000, 0.2f, 600, 0.2f, 0.65f, 1, 0, 0, 2, 0.2f, 0.2f, 0.5f, -0.2f, -6 },
    { 0.30f, 2, 1000, 0, 0, 2500, 0.6f, 800, 0, 1.0f, 40, 0, 0.5f, 10, 0.2f, 0, 0.5f, 0.3f, -6 },
    { 0.50f, 2, 110, 0.35f, 1, 3000, 0.1f, 100, 0.4f, 0.15f, 1, 0, 0, 4, 0.15f, 0.1f, 0.5f, -0.4f, -6 },
    { 0.35f, 2, 180, 0.30f, 1, 3500, 0.1f, 150, 0.4f, 0.15f, 1, 0, 0, 4, 0.15f, 0.1f, 0.5f, 0.4f, -6 },
    { 0.06f, 0, 3000, 0, 0, 12000, 0.3f, 7000, 0, 1.0f, 1, 0, 0, 1, 0.3f, 0, 0.5f, 0.6f, -9 },
    { 0.50f, 0, 3000, 0, 0, 14000, 0.2f, 6000, 0.1f, 1.0f, 1, 0, 0, 1, 0.2f, 0, 0.5f, 0.6f, -9 },
};

/** A bare sine at 0 dB, centred, with nothing else: the base of the measurements. */
inline constexpr Sound pureTone { 1.0f, 2, 440, 0, 0, 5000, 0, 20, 0, 0, 1, 0, 0, 5, 0, 0, 0, 0, 0 };

inline Sound with (Sound s, std::initializer_list<std::pair<float Sound::*, float>> changes)
{
    for (const auto& [field, value] : changes)
        s.*field = value;

    return s;
}

inline void applySound (Voice& voice, const Sound& s)
{
    constexpr float Sound::* fields[] = { &Sound::decay, &Sound::waveform, &Sound::pitch, &Sound::bend, &Sound::curve,
                                          &Sound::cutoff, &Sound::resonance, &Sound::highPass, &Sound::sweep,
                                          &Sound::noiseMix, &Sound::lfoRate, &Sound::lfoTone, &Sound::lfoNoise,
                                          &Sound::clickMs, &Sound::clickMix, &Sound::saturation, &Sound::velocity,
                                          &Sound::pan, &Sound::gain };
    static_assert (std::size (fields) == (size_t) P::numParameters);

    for (size_t i = 0; i < std::size (fields); ++i)
        voice.setParameter ((P) i, s.*fields[i]);
}

struct Event
{
    int position;
    juce::MidiMessage message;
};

inline Event noteOn (int position, int channel, int note, int velocity = 127)
{
    return { position, juce::MidiMessage::noteOn (channel, note, (juce::uint8) velocity) };
}

inline Event noteOff (int position, int channel, int note) { return { position, juce::MidiMessage::noteOff (channel, note) }; }

/** A voice manager with the test kit on notes 36 to 42, each voice into its own stereo pair
    (channels 2 i and 2 i + 1) so that every voice can be measured on its own. */
class Harness
{
public:
    explicit Harness (int oversampling = 1)
    {
        for (int i = 0; i < VoiceManager::numVoices; ++i)
        {
            applySound (voice (i), kit[i]);
            voice (i).setMidiNote (firstNote + i);
        }

        manager.setOversamplingFactor (oversampling);
        manager.prepareToPlay (sampleRate, blockSize);
    }

    Voice& voice (int index) { return *manager.getVoice (index); }

    /** Renders numSamples on from here, events at positions counted from the start of this call. */
    juce::AudioBuffer<float> render (int numSamples, const std::vector<Event>& events = {})
    {
        juce::AudioBuffer<float> result (2 * VoiceManager::numVoices, numSamples);
        juce::AudioBuffer<float> block (2 * VoiceManager::numVoices, blockSize);
        std::array<StereoTarget, VoiceManager::numVoices> targets;

        for (int start = 0; start < numSamples; start += blockSize)
        {
            const auto length = std::min (blockSize, numSamples - start);
            juce::MidiBuffer midi;

            for (const auto& e : events)
                if (e.position >= start && e.position < start + length)
                    midi.addEvent (e.message, e.position - start);

            block.clear(); // before taking the write pointers, which mark the buffer as no longer clear

            for (int i = 0; i < VoiceManager::numVoices; ++i)
                targets[(size_t) i] = { block.getWritePointer (2 * i), block.getWritePointer (2 * i + 1) };

            beforeBlock();
            manager.renderBlock (midi, length, targets);

            for (int ch = 0; ch < result.getNumChannels(); ++ch)
                result.copyFrom (ch, start, block, ch, 0, length);
        }

        return result;
    }

    std::function<void()> beforeBlock = [] {};
    VoiceManager manager;
};

//==============================================================================
/** Left plus right of one stereo pair. */
inline std::vector<float> mono (const juce::AudioBuffer<float>& b, int pair)
{
    std::vector<float> out ((size_t) b.getNumSamples());

    for (size_t i = 0; i < out.size(); ++i)
        out[i] = b.getSample (2 * pair, (int) i) + b.getSample (2 * pair + 1, (int) i);

    return out;
}

/** Voice 0 playing one hit of a sound; left plus right. */
inline std::vector<float> hit (const Sound& sound, int length = (int) sampleRate, int velocity = 127, int oversampling = 1)
{
    Harness h (oversampling);
    applySound (h.voice (0), sound);
    return mono (h.render (length, { noteOn (0, 1, firstNote, velocity) }), 0);
}

inline double rms (const std::vector<float>& x, size_t start = 0, size_t end = SIZE_MAX)
{
    end = std::min (end, x.size());
    double sum = 0.0;

    for (auto i = start; i < end; ++i)
        sum += (double) x[i] * x[i];

    return end > start ? std::sqrt (sum / (double) (end - start)) : 0.0;
}

inline double decibels (double ratio) { return 20.0 * std::log10 (std::max (ratio, 1.0e-12)); }

inline bool allFinite (const juce::AudioBuffer<float>& b)
{
    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        for (int i = 0; i < b.getNumSamples(); ++i)
            if (! std::isfinite (b.getSample (ch, i)))
                return false;

    return true;
}

/** Index of the first or last sample louder than threshold, or -1. */
inline int firstAbove (const std::vector<float>& x, float threshold = 0.0f)
{
    const auto found = std::find_if (x.begin(), x.end(), [=] (float s) { return std::abs (s) > threshold; });
    return found == x.end() ? -1 : (int) (found - x.begin());
}

inline int lastAbove (const std::vector<float>& x, float threshold = 0.0f)
{
    const auto found = std::find_if (x.rbegin(), x.rend(), [=] (float s) { return std::abs (s) > threshold; });
    return (int) (x.rend() - found) - 1;
}

/** Frequency from interpolated rising zero crossings over [start, end). */
inline double pitchOf (const std::vector<float>& x, size_t start, size_t end)
{
    double first = -1.0, last = -1.0;
    int count = 0;

    for (auto i = start + 1; i < std::min (end, x.size()); ++i)
    {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f)
        {
            last = (double) (i - 1) + (double) -x[i - 1] / (double) (x[i] - x[i - 1]);
            first = first < 0.0 ? last : first;
            ++count;
        }
    }

    return count > 1 ? (count - 1) * sampleRate / (last - first) : 0.0;
}

inline double binFrequency (size_t bin, int order) { return (double) bin * sampleRate / (double) ((size_t) 1 << order); }

/** Power spectrum of `length` samples from start (Hann-windowed unless asked not to), zero-padded to 2^order. */
inline std::vector<float> spectrum (const std::vector<float>& x, size_t start, int order, size_t length = 0, bool hann = true)
{
    const auto size = (size_t) 1 << order;
    length = length == 0 ? size : std::min (length, size);
    juce::dsp::FFT fft (order);
    std::vector<float> data (2 * size, 0.0f);

    for (size_t i = 0; i < length && start + i < x.size(); ++i)
        data[i] = x[start + i] * (hann ? 0.5f - 0.5f * std::cos (juce::MathConstants<float>::twoPi * (float) i / (float) length) : 1.0f);

    fft.performFrequencyOnlyForwardTransform (data.data());
    data.resize (size / 2);

    for (auto& m : data)
        m *= m;

    return data;
}

/** Power in the bins from low up to high. */
inline double bandPower (const std::vector<float>& power, int order, double low, double high)
{
    double sum = 0.0;

    for (size_t bin = 1; bin < power.size(); ++bin)
        if (const auto f = binFrequency (bin, order); f >= low && f < high)
            sum += power[bin];

    return sum;
}

/** Power-weighted mean frequency. */
inline double centroid (const std::vector<float>& power, int order)
{
    double weighted = 0.0;

    for (size_t bin = 1; bin < power.size(); ++bin)
        weighted += power[bin] * binFrequency (bin, order);

    return weighted / std::max (bandPower (power, order, 0.0, sampleRate), 1.0e-30);
}

//==============================================================================
/** Records the action messages of one broadcaster while it lives. */
class MessageRecorder final : public juce::ActionListener
{
public:
    explicit MessageRecorder (juce::ActionBroadcaster& source) : broadcaster (source) { broadcaster.addActionListener (this); }
    ~MessageRecorder() override { broadcaster.removeActionListener (this); }

    void actionListenerCallback (const juce::String& message) override { messages.add (message); }
    int count (const juce::String& message) const { return (int) std::count (messages.begin(), messages.end(), message); }

    juce::StringArray messages;

private:
    juce::ActionBroadcaster& broadcaster;
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MessageRecorder)
};

/** Long enough for the broadcasters' timers and the messages posted behind them. */
inline void pumpMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil (100); }
} // namespace EngineTest
