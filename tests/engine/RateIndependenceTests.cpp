#include "processor/ProcessorTestHelpers.h"

#include <complex>
#include <iomanip>
#include <iostream>
#include <map>

// A project moved to another host rate, or switched to another oversampling factor, must sound the
// same apart from less aliasing: the factory kit's hits through the processor, against 48 kHz 1x.
using namespace ProcessorTestHelpers;

namespace
{
constexpr juce::uint8 hitVelocity = 100;
constexpr double tailSeconds = 0.02;   // after the decay, for the last stretch and the decimators
constexpr double onsetSeconds = 0.05;

/** What a listener hears change first when the rate moves: the level in 1 to 16 kHz of the hit's
    first 50 ms, and the spectral centroid in 20 Hz to 16 kHz of the whole hit. */
struct Figures
{
    double bandDb = 0.0, centroidHz = 0.0;
};

int orderFor (size_t length)
{
    int order = 1;

    while (((size_t) 1 << order) < length)
        ++order;

    return order;
}

/** Power spectra, two signals at a time: one complex transform of a + i b, whose halves are taken
    apart by symmetry. The hits are many, and the transforms most of the test's time. */
class Spectra final
{
public:
    /** The power of `length` samples of a and of b (unwindowed, zero-padded to 2^order), by bin. */
    std::pair<std::vector<double>, std::vector<double>> of (const std::vector<float>& a, const std::vector<float>& b, size_t length, int order)
    {
        auto& fft = ffts[order];

        if (fft == nullptr)
            fft = std::make_unique<juce::dsp::FFT> (order);

        const auto size = (size_t) 1 << order;
        std::vector<std::complex<float>> in (size), out (size);

        for (size_t i = 0; i < std::min ({ length, a.size(), size }); ++i)
            in[i] = { a[i], i < b.size() ? b[i] : 0.0f };

        fft->perform (in.data(), out.data(), false);
        std::vector<double> pa (size / 2), pb (size / 2);

        for (size_t k = 1; k < size / 2; ++k)
        {
            const auto x = out[k], mirrored = std::conj (out[size - k]);
            pa[k] = std::norm (x + mirrored) / 4.0;
            pb[k] = std::norm (x - mirrored) / 4.0;
        }

        return { pa, pb };
    }

private:
    std::map<int, std::unique_ptr<juce::dsp::FFT>> ffts;
};

/** Power in [low, high) of a spectrum of 2^order points taken at `rate`, or weighted by frequency. */
double inBand (const std::vector<double>& power, int order, double rate, double low, double high, bool byFrequency = false)
{
    double sum = 0.0;

    for (size_t bin = 1; bin < power.size(); ++bin)
        if (const auto f = (double) bin * rate / (double) ((size_t) 1 << order); f >= low && f < high)
            sum += power[bin] * (byFrequency ? f : 1.0);

    return sum;
}

/** Every factory voice at this host rate and oversampling factor, through the processor, each voice
    into its own output. Noise is heard by its spectrum, not by its samples: all seven voices play
    the sound at once, each with noise of its own, over and over, and the figures are those of all
    the hits together (the onsets, which need only their start, many more times). The tone starts
    at the same phase every time. */
std::array<Figures, VoiceManager::numVoices> measureKit (double rate, int factor)
{
    constexpr int onsetRounds = 16, wholeRounds = 8;

    TemporaryDataFolder folder;
    KestrinAudioProcessor processor (folder.get());
    setValue (parameter (processor, ParameterIds::paramOversampling), factor == 4 ? 2.0f : (factor == 2 ? 1.0f : 0.0f));
    setValue (parameter (processor, ParameterIds::paramPhase), 1.0f);
    setValue (parameter (processor, ParameterIds::paramObeyNoteOff), 1.0f);
    setValue (parameter (processor, ParameterIds::paramMultiOut), 1.0f);
    processor.enableAllBuses();
    processor.prepareToPlay (rate, blockSize);

    juce::MidiBuffer hit, release;

    for (const auto note : processor.defaultVoiceNotes)
    {
        hit.addEvent (juce::MidiMessage::noteOn (1, note, hitVelocity), 0);
        release.addEvent (juce::MidiMessage::noteOff (1, note), 0);
    }

    const auto samples = [rate] (double seconds) { return (int) std::lround (seconds * rate); };
    const auto onsetLength = (size_t) samples (onsetSeconds);
    const auto onsetOrder = orderFor (onsetLength);
    std::array<Figures, VoiceManager::numVoices> kit;
    Spectra spectra;
    const std::vector<float> silence;

    for (int v = 1; v <= VoiceManager::numVoices; ++v)
    {
        for (int target = 1; target <= VoiceManager::numVoices; ++target)
        {
            for (int i = 0; i < ParameterIds::numSoundSuffixes; ++i)
                setValue (voiceParameter (processor, target, ParameterIds::voiceSuffixes[(size_t) i]), factorySound (v)[(size_t) i]);

            setValue (voiceParameter (processor, target, ParameterIds::chokeGroup), 0.0f);
        }

        // By Parseval, the positive bins of an N-point transform of L samples hold N L / 2 times their mean square.
        double onsetPower = 0.0;

        for (int round = 0; round < onsetRounds; ++round)
        {
            const auto out = render (processor, hit, (int) onsetLength);
            render (processor, release, samples (tailSeconds));

            for (int output = 1; output <= VoiceManager::numVoices; output += 2)
            {
                const auto [p, q] = spectra.of (mono (out, output), output < VoiceManager::numVoices ? mono (out, output + 1) : silence, onsetLength, onsetOrder);
                onsetPower += 2.0 * (inBand (p, onsetOrder, rate, 1000.0, 16000.0) + inBand (q, onsetOrder, rate, 1000.0, 16000.0))
                            / ((double) ((size_t) 1 << onsetOrder) * (double) onsetLength);
            }
        }

        double power = 0.0, weighted = 0.0;
        const auto length = samples (factorySound (v)[(size_t) VoiceParameter::decay] + tailSeconds);
        const auto order = orderFor ((size_t) length);

        for (int round = 0; round < wholeRounds; ++round)
        {
            const auto out = render (processor, hit, length);

            for (int output = 1; output <= VoiceManager::numVoices; output += 2)
            {
                const auto [p, q] = spectra.of (mono (out, output), output < VoiceManager::numVoices ? mono (out, output + 1) : silence, (size_t) length, order);

                for (const auto* s : { &p, &q })
                {
                    power += inBand (*s, order, rate, 20.0, 16000.0);
                    weighted += inBand (*s, order, rate, 20.0, 16000.0, true);
                }
            }
        }

        kit[(size_t) v - 1] = { 10.0 * std::log10 (onsetPower / (onsetRounds * VoiceManager::numVoices)), weighted / power };
    }

    return kit;
}
} // namespace

