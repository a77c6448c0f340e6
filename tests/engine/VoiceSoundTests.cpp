#include "EngineTestHelpers.h"

using namespace EngineTest;

namespace
{
constexpr int oneSecond = (int) sampleRate;
using Change = std::initializer_list<std::pair<P, float>>;
using Measure = std::function<double (const Sound&)>;

Sound tone (Change c) { return with (pureTone, c); }
Sound noise (Change c) { return with (with (pureTone, { { P::noiseMix, 1 }, { P::noiseCutoff, 4000 } }), c); }

/** Power in one band against another, in dB, over 2^order samples from `start` (25 ms in unless told). */
Measure bandRatio (double low, double high, double refLow, double refHigh, int order = 14, size_t start = 1200)
{
    return [=] (const Sound& s) { const auto p = spectrum (hit (s), start, order); return decibels (bandPower (p, order, low, high) / bandPower (p, order, refLow, refHigh)) / 2.0; };
}

Measure pitchBetween (size_t start, size_t end, int velocity = 127) { return [=] (const Sound& s) { return pitchOf (hit (s, (int) end, velocity), start, end); }; }

/** Pitch in 10 ms windows, or brightness in 21 ms windows, through the first half second. */
std::vector<float> track (const Sound& s, bool brightness)
{
    const auto x = hit (s, oneSecond / 2);
    const size_t window = brightness ? 1024 : 480;
    std::vector<float> values;

    for (size_t start = 0; start + window <= x.size(); start += window)
        values.push_back ((float) (brightness ? centroid (spectrum (x, start, 10), 10) : pitchOf (x, start, start + window)));

    return values;
}

double swing (const std::vector<float>& t) { return *std::max_element (t.begin(), t.end()) / *std::min_element (t.begin(), t.end()); }

/** The click alone: each render starts from the same noise seed, so subtracting the hit without it isolates it. */
std::vector<float> clickOf (const Sound& s)
{
    auto d = hit (s, 9600);
    const auto without = hit (with (s, { { P::clickMix, 0 } }), 9600);
    std::transform (d.begin(), d.end(), without.begin(), d.begin(), std::minus<>());
    return d;
}

/** Level of the left and right channels of one hit, in dB. */
std::pair<double, double> sides (const Sound& s)
{
    const auto out = Harness (s).render (4800, { noteOn (0, 1, firstNote) });
    return { decibels (out.getRMSLevel (0, 0, 4800)), decibels (out.getRMSLevel (1, 0, 4800)) };
}

const Measure seconds = [] (const Sound& s) { return lastAbove (hit (s)) / sampleRate; };
const Measure thirdHarmonic = bandRatio (1120, 1130, 370, 380);
const Measure pitchSwing = [] (const Sound& s) { return swing (track (s, false)); };
const Measure brightnessSwing = [] (const Sound& s) { return swing (track (s, true)); };
const Measure clickLength = [] (const Sound& s) { return (double) lastAbove (clickOf (s)); };
const Measure clickLevel = [] (const Sound& s) { return rms (clickOf (s), 0, 48); };
const Measure softNoteDrop = [] (const Sound& s) { return decibels (rms (hit (s, 4800, 40)) / rms (hit (s, 4800, 127))); };
const Measure balance = [] (const Sound& s) { const auto [l, r] = sides (s); return r - l; };
const Measure power = [] (const Sound& s) { const auto [l, r] = sides (s); return 10.0 * std::log10 (std::pow (10.0, l / 10.0) + std::pow (10.0, r / 10.0)); };

/** How fast the pitch swings: the rate of the pitch track's crossings of its mean. */
const Measure lfoRate = [] (const Sound& s)
{
    auto t = track (s, false);
    const auto mean = std::accumulate (t.begin(), t.end(), 0.0f) / (float) t.size();
    std::transform (t.begin(), t.end(), t.begin(), [=] (float f) { return f - mean; });
    return pitchOf (t, 0, t.size()) / 480.0; // the track has one value per 480 samples
};
} // namespace

