#include "engine/VoiceManager.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 128;
constexpr int firstNote = 36;
constexpr double retriggerSeconds = 0.1;

using P = VoiceParameter;

/** A seven-piece kit: kick, snare, clap, low and high tom, closed and open hi-hat. */
void setUpKit (VoiceManager& manager)
{
    struct Sound { float decay, waveform, pitch, bend, curve, cutoff, resonance, highPass, sweep, noiseMix,
                   lfoRate, lfoTone, lfoNoise, clickMs, clickMix, saturation; };

    const Sound kit[] = {
        { 0.45f, 2, 160, 0.70f, 0, 2000, 0.1f, 40, 0.3f, 0.05f, 1, 0, 0, 3, 0.3f, 0.3f },
        { 0.25f, 1, 190, 0.25f, 0, 9000, 0.2f, 600, 0.2f, 0.65f, 1, 0, 0, 2, 0.2f, 0.2f },
        { 0.30f, 2, 1000, 0, 0, 2500, 0.6f, 800, 0, 1.0f, 40, 0, 0.5f, 10, 0.2f, 0 },
        { 0.50f, 2, 110, 0.35f, 1, 3000, 0.1f, 100, 0.4f, 0.15f, 1, 0, 0, 4, 0.15f, 0.1f },
        { 0.35f, 2, 180, 0.30f, 1, 3500, 0.1f, 150, 0.4f, 0.15f, 1, 0, 0, 4, 0.15f, 0.1f },
        { 0.06f, 0, 3000, 0, 0, 12000, 0.3f, 7000, 0, 1.0f, 1, 0, 0, 1, 0.3f, 0 },
        { 0.50f, 0, 3000, 0, 0, 14000, 0.2f, 6000, 0.1f, 1.0f, 1, 0, 0, 1, 0.2f, 0 },
    };

    for (int i = 0; i < VoiceManager::numVoices; ++i)
    {
        auto& v = *manager.getVoice (i);
        const auto& s = kit[i];
        const std::pair<P, float> values[] = {
            { P::decay, s.decay }, { P::waveform, s.waveform }, { P::tonePitch, s.pitch },
            { P::toneBend, s.bend }, { P::bendSweepCurve, s.curve }, { P::noiseCutoff, s.cutoff },
            { P::noiseResonance, s.resonance }, { P::noiseHPCutoff, s.highPass }, { P::noiseSweep, s.sweep },
            { P::noiseMix, s.noiseMix }, { P::lfoRate, s.lfoRate }, { P::lfoToneDepth, s.lfoTone },
            { P::lfoNoiseDepth, s.lfoNoise }, { P::clickDecay, s.clickMs }, { P::clickMix, s.clickMix },
            { P::saturation, s.saturation }, { P::velocity, 0.5f }, { P::pan, 0.0f }, { P::gain, -6.0f },
        };

        for (const auto& [parameter, value] : values)
            v.setParameter (parameter, value);

        v.setMidiNote (firstNote + i);
    }
}

void renderKit (benchmark::State& state)
{
    const auto factor = (int) state.range (0);

    VoiceManager manager;
    setUpKit (manager);
    manager.setOversamplingFactor (factor);
    manager.prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    std::array<StereoTarget, VoiceManager::numVoices> targets;
    targets.fill ({ buffer.getWritePointer (0), buffer.getWritePointer (1) });

    juce::MidiBuffer hits, empty;

    for (int i = 0; i < VoiceManager::numVoices; ++i)
        hits.addEvent (juce::MidiMessage::noteOn (1, firstNote + i, (juce::uint8) 110), 0);

    const auto blocksPerHit = juce::roundToInt (retriggerSeconds * sampleRate / blockSize);
    int block = 0;

    for (auto _ : state)
    {
        buffer.clear();
        manager.renderBlock (block % blocksPerHit == 0 ? hits : empty, blockSize, targets);
        benchmark::DoNotOptimize (buffer.getReadPointer (0)[blockSize - 1]);
        ++block;
    }

    // Seconds of audio per second of CPU time.
    state.counters["realtime"] = benchmark::Counter ((double) blockSize / sampleRate,
                                                     benchmark::Counter::kIsIterationInvariantRate);
}
}

BENCHMARK (renderKit)->Arg (1)->Arg (2)->Arg (4)->MinTime (2.0);

int main (int argc, char** argv)
{
    // The voices' message timers need a message manager.
    juce::ScopedJuceInitialiser_GUI juce;

    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
