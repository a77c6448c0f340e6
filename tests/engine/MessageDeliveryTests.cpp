#include "engine/MessageBroadcaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace
{
/** Counts the messages delivered between two turns of the message queue, which a self-renewing
    asynchronous update marks until the test stops. */
struct FloodListener final : juce::ActionListener, juce::AsyncUpdater
{
    /** Far more than a broadcaster's queue holds (256): more in one stretch means a delivery that
        goes on taking what is posted while it runs. */
    static constexpr int longestAllowedStretch = 1000;
    static constexpr int enoughMessages = 5000;

    void actionListenerCallback (const juce::String&) override
    {
        // The sender is always a step ahead, as an offline bounce far faster than real time is:
        // each message is handled only once another has been posted behind it.
        for (const auto before = posted.load(); posted.load() == before && ! stop.load();)
            std::this_thread::yield();

        ++delivered;
        longestStretch = std::max (longestStretch, ++sinceQueueTurned);

        // Without a bound the delivery would end only when the sender does.
        if (delivered >= enoughMessages || sinceQueueTurned > longestAllowedStretch)
            stop = true;
    }

    void handleAsyncUpdate() override
    {
        sinceQueueTurned = 0;
        ++queueTurns;

        // The deadline only keeps a delivery that never comes from hanging the test.
        if (juce::Time::getMillisecondCounter() > deadline)
            stop = true;

        if (! stop.load())
            triggerAsyncUpdate();
    }

    const juce::uint32 deadline = juce::Time::getMillisecondCounter() + 60000;
    std::atomic<bool> stop { false };
    std::atomic<int> posted { 0 };
    int delivered = 0, sinceQueueTurned = 0, longestStretch = 0, queueTurns = 0;
};
} // namespace

TEST (MessageDelivery, ADeliveryEndsAfterWhatWasWaitingWhileASenderKeepsPosting)
{
    MessageDispatcher dispatcher;
    MessageBroadcaster broadcaster (dispatcher);
    FloodListener listener;
    broadcaster.addActionListener (&listener);
    listener.triggerAsyncUpdate();

    std::thread sender ([&]
    {
        while (! listener.stop.load())
        {
            broadcaster.post ({ BroadcastMessages::Kind::voiceNoteOn, 2 });
            ++listener.posted;
        }
    });

    while (! listener.stop.load())
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

    sender.join();
    broadcaster.removeActionListener (&listener);

    EXPECT_LE (listener.longestStretch, FloodListener::longestAllowedStretch);
    EXPECT_GE (listener.delivered, FloodListener::enoughMessages);
    EXPECT_GT (listener.queueTurns, 1);
}
