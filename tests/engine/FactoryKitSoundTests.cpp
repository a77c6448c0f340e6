#include "processor/ProcessorTestHelpers.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <complex>
#include <map>

// What a musician expects of the factory kit's seven sounds, measured on the "Mixed" output of a
// freshly constructed processor, one hit at a time.
using namespace ProcessorTestHelpers;

namespace
{
constexpr int analysisOrder = 16; // 1.37 s: the longest factory sound with room to spare

/** One hit, summed to mono, with everything measured on it. */
struct Hit
{
    juce::AudioBuffer<float> stereo;
    juce::String label;
    double peakDb, onsetMs, lengthMs, centroidHz, below150, below500, above2k, above5k; // shares of the energy
    double pitchFall, bodyPitch, bursts, tailFlutter;
};

/** The strongest frequency below maxHz in a 43 ms Hann frame from startMs, zero-padded for finer peaks. */
double dominantFrequency (const std::vector<float>& x, double startMs, double maxHz = 1000.0)
{
    constexpr int padded = 14;
    const auto p = spectrum (x, (size_t) (startMs * 0.001 * sampleRate), padded, 2048);
    const auto end = p.begin() + (std::ptrdiff_t) std::ceil (maxHz / binFrequency (1, padded));
    return binFrequency ((size_t) (std::max_element (p.begin() + 1, end) - p.begin()), padded);
}

/** Rises of at least 6 dB in a 2 ms RMS envelope over the first 50 ms, from the lowest point since the
    previous one: a hand clap is several slaps in quick succession. */
double bursts (const std::vector<float>& x)
{
    constexpr size_t window = (size_t) (0.002 * sampleRate);
    auto lowest = 1.0e9;
    int n = 0;

    for (size_t w = 0; w < 25; ++w)
    {
        const auto level = decibels (rms (x, w * window, (w + 1) * window));
        n += level - lowest >= 6.0 ? 1 : 0;
        lowest = level - lowest >= 6.0 ? level : std::min (lowest, level);
    }

    return n;
}

/** How deeply the 0.5 ms RMS envelope from 60 to 200 ms swings at the given rate, against its mean:
    after its slaps, a clap's tail rings on without them. */
double tailFlutter (const std::vector<float>& x, double hz)
{
    constexpr size_t window = (size_t) (0.0005 * sampleRate);
    std::complex<double> sum;
    double total = 0.0;

    for (size_t w = 120; w < 400; ++w)
    {
        const auto level = rms (x, w * window, (w + 1) * window);
        sum += level * std::polar (1.0, -juce::MathConstants<double>::twoPi * hz * (double) w / 2000.0);
        total += level;
    }

    return 2.0 * std::abs (sum) / total;
}

Hit play (KestrinAudioProcessor& processor, int voiceNumber)
{
    const auto stereo = render (processor, midiNoteOn (1, processor.defaultVoiceNotes[(size_t) voiceNumber - 1]), 1 << analysisOrder);
    const auto both = mono (stereo, 0);
    auto louder = channel (stereo, 0); // the louder channel, so that panning does not shorten a sound
    std::transform (louder.begin(), louder.end(), stereo.getReadPointer (1), louder.begin(), [] (float l, float r) { return std::max (std::abs (l), std::abs (r)); });
    const auto peak = stereo.getMagnitude (0, stereo.getNumSamples());
    const auto power = spectrum (both, 0, analysisOrder, both.size(), false);
    const auto share = [&] (double low, double high) { return bandPower (power, analysisOrder, low, high) / bandPower (power, analysisOrder, 0, sampleRate); };

    // In the order of Hit's members; the length ends 60 dB below the peak.
    return { stereo, voiceParameter (processor, voiceNumber, ParameterIds::label).getCurrentValueAsText(), decibels (peak),
             1000.0 * firstAbove (louder, peak * 0.5f) / sampleRate, 1000.0 * lastAbove (louder, peak * 0.001f) / sampleRate,
             centroid (power, analysisOrder), share (0, 150), share (0, 500), share (2000, sampleRate), share (5000, sampleRate),
             dominantFrequency (both, 0.0) / dominantFrequency (both, 150.0), dominantFrequency (both, 10.0, 500.0), bursts (both),
             tailFlutter (both, getValue (processor, ParameterIds::voiceParameterId (voiceNumber, ParameterIds::lfoRate))) };
}

/** Writes a hit where a reviewer can listen to it; aside and renamed, as CTest may run programs side by side. */
void writeForReview (const Hit& hit, int voiceNumber)
{
    const auto folder = juce::File (TOMBREL_TEST_IMAGE_DIR).getParentDirectory().getChildFile ("test-audio");
    folder.createDirectory();
    juce::TemporaryFile temporary (folder.getChildFile ("FactoryKit-" + juce::String (voiceNumber) + "-" + hit.label.removeCharacters (" ") + ".wav"));
    std::unique_ptr<juce::AudioFormatWriter> writer (juce::WavAudioFormat().createWriterFor (temporary.getFile().createOutputStream().release(), sampleRate, 2, 24, {}, 0));
    ASSERT_NE (writer, nullptr);
    writer->writeFromAudioSampleBuffer (hit.stereo, 0, std::min (hit.stereo.getNumSamples(), (int) (hit.lengthMs * 0.001 * sampleRate) + blockSize));
    writer.reset();
    EXPECT_TRUE (temporary.overwriteTargetFileWithTemporary());
}
} // namespace