//==============================================================================
TEST (VoiceParameters, EachParameterAudiblyDoesItsJob)
{
    constexpr auto off = -1.0e9, on = 1.0e9; // no bound
    const auto centre = power (pureTone);
    const auto bent = tone ({ { P::tonePitch, 400 }, { P::decay, 2 }, { P::toneBend, 0.5f } });
    const auto highs = bandRatio (2000, 20000, 20, 20000, 13), toneShare = bandRatio (980, 1020, 20, 20000, 13);

    const struct { const char* what; Sound sound; Measure measure; double low, high; } cases[] = {
        { "decay 0.1 s lasts 0.1 s", tone ({ { P::decay, 0.1f } }), seconds, 0.09, 0.11 },
        { "pitch 2.5 kHz", tone ({ { P::tonePitch, 2500 } }), pitchBetween (2400, 24000), 2495, 2505 },
        { "triangle has 1/9 third harmonic", tone ({ { P::tonePitch, 375 }, { P::waveform, 0 } }), thirdHarmonic, -20.6, -17.6 },
        { "triangle-sine has less", tone ({ { P::tonePitch, 375 }, { P::waveform, 1 } }), thirdHarmonic, -60, -22 },
        { "sine has none", tone ({ { P::tonePitch, 375 } }), thirdHarmonic, off, -80 },
        // A naive triangle folds its 7th harmonic back to 16.5 kHz only 34 dB down.
        { "triangle is band-limited", tone ({ { P::tonePitch, 4500 }, { P::waveform, 0 } }), bandRatio (16400, 16600, 4400, 4600), off, -46 },
        { "bend 50% ends an octave down", bent, pitchBetween (84000, 96000), 198, 202 },
        { "curve A is nearly down by a quarter of the decay", bent, pitchBetween (22800, 25200), 195, 215 },
        { "curve B glides straight", with (bent, { { P::bendSweepCurve, 1 } }), pitchBetween (22800, 25200), 285, 315 },
        { "cutoff 1 kHz is dark", noise ({ { P::noiseCutoff, 1000 } }), highs, off, -20 },
        { "cutoff 8 kHz is bright", noise ({ { P::noiseCutoff, 8000 } }), highs, -6, 0 },
        { "resonance lifts the cutoff", noise ({ { P::noiseCutoff, 2000 }, { P::noiseResonance, 0.9f } }), bandRatio (1800, 2200, 200, 600, 13), 10, on },
        { "high-pass at 2 kHz removes the lows", noise ({ { P::noiseHPCutoff, 2000 } }), bandRatio (20, 300, 20, 20000, 13), off, -28 },
        { "sweep pulls the cutoff down", noise ({ { P::noiseCutoff, 10000 }, { P::noiseSweep, 1 } }), bandRatio (2000, 20000, 20, 20000, 13, 24000), off, -30 },
        { "noise mix 0 is all tone", noise ({ { P::tonePitch, 1000 }, { P::noiseMix, 0 } }), toneShare, -0.05, 0 },
        { "noise mix 100% is all noise", noise ({ { P::tonePitch, 1000 } }), toneShare, off, -13 },
        { "LFO tone depth swings the pitch", tone ({ { P::tonePitch, 1000 }, { P::lfoRate, 4 }, { P::lfoToneDepth, 1 } }), pitchSwing, 3, on },
        { "LFO at 8 Hz", tone ({ { P::tonePitch, 1000 }, { P::lfoRate, 8 }, { P::lfoToneDepth, 1 } }), lfoRate, 7.6, 8.4 },
        { "LFO noise depth swings the brightness", noise ({ { P::lfoRate, 4 }, { P::lfoNoiseDepth, 1 } }), brightnessSwing, 4, on },
        { "click mix 100%", tone ({ { P::clickMix, 1 } }), clickLevel, 0.58, 0.76 },
        { "click 50 ms", tone ({ { P::clickMix, 1 }, { P::clickDecay, 50 } }), clickLength, 2376, 2424 },
        { "saturation 100% adds harmonics", tone ({ { P::tonePitch, 375 }, { P::saturation, 1 } }), thirdHarmonic, -14, on },
        { "velocity 0 plays soft notes at full level", tone ({}), softNoteDrop, -0.1, 0.1 },
        { "velocity 100% makes them softer", tone ({ { P::velocity, 1 } }), softNoteDrop, off, -12 },
        { "velocity 100% drops soft notes' pitch", tone ({ { P::velocity, 1 } }), pitchBetween (2400, 19200, 20), 300, 415 },
        { "pan R50 leans right", tone ({ { P::pan, 0.5f } }), balance, 6, 20 },
        { "pan L100 is all left", tone ({ { P::pan, -1 } }), balance, off, -60 },
        { "pan keeps the power", tone ({ { P::pan, -1 } }), power, centre - 0.01, centre + 0.01 },
        { "gain -12 dB", tone ({ { P::gain, -12 } }), power, centre - 12.05, centre - 11.95 },
    };

    for (const auto& c : cases)
        if (const auto value = c.measure (c.sound); ! (value >= c.low && value <= c.high))
            ADD_FAILURE() << c.what << ": " << value;
}

