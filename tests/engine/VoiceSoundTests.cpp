#include "EngineTestHelpers.h"

#include <gtest/gtest.h>

using namespace EngineTest;

namespace
{
constexpr int oneSecond = (int) sampleRate;

/** Renders one hit of voice 0 with the given sound on its note and returns left + right. */
std::vector<float> hit (const Sound& sound, int length = oneSecond, int velocity = 127, int oversampling = 1)
{
    Harness h (oversampling);
    applySound (h.voice (0), sound);
    return mono (h.render (length, { noteOn (0, 1, firstNote, velocity) }), 0);
}

Sound with (Sound s, float Sound::*field, float value)
{
    s.*field = value;
    return s;
}

Sound noiseOnly()
{
    auto s = pureTone;
    s.noiseMix = 1.0f;
    s.cutoff = 4000.0f;
    s.highPass = 20.0f;
    return s;
}
}

//==============================================================================
TEST (VoiceKit, EveryVoiceSoundsOnItsOwnNoteOnly)
{
    for (int v = 0; v < VoiceManager::numVoices; ++v)
    {
        Harness h;
        const auto out = h.render (oneSecond, { noteOn (0, 1, firstNote + v, 100) });

        ASSERT_TRUE (allFinite (out));

        for (int other = 0; other < VoiceManager::numVoices; ++other)
        {
            const auto x = mono (out, other);

            if (other == v)
            {
                EXPECT_GT (rms (x, 0, 2400), 0.01) << "voice " << v << " is silent on its note";
                EXPECT_LT (out.getMagnitude (0, oneSecond), 4.0f) << "voice " << v;
                // A drum: it has died away well before the next second.
                EXPECT_LT (rms (x, (size_t) oneSecond - 4800), 1.0e-4) << "voice " << v;
            }
            else
            {
                EXPECT_EQ (lastAbove (x), -1) << "voice " << other << " sounds on voice " << v << "'s note";
            }
        }
    }
}

TEST (VoiceKit, SilentWithoutMidi)
{
    Harness h;
    const auto out = h.render (oneSecond / 4);
    EXPECT_EQ (out.getMagnitude (0, out.getNumSamples()), 0.0f);
}

TEST (VoiceKit, StopAllVoicesSilencesAtOnce)
{
    Harness h;
    std::vector<Event> all;

    for (int v = 0; v < VoiceManager::numVoices; ++v)
        all.push_back (noteOn (0, 1, firstNote + v));

    h.render (blockSize, all);
    h.manager.stopAllVoices();
    const auto after = h.render (blockSize * 4);
    EXPECT_EQ (after.getMagnitude (0, after.getNumSamples()), 0.0f);
}

//==============================================================================
TEST (VoicePitch, ChannelTriggerTransposesByTheNote)
{
    // Channel 2 + i plays voice i; note 60 is the tone pitch itself.
    auto sound = pureTone;
    sound.pitch = 200.0f;

    const auto measure = [&] (int note)
    {
        Harness h;
        applySound (h.voice (3), sound);
        const auto x = mono (h.render (oneSecond / 2, { noteOn (0, 5, note) }), 3);
        return zeroCrossingFrequency (x, 2400, 19200);
    };

    EXPECT_NEAR (measure (60), 200.0, 1.0);
    EXPECT_NEAR (measure (72), 400.0, 2.0);
    EXPECT_NEAR (measure (55), 200.0 * std::pow (2.0, -5.0 / 12.0), 1.0);
}

TEST (VoicePitch, SoftNotesDropOnlyWithVelocitySensitivity)
{
    auto sound = pureTone;
    sound.velocity = 1.0f;
    const auto loud = zeroCrossingFrequency (hit (sound, oneSecond / 2, 127), 2400, 19200);
    const auto soft = zeroCrossingFrequency (hit (sound, oneSecond / 2, 20), 2400, 19200);

    EXPECT_NEAR (loud, 440.0, 1.0);
    EXPECT_LT (soft, 440.0 * std::pow (2.0, -1.0 / 12.0));

    sound.velocity = 0.0f;
    EXPECT_NEAR (zeroCrossingFrequency (hit (sound, oneSecond / 2, 20), 2400, 19200), 440.0, 1.0);
}

