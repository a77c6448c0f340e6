#include "processor/ProcessorTestHelpers.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <thread>

// Every allocation of this test program is seen here; while a thread has its flag set, its
// allocations are counted. JUCE's own containers allocate with malloc and realloc rather than
// operator new, so the C allocator is watched too: through the sanitizer runtime's hook when it owns
// the allocator, otherwise by replacing it (glibc lets a program interpose it).
#if defined (__SANITIZE_ADDRESS__) || defined (__SANITIZE_THREAD__)
 #define TOMBREL_SANITIZER_OWNS_MALLOC 1
#endif

namespace
{
thread_local bool countingThisThread = false;
std::atomic<int> allocationCount { 0 };

void* counted (void* p)
{
    if (countingThisThread)
        ++allocationCount;

    return p;
}

struct ScopedAllocationCount
{
    ScopedAllocationCount() { allocationCount = 0; countingThisThread = true; }
    ~ScopedAllocationCount() { countingThisThread = false; }
};
}

#if TOMBREL_SANITIZER_OWNS_MALLOC
extern "C" int __sanitizer_install_malloc_and_free_hooks (void (*) (const volatile void*, std::size_t), void (*) (const volatile void*));

namespace
{
[[maybe_unused]] const int mallocHookInstalled = __sanitizer_install_malloc_and_free_hooks ([] (const volatile void* p, std::size_t) { counted (const_cast<void*> (p)); },
                                                                           [] (const volatile void*) {});
}
#else
namespace
{
void* orThrow (void* p) { return p != nullptr ? p : throw std::bad_alloc(); }
void* allocate (std::size_t size) { return orThrow (std::malloc (size == 0 ? 1 : size)); }

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    const auto a = std::max ((std::size_t) alignment, sizeof (void*));
    return orThrow (std::aligned_alloc (a, (size + a - 1) / a * a));
}
}