//==============================================================================
TEST (VoiceSound, EachFactoryDrumSoundsAlikeAtEveryOversamplingFactor)
{
    for (int v = 1; v <= VoiceManager::numVoices; ++v)
        for (auto factor : { 2, 4 })
        {
            const auto at1x = hit (factorySound (v)), x = hit (factorySound (v), oneSecond, 127, factor);
            EXPECT_NEAR (decibels (rms (x) / rms (at1x)), 0.0, 1.5) << "voice " << v << " at " << factor << "x";
            EXPECT_NEAR (lastAbove (x, 1.0e-3f), lastAbove (at1x, 1.0e-3f), 0.02 * sampleRate) << "voice " << v << " at " << factor << "x";
        }
}

TEST (VoiceSound, FourTimesOversamplingKeepsSaturationAliasingFarBelowOneTimes)
{
    // A high sine driven hard: at 1x its upper harmonics fold back between the real ones.
    constexpr int order = 14;
    const auto sound = tone ({ { P::tonePitch, 4300 }, { P::saturation, 1 }, { P::decay, 5 } });

    const auto aliasing = [&] (int factor)
    {
        const auto p = spectrum (hit (sound, oneSecond, 127, factor), 4800, order);
        double harmonics = 0.0;

        // Within 30 Hz of an odd harmonic that really lies below Nyquist.
        for (double h = 4300.0; h < sampleRate / 2; h += 2 * 4300.0)
            harmonics += bandPower (p, order, h - 30.0, h + 30.0);

        const auto total = bandPower (p, order, 0.0, sampleRate);
        return decibels ((total - harmonics) / total) / 2.0;
    };

    const auto at1x = aliasing (1);
    EXPECT_GT (at1x, -40.0) << "the test signal should alias audibly at 1x";
    EXPECT_LT (aliasing (2), at1x - 10.0);
    EXPECT_LT (aliasing (4), at1x - 30.0);
}

//==============================================================================
TEST (VoiceSound, ARetriggerNeverSteps)
{
    // Hit at 20 ms; the sound around the hit may change no faster than it does on its own.
    constexpr int at = 960;
    const auto low = tone ({ { P::tonePitch, 100 }, { P::decay, 2 } }), sensitive = with (low, { { P::velocity, 1 } });

    const struct { const char* what; Sound sound; std::vector<Event> events; } cases[] = {
        { "softer", sensitive, { noteOn (0, 1, firstNote), noteOn (at, 1, firstNote, 30) } },
        { "louder", sensitive, { noteOn (0, 1, firstNote, 30), noteOn (at, 1, firstNote) } },
        { "softer, saturated", with (sensitive, { { P::saturation, 0.8f } }), { noteOn (0, 1, firstNote), noteOn (at, 1, firstNote, 1) } },
        { "while fading out", low, { noteOn (0, 2, 60), noteOn (at - 120, 3, 60), noteOn (at, 2, 60) } },
        { "noise through a resonant filter", noise ({ { P::noiseCutoff, 500 }, { P::noiseResonance, 0.8f }, { P::decay, 2 } }), { noteOn (0, 1, firstNote), noteOn (at, 1, firstNote) } },
    };

    for (const auto& c : cases)
    {
        Harness h (c.sound);
        h.manager.setChokeGroup (0, 1);
        h.manager.setChokeGroup (1, 1);
        const auto x = mono (h.render (2 * at, c.events), 0);

        // What the sound does on its own: before, well after, and when it starts from silence.
        const auto attack = largestStep (hit (c.sound, 240), 0, 240);
        const auto own = std::max ({ largestStep (x, at - 480, at - 130), largestStep (x, at + 240, at + 720), attack });
        EXPECT_LT (largestStep (x, at - 2, at + 240), 1.5f * own) << c.what;
    }
}

TEST (VoiceSound, NoiseAndClickKeepTheirLevelAtEveryHostRate)
{
    // The level below 20 kHz: above it, a higher rate has room for more noise that nobody hears.
    // Each voice has noise of its own; seven hits of one sound average their chance differences out.
    const auto level = [] (const Sound& sound, double rate)
    {
        constexpr int order = 15;
        const auto out = Harness (sound, 1, rate).render ((int) (0.1 * rate), { noteOn (0, 1, firstNote), noteOn (0, 1, firstNote + 1), noteOn (0, 1, firstNote + 2),
                                                                                 noteOn (0, 1, firstNote + 3), noteOn (0, 1, firstNote + 4), noteOn (0, 1, firstNote + 5), noteOn (0, 1, firstNote + 6) });
        double power = 0.0;

        for (int v = 0; v < VoiceManager::numVoices; ++v)
            power += bandPower (spectrum (mono (out, v), 0, order, (size_t) out.getNumSamples(), false), order, 0.0, 20000.0 * sampleRate / rate);

        return 10.0 * std::log10 (power / rate);
    };

    const std::pair<const char*, Sound> sounds[] = { { "steady noise", noise ({ { P::decay, 5 } }) }, { "closed hat", factorySound (7) },
                                                     { "click", noise ({ { P::noiseCutoff, 20 }, { P::clickMix, 1 }, { P::clickDecay, 20 } }) } };

    for (const auto& [name, sound] : sounds)
        for (const auto rate : { 44100.0, 96000.0, 192000.0 })
            EXPECT_NEAR (level (sound, rate), level (sound, sampleRate), 0.5) << name << " at " << rate;
}