TEST (VoicePitch, BendFallsToTheEndPitchAlongEitherCurve)
{
    auto sound = pureTone;
    sound.pitch = 400.0f;
    sound.bend = 0.5f;
    sound.decay = 2.0f;

    const auto curveA = hit (sound, 2 * oneSecond);
    const auto curveB = hit (with (sound, &Sound::curve, 1.0f), 2 * oneSecond);

    EXPECT_GT (zeroCrossingFrequency (curveA, 0, 960), 370.0);
    EXPECT_NEAR (zeroCrossingFrequency (curveA, 84000, 96000), 200.0, 2.0);
    EXPECT_NEAR (zeroCrossingFrequency (curveB, 84000, 96000), 200.0, 2.0);

    // A quarter of the way into the decay the exponential curve is nearly there, the straight
    // glide only half-way.
    const auto quarter = (size_t) (0.5 * sampleRate);
    const auto pitchA = zeroCrossingFrequency (curveA, quarter - 1200, quarter + 1200);
    const auto pitchB = zeroCrossingFrequency (curveB, quarter - 1200, quarter + 1200);
    EXPECT_LT (pitchA, 215.0);
    EXPECT_NEAR (pitchB, 300.0, 15.0);
}

//==============================================================================
TEST (VoiceParameters, DecaySetsHowLongTheHitLasts)
{
    const auto shortHit = hit (with (pureTone, &Sound::decay, 0.1f));
    const auto longHit = hit (with (pureTone, &Sound::decay, 0.8f));

    EXPECT_NEAR (lastAbove (shortHit), 0.1 * sampleRate, 0.01 * sampleRate);
    EXPECT_NEAR (lastAbove (longHit), 0.8 * sampleRate, 0.02 * sampleRate);
    // Half-way through, the sound is 30 dB down (the fall reaches -60 dB at the decay time).
    EXPECT_NEAR (decibels (rms (longHit, 19000, 19400) / rms (longHit, 1200, 1600)), -30.0, 3.0);
}

TEST (VoiceParameters, TonePitchSetsTheFrequency)
{
    EXPECT_NEAR (zeroCrossingFrequency (hit (with (pureTone, &Sound::pitch, 100.0f)), 2400, 24000), 100.0, 0.5);
    EXPECT_NEAR (zeroCrossingFrequency (hit (with (pureTone, &Sound::pitch, 2500.0f)), 2400, 24000), 2500.0, 5.0);
}

TEST (VoiceParameters, WaveformChangesTheHarmonics)
{
    constexpr int order = 14;
    auto sound = with (pureTone, &Sound::pitch, 375.0f); // an exact bin at this size and rate

    const auto thirdHarmonic = [&] (float waveform)
    {
        const auto s = spectrum (hit (with (sound, &Sound::waveform, waveform)), 1200, order);
        return decibels (bandPower (s, order, 1120, 1130) / bandPower (s, order, 370, 380)) / 2.0;
    };

    const auto triangle = thirdHarmonic (0.0f), hybrid = thirdHarmonic (1.0f), sine = thirdHarmonic (2.0f);

    EXPECT_NEAR (triangle, -19.1, 1.5); // 1/9 of the fundamental
    EXPECT_LT (sine, -80.0);
    EXPECT_GT (hybrid, sine + 30.0);
    EXPECT_LT (hybrid, triangle - 3.0);
}

TEST (VoiceParameters, TriangleIsBandLimited)
{
    // At 4.5 kHz a naive triangle folds its 7th harmonic (31.5 kHz) back to 16.5 kHz only 34 dB
    // below the fundamental; the smoothed corners take well over 10 dB off that.
    constexpr int order = 14;
    auto sound = with (pureTone, &Sound::pitch, 4500.0f);
    sound.waveform = 0.0f;
    const auto s = spectrum (hit (sound), 1200, order);

    const auto fundamental = bandPower (s, order, 4400, 4600);
    const auto alias = bandPower (s, order, 16400, 16600);
    EXPECT_LT (decibels (alias / fundamental) / 2.0, -46.0);
}