TEST (RateIndependence, EachFactoryDrumSoundsTheSameAtEveryRateAndOversampling)
{
    const auto reference = measureKit (48000.0, 1);
    const juce::StringArray names { "Kick", "Sidestick", "Snare", "Handclap", "Snare 2", "Tom L", "Closed HH" };

    for (const auto rate : { 44100.0, 48000.0, 96000.0 })
    {
        for (const auto factor : { 1, 2, 4 })
        {
            const auto kit = measureKit (rate, factor);

            for (int v = 0; v < VoiceManager::numVoices; ++v)
            {
                const auto& r = reference[(size_t) v];
                const auto& k = kit[(size_t) v];
                const auto levelDifference = k.bandDb - r.bandDb;
                const auto centroidChange = k.centroidHz / r.centroidHz - 1.0;

                std::cout << std::fixed << std::setprecision (2) << rate / 1000.0 << " kHz " << factor << "x  "
                          << std::left << std::setw (10) << names[v] << std::right << " 1-16 kHz " << std::setw (7) << k.bandDb
                          << " dB (" << std::showpos << levelDifference << std::noshowpos << ")  centroid " << std::setprecision (0)
                          << std::setw (6) << k.centroidHz << " Hz (" << std::showpos << std::setprecision (1) << 100.0 * centroidChange
                          << std::noshowpos << "%)\n";

                EXPECT_NEAR (levelDifference, 0.0, 0.5) << names[v] << " at " << rate << " Hz " << factor << "x";
                EXPECT_NEAR (centroidChange, 0.0, 0.05) << names[v] << " at " << rate << " Hz " << factor << "x";
            }
        }
    }
}