TEST (VoiceSound, SameAudioWhateverTheHostBlockSize)
{
    // The factory kit, hit, retriggered, choked and released at odd positions; the host's blocks must not show.
    std::vector<Event> events;

    for (int i = 0; i < 40; ++i)
        events.push_back (noteOn (i * 1237 % 24000, 1 + (i % 3 == 0 ? 0 : 9), firstNote + i % VoiceManager::numVoices, 40 + i * 2));

    events.push_back (noteOff (17001, 1, firstNote + 5));

    // At 96 kHz 1x the noise runs at half the rate, and notes and blocks begin between its samples.
    for (auto [rate, factor] : { std::pair { sampleRate, 1 }, { sampleRate, 4 }, { 2 * sampleRate, 1 } })
    {
        std::vector<juce::AudioBuffer<float>> renders;

        for (auto size : { 128, 1024, 100, 37 })
        {
            Harness h (pureTone, factor, rate, size);
            h.manager.setObeyNoteOff (true);

            for (int v = 0; v < VoiceManager::numVoices; ++v)
                h.apply (v, factorySound (v + 1));

            renders.push_back (h.render (24000, events));
        }

        for (size_t r = 1; r < renders.size(); ++r)
            for (int ch = 0; ch < renders[0].getNumChannels(); ++ch)
                for (int i = 0; i < renders[0].getNumSamples(); ++i)
                    ASSERT_NEAR (renders[r].getSample (ch, i), renders[0].getSample (ch, i), 1.0e-6f) << rate << " Hz " << factor << "x, render " << r << ", channel " << ch << ", sample " << i;
    }
}

TEST (VoiceSound, ParametersChangedOnASoundingNoteGlide)
{
    // A low tone (its noise kept nearly silent); at a block boundary near the top of a cycle, where
    // a jump in level would show, one parameter moves far.
    const auto base = tone ({ { P::tonePitch, 153 }, { P::decay, 5 }, { P::noiseCutoff, 20 } });
    constexpr int at = 40 * blockSize;

    for (const auto& [parameter, value] : { std::pair { P::noiseMix, 1.0f }, { P::saturation, 1.0f }, { P::gain, -24.0f }, { P::pan, 1.0f }, { P::waveform, 0.0f } })
    {
        Harness h (with (base, { { P::noiseMix, 0.5f }, { P::pan, -1 } }));
        int block = 0;
        h.beforeBlock = [&, parameter = parameter, value = value] { if (block++ == at / blockSize) h.voice (0).setParameter (parameter, value); };
        const auto x = mono (h.render (2 * at, { noteOn (0, 1, firstNote) }), 0);
        const auto own = std::max (largestStep (x, at - 960, at), largestStep (x, at + 960, at + 1920));
        EXPECT_LT (largestStep (x, at, at + 960), 1.25f * own) << "parameter " << (int) parameter;
    }
}

TEST (VoiceSound, ResonanceDoesNotRunAwayWithTheLevel)
{
    // Full noise at 0 dB gain, panned left: full resonance is at most a little louder than half,
    // and well within 6 dB of none (it was 15 dB louder at 15 kHz).
    for (const auto cutoff : { 200.0f, 1000.0f, 15000.0f })
    {
        const auto at = [&] (float resonance)
        {
            const auto out = Harness (noise ({ { P::noiseCutoff, cutoff }, { P::noiseResonance, resonance }, { P::pan, -1 } }))
                                 .render (oneSecond / 2, { noteOn (0, 1, firstNote) });
            return std::pair { out.getRMSLevel (0, 0, oneSecond / 2), out.getMagnitude (0, 0, oneSecond / 2) };
        };

        const auto [level, peak] = at (1.0f);
        const auto [plainLevel, plainPeak] = at (0.0f);
        EXPECT_LT (decibels (level / at (0.5f).first), 1.5) << cutoff;
        EXPECT_LT (decibels (level / plainLevel), 6.0) << cutoff;
        EXPECT_LT (decibels (peak / plainPeak), 6.0) << cutoff;
    }
}