TEST (FactoryKitSound, EachDrumSoundsLikeItsLabel)
{
    const juce::StringArray labels { "Kick", "Sidestick", "Snare", "Handclap", "Snare", "Tom L", "Closed HH" };
    std::map<int, Hit> hits;

    for (int v = 1; v <= VoiceManager::numVoices; ++v)
    {
        TemporaryDataFolder folder;
        KestrinAudioProcessor processor (folder.get());
        processor.prepareToPlay (sampleRate, blockSize);
        hits[v] = play (processor, v);
        EXPECT_EQ (hits[v].label, labels[v - 1]);
        EXPECT_TRUE (allFinite (hits[v].stereo)) << "voice " << v;
        writeForReview (hits[v], v);
    }

    constexpr auto any = 1.0e9;
    const struct { const char* label; double Hit::* measure; double low, high; } expected[] = {
        // Every drum: audible, immediate, below clipping, over within a second.
        { "", &Hit::peakDb, -20, -1 }, { "", &Hit::onsetMs, 0, 5 }, { "", &Hit::lengthMs, 1, 1000 },
        // Low, with a downward sweep.
        { "Kick", &Hit::below150, 0.7, 1 }, { "Kick", &Hit::lengthMs, 200, 800 }, { "Kick", &Hit::pitchFall, 1.3, any },
        // The drum's body and the wires.
        { "Snare", &Hit::below500, 0.2, 1 }, { "Snare", &Hit::above2k, 0.15, 1 }, { "Snare", &Hit::lengthMs, 80, 400 }, { "Snare", &Hit::bodyPitch, 120, 350 },
        // Banded noise: a few slaps, then a tail without them.
        { "Handclap", &Hit::below500, 0, 0.1 }, { "Handclap", &Hit::centroidHz, 800, 4000 }, { "Handclap", &Hit::lengthMs, 100, 500 },
        { "Handclap", &Hit::bursts, 3, any }, { "Handclap", &Hit::tailFlutter, 0, 0.15 },
        // A low pitched drum that rings and falls.
        { "Tom L", &Hit::below500, 0.8, 1 }, { "Tom L", &Hit::lengthMs, 250, 1000 }, { "Tom L", &Hit::bodyPitch, 60, 160 }, { "Tom L", &Hit::pitchFall, 1.01, any },
        // High and short.
        { "Closed HH", &Hit::above5k, 0.7, 1 }, { "Closed HH", &Hit::centroidHz, 6000, any }, { "Closed HH", &Hit::lengthMs, 0, 150 },
        // A short woody knock.
        { "Sidestick", &Hit::below150, 0, 0.05 }, { "Sidestick", &Hit::centroidHz, 500, 5000 }, { "Sidestick", &Hit::lengthMs, 0, 150 },
    };

    for (const auto& e : expected)
    {
        for (const auto& [v, hit] : hits)
        {
            const auto value = hit.*e.measure;
            const auto applies = juce::String (e.label).isEmpty() || hit.label == e.label;
            EXPECT_TRUE (! applies || (value >= e.low && value <= e.high)) << "row " << (&e - expected) << ", voice " << v << " " << hit.label << ": " << value;
        }
    }
}
