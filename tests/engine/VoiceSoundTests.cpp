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
    return [=] (const Sound& s)
    {
        const auto p = spectrum (hit (s), start, order);
        return decibels (bandPower (p, order, low, high) / bandPower (p, order, refLow, refHigh)) / 2.0;
    };
}

Measure pitchBetween (size_t start, size_t end, int velocity = 127)
{
    return [=] (const Sound& s) { return pitchOf (hit (s, (int) end, velocity), start, end); };
}

/** Pitch or brightness over short windows through the first half second. */
std::vector<float> track (const Sound& s, bool brightness)
{
    const auto x = hit (s, oneSecond / 2);
    const size_t window = brightness ? 1024 : 480;
    std::vector<float> values;

    for (size_t start = 0; start + window <= x.size(); start += window)
        values.push_back ((float) (brightness ? centroid (spectrum (x, start, 10), 10) : pitchOf (x, start, start + window)));

    return values;
}

/** The click alone: each render starts from the same noise seed, so subtracting the hit without it isolates it. */
std::vector<float> clickOf (const Sound& s)
{
    auto d = hit (s, 9600);
    const auto without = hit (with (s, { { P::clickMix, 0 } }), 9600);
    std::transform (d.begin(), d.end(), without.begin(), d.begin(), std::minus<>());
    return d;
}

/** RMS of the left and right channels of one hit. */
std::pair<double, double> sides (const Sound& s)
{
    Harness h;
    applySound (h.voice (0), s);
    const auto out = h.render (4800, { noteOn (0, 1, firstNote) });
    return { out.getRMSLevel (0, 0, 4800), out.getRMSLevel (1, 0, 4800) };
}

const Measure seconds = [] (const Sound& s) { return lastAbove (hit (s)) / sampleRate; };
const Measure pitch = pitchBetween (2400, 24000);
const Measure thirdHarmonic = bandRatio (1120, 1130, 370, 380);
const Measure highs = bandRatio (2000, 20000, 20, 20000, 13);
const Measure highsAfterHalfASecond = bandRatio (2000, 20000, 20, 20000, 13, 24000);
const Measure pitchSwing = [] (const Sound& s) { const auto t = track (s, false); return *std::max_element (t.begin(), t.end()) - *std::min_element (t.begin(), t.end()); };
const Measure brightnessSwing = [] (const Sound& s) { const auto t = track (s, true); return *std::max_element (t.begin(), t.end()) / *std::min_element (t.begin(), t.end()); };
const Measure clickLength = [] (const Sound& s) { return (double) lastAbove (clickOf (s)); };
const Measure clickLevel = [] (const Sound& s) { return rms (clickOf (s), 0, 48); };
const Measure softNoteDrop = [] (const Sound& s) { return decibels (rms (hit (s, 4800, 40)) / rms (hit (s, 4800, 127))); };
const Measure balance = [] (const Sound& s) { const auto [l, r] = sides (s); return decibels (r / l); };
const Measure power = [] (const Sound& s) { const auto [l, r] = sides (s); return decibels (std::hypot (l, r)); };

