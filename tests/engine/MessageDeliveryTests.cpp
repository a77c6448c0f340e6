#include "engine/MessageBroadcaster.h"

#include <gtest/gtest.h>

namespace
{
/** A listener that posts another message for every one it gets, as the audio thread of an offline
    bounce far faster than real time keeps posting while the editor takes its messages. */
struct FloodingListener final : juce::ActionListener
{
    explicit FloodingListener (MessageBroadcaster& b) : broadcaster (b) {}

    void actionListenerCallback (const juce::String&) override
    {
        // Bounded, so that a delivery which takes everything still ends and the test can fail.
        if (++received < 1000)
            broadcaster.post ({ BroadcastMessages::Kind::voiceNoteOn, 2 });
    }

    MessageBroadcaster& broadcaster;
    int received = 0;
};
} // namespace

TEST (MessageDelivery, ADeliveryTakesOnlyWhatWasWaitingWhenItBeganAndLeavesTheRestToTheNext)
{
    MessageDispatcher dispatcher;
    MessageBroadcaster broadcaster (dispatcher);
    FloodingListener listener (broadcaster);
    broadcaster.addActionListener (&listener);

    for (int i = 0; i < 10; ++i)
        broadcaster.post ({ BroadcastMessages::Kind::voiceNoteOn, 2 });

    dispatcher.deliverPendingMessages();
    EXPECT_EQ (listener.received, 10) << "what was posted during the delivery waits for the next one";

    dispatcher.deliverPendingMessages();
    EXPECT_EQ (listener.received, 20);

    broadcaster.removeActionListener (&listener);
}
