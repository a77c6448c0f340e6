#pragma once

#include <juce_events/juce_events.h>

#include <array>
#include <atomic>

/**
    An ActionBroadcaster that threads which must not allocate or lock can still use.

    Messages come from a fixed table and are named by their index. Posting only touches
    preallocated, lock-free storage; a timer on the message thread turns what was posted into
    ordinary action messages, so listeners get them exactly as from sendActionMessage.

    postInOrder() keeps every message and their order, but takes one producer thread at a time
    (the audio thread). postLatest() may be called from any thread and folds repeats of one
    message into a single delivery, for messages that only say "this has changed".
*/
class AsyncMessageBroadcaster : public juce::ActionBroadcaster,
                                private juce::Timer
{
public:
    explicit AsyncMessageBroadcaster (const juce::StringArray& messageTable);
    ~AsyncMessageBroadcaster() override;

    /** Queues messageTable[index]; single producer, wait-free. Returns false if the queue was full. */
    bool postInOrder (int index) noexcept;

    /** Marks messageTable[index] as pending; any thread, wait-free. */
    void postLatest (int index) noexcept;

    /** Broadcasts everything posted so far. Message thread only; also runs from the timer. */
    void dispatchPendingMessages();

    static constexpr int maxMessages = 64;
    static constexpr int queueSize = 512;

private:
    void timerCallback() override;

    juce::StringArray messages;
    juce::AbstractFifo fifo { queueSize };
    std::array<int, queueSize> queue {};
    std::array<std::atomic<bool>, maxMessages> pending {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AsyncMessageBroadcaster)
};