/** How fast the pitch swings: the rate of the pitch track's crossings of its mean, in 10 ms steps. */
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

    const struct { const char* what; Sound sound; Measure measure; double low, high; } cases[] = {
        { "decay 0.1 s lasts 0.1 s", tone ({ { P::decay, 0.1f } }), seconds, 0.09, 0.11 },
        { "decay 0.8 s lasts 0.8 s", tone ({ { P::decay, 0.8f } }), seconds, 0.78, 0.82 },
        { "pitch 100 Hz", tone ({ { P::tonePitch, 100 } }), pitch, 99.5, 100.5 },
        { "pitch 2.5 kHz", tone ({ { P::tonePitch, 2500 } }), pitch, 2495, 2505 },
        { "triangle has 1/9 third harmonic", tone ({ { P::tonePitch, 375 }, { P::waveform, 0 } }), thirdHarmonic, -20.6, -17.6 },
        { "triangle-sine has less", tone ({ { P::tonePitch, 375 }, { P::waveform, 1 } }), thirdHarmonic, -60, -22 },
        { "sine has none", tone ({ { P::tonePitch, 375 }, { P::waveform, 2 } }), thirdHarmonic, off, -80 },
        // A naive triangle folds its 7th harmonic back to 16.5 kHz only 34 dB down.
        { "triangle is band-limited", tone ({ { P::tonePitch, 4500 }, { P::waveform, 0 } }), bandRatio (16400, 16600, 4400, 4600), off, -46 },
        { "bend 50% ends an octave down", tone ({ { P::tonePitch, 400 }, { P::decay, 2 }, { P::toneBend, 0.5f } }), pitchBetween (84000, 96000), 198, 202 },
        { "curve A is nearly down by a quarter of the decay", tone ({ { P::tonePitch, 400 }, { P::decay, 2 }, { P::toneBend, 0.5f } }), pitchBetween (22800, 25200), 195, 215 },
        { "curve B glides straight", tone ({ { P::tonePitch, 400 }, { P::decay, 2 }, { P::toneBend, 0.5f }, { P::bendSweepCurve, 1 } }), pitchBetween (22800, 25200), 285, 315 },
        { "cutoff 1 kHz is dark", noise ({ { P::noiseCutoff, 1000 } }), highs, off, -20 },
        { "cutoff 8 kHz is bright", noise ({ { P::noiseCutoff, 8000 } }), highs, -6, 0 },
        { "no resonance", noise ({ { P::noiseCutoff, 2000 } }), bandRatio (1800, 2200, 200, 600, 13), off, 0 },
        { "resonance lifts the cutoff", noise ({ { P::noiseCutoff, 2000 }, { P::noiseResonance, 0.9f } }), bandRatio (1800, 2200, 200, 600, 13), 10, on },
        { "high-pass at 20 Hz keeps the lows", noise ({}), bandRatio (20, 300, 20, 20000, 13), -20, 0 },
        { "high-pass at 2 kHz removes them", noise ({ { P::noiseHPCutoff, 2000 } }), bandRatio (20, 300, 20, 20000, 13), off, -28 },
        { "no sweep keeps the brightness", noise ({ { P::noiseCutoff, 10000 } }), highsAfterHalfASecond, -6, 0 },
        { "sweep pulls the cutoff down", noise ({ { P::noiseCutoff, 10000 }, { P::noiseSweep, 1 } }), highsAfterHalfASecond, off, -30 },
        { "noise mix 0 is all tone", noise ({ { P::tonePitch, 1000 }, { P::noiseMix, 0 } }), bandRatio (980, 1020, 20, 20000, 13), -0.05, 0 },
        { "noise mix 50% is both", noise ({ { P::tonePitch, 1000 }, { P::noiseMix, 0.5f } }), bandRatio (980, 1020, 20, 20000, 13), -10, -0.1 },
        { "noise mix 100% is all noise", noise ({ { P::tonePitch, 1000 } }), bandRatio (980, 1020, 20, 20000, 13), off, -13 },
        { "no LFO tone depth", tone ({ { P::tonePitch, 1000 }, { P::lfoRate, 4 } }), pitchSwing, 0, 30 },
        { "LFO tone depth swings the pitch", tone ({ { P::tonePitch, 1000 }, { P::lfoRate, 4 }, { P::lfoToneDepth, 1 } }), pitchSwing, 1100, on },
        { "LFO at 4 Hz", tone ({ { P::tonePitch, 1000 }, { P::lfoRate, 4 }, { P::lfoToneDepth, 1 } }), lfoRate, 3.8, 4.2 },
        { "LFO at 8 Hz", tone ({ { P::tonePitch, 1000 }, { P::lfoRate, 8 }, { P::lfoToneDepth, 1 } }), lfoRate, 7.6, 8.4 },
        { "no LFO noise depth", noise ({ { P::lfoRate, 4 } }), brightnessSwing, 1, 2 },
        { "LFO noise depth swings the brightness", noise ({ { P::lfoRate, 4 }, { P::lfoNoiseDepth, 1 } }), brightnessSwing, 4, on },
        { "click mix 0 adds nothing", tone ({}), clickLevel, 0, 0 },
        { "click mix 50%", tone ({ { P::clickMix, 0.5f } }), clickLevel, 0.28, 0.38 },
        { "click mix 100% is twice as loud", tone ({ { P::clickMix, 1 } }), clickLevel, 0.58, 0.76 },
        { "click 2 ms", tone ({ { P::clickMix, 1 }, { P::clickDecay, 2 } }), clickLength, 88, 104 },
        { "click 50 ms", tone ({ { P::clickMix, 1 }, { P::clickDecay, 50 } }), clickLength, 2376, 2424 },
        { "saturation 0 is clean", tone ({ { P::tonePitch, 375 } }), thirdHarmonic, off, -80 },
        { "saturation 30% adds harmonics", tone ({ { P::tonePitch, 375 }, { P::saturation, 0.3f } }), thirdHarmonic, -35, -15 },
        { "saturation 100% adds more", tone ({ { P::tonePitch, 375 }, { P::saturation, 1 } }), thirdHarmonic, -14, on },
        { "velocity 0 plays soft notes at full level", tone ({}), softNoteDrop, -0.1, 0.1 },
        { "velocity 100% makes them softer", tone ({ { P::velocity, 1 } }), softNoteDrop, off, -12 },
        { "velocity 100% plays loud notes at full level", tone ({ { P::velocity, 1 } }), power, centre - 0.05, centre + 0.05 },
        { "velocity 0 keeps soft notes in tune", tone ({}), pitchBetween (2400, 19200, 20), 439, 441 },
        { "velocity 100% drops soft notes' pitch", tone ({ { P::velocity, 1 } }), pitchBetween (2400, 19200, 20), 300, 415 },
        { "pan centre", tone ({}), balance, -0.01, 0.01 },
        { "pan L100", tone ({ { P::pan, -1 } }), balance, off, -60 },
        { "pan R100", tone ({ { P::pan, 1 } }), balance, 60, on },
        { "pan R50 leans right", tone ({ { P::pan, 0.5f } }), balance, 6, 20 },
        { "pan L100 keeps the power", tone ({ { P::pan, -1 } }), power, centre - 0.01, centre + 0.01 },
        { "pan R50 keeps the power", tone ({ { P::pan, 0.5f } }), power, centre - 0.01, centre + 0.01 },
        { "gain +6 dB", tone ({ { P::gain, 6 } }), power, centre + 5.95, centre + 6.05 },
        { "gain -12 dB", tone ({ { P::gain, -12 } }), power, centre - 12.05, centre - 11.95 },
    };

    for (const auto& c : cases)
    {
        const auto value = c.measure (c.sound);
        EXPECT_TRUE (value >= c.low && value <= c.high) << c.what << ": " << value;
    }
}

