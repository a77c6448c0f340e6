#include "AsyncMessageBroadcaster.h"

AsyncMessageBroadcaster::AsyncMessageBroadcaster (const juce::StringArray& messageTable)
    : messages (messageTable)
{
    jassert (messages.size() <= maxMessages);

    for (auto& flag : pending)
        flag.store (false, std::memory_order_relaxed);

    // Often enough that a pad flash follows its note without visible delay.
    startTimer (10);
}

AsyncMessageBroadcaster::~AsyncMessageBroadcaster()
{
    stopTimer();
}

bool AsyncMessageBroadcaster::postInOrder (int index) noexcept
{
    if (! juce::isPositiveAndBelow (index, messages.size()))
        return false;

    const auto scope = fifo.write (1);

    if (scope.blockSize1 + scope.blockSize2 == 0)
        return false;

    queue[(size_t) (scope.blockSize1 > 0 ? scope.startIndex1 : scope.startIndex2)] = index;
    return true;
}

void AsyncMessageBroadcaster::postLatest (int index) noexcept
{
    if (juce::isPositiveAndBelow (index, messages.size()))
        pending[(size_t) index].store (true, std::memory_order_release);
}

void AsyncMessageBroadcaster::dispatchPendingMessages()
{
    JUCE_ASSERT_MESSAGE_THREAD

    for (int i = 0; i < messages.size(); ++i)
        if (pending[(size_t) i].exchange (false, std::memory_order_acq_rel))
            sendActionMessage (messages[i]);

    for (auto ready = fifo.getNumReady(); ready > 0; --ready)
    {
        int index = 0;

        {
            const auto scope = fifo.read (1);
            index = queue[(size_t) (scope.blockSize1 > 0 ? scope.startIndex1 : scope.startIndex2)];
        }

        sendActionMessage (messages[index]);
    }
}

void AsyncMessageBroadcaster::timerCallback()
{
    dispatchPendingMessages();
}
