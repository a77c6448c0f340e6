#pragma once

#include "engine/VoiceManager.h"
#include "processor/FactoryKit.h"

#include <juce_dsp/juce_dsp.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

/** Rendering and measuring shared by the engine and processor tests. */
namespace EngineTest
{
using P = VoiceParameter;
using Sound = std::array<float, (size_t) P::numParameters>; // in each parameter's own units

constexpr double sampleRate = 48000.0;
constexpr int blockSize = 128;
constexpr int firstNote = 36;

/** A bare sine at 0 dB, centred, one second long, with nothing else: the base of the measurements. */
inline constexpr Sound pureTone { 1.0f, 2, 440, 0, 0, 5000, 0, 20, 0, 0, 1, 0, 0, 5, 0, 0, 0, 0, 0 };

inline Sound with (Sound s, std::initializer_list<std::pair<P, float>> changes)
{
    for (const auto& [parameter, value] : changes)
        s[(size_t) parameter] = value;

    return s;
}

/** Voice 1 to 7 of the factory kit. */
inline Sound factorySound (int voiceNumber)
{
    Sound s;

    for (size_t i = 0; i < s.size(); ++i)
        s[i] = FactoryKit::getValue (voiceNumber, (int) i);

    return s;
}

using Event = std::pair<int, juce::MidiMessage>; // sample position and message

inline Event noteOn (int at, int channel, int note, int velocity = 127) { return { at, juce::MidiMessage::noteOn (channel, note, (juce::uint8) velocity) }; }
inline Event noteOff (int at, int channel, int note) { return { at, juce::MidiMessage::noteOff (channel, note) }; }

/** A voice manager whose voices all play `sound` on notes 36 to 42, each into its own stereo pair
    (channels 2 i and 2 i + 1), so that every voice can be measured on its own. */
struct Harness
{
    explicit Harness (Sound sound = pureTone, int oversampling = 1, double rate = sampleRate, int hostBlockSize = blockSize)
        : block (hostBlockSize)
    {
        for (int i = 0; i < VoiceManager::numVoices; ++i)
        {
            apply (i, sound);
            voice (i).setMidiNote (firstNote + i);
        }

        manager.setOversamplingFactor (oversampling);
        manager.prepareToPlay (rate, block);
    }

    Voice& voice (int index) { return *manager.getVoice (index); }

    void apply (int index, const Sound& s)
    {
        for (size_t p = 0; p < s.size(); ++p)
            voice (index).setParameter ((P) p, s[p]);
    }

    /** Renders numSamples on from here, events at positions counted from the start of this call; those
        at or after its end come with the last block, as a host may stamp them. */
    juce::AudioBuffer<float> render (int numSamples, const std::vector<Event>& events = {})
    {
        juce::AudioBuffer<float> result (2 * VoiceManager::numVoices, numSamples);
        result.clear();
        std::array<StereoTarget, VoiceManager::numVoices> targets;

        for (int start = 0; start < numSamples; start += block)
        {
            const auto length = std::min (block, numSamples - start);
            juce::MidiBuffer midi;

            for (const auto& [position, message] : events)
                if (position >= start && (position < start + length || start + length == numSamples))
                    midi.addEvent (message, position - start);

            for (int i = 0; i < VoiceManager::numVoices; ++i)
                targets[(size_t) i] = { result.getWritePointer (2 * i, start), result.getWritePointer (2 * i + 1, start) };

            beforeBlock();
            manager.renderBlock (midi, length, {}, targets);
        }

        return result;
    }

