#include "EngineTestHelpers.h"
#include "processor/ProcessorTestHelpers.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <map>

// What a musician expects of the factory kit's seven sounds, measured on the "Mixed" output of a
// freshly constructed processor, one hit at a time.
namespace
{
constexpr double rate = 48000.0;
constexpr int block = 256;
constexpr int hitVelocity = 100;
constexpr int analysisOrder = 16;           // 1.37 s: the longest factory sound with room to spare
constexpr int frameOrder = 11;              // 43 ms: short enough to follow a pitch sweep
constexpr int frameZeroPadOrder = 14;       // finer peak picking within a frame
constexpr double silenceBelowPeakDb = 60.0; // where a hit counts as over

/** One hit, summed to mono, with everything measured on it. */
struct Hit
{
    juce::AudioBuffer<float> stereo;
    std::vector<float> mono;
    juce::String label;

    double peakDb = -200.0;
    double onsetMs = 0.0;   // first sample within 6 dB of the peak
    double lengthMs = 0.0;  // last sample within silenceBelowPeakDb of the peak
    double centroidHz = 0.0;
    double below150 = 0.0, below500 = 0.0, above2k = 0.0, above5k = 0.0; // shares of the energy
    double flatness = 0.0;  // 0 for a pure tone, towards 1 for white noise (100 Hz to 16 kHz)
};

std::vector<float> powerSpectrum (const std::vector<float>& x, size_t start, size_t length, int order, bool hann)
{
    const auto size = (size_t) 1 << order;
    juce::dsp::FFT fft (order);
    std::vector<float> data (2 * size, 0.0f);

    for (size_t i = 0; i < std::min (length, size) && start + i < x.size(); ++i)
    {
        const auto w = hann ? 0.5f - 0.5f * std::cos (juce::MathConstants<float>::twoPi * (float) i / (float) length) : 1.0f;
        data[i] = x[start + i] * w;
    }

    fft.performFrequencyOnlyForwardTransform (data.data());
    data.resize (size / 2);

    for (auto& m : data)
        m *= m;

    return data;
}

double bandShare (const std::vector<float>& power, int order, double low, double high)
{
    double band = 0.0, total = 0.0;

    for (size_t bin = 1; bin < power.size(); ++bin)
    {
        const auto f = EngineTest::binFrequency (bin, order, rate);
        total += power[bin];

        if (f >= low && f < high)
            band += power[bin];
    }

    return total > 0.0 ? band / total : 0.0;
}

/** Geometric over arithmetic mean of the power in third-octave bands, so that a loud low tone
    and a flat noise floor compare fairly. */
double spectralFlatness (const std::vector<float>& power, int order)
{
    double logSum = 0.0, sum = 0.0;
    int bands = 0;

    for (double low = 100.0; low < 16000.0; low *= std::exp2 (1.0 / 3.0), ++bands)
    {
        const auto high = low * std::exp2 (1.0 / 3.0);
        double bandPower = 0.0;
        int bins = 0;

        for (size_t bin = 1; bin < power.size(); ++bin)
        {
            const auto f = EngineTest::binFrequency (bin, order, rate);

            if (f >= low && f < high)
            {
                bandPower += power[bin];
                ++bins;
            }
        }

        const auto density = bins > 0 ? bandPower / bins : 0.0;
        logSum += std::log (density + 1.0e-30);
        sum += density;
    }

    return sum > 0.0 ? std::exp (logSum / bands) / (sum / bands) : 0.0;
}

/** The strongest frequency below maxHz in a Hann frame starting at startMs. */
double dominantFrequency (const std::vector<float>& x, double startMs, double maxHz = 1000.0)
{
    const auto power = powerSpectrum (x, (size_t) (startMs * 0.001 * rate), (size_t) 1 << frameOrder, frameZeroPadOrder, true);
    size_t best = 1;

    for (size_t bin = 1; bin < power.size() && EngineTest::binFrequency (bin, frameZeroPadOrder, rate) < maxHz; ++bin)
        if (power[bin] > power[best])
            best = bin;

    return EngineTest::binFrequency (best, frameZeroPadOrder, rate);
}

Hit playFactoryVoice (int voiceNumber)
{
    ProcessorTestHelpers::TemporaryDataFolder folder;
    KestrinAudioProcessor processor (folder.get());
    processor.prepareToPlay (rate, block);

    Hit hit;
    const auto& labelParameter = ProcessorTestHelpers::voiceParameter (processor, voiceNumber, ParameterIds::label);
    hit.label = labelParameter.getCurrentValueAsText();

    const auto numBlocks = ((1 << analysisOrder) + block - 1) / block;
    hit.stereo.setSize (2, numBlocks * block);
    juce::AudioBuffer<float> buffer (processor.getTotalNumOutputChannels(), block);

    for (int b = 0; b < numBlocks; ++b)
    {
        juce::MidiBuffer midi;

        if (b == 0)
            midi.addEvent (juce::MidiMessage::noteOn (1, processor.defaultVoiceNotes[(size_t) voiceNumber - 1],
                                                      (juce::uint8) hitVelocity), 0);

        processor.processBlock (buffer, midi);

        for (int ch = 0; ch < 2; ++ch)
            hit.stereo.copyFrom (ch, b * block, buffer, ch, 0, block);
    }

    for (int i = 0; i < hit.stereo.getNumSamples(); ++i)
        hit.mono.push_back (0.5f * (hit.stereo.getSample (0, i) + hit.stereo.getSample (1, i)));

    const auto peak = hit.stereo.getMagnitude (0, hit.stereo.getNumSamples());
    hit.peakDb = EngineTest::decibels (peak);

    if (peak <= 0.0f)
        return hit;

    // Measured on the louder of the two channels, so that panning does not shorten a sound.
    std::vector<float> louder (hit.mono.size());

    for (size_t i = 0; i < louder.size(); ++i)
        louder[i] = juce::jmax (std::abs (hit.stereo.getSample (0, (int) i)), std::abs (hit.stereo.getSample (1, (int) i)));

    hit.onsetMs = 1000.0 * EngineTest::firstAbove (louder, peak * 0.5f) / rate;
    hit.lengthMs = 1000.0 * EngineTest::lastAbove (louder, peak * (float) juce::Decibels::decibelsToGain (-silenceBelowPeakDb)) / rate;

    const auto power = powerSpectrum (hit.mono, 0, hit.mono.size(), analysisOrder, false);
    double weighted = 0.0, total = 0.0;

    for (size_t bin = 1; bin < power.size(); ++bin)
    {
        weighted += power[bin] * EngineTest::binFrequency (bin, analysisOrder, rate);
        total += power[bin];
    }

    hit.centroidHz = weighted / total;
    hit.below150 = bandShare (power, analysisOrder, 0.0, 150.0);
    hit.below500 = bandShare (power, analysisOrder, 0.0, 500.0);
    hit.above2k = bandShare (power, analysisOrder, 2000.0, rate);
    hit.above5k = bandShare (power, analysisOrder, 5000.0, rate);
    hit.flatness = spectralFlatness (power, analysisOrder);
    return hit;
}

/** Each factory voice rendered once for the whole suite, and written where a reviewer can listen. */
const Hit& factoryHit (int voiceNumber)
{
    static std::map<int, Hit> hits;

    if (const auto found = hits.find (voiceNumber); found != hits.end())
        return found->second;

    auto hit = playFactoryVoice (voiceNumber);

    const auto folder = juce::File (TOMBREL_TEST_IMAGE_DIR).getParentDirectory().getChildFile ("test-audio");
    folder.createDirectory();
    const auto file = folder.getChildFile ("FactoryKit-" + juce::String (voiceNumber) + "-"
                                           + hit.label.removeCharacters (" ") + ".wav");
    // Written aside and renamed: CTest may run several of these programs at once.
    juce::TemporaryFile temporary (file);

    if (auto stream = std::unique_ptr<juce::OutputStream> (temporary.getFile().createOutputStream()))
    {
        juce::WavAudioFormat wav;
        constexpr int bitsPerSample = 24;

        if (auto writer = std::unique_ptr<juce::AudioFormatWriter> (wav.createWriterFor (stream.get(), rate, 2, bitsPerSample, {}, 0)))
        {
            stream.release(); // the writer owns it now
            const auto length = juce::jmin (hit.stereo.getNumSamples(), (int) (hit.lengthMs * 0.001 * rate) + block);
            writer->writeFromAudioSampleBuffer (hit.stereo, 0, length);
        }
    }

    temporary.overwriteTargetFileWithTemporary();

    return hits.emplace (voiceNumber, std::move (hit)).first->second;
}

/** Bursts in the first stretch of a hit: rises of at least riseDb in a 2 ms RMS envelope from
    the lowest point since the previous burst. Hand claps are several slaps in quick succession. */
int countBursts (const std::vector<float>& x, double stretchMs, double riseDb = 6.0)
{
    const auto window = (size_t) (0.002 * rate);
    const auto windows = (size_t) (stretchMs / 2.0);
    auto lowest = 1.0e9;
    int bursts = 0;

    for (size_t w = 0; w < windows; ++w)
    {
        const auto level = EngineTest::decibels (EngineTest::rms (x, w * window, (w + 1) * window));
        lowest = std::min (lowest, level);

        if (level - lowest >= riseDb)
        {
            ++bursts;
            lowest = level;
        }
    }

    return bursts;
}

/** Voice numbers 1 to 7 whose factory label is this text. */
std::vector<int> voicesLabelled (const juce::String& label)
{
    std::vector<int> found;

    for (int v = 1; v <= VoiceManager::numVoices; ++v)
        if (factoryHit (v).label == label)
            found.push_back (v);

    return found;
}

constexpr double burstStretchMs = 50.0;
} // namespace

