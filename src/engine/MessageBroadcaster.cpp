#include "MessageBroadcaster.h"

MessageBroadcaster::MessageBroadcaster (MessageDispatcher& messageDispatcher)
    : dispatcher (messageDispatcher)
{
    dispatcher.add (*this);
}

MessageBroadcaster::~MessageBroadcaster()
{
    dispatcher.remove (*this);
}

void MessageBroadcaster::addActionListener (juce::ActionListener* listener)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);

    listening = ! listeners.isEmpty();
    dispatcher.listenersChanged();
}

void MessageBroadcaster::removeActionListener (juce::ActionListener* listener)
{
    JUCE_ASSERT_MESSAGE_THREAD

    listeners.removeFirstMatchingValue (listener);
    listening = ! listeners.isEmpty();

    // What was posted for nobody is not kept for whoever listens next.
    if (! listening)
        for (BroadcastMessages::Message dropped; queue.pop (dropped);) {}

    dispatcher.listenersChanged();
}

void MessageBroadcaster::post (BroadcastMessages::Message message) noexcept
{
    if (listening.load (std::memory_order_relaxed) && message.kind != BroadcastMessages::Kind::none)
        queue.push (message);
}

void MessageBroadcaster::deliverPending()
{
    BroadcastMessages::Message posted;

    for (auto waiting = queue.getNumWaiting(); waiting > 0 && queue.pop (posted); --waiting)
    {
        const auto message = BroadcastMessages::toText (posted.kind, posted.voiceIndex);

        // Copied, as a listener may remove itself or others when called.
        for (auto* listener : juce::Array<juce::ActionListener*> (listeners))
            if (listeners.contains (listener))
                listener->actionListenerCallback (message);
    }
}

//==============================================================================
MessageBroadcaster::Queue::Queue()
{
    for (size_t i = 0; i < capacity; ++i)
        slots[i].sequence.store (i, std::memory_order_relaxed);
}

bool MessageBroadcaster::Queue::push (BroadcastMessages::Message value) noexcept
{
    auto position = writePosition.load (std::memory_order_relaxed);

    for (;;)
    {
        auto& slot = slots[position % capacity];
        const auto sequence = slot.sequence.load (std::memory_order_acquire);
        const auto difference = (intptr_t) sequence - (intptr_t) position;

        if (difference == 0)
        {
            if (writePosition.compare_exchange_weak (position, position + 1, std::memory_order_relaxed))
            {
                slot.value = value;
                slot.sequence.store (position + 1, std::memory_order_release);
                return true;
            }
        }
        else if (difference < 0)
        {
            return false; // full: the message thread has fallen far behind
        }
        else
        {
            position = writePosition.load (std::memory_order_relaxed);
        }
    }
}

bool MessageBroadcaster::Queue::pop (BroadcastMessages::Message& value) noexcept
{
    auto& slot = slots[readPosition % capacity];

    if ((intptr_t) slot.sequence.load (std::memory_order_acquire) - (intptr_t) (readPosition + 1) < 0)
        return false;

    value = slot.value;
    slot.sequence.store (readPosition + capacity, std::memory_order_release);
    ++readPosition;
    return true;
}

size_t MessageBroadcaster::Queue::getNumWaiting() const noexcept
{
    return writePosition.load (std::memory_order_relaxed) - readPosition;
}
