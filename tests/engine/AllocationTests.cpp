#include "EngineTestHelpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Every allocation of this test program goes through these; while a thread has its flag set,
// its allocations are counted.
namespace
{
thread_local bool countingThisThread = false;
std::atomic<int> allocationCount { 0 };

void* allocate (std::size_t size)
{
    if (countingThisThread)
        ++allocationCount;

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    if (countingThisThread)
        ++allocationCount;

    const auto a = std::max ((std::size_t) alignment, sizeof (void*));

    if (auto* p = std::aligned_alloc (a, (size + a - 1) / a * a))
        return p;

    throw std::bad_alloc();
}

struct ScopedAllocationCount
{
    ScopedAllocationCount() { allocationCount = 0; countingThisThread = true; }
    ~ScopedAllocationCount() { countingThisThread = false; }
};
}

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept { try { return allocate (size); } catch (...) { return nullptr; } }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { try { return allocate (size); } catch (...) { return nullptr; } }
void* operator new (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }
void operator delete (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }

using namespace EngineTest;

TEST (AudioThread, CountingSeesAllocations)
{
    // The counter itself must work, or the test below proves nothing.
    ScopedAllocationCount count;
    auto* p = new juce::String ("x");
    delete p;
    EXPECT_GT (allocationCount.load(), 0);
}

TEST (AudioThread, RenderingNeverAllocates)
{
    Harness h;
    h.manager.setChokeGroup (0, 1);
    h.manager.setChokeGroup (1, 1);
    h.manager.rebuildChokeLists();
    h.manager.setObeyNoteOff (true);

    juce::AudioBuffer<float> buffer (2 * VoiceManager::numVoices, blockSize);
    std::array<StereoTarget, VoiceManager::numVoices> targets;

    for (int i = 0; i < VoiceManager::numVoices; ++i)
        targets[(size_t) i] = { buffer.getWritePointer (2 * i), buffer.getWritePointer (2 * i + 1) };

    // Everything the audio thread meets: note-ons on every kind of channel, chokes, note-offs,
    // a queued pad note, factor changes, messages posted and a host block larger than announced.
    juce::MidiBuffer busy, quiet;

    for (int v = 0; v < VoiceManager::numVoices; ++v)
        busy.addEvent (juce::MidiMessage::noteOn (1, firstNote + v, (juce::uint8) 100), v * 9);

    busy.addEvent (juce::MidiMessage::noteOn (4, 50, (juce::uint8) 90), 70);
    busy.addEvent (juce::MidiMessage::noteOff (1, firstNote + 2), 100);

    juce::AudioBuffer<float> large (2, 3 * blockSize);
    std::array<StereoTarget, VoiceManager::numVoices> largeTargets;
    largeTargets.fill ({ large.getWritePointer (0), large.getWritePointer (1) });

    int total = 0;

    for (int block = 0; block < 400; ++block)
    {
        h.manager.setOversamplingFactor (1 << ((block / 50) % 3));

        if (block % 37 == 5)
            h.voice (4).noteOn (firstNote + 4, false, 1.0f); // from this (non-rendering) thread

        buffer.clear();
        ScopedAllocationCount count;

        if (block % 97 == 50)
            h.manager.renderBlock (busy, 3 * blockSize, largeTargets);
        else
            h.manager.renderBlock (block % 10 == 0 ? busy : quiet, blockSize, targets);

        total += allocationCount.load();
    }

    EXPECT_EQ (total, 0);
}