TEST (VoiceParameters, NoiseMixBalancesNoiseAgainstTone)
{
    constexpr int order = 13;
    auto sound = noiseOnly();
    sound.pitch = 1000.0f;

    const auto toneShare = [&] (float mix)
    {
        const auto s = spectrum (hit (with (sound, &Sound::noiseMix, mix)), 1200, order);
        return bandPower (s, order, 980, 1020) / bandPower (s, order, 20, 20000);
    };

    EXPECT_GT (toneShare (0.0f), 0.99);
    EXPECT_LT (toneShare (1.0f), 0.05);
    EXPECT_GT (toneShare (0.5f), toneShare (1.0f) * 5.0);
    EXPECT_LT (toneShare (0.5f), toneShare (0.0f));
}

TEST (VoiceParameters, NoiseFiltersShapeTheNoise)
{
    constexpr int order = 13;
    const auto noiseSpectrum = [&] (const Sound& s) { return spectrum (hit (s), 600, order); };

    const auto dark = noiseSpectrum (with (noiseOnly(), &Sound::cutoff, 1000.0f));
    const auto bright = noiseSpectrum (with (noiseOnly(), &Sound::cutoff, 8000.0f));
    EXPECT_LT (centroid (dark, order), 1500.0);
    EXPECT_GT (centroid (bright, order), 3.0 * centroid (dark, order));

    // Resonance lifts the band at the cutoff against the pass band below it.
    const auto peakiness = [&] (float resonance)
    {
        const auto s = noiseSpectrum (with (with (noiseOnly(), &Sound::cutoff, 2000.0f), &Sound::resonance, resonance));
        return bandPower (s, order, 1800, 2200) / bandPower (s, order, 200, 600);
    };
    EXPECT_GT (peakiness (0.9f), 10.0 * peakiness (0.0f));

    // The high-pass removes the lows.
    const auto lows = [&] (float highPass)
    {
        const auto s = noiseSpectrum (with (noiseOnly(), &Sound::highPass, highPass));
        return bandPower (s, order, 20, 300) / bandPower (s, order, 20, 20000);
    };
    EXPECT_LT (lows (2000.0f), 0.01 * lows (20.0f));
}

TEST (VoiceParameters, NoiseSweepPullsTheCutoffDown)
{
    constexpr int order = 11;
    auto sound = with (noiseOnly(), &Sound::cutoff, 10000.0f);
    sound.decay = 1.0f;

    const auto drop = [&] (float sweep)
    {
        const auto x = hit (with (sound, &Sound::sweep, sweep));
        return centroid (spectrum (x, 24000, order), order) / centroid (spectrum (x, 0, order), order);
    };

    EXPECT_GT (drop (0.0f), 0.8);
    EXPECT_LT (drop (1.0f), 0.3);
}

TEST (VoiceParameters, LfoMovesPitchAndCutoffAtItsRate)
{
    auto sound = with (pureTone, &Sound::pitch, 1000.0f);
    sound.lfoRate = 4.0f;

    // Pitch measured over 10 ms windows through the first half second.
    const auto pitchTrack = [&] (const Sound& s)
    {
        const auto x = hit (s);
        std::vector<double> track;

        for (size_t start = 0; start + 480 <= 24000; start += 480)
            track.push_back (zeroCrossingFrequency (x, start, start + 480));

        return track;
    };

    const auto steady = pitchTrack (sound);
    const auto wobbling = pitchTrack (with (sound, &Sound::lfoTone, 1.0f));
    EXPECT_LT (*std::max_element (steady.begin(), steady.end()) - *std::min_element (steady.begin(), steady.end()), 30.0);
    EXPECT_GT (*std::max_element (wobbling.begin(), wobbling.end()), 1700.0);
    EXPECT_LT (*std::min_element (wobbling.begin(), wobbling.end()), 600.0);

    // At 4 Hz the pitch peaks twice in half a second; at 8 Hz four times.
    const auto peaks = [] (const std::vector<double>& t)
    {
        int n = 0;

        for (size_t i = 1; i + 1 < t.size(); ++i)
            n += (t[i] > t[i - 1] && t[i] >= t[i + 1] && t[i] > 1300.0) ? 1 : 0;

        return n;
    };
    EXPECT_EQ (peaks (wobbling), 2);
    EXPECT_EQ (peaks (pitchTrack (with (with (sound, &Sound::lfoTone, 1.0f), &Sound::lfoRate, 8.0f))), 4);

    // Noise depth moves the noise's brightness up and down.
    constexpr int order = 10;
    auto noisy = with (noiseOnly(), &Sound::lfoNoise, 1.0f);
    noisy.lfoRate = 4.0f;
    const auto x = hit (noisy);
    std::vector<double> brightness;

    for (size_t start = 0; start + 1024 <= 24000; start += 1024)
        brightness.push_back (centroid (spectrum (x, start, order), order));

    EXPECT_GT (*std::max_element (brightness.begin(), brightness.end()),
               2.0 * *std::min_element (brightness.begin(), brightness.end()));
}

