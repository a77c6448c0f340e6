#pragma once

#include <juce_events/juce_events.h>

#include <memory>
#include <mutex>

class MessageBroadcaster;

/**
    Delivers the messages of a set of broadcasters (one plug-in instance: the processor and its
    voices) on the message thread, from a single timer that runs only while one of them has a
    listener.

    Hosts may build and destroy the instance on a thread of their own. The timer is started only by
    a listener joining, so never while the instance is still being built, and shutDown() stops it
    and waits for a delivery in progress before anything is torn down.
*/
class MessageDispatcher final
{
public:
    MessageDispatcher();
    ~MessageDispatcher();

    /** After this nothing more is delivered; any thread. */
    void shutDown();

    /** Delivers what was posted before the call, and leaves what its listeners post meanwhile to
        the next call, so that a sender far faster than the listeners can't hold the message
        thread; message thread. The dispatcher's timer calls it. */
    void deliverPendingMessages();

private:
    friend class MessageBroadcaster;

    class Pump;

    void add (MessageBroadcaster& broadcaster);
    void remove (MessageBroadcaster& broadcaster);
    void listenersChanged();

    juce::Array<MessageBroadcaster*> broadcasters;
    std::unique_ptr<Pump> pump;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MessageDispatcher)
};