extern "C"
{
void* __libc_malloc (std::size_t);
void* __libc_calloc (std::size_t, std::size_t);
void* __libc_realloc (void*, std::size_t);
void* __libc_memalign (std::size_t, std::size_t);

void* malloc (std::size_t size) { return counted (__libc_malloc (size)); }
void* calloc (std::size_t n, std::size_t size) { return counted (__libc_calloc (n, size)); }
void* realloc (void* p, std::size_t size) { return counted (__libc_realloc (p, size)); }
void* aligned_alloc (std::size_t a, std::size_t size) { return counted (__libc_memalign (a, size)); }
int posix_memalign (void** p, std::size_t a, std::size_t size) { return (*p = counted (__libc_memalign (a, size))) != nullptr ? 0 : ENOMEM; }
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
#endif

using namespace ProcessorTestHelpers;
namespace Id = ParameterIds;

TEST (AudioThread, ProcessBlockAndRenderBlockNeverAllocate)
{
    {
        // The counter itself must work, through operator new and through JUCE's containers, or this test proves nothing.
        ScopedAllocationCount count;
        delete new juce::String ("x");
        ASSERT_GT (allocationCount.exchange (0), 0);
        juce::Array<int> viaMalloc { 1, 2, 3 };
        ASSERT_GT (allocationCount.load(), 0);
    }

    TemporaryDataFolder folder;
    KestrinAudioProcessor processor (folder.get());

    // Looked up here: building an ID string allocates, and a host holds its parameters anyway.
    auto& oversampling = parameter (processor, Id::paramOversampling);
    auto& multiOut = parameter (processor, Id::paramMultiOut);
    auto& bypass = parameter (processor, Id::paramBypassGlobal);
    auto& label = voiceParameter (processor, 5, Id::label);
    auto& decay = voiceParameter (processor, 3, Id::decay);
    auto& chokeGroup = voiceParameter (processor, 2, Id::chokeGroup);

    // An open editor listens to the processor and to every voice; messages must still not allocate.
    MessageRecorder editor (processor);
    std::vector<std::unique_ptr<MessageRecorder>> padListeners;

    for (int i = 0; i < VoiceManager::numVoices; ++i)
        padListeners.push_back (std::make_unique<MessageRecorder> (*processor.voiceManager.getVoice (i)));

    // Every voice on an output of its own, so that multi-out really routes somewhere.
    auto layout = processor.getBusesLayout();
    std::fill (layout.outputBuses.begin(), layout.outputBuses.end(), juce::AudioChannelSet::stereo());
    ASSERT_TRUE (processor.setBusesLayout (layout));
    setValue (parameter (processor, Id::paramObeyNoteOff), 1.0f);
    processor.prepareToPlay (sampleRate, blockSize);

    // Note-ons on all sixteen channels (mapped notes, voice channels, the sidestick choking the
    // snare in the factory kit's group 1), note-offs for them, and nothing.
    juce::MidiBuffer busy, releases, quiet;
    int lastBusyNote = -1;

    for (int channel = 1; channel <= 16; ++channel)
        for (const auto note : processor.defaultVoiceNotes)
            busy.addEvent (juce::MidiMessage::noteOn (channel, note, (juce::uint8) 100), (channel * 7 + note) % blockSize);

    for (const auto note : processor.defaultVoiceNotes)
    {
        releases.addEvent (juce::MidiMessage::noteOff (1, note), note - firstNote);
        releases.addEvent (juce::MidiMessage::noteOff (2 + note - firstNote, note + 3), 60);
    }

    for (const auto event : busy)
        lastBusyNote = event.getMessage().getNoteNumber();

    juce::AudioBuffer<float> buffer (processor.getTotalNumOutputChannels(), blockSize), large (buffer.getNumChannels(), 3 * blockSize);
    ASSERT_EQ (buffer.getNumChannels(), 2 * (VoiceManager::numVoices + 1));
    int total = 0, blocksWithSound = 0, learnedBlocks = 0;
    constexpr int numBlocks = 1200;

    // Hosts call processBlock, and send parameter changes, on a thread that is not the message thread.
    std::thread audioThread ([&]
    {
        for (int block = 0; block < numBlocks; ++block)
        {
            auto& midi = block % 40 == 0 || block % 40 == 13 ? busy : (block % 40 == 7 ? releases : quiet);
            const auto round = block / 50;

            if (block % 200 == 100)
                processor.midiLearnArmed = true;

            ScopedAllocationCount count;

            switch (block % 50)
            {
                case 3:  setValue (oversampling, (float) (round % 3)); break;
                case 11: setValue (multiOut, (float) (round % 2)); break;
                case 17: setValue (label, (float) (round % 20)); break;
                case 23: setValue (chokeGroup, (float) (round % 5)); break;
                case 29: setValue (decay, 0.1f + 0.05f * (float) (round % 4)); break;
                case 31: setValue (bypass, 1.0f); break;
                case 34: setValue (bypass, 0.0f); break;
                default: break;
            }

            if (block % 50 == 45)
                processor.processBlockBypassed (buffer, midi);
            else
                processor.processBlock (block % 97 == 50 ? large : buffer, midi); // now and then more than the host announced

            total += allocationCount.load();
            blocksWithSound += buffer.getMagnitude (0, blockSize) > 1.0e-3f ? 1 : 0;
            learnedBlocks += block % 200 >= 100 && ! processor.midiLearnArmed ? 1 : 0;
        }
    });

    // Meanwhile the editor's pads play notes from the message thread.
    for (int i = 0; i < 100; ++i, juce::Thread::sleep (1))
        processor.voiceManager.getVoice (i % VoiceManager::numVoices)->noteOn (firstNote, false, 1.0f);

    audioThread.join();
    pumpMessages();
    EXPECT_EQ (total, 0);

    // The run has to have played, learned and told, or it proves nothing about the paths that do.
    EXPECT_TRUE (blocksWithSound > numBlocks / 4 && learnedBlocks > 0 && processor.learnedMidiNote == lastBusyNote) << blocksWithSound << " blocks with sound, " << learnedBlocks << " learned";
    EXPECT_TRUE (editor.count ("MidiNoteLearned") > 0 && editor.count ("voiceLabelChanged5") > 0 && padListeners[0]->count ("voice0NoteOn") > 0) << editor.messages.joinIntoString (" ");
}