TEST (VoiceParameters, ClickAddsAShortBurstOfItsLength)
{
    // Each render starts from the same noise seed, so subtracting isolates the click.
    const auto clickOf = [] (float mix, float lengthMs)
    {
        auto s = with (pureTone, &Sound::clickMix, mix);
        s.clickMs = lengthMs;
        const auto withClick = hit (s, 9600);
        const auto without = hit (with (s, &Sound::clickMix, 0.0f), 9600);
        std::vector<float> d (withClick.size());

        for (size_t i = 0; i < d.size(); ++i)
            d[i] = withClick[i] - without[i];

        return d;
    };

    EXPECT_EQ (lastAbove (clickOf (0.0f, 5.0f)), -1);

    const auto shortClick = clickOf (1.0f, 2.0f);
    const auto longClick = clickOf (1.0f, 50.0f);
    EXPECT_GT (rms (shortClick, 0, 48), 0.1);
    EXPECT_NEAR (lastAbove (shortClick, 0.0f), 96, 8);
    EXPECT_NEAR (lastAbove (longClick, 0.0f), 2400, 24);
    EXPECT_GT (rms (clickOf (1.0f, 5.0f), 0, 48), 1.8 * rms (clickOf (0.5f, 5.0f), 0, 48));
}

TEST (VoiceParameters, SaturationAddsHarmonics)
{
    constexpr int order = 14;
    auto sound = with (pureTone, &Sound::pitch, 375.0f);

    const auto third = [&] (float saturation)
    {
        const auto s = spectrum (hit (with (sound, &Sound::saturation, saturation)), 1200, order);
        return decibels (bandPower (s, order, 1120, 1130) / bandPower (s, order, 370, 380)) / 2.0;
    };

    EXPECT_LT (third (0.0f), -80.0);
    EXPECT_GT (third (0.3f), -40.0);
    EXPECT_GT (third (1.0f), third (0.3f) + 3.0);
}

TEST (VoiceParameters, VelocitySensitivitySetsHowMuchSoftNotesDrop)
{
    const auto level = [] (float sensitivity, int velocity)
    {
        return rms (hit (with (pureTone, &Sound::velocity, sensitivity), 4800, velocity));
    };

    EXPECT_NEAR (level (0.0f, 20) / level (0.0f, 127), 1.0, 0.01);
    EXPECT_LT (decibels (level (1.0f, 40) / level (1.0f, 127)), -12.0);
    EXPECT_NEAR (level (1.0f, 127) / level (0.0f, 127), 1.0, 0.01);
}

TEST (VoiceParameters, PanIsConstantPowerAndGainInDecibels)
{
    const auto sides = [] (float pan, float gain)
    {
        Harness h;
        auto s = with (pureTone, &Sound::pan, pan);
        s.gain = gain;
        applySound (h.voice (0), s);
        const auto out = h.render (4800, { noteOn (0, 1, firstNote) });
        return std::pair { out.getRMSLevel (0, 0, 4800), out.getRMSLevel (1, 0, 4800) };
    };

    const auto [centreL, centreR] = sides (0.0f, 0.0f);
    const auto [leftL, leftR] = sides (-1.0f, 0.0f);
    const auto [rightL, rightR] = sides (1.0f, 0.0f);
    const auto [halfL, halfR] = sides (0.5f, 0.0f);

    EXPECT_NEAR (centreL, centreR, 1.0e-4f);
    EXPECT_LT (leftR, 1.0e-3f * leftL);
    EXPECT_LT (rightL, 1.0e-3f * rightR);
    EXPECT_GT (halfR, 2.0f * halfL);
    // Same power wherever it is panned.
    EXPECT_NEAR (halfL * halfL + halfR * halfR, centreL * centreL + centreR * centreR, 1.0e-3f * centreL * centreL);
    EXPECT_NEAR (leftL, std::sqrt (2.0f) * centreL, 1.0e-3f);

    const auto [loudL, loudR] = sides (0.0f, 6.0f);
    EXPECT_NEAR (decibels (loudL / centreL), 6.0, 0.05);
}