TEST (FactoryKitSound, KitHoldsTheExpectedDrums)
{
    const std::array<const char*, VoiceManager::numVoices> labels { "Kick", "Sidestick", "Snare", "Handclap",
                                                                     "Snare", "Tom L", "Closed HH" };

    for (int v = 1; v <= VoiceManager::numVoices; ++v)
        EXPECT_EQ (factoryHit (v).label, labels[(size_t) v - 1]) << "voice " << v;
}

TEST (FactoryKitSound, EveryHitIsImmediateAudibleAndBelowClipping)
{
    for (int v = 1; v <= VoiceManager::numVoices; ++v)
    {
        const auto& h = factoryHit (v);
        SCOPED_TRACE (h.label.toStdString());

        EXPECT_TRUE (EngineTest::allFinite (h.stereo));
        EXPECT_GE (h.peakDb, -20.0);
        EXPECT_LE (h.peakDb, -1.0);
        EXPECT_LE (h.onsetMs, 5.0);
        EXPECT_LT (h.lengthMs, 1000.0);
    }
}

TEST (FactoryKitSound, KickIsLowWithADownwardSweep)
{
    const auto kicks = voicesLabelled ("Kick");
    ASSERT_FALSE (kicks.empty());

    for (const auto v : kicks)
    {
        const auto& h = factoryHit (v);
        EXPECT_GE (h.below150, 0.7);
        EXPECT_GE (h.lengthMs, 200.0);
        EXPECT_LE (h.lengthMs, 800.0);

        const auto early = dominantFrequency (h.mono, 0.0), late = dominantFrequency (h.mono, 150.0);
        EXPECT_GT (early, 1.3 * late);
        EXPECT_GE (late, 35.0);
        EXPECT_LE (late, 90.0);
    }
}