    std::function<void()> beforeBlock = [] {};
    int block;
    VoiceManager manager;
};

//==============================================================================
inline std::vector<float> channel (const juce::AudioBuffer<float>& b, int ch) { return { b.getReadPointer (ch), b.getReadPointer (ch) + b.getNumSamples() }; }

/** A NaN or infinity anywhere makes the sum of squares non-finite. */
inline bool allFinite (const juce::AudioBuffer<float>& b)
{
    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        if (! std::isfinite (b.getRMSLevel (ch, 0, b.getNumSamples())))
            return false;

    return true;
}

/** Left plus right of one stereo pair. */
inline std::vector<float> mono (const juce::AudioBuffer<float>& b, int pair)
{
    auto out = channel (b, 2 * pair);
    juce::FloatVectorOperations::add (out.data(), b.getReadPointer (2 * pair + 1), (int) out.size());
    return out;
}

/** Voice 0 playing one hit of a sound; left plus right. */
inline std::vector<float> hit (const Sound& sound, int length = (int) sampleRate, int velocity = 127, int oversampling = 1)
{
    return mono (Harness (sound, oversampling).render (length, { noteOn (0, 1, firstNote, velocity) }), 0);
}

inline double rms (const std::vector<float>& x, size_t start = 0, size_t end = SIZE_MAX)
{
    end = std::min (end, x.size());
    const auto sum = std::inner_product (x.begin() + (std::ptrdiff_t) start, x.begin() + (std::ptrdiff_t) end, x.begin() + (std::ptrdiff_t) start, 0.0);
    return end > start ? std::sqrt (sum / (double) (end - start)) : 0.0;
}

inline double decibels (double ratio) { return 20.0 * std::log10 (std::max (ratio, 1.0e-12)); }

/** Largest change from one sample to the next in [start, end). */
inline float largestStep (const std::vector<float>& x, size_t start, size_t end)
{
    float largest = 0.0f;

    for (auto i = std::max<size_t> (start, 1); i < std::min (end, x.size()); ++i)
        largest = std::max (largest, std::abs (x[i] - x[i - 1]));

    return largest;
}

/** Index of the first or last sample louder than threshold, or -1. */
inline int firstAbove (const std::vector<float>& x, float threshold = 0.0f)
{
    const auto found = std::find_if (x.begin(), x.end(), [=] (float s) { return std::abs (s) > threshold; });
    return found == x.end() ? -1 : (int) (found - x.begin());
}

inline int lastAbove (const std::vector<float>& x, float threshold = 0.0f)
{
    return (int) (x.rend() - std::find_if (x.rbegin(), x.rend(), [=] (float s) { return std::abs (s) > threshold; })) - 1;
}

/** Frequency from interpolated rising zero crossings over [start, end). */
inline double pitchOf (const std::vector<float>& x, size_t start, size_t end)
{
    std::vector<double> crossings;

    for (auto i = start + 1; i < std::min (end, x.size()); ++i)
        if (x[i - 1] < 0.0f && x[i] >= 0.0f)
            crossings.push_back ((double) (i - 1) - x[i - 1] / (double) (x[i] - x[i - 1]));

    return crossings.size() > 1 ? (double) (crossings.size() - 1) * sampleRate / (crossings.back() - crossings.front()) : 0.0;
}

inline double binFrequency (size_t bin, int order) { return (double) bin * sampleRate / (double) ((size_t) 1 << order); }

/** Power spectrum of `length` samples from start (Hann-windowed unless asked not to), zero-padded to 2^order. */
inline std::vector<float> spectrum (const std::vector<float>& x, size_t start, int order, size_t length = 0, bool hann = true)
{
    const auto size = (size_t) 1 << order;
    length = length == 0 ? size : std::min (length, size);
    std::vector<float> data (2 * size, 0.0f);

    for (size_t i = 0; i < length && start + i < x.size(); ++i)
        data[i] = x[start + i] * (hann ? 0.5f - 0.5f * std::cos (juce::MathConstants<float>::twoPi * (float) i / (float) length) : 1.0f);

    juce::dsp::FFT (order).performFrequencyOnlyForwardTransform (data.data());
    data.resize (size / 2);
    std::transform (data.begin(), data.end(), data.begin(), [] (float m) { return m * m; });
    return data;
}

/** Power in the bins from low up to high, or weighted by frequency. */
inline double bandPower (const std::vector<float>& power, int order, double low, double high, bool weighted = false)
{
    double sum = 0.0;

    for (size_t bin = 1; bin < power.size(); ++bin)
        if (const auto f = binFrequency (bin, order); f >= low && f < high)
            sum += power[bin] * (weighted ? f : 1.0);

    return sum;
}

inline double centroid (const std::vector<float>& p, int order) { return bandPower (p, order, 0, sampleRate, true) / std::max (bandPower (p, order, 0, sampleRate), 1.0e-30); }

//==============================================================================
/** Records the messages of one broadcaster (a voice or the processor) while it lives. */
class MessageRecorder final : public juce::ActionListener
{
public:
    template <typename Source>
    explicit MessageRecorder (Source& source) : detach ([&source, this] { source.removeActionListener (this); }) { source.addActionListener (this); }
    ~MessageRecorder() override { detach(); }

    void actionListenerCallback (const juce::String& message) override { messages.add (message); }
    int count (const juce::String& message) const { return (int) std::count (messages.begin(), messages.end(), message); }

    juce::StringArray messages;

private:
    std::function<void()> detach;
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MessageRecorder)
};

/** Long enough for the message timer and the messages posted behind it: 100 ms, and at least ten
    periods of a timer as quick as the message timer, which a loaded machine runs late. */
inline void pumpMessages()
{
    struct Ticks final : juce::Timer
    {
        void timerCallback() override { ++count; }
        int count = 0;
    } ticks;

    ticks.startTimer (10);
    const auto end = juce::Time::getMillisecondCounter() + 100;

    while (ticks.count < 10 || juce::Time::getMillisecondCounter() < end)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
}
} // namespace EngineTest
