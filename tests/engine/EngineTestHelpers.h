#pragma once

#include "engine/VoiceManager.h"

#include <juce_dsp/juce_dsp.h>

#include <cmath>
#include <vector>

namespace EngineTest
{
using P = VoiceParameter;

constexpr double sampleRate = 48000.0;
constexpr int blockSize = 128;
constexpr int firstNote = 36;

/** One voice's sound, in the parameters' own units. */
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

inline void applySound (Voice& voice, const Sound& s)
{
    const std::pair<P, float> values[] = {
        { P::decay, s.decay }, { P::waveform, s.waveform }, { P::tonePitch, s.pitch },
        { P::toneBend, s.bend }, { P::bendSweepCurve, s.curve }, { P::noiseCutoff, s.cutoff },
        { P::noiseResonance, s.resonance }, { P::noiseHPCutoff, s.highPass }, { P::noiseSweep, s.sweep },
        { P::noiseMix, s.noiseMix }, { P::lfoRate, s.lfoRate }, { P::lfoToneDepth, s.lfoTone },
        { P::lfoNoiseDepth, s.lfoNoise }, { P::clickDecay, s.clickMs }, { P::clickMix, s.clickMix },
        { P::saturation, s.saturation }, { P::velocity, s.velocity }, { P::pan, s.pan }, { P::gain, s.gain },
    };

    for (const auto& [parameter, value] : values)
        voice.setParameter (parameter, value);
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

inline Event noteOff (int position, int channel, int note)
{
    return { position, juce::MidiMessage::noteOff (channel, note) };
}

/**
    A voice manager with the test kit on notes 36 to 42, rendering each voice into its own stereo
    pair (channels 2 i and 2 i + 1) so that every voice can be measured on its own.
*/
class Harness
{
public:
    explicit Harness (int oversampling = 1, double rate = sampleRate, int block = blockSize)
        : currentRate (rate), currentBlockSize (block)
    {
        for (int i = 0; i < VoiceManager::numVoices; ++i)
        {
            applySound (voice (i), kit[i]);
            voice (i).setMidiNote (firstNote + i);
        }

        manager.setOversamplingFactor (oversampling);
        manager.prepareToPlay (rate, block);
    }

    Voice& voice (int index) { return *manager.getVoice (index); }

    /** Renders numSamples from the current position, with events at absolute positions from the
        start of this call, and returns all voices' outputs. */
    juce::AudioBuffer<float> render (int numSamples, const std::vector<Event>& events = {})
    {
        juce::AudioBuffer<float> result (2 * VoiceManager::numVoices, numSamples);
        result.clear();
        juce::AudioBuffer<float> block (2 * VoiceManager::numVoices, currentBlockSize);

        for (int start = 0; start < numSamples; start += currentBlockSize)
        {
            const auto length = std::min (currentBlockSize, numSamples - start);
            juce::MidiBuffer midi;

            for (const auto& e : events)
                if (e.position >= start && e.position < start + length)
                    midi.addEvent (e.message, e.position - start);

            block.clear();
            std::array<StereoTarget, VoiceManager::numVoices> targets;

            for (int i = 0; i < VoiceManager::numVoices; ++i)
                targets[(size_t) i] = { block.getWritePointer (2 * i), block.getWritePointer (2 * i + 1) };

            beforeBlock();
            manager.renderBlock (midi, length, targets);

            for (int ch = 0; ch < result.getNumChannels(); ++ch)
                result.copyFrom (ch, start, block, ch, 0, length);
        }

        return result;
    }

    /** Called before every block; tests use it to act between blocks. */
    std::function<void()> beforeBlock = [] {};

    VoiceManager manager;
    double currentRate;
    int currentBlockSize;
};

//==============================================================================
/** Left plus right of one voice. */
inline std::vector<float> mono (const juce::AudioBuffer<float>& b, int voiceIndex, int start = 0, int end = -1)
{
    if (end < 0)
        end = b.getNumSamples();

    std::vector<float> out;

    for (int i = start; i < end; ++i)
        out.push_back (b.getSample (2 * voiceIndex, i) + b.getSample (2 * voiceIndex + 1, i));

    return out;
}

inline double rms (const std::vector<float>& x, size_t start = 0, size_t end = SIZE_MAX)
{
    end = std::min (end, x.size());
    double sum = 0.0;

    for (auto i = start; i < end; ++i)
        sum += (double) x[i] * x[i];

    return end > start ? std::sqrt (sum / (double) (end - start)) : 0.0;
}

inline bool allFinite (const juce::AudioBuffer<float>& b)
{
    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        for (int i = 0; i < b.getNumSamples(); ++i)
            if (! std::isfinite (b.getSample (ch, i)))
                return false;

    return true;
}

/** Index of the first sample whose magnitude is above threshold, or -1. */
inline int firstAbove (const std::vector<float>& x, float threshold = 0.0f)
{
    for (size_t i = 0; i < x.size(); ++i)
        if (std::abs (x[i]) > threshold)
            return (int) i;

    return -1;
}

inline int lastAbove (const std::vector<float>& x, float threshold = 0.0f)
{
    for (auto i = (int) x.size() - 1; i >= 0; --i)
        if (std::abs (x[(size_t) i]) > threshold)
            return i;

    return -1;
}

/** Frequency from interpolated rising zero crossings over [start, end). */
inline double zeroCrossingFrequency (const std::vector<float>& x, size_t start, size_t end, double rate = sampleRate)
{
    double first = -1.0, last = -1.0;
    int count = 0;

    for (auto i = start + 1; i < std::min (end, x.size()); ++i)
    {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f)
        {
            const auto t = (double) (i - 1) + (double) -x[i - 1] / (double) (x[i] - x[i - 1]);

            if (first < 0.0)
                first = t;

            last = t;
            ++count;
        }
    }

    return count > 1 ? (count - 1) * rate / (last - first) : 0.0;
}

/** Hann-windowed magnitude spectrum of 2^order samples from start. */
inline std::vector<float> spectrum (const std::vector<float>& x, size_t start, int order)
{
    const auto size = (size_t) 1 << order;
    juce::dsp::FFT fft (order);
    std::vector<float> data (2 * size, 0.0f);

    for (size_t i = 0; i < size && start + i < x.size(); ++i)
    {
        const auto window = 0.5f - 0.5f * std::cos (juce::MathConstants<float>::twoPi * (float) i / (float) size);
        data[i] = x[start + i] * window;
    }

    fft.performFrequencyOnlyForwardTransform (data.data());
    data.resize (size / 2);
    return data;
}

inline double binFrequency (size_t bin, int order, double rate = sampleRate)
{
    return (double) bin * rate / (double) ((size_t) 1 << order);
}

/** Power in the bins between two frequencies. */
inline double bandPower (const std::vector<float>& s, int order, double low, double high, double rate = sampleRate)
{
    double sum = 0.0;

    for (size_t bin = 0; bin < s.size(); ++bin)
    {
        const auto f = binFrequency (bin, order, rate);

        if (f >= low && f < high)
            sum += (double) s[bin] * s[bin];
    }

    return sum;
}

/** Power-weighted mean frequency. */
inline double centroid (const std::vector<float>& s, int order, double rate = sampleRate)
{
    double weighted = 0.0, total = 0.0;

    for (size_t bin = 1; bin < s.size(); ++bin)
    {
        const auto p = (double) s[bin] * s[bin];
        weighted += p * binFrequency (bin, order, rate);
        total += p;
    }

    return total > 0.0 ? weighted / total : 0.0;
}

inline double decibels (double ratio) { return 20.0 * std::log10 (std::max (ratio, 1.0e-12)); }
}