//==============================================================================
TEST (VoiceKit, EachVoiceSoundsOnItsOwnNoteOnlyAndTheSameAtEveryOversamplingFactor)
{
    Harness idle;
    const auto quiet = idle.render (oneSecond / 4);
    EXPECT_EQ (quiet.getMagnitude (0, quiet.getNumSamples()), 0.0f) << "silent without MIDI";

    for (int v = 0; v < VoiceManager::numVoices; ++v)
    {
        std::vector<float> at1x;

        for (auto factor : { 1, 2, 4 })
        {
            const auto out = Harness (factor).render (oneSecond, { noteOn (0, 1, firstNote + v, 100) });
            const auto x = mono (out, v);
            SCOPED_TRACE ("voice " + std::to_string (v) + " at " + std::to_string (factor) + "x");
            ASSERT_TRUE (allFinite (out));
            EXPECT_LT (out.getMagnitude (0, oneSecond), 4.0f);
            EXPECT_LT (rms (x, (size_t) oneSecond - 4800), 1.0e-4) << "dies away";

            for (int other = 0; other < VoiceManager::numVoices; ++other)
                EXPECT_EQ (rms (mono (out, other), 0, 2400) > 0.01, other == v) << "voice " << other << " sounds";

            at1x = factor == 1 ? x : at1x;
            EXPECT_NEAR (decibels (rms (x) / rms (at1x)), 0.0, 1.0);
            EXPECT_NEAR (lastAbove (x, 1.0e-3f), lastAbove (at1x, 1.0e-3f), 0.01 * sampleRate);
        }
    }
}

//==============================================================================
TEST (VoiceOversampling, FourTimesKeepsSaturationAliasingFarBelowOneTimes)
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

TEST (VoiceOversampling, FactorCanChangeWhilePlaying)
{
    EXPECT_NEAR (pitchOf (hit (tone ({ { P::tonePitch, 3000 } }), oneSecond / 2, 127, 4), 2400, 19200), 3000.0, 3.0);

    Harness h;
    int block = 0;
    h.beforeBlock = [&] { h.manager.setOversamplingFactor (1 << ((block++ / 8) % 3)); };
    const auto out = h.render (oneSecond / 2, { noteOn (0, 1, firstNote + 1), noteOn (6000, 1, firstNote + 3) });
    EXPECT_TRUE (allFinite (out));
    EXPECT_GT (rms (mono (out, 3), 6000, 12000), 0.01);
    EXPECT_LT (out.getMagnitude (0, out.getNumSamples()), 4.0f);
}
