#include "EngineTestHelpers.h"

using namespace EngineTest;

namespace
{
constexpr int oneSecond = (int) sampleRate;
using S = Sound;
using Change = std::initializer_list<std::pair<float Sound::*, float>>;
using Measure = std::function<double (const Sound&)>;

Sound tone (Change c) { return with (pureTone, c); }
Sound noise (Change c) { return with (with (pureTone, { { &S::noiseMix, 1 }, { &S::cutoff, 4000 } }), c); }

/** Power in one band against another, in dB, over 2^order samples from 25 ms in. */
Measure bandRatio (double low, double high, double refLow, double refHigh, int order = 14)
{
    return [=] (const Sound& s)
    {
        const auto p = spectrum (hit (s), 1200, order);
        return decibels (bandPower (p, order, low, high) / bandPower (p, order, refLow, refHigh)) / 2.0;
    };
}

Measure pitchBetween (size_t start, size_t end, int velocity = 127)
{
    return [=] (const Sound& s) { return pitchOf (hit (s, (int) end, velocity), start, end); };
}

std::vector<double> track (const Sound& s, size_t window, const std::function<double (const std::vector<float>&, size_t)>& f)
{
    const auto x = hit (s, oneSecond / 2);
    std::vector<double> values;

    for (size_t start = 0; start + window <= x.size(); start += window)
        values.push_back (f (x, start));

    return values;
}

/** Pitch in 10 ms windows through the first half second. */
std::vector<double> pitchTrack (const Sound& s)
{
    return track (s, 480, [] (const auto& x, size_t start) { return pitchOf (x, start, start + 480); });
}

double range (const std::vector<double>& v) { return *std::max_element (v.begin(), v.end()) - *std::min_element (v.begin(), v.end()); }

/** The click alone: each render starts from the same noise seed, so subtracting the hit without it isolates it. */
std::vector<float> clickOf (const Sound& s)
{
    auto d = hit (s, 9600);
    const auto without = hit (with (s, { { &S::clickMix, 0 } }), 9600);

    for (size_t i = 0; i < d.size(); ++i)
        d[i] -= without[i];

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
const Measure brightness = [] (const Sound& s) { return centroid (spectrum (hit (s), 1200, 13), 13); };
const Measure sweepDrop = [] (const Sound& s)
{
    const auto x = hit (s);
    return centroid (spectrum (x, 24000, 11), 11) / centroid (spectrum (x, 0, 11), 11);
};
const Measure pitchRange = [] (const Sound& s) { return range (pitchTrack (s)); };
const Measure pitchPeaks = [] (const Sound& s)
{
    const auto t = pitchTrack (s);
    int n = 0;

    for (size_t i = 1; i + 1 < t.size(); ++i)
        n += (t[i] > t[i - 1] && t[i] >= t[i + 1] && t[i] > 1300.0) ? 1 : 0;

    return (double) n;
};
const Measure brightnessSwing = [] (const Sound& s)
{
    const auto t = track (s, 1024, [] (const auto& x, size_t start) { return centroid (spectrum (x, start, 10), 10); });
    return *std::max_element (t.begin(), t.end()) / *std::min_element (t.begin(), t.end());
};
const Measure clickLength = [] (const Sound& s) { return (double) lastAbove (clickOf (s)); };
const Measure clickLevel = [] (const Sound& s) { return rms (clickOf (s), 0, 48); };
const Measure softNoteDrop = [] (const Sound& s) { return decibels (rms (hit (s, 4800, 40)) / rms (hit (s, 4800, 127))); };
const Measure balance = [] (const Sound& s) { const auto [l, r] = sides (s); return decibels (r / l); };
const Measure power = [] (const Sound& s) { const auto [l, r] = sides (s); return decibels (std::hypot (l, r)); };

struct Case
{
    const char* what;
    Sound sound;
    Measure measure;
    double low, high;
};
} // namespace

//==============================================================================
TEST (VoiceParameters, EachParameterAudiblyDoesItsJob)
{
    constexpr auto off = -1.0e9, on = 1.0e9; // no bound
    const auto centre = power (pureTone);

    const Case cases[] = {
        { "decay 0.1 s lasts 0.1 s", tone ({ { &S::decay, 0.1f } }), seconds, 0.09, 0.11 },
        { "decay 0.8 s lasts 0.8 s", tone ({ { &S::decay, 0.8f } }), seconds, 0.78, 0.82 },
        { "pitch 100 Hz", tone ({ { &S::pitch, 100 } }), pitch, 99.5, 100.5 },
        { "pitch 2.5 kHz", tone ({ { &S::pitch, 2500 } }), pitch, 2495, 2505 },
        { "triangle has 1/9 third harmonic", tone ({ { &S::pitch, 375 }, { &S::waveform, 0 } }), thirdHarmonic, -20.6, -17.6 },
        { "triangle-sine has less", tone ({ { &S::pitch, 375 }, { &S::waveform, 1 } }), thirdHarmonic, -60, -22 },
        { "sine has none", tone ({ { &S::pitch, 375 }, { &S::waveform, 2 } }), thirdHarmonic, off, -80 },
        // A naive triangle folds its 7th harmonic back to 16.5 kHz only 34 dB down.
        { "triangle is band-limited", tone ({ { &S::pitch, 4500 }, { &S::waveform, 0 } }), bandRatio (16400, 16600, 4400, 4600), off, -46 },
        { "no bend stays at pitch", tone ({ { &S::pitch, 400 }, { &S::decay, 2 } }), pitchBetween (84000, 96000), 398, 402 },
        { "bend 50% ends an octave down", tone ({ { &S::pitch, 400 }, { &S::decay, 2 }, { &S::bend, 0.5f } }), pitchBetween (84000, 96000), 198, 202 },
        { "curve A is nearly down by a quarter of the decay", tone ({ { &S::pitch, 400 }, { &S::decay, 2 }, { &S::bend, 0.5f } }), pitchBetween (22800, 25200), 195, 215 },
        { "curve B glides straight", tone ({ { &S::pitch, 400 }, { &S::decay, 2 }, { &S::bend, 0.5f }, { &S::curve, 1 } }), pitchBetween (22800, 25200), 285, 315 },
        { "cutoff 1 kHz is dark", noise ({ { &S::cutoff, 1000 } }), brightness, 0, 800 },
        { "cutoff 8 kHz is bright", noise ({ { &S::cutoff, 8000 } }), brightness, 1500, on },
        { "no resonance", noise ({ { &S::cutoff, 2000 } }), bandRatio (1800, 2200, 200, 600, 13), off, 0 },
        { "resonance lifts the cutoff", noise ({ { &S::cutoff, 2000 }, { &S::resonance, 0.9f } }), bandRatio (1800, 2200, 200, 600, 13), 10, on },
        { "high-pass at 20 Hz keeps the lows", noise ({}), bandRatio (20, 300, 20, 20000, 13), -20, 0 },
        { "high-pass at 2 kHz removes them", noise ({ { &S::highPass, 2000 } }), bandRatio (20, 300, 20, 20000, 13), off, -28 },
        { "no sweep keeps the brightness", noise ({ { &S::cutoff, 10000 } }), sweepDrop, 0.8, 1.2 },
        { "sweep pulls the cutoff down", noise ({ { &S::cutoff, 10000 }, { &S::sweep, 1 } }), sweepDrop, 0, 0.3 },
        { "noise mix 0 is all tone", noise ({ { &S::pitch, 1000 }, { &S::noiseMix, 0 } }), bandRatio (980, 1020, 20, 20000, 13), -0.05, 0 },
        { "noise mix 50% is both", noise ({ { &S::pitch, 1000 }, { &S::noiseMix, 0.5f } }), bandRatio (980, 1020, 20, 20000, 13), -10, -0.1 },
        { "noise mix 100% is all noise", noise ({ { &S::pitch, 1000 } }), bandRatio (980, 1020, 20, 20000, 13), off, -13 },
        { "no LFO tone depth", tone ({ { &S::pitch, 1000 }, { &S::lfoRate, 4 } }), pitchRange, 0, 30 },
        { "LFO tone depth swings the pitch", tone ({ { &S::pitch, 1000 }, { &S::lfoRate, 4 }, { &S::lfoTone, 1 } }), pitchRange, 1100, on },
        { "LFO at 4 Hz peaks twice in 0.5 s", tone ({ { &S::pitch, 1000 }, { &S::lfoRate, 4 }, { &S::lfoTone, 1 } }), pitchPeaks, 2, 2 },
        { "LFO at 8 Hz peaks four times", tone ({ { &S::pitch, 1000 }, { &S::lfoRate, 8 }, { &S::lfoTone, 1 } }), pitchPeaks, 4, 4 },
        { "no LFO noise depth", noise ({ { &S::lfoRate, 4 } }), brightnessSwing, 1, 2 },
        { "LFO noise depth swings the brightness", noise ({ { &S::lfoRate, 4 }, { &S::lfoNoise, 1 } }), brightnessSwing, 4, on },
        { "click mix 0 adds nothing", tone ({}), clickLevel, 0, 0 },
        { "click mix 50%", tone ({ { &S::clickMix, 0.5f } }), clickLevel, 0.28, 0.38 },
        { "click mix 100% is twice as loud", tone ({ { &S::clickMix, 1 } }), clickLevel, 0.58, 0.76 },
        { "click 2 ms", tone ({ { &S::clickMix, 1 }, { &S::clickMs, 2 } }), clickLength, 88, 104 },
        { "click 50 ms", tone ({ { &S::clickMix, 1 }, { &S::clickMs, 50 } }), clickLength, 2376, 2424 },
        { "saturation 0 is clean", tone ({ { &S::pitch, 375 } }), thirdHarmonic, off, -80 },
        { "saturation 30% adds harmonics", tone ({ { &S::pitch, 375 }, { &S::saturation, 0.3f } }), thirdHarmonic, -35, -15 },
        { "saturation 100% adds more", tone ({ { &S::pitch, 375 }, { &S::saturation, 1 } }), thirdHarmonic, -14, on },
        { "velocity 0 plays soft notes at full level", tone ({}), softNoteDrop, -0.1, 0.1 },
        { "velocity 100% makes them softer", tone ({ { &S::velocity, 1 } }), softNoteDrop, off, -12 },
        { "velocity 100% plays loud notes at full level", tone ({ { &S::velocity, 1 } }), power, centre - 0.05, centre + 0.05 },
        { "velocity 0 keeps soft notes in tune", tone ({}), pitchBetween (2400, 19200, 20), 439, 441 },
        { "velocity 100% drops soft notes' pitch", tone ({ { &S::velocity, 1 } }), pitchBetween (2400, 19200, 20), 300, 415 },
        { "pan centre", tone ({}), balance, -0.01, 0.01 },
        { "pan L100", tone ({ { &S::pan, -1 } }), balance, off, -60 },
        { "pan R100", tone ({ { &S::pan, 1 } }), balance, 60, on },
        { "pan R50 leans right", tone ({ { &S::pan, 0.5f } }), balance, 6, 20 },
        { "pan L100 keeps the power", tone ({ { &S::pan, -1 } }), power, centre - 0.01, centre + 0.01 },
        { "pan R50 keeps the power", tone ({ { &S::pan, 0.5f } }), power, centre - 0.01, centre + 0.01 },
        { "gain +6 dB", tone ({ { &S::gain, 6 } }), power, centre + 5.95, centre + 6.05 },
        { "gain -12 dB", tone ({ { &S::gain, -12 } }), power, centre - 12.05, centre - 11.95 },
    };

    for (const auto& c : cases)
    {
        const auto value = c.measure (c.sound);
        EXPECT_TRUE (value >= c.low && value <= c.high) << c.what << ": " << value;
    }
}

//==============================================================================
TEST (VoiceKit, EachVoiceSoundsOnItsOwnNoteOnlyAndDiesAway)
{
    Harness idle;
    const auto quiet = idle.render (oneSecond / 4);
    EXPECT_EQ (quiet.getMagnitude (0, quiet.getNumSamples()), 0.0f) << "silent without MIDI";

    for (int v = 0; v < VoiceManager::numVoices; ++v)
    {
        Harness h;
        const auto out = h.render (oneSecond, { noteOn (0, 1, firstNote + v, 100) });
        ASSERT_TRUE (allFinite (out));
        EXPECT_LT (out.getMagnitude (0, oneSecond), 4.0f) << "voice " << v;

        for (int other = 0; other < VoiceManager::numVoices; ++other)
            EXPECT_EQ (rms (mono (out, other), 0, 2400) > 0.01, other == v) << "voice " << other << " on voice " << v << "'s note";

        EXPECT_LT (rms (mono (out, v), (size_t) oneSecond - 4800), 1.0e-4) << "voice " << v;
    }

    Harness h;
    h.render (blockSize, { noteOn (0, 1, firstNote), noteOn (0, 1, firstNote + 6) });
    h.manager.stopAllVoices();
    const auto after = h.render (blockSize * 4);
    EXPECT_EQ (after.getMagnitude (0, after.getNumSamples()), 0.0f) << "stopAllVoices silences at once";
}

TEST (VoicePitch, ChannelTriggerTransposesByTheNote)
{
    // Channel 2 + i plays voice i; note 60 is the tone pitch itself.
    for (const auto& [note, expected] : { std::pair { 60, 200.0 }, { 72, 400.0 }, { 55, 200.0 * std::pow (2.0, -5.0 / 12.0) } })
    {
        Harness h;
        applySound (h.voice (3), tone ({ { &S::pitch, 200 } }));
        const auto x = mono (h.render (oneSecond / 2, { noteOn (0, 5, note) }), 3);
        EXPECT_NEAR (pitchOf (x, 2400, 19200), expected, 0.005 * expected) << "note " << note;
    }
}

//==============================================================================
TEST (VoiceOversampling, FourTimesKeepsSaturationAliasingFarBelowOneTimes)
{
    // A high sine driven hard: at 1x its upper harmonics fold back between the real ones.
    constexpr int order = 14;
    const auto sound = tone ({ { &S::pitch, 4300 }, { &S::saturation, 1 }, { &S::decay, 5 } });

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

TEST (VoiceOversampling, EveryFactorSoundsTheSameAndCanChangeWhilePlaying)
{
    for (int v = 0; v < VoiceManager::numVoices; ++v)
    {
        const auto x1 = mono (Harness (1).render (oneSecond, { noteOn (0, 1, firstNote + v) }), v);

        for (auto factor : { 2, 4 })
        {
            const auto x = mono (Harness (factor).render (oneSecond, { noteOn (0, 1, firstNote + v) }), v);
            EXPECT_NEAR (decibels (rms (x) / rms (x1)), 0.0, 1.0) << "voice " << v << " at " << factor << "x";
            EXPECT_NEAR (lastAbove (x, 1.0e-3f), lastAbove (x1, 1.0e-3f), 0.01 * sampleRate) << "voice " << v << " at " << factor << "x";
        }
    }

    EXPECT_NEAR (pitchOf (hit (tone ({ { &S::pitch, 3000 } }), oneSecond / 2, 127, 4), 2400, 19200), 3000.0, 3.0);

    Harness h;
    int block = 0;
    h.beforeBlock = [&] { h.manager.setOversamplingFactor (1 << ((block++ / 8) % 3)); };
    const auto out = h.render (oneSecond / 2, { noteOn (0, 1, firstNote + 1), noteOn (6000, 1, firstNote + 3) });
    EXPECT_TRUE (allFinite (out));
    EXPECT_GT (rms (mono (out, 3), 6000, 12000), 0.01);
    EXPECT_LT (out.getMagnitude (0, out.getNumSamples()), 4.0f);
}
