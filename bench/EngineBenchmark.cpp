#include "processor/KestrinAudioProcessor.h"
#include "processor/ParameterIds.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <numeric>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 128;
constexpr int retriggerSamples = 4800; // every 100 ms at 48 kHz
constexpr int mappedChannel = 1;
constexpr juce::uint8 hitVelocity = 100;
constexpr float audibleLevel = 1.0e-3f;

/** The processor with its factory kit, in a data folder of its own that is deleted afterwards. */
class BenchedProcessor final
{
public:
    BenchedProcessor()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("TombrelBenchmark-" + juce::Uuid().toString()))
    {
        processor = std::make_unique<KestrinAudioProcessor> (folder);
    }

    ~BenchedProcessor()
    {
        processor.reset();
        folder.deleteRecursively();
    }

    KestrinAudioProcessor& get() noexcept { return *processor; }

private:
    const juce::File folder;
    std::unique_ptr<KestrinAudioProcessor> processor;

    JUCE_DECLARE_NON_COPYABLE (BenchedProcessor)
};

/** 0, 1, 2 for 1x, 2x, 4x: the parameter's own values. */
int oversamplingIndex (int factor)
{
    return factor >= 4 ? 2 : (factor >= 2 ? 1 : 0);
}

/** One MIDI buffer per block over a whole cycle of retrigger and block boundaries, so that every
    hit falls on its exact sample and nothing is built while the clock runs. */
std::vector<juce::MidiBuffer> makeRetriggerCycle (const KestrinAudioProcessor& processor)
{
    const auto cycleSamples = std::lcm (retriggerSamples, blockSize);
    std::vector<juce::MidiBuffer> cycle ((size_t) (cycleSamples / blockSize));

    for (int hit = 0; hit < cycleSamples; hit += retriggerSamples)
        for (const auto note : processor.defaultVoiceNotes)
            cycle[(size_t) (hit / blockSize)].addEvent (juce::MidiMessage::noteOn (mappedChannel, note, hitVelocity),
                                                        hit % blockSize);

    return cycle;
}

/** The whole processBlock: all seven voices hit every 100 ms, 48 kHz, 128-sample blocks. */
void processKit (benchmark::State& state)
{
    BenchedProcessor benched;
    auto& processor = benched.get();

    auto* oversampling = processor.valueTreeState.getParameter (ParameterIds::paramOversampling);
    oversampling->setValueNotifyingHost (oversampling->convertTo0to1 ((float) oversamplingIndex ((int) state.range (0))));

    processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
    processor.prepareToPlay (sampleRate, blockSize);

    const auto cycle = makeRetriggerCycle (processor);
    juce::AudioBuffer<float> buffer (processor.getTotalNumOutputChannels(), blockSize);
    juce::MidiBuffer midi;
    midi.ensureSize (2048);
    size_t block = 0;

    // A kit that didn't sound would be measured as fast as silence.
    auto warmUpPeak = 0.0f;

    for (const auto& events : cycle)
    {
        midi.clear();
        midi.addEvents (events, 0, -1, 0);
        processor.processBlock (buffer, midi);
        warmUpPeak = juce::jmax (warmUpPeak, buffer.getMagnitude (0, blockSize));
    }

    if (warmUpPeak < audibleLevel)
    {
        state.SkipWithError ("the kit is silent");
        return;
    }

    for (auto _ : state)
    {
        // Hosts hand over a fresh MIDI buffer every block; copying into reserved storage doesn't allocate.
        midi.clear();
        midi.addEvents (cycle[block], 0, -1, 0);
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0)[blockSize - 1]);
        block = (block + 1) % cycle.size();
    }

    processor.releaseResources();

    // Seconds of audio per second of CPU time.
    state.counters["realtime"] = benchmark::Counter ((double) blockSize / sampleRate,
                                                     benchmark::Counter::kIsIterationInvariantRate);
}
} // namespace

BENCHMARK (processKit)->ArgName ("oversampling")->Arg (1)->Arg (2)->Arg (4)->MinTime (2.0);

int main (int argc, char** argv)
{
    // The parameter tree's timer needs a message manager.
    juce::ScopedJuceInitialiser_GUI juce;

    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