//==============================================================================
TEST (VoiceOversampling, FourTimesKeepsSaturationAliasingFarBelowOneTimes)
{
    // A high sine driven hard: at 1x its upper harmonics fold back between the real ones.
    constexpr int order = 14;
    auto sound = with (pureTone, &Sound::pitch, 4300.0f);
    sound.saturation = 1.0f;
    sound.decay = 5.0f;

    const auto aliasing = [&] (int factor)
    {
        const auto s = spectrum (hit (sound, oneSecond, 127, factor), 4800, order);
        double harmonics = 0.0, total = 0.0;

        for (size_t bin = 1; bin < s.size(); ++bin)
        {
            const auto f = binFrequency (bin, order);
            const auto p = (double) s[bin] * s[bin];
            total += p;

            // Within 30 Hz of an odd harmonic that really lies below Nyquist.
            const auto nearest = std::round ((f / 4300.0 - 1.0) / 2.0) * 2.0 + 1.0;

            if (nearest >= 1.0 && nearest * 4300.0 < 24000.0 && std::abs (f - nearest * 4300.0) < 30.0)
                harmonics += p;
        }

        return decibels ((total - harmonics) / total) / 2.0;
    };

    const auto at1x = aliasing (1), at2x = aliasing (2), at4x = aliasing (4);
    EXPECT_GT (at1x, -40.0) << "the test signal should alias audibly at 1x";
    EXPECT_LT (at2x, at1x - 10.0);
    EXPECT_LT (at4x, at1x - 30.0);
}

TEST (VoiceOversampling, EveryFactorSoundsTheSame)
{
    // Same level, length and pitch whatever the factor, including the noise and click.
    for (int v = 0; v < VoiceManager::numVoices; ++v)
    {
        std::vector<double> levels;
        std::vector<int> lengths;

        for (auto factor : { 1, 2, 4 })
        {
            Harness h (factor);
            const auto x = mono (h.render (oneSecond, { noteOn (0, 1, firstNote + v) }), v);
            levels.push_back (rms (x));
            lengths.push_back (lastAbove (x, 1.0e-3f));
        }

        EXPECT_NEAR (decibels (levels[1] / levels[0]), 0.0, 1.0) << "voice " << v;
        EXPECT_NEAR (decibels (levels[2] / levels[0]), 0.0, 1.0) << "voice " << v;
        EXPECT_NEAR (lengths[2], lengths[0], 0.01 * sampleRate) << "voice " << v;
    }

    auto sound = with (pureTone, &Sound::pitch, 3000.0f);
    EXPECT_NEAR (zeroCrossingFrequency (hit (sound, oneSecond / 2, 127, 4), 2400, 19200), 3000.0, 3.0);
}

TEST (VoiceOversampling, FactorCanChangeWhilePlaying)
{
    Harness h;
    int block = 0;
    h.beforeBlock = [&]
    {
        const int factors[] = { 1, 2, 4, 2 };
        h.manager.setOversamplingFactor (factors[(block++ / 8) % 4]);
    };

    const auto out = h.render (oneSecond / 2, { noteOn (0, 1, firstNote + 1), noteOn (6000, 1, firstNote + 3) });
    EXPECT_TRUE (allFinite (out));
    EXPECT_GT (rms (mono (out, 3), 6000, 12000), 0.01);
    EXPECT_LT (out.getMagnitude (0, out.getNumSamples()), 4.0f);
}
