#pragma once

#include "BroadcastMessages.h"
#include "MessageDispatcher.h"

#include <array>
#include <atomic>

/**
    A source of the short text messages of BroadcastMessages, which listeners receive as with a
    juce::ActionBroadcaster: each listener gets every message, in order, later and on the message
    thread, whatever thread posted it.

    Posting is wait-free and never allocates, so the audio thread may post. While nobody listens,
    posted messages are dropped.
*/
class MessageBroadcaster
{
public:
    explicit MessageBroadcaster (MessageDispatcher& dispatcher);
    virtual ~MessageBroadcaster();

    /** Message thread. */
    void addActionListener (juce::ActionListener* listener);
    void removeActionListener (juce::ActionListener* listener);

    /** Any thread: queues the message for every listener. */
    void post (BroadcastMessages::Message message) noexcept;

private:
    friend class MessageDispatcher;

    bool hasListeners() const noexcept { return listening.load (std::memory_order_relaxed); }

    /** Delivers what was waiting when it began and leaves anything posted meanwhile to the next
        delivery, so that a sender that never stops (a bounce far faster than real time) cannot
        hold the message thread. */
    void deliverPending();

    /** Bounded queue for many producers and one consumer (Vyukov's): each slot carries the
        position it may next be written or read at. */
    class Queue final
    {
    public:
        Queue();
        bool push (BroadcastMessages::Message value) noexcept;
        bool pop (BroadcastMessages::Message& value) noexcept;

        /** Consumer: how many have been posted and not yet popped; some may still be being written. */
        size_t getNumWaiting() const noexcept;

    private:
        static constexpr size_t capacity = 256;

        struct Slot
        {
            std::atomic<size_t> sequence { 0 };
            BroadcastMessages::Message value;
        };

        std::array<Slot, capacity> slots;
        std::atomic<size_t> writePosition { 0 };
        size_t readPosition = 0;
    };

    MessageDispatcher& dispatcher;
    juce::Array<juce::ActionListener*> listeners;
    std::atomic<bool> listening { false };
    Queue queue;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MessageBroadcaster)
};