TEST (FactoryKitSound, SnaresHaveBothToneAndNoise)
{
    const auto snares = voicesLabelled ("Snare");
    ASSERT_FALSE (snares.empty());

    for (const auto v : snares)
    {
        const auto& h = factoryHit (v);
        SCOPED_TRACE ("voice " + std::to_string (v));

        EXPECT_GE (h.below500, 0.2);  // the drum's body
        EXPECT_GE (h.above2k, 0.15);  // the wires
        EXPECT_GE (h.lengthMs, 80.0);
        EXPECT_LE (h.lengthMs, 400.0);

        const auto body = dominantFrequency (h.mono, 10.0, 500.0);
        EXPECT_GE (body, 120.0);
        EXPECT_LE (body, 350.0);
    }
}

TEST (FactoryKitSound, HandclapIsBandedNoiseInSeveralBursts)
{
    const auto claps = voicesLabelled ("Handclap");
    ASSERT_FALSE (claps.empty());

    for (const auto v : claps)
    {
        const auto& h = factoryHit (v);
        EXPECT_LE (h.below500, 0.1);
        EXPECT_GE (h.centroidHz, 800.0);
        EXPECT_LE (h.centroidHz, 4000.0);
        EXPECT_GE (h.lengthMs, 100.0);
        EXPECT_LE (h.lengthMs, 500.0);
        EXPECT_GE (countBursts (h.mono, burstStretchMs), 3);
    }
}

TEST (FactoryKitSound, LowTomIsALowPitchedDrumThatRingsAndFalls)
{
    const auto toms = voicesLabelled ("Tom L");
    ASSERT_FALSE (toms.empty());

    for (const auto v : toms)
    {
        const auto& h = factoryHit (v);
        EXPECT_GE (h.below500, 0.8);
        EXPECT_LE (h.flatness, 0.05);
        EXPECT_GE (h.lengthMs, 250.0);
        EXPECT_LE (h.lengthMs, 1000.0);

        const auto pitch = dominantFrequency (h.mono, 40.0);
        EXPECT_GE (pitch, 60.0);
        EXPECT_LE (pitch, 160.0);
        EXPECT_GT (dominantFrequency (h.mono, 0.0), dominantFrequency (h.mono, 150.0));
    }
}

TEST (FactoryKitSound, ClosedHiHatIsHighAndShort)
{
    const auto hats = voicesLabelled ("Closed HH");
    ASSERT_FALSE (hats.empty());

    for (const auto v : hats)
    {
        const auto& h = factoryHit (v);
        EXPECT_GE (h.above5k, 0.7);
        EXPECT_GE (h.centroidHz, 6000.0);
        EXPECT_LE (h.lengthMs, 150.0);
    }
}

TEST (FactoryKitSound, SidestickIsAShortWoodyKnock)
{
    const auto sticks = voicesLabelled ("Sidestick");
    ASSERT_FALSE (sticks.empty());

    for (const auto v : sticks)
    {
        const auto& h = factoryHit (v);
        EXPECT_LE (h.below150, 0.05);
        EXPECT_GE (h.centroidHz, 500.0);
        EXPECT_LE (h.centroidHz, 5000.0);
        EXPECT_LE (h.lengthMs, 150.0);
    }
}
