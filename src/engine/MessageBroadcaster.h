#pragma once

#include "MessageDispatcher.h"

#include <array>
#include <atomic>

/**
    A source of short text messages from a fixed table, which listeners receive as with a
    juce::ActionBroadcaster: each listener gets every message, in order, later and on the message
    thread, whatever thread posted it.

    Posting is wait-free and never allocates, so the audio thread may post. While nobody listens,
    posted messages are dropped.
*/
class MessageBroadcaster
{
public:
    MessageBroadcaster (MessageDispatcher& dispatcher, juce::StringArray messageTable);
    virtual ~MessageBroadcaster();

    /** Message thread. */
    void addActionListener (juce::ActionListener* listener);
    void removeActionListener (juce::ActionListener* listener);

    /** Any thread: queues messageTable[messageIndex] for every listener. */
    void post (int messageIndex) noexcept;

private:
    friend class MessageDispatcher;

    bool hasListeners() const noexcept { return listening.load (std::memory_order_relaxed); }
    void deliverPending();

    /** Bounded queue for many producers and one consumer (Vyukov's): each slot carries the
        position it may next be written or read at. */
    class Queue final
    {
    public:
        Queue();
        bool push (int value) noexcept;
        bool pop (int& value) noexcept;

    private:
        static constexpr size_t capacity = 256;

        struct Slot
        {
            std::atomic<size_t> sequence { 0 };
            int value = 0;
        };

        std::array<Slot, capacity> slots;
        std::atomic<size_t> writePosition { 0 };
        size_t readPosition = 0;
    };

    MessageDispatcher& dispatcher;
    const juce::StringArray messages;
    juce::Array<juce::ActionListener*> listeners;
    std::atomic<bool> listening { false };
    Queue queue;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MessageBroadcaster)
};
