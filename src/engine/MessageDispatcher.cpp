#include "MessageDispatcher.h"
#include "MessageBroadcaster.h"

namespace
{
// Often enough that a pad flash follows its note without visible delay.
constexpr int deliveryIntervalMs = 10;
} // namespace

/** The timer, apart from its dispatcher so that it can outlive it: a host that destroys the
    dispatcher on its own thread leaves the timer to be deleted on the message thread, where a
    callback that had already been picked to run finds nobody to deliver for. */
class MessageDispatcher::Pump final : private juce::Timer
{
public:
    explicit Pump (MessageDispatcher& owner) : dispatcher (&owner) {}
    ~Pump() override { stopTimer(); }

    void run (bool shouldRun)
    {
        if (shouldRun && ! isTimerRunning())
            startTimer (deliveryIntervalMs);
        else if (! shouldRun)
            stopTimer();
    }

    /** Stops the timer and waits for a delivery in progress; nothing is delivered afterwards. */
    void detach()
    {
        stopTimer();
        const std::lock_guard<std::mutex> lock (mutex);
        dispatcher = nullptr;
    }

    static void dispose (std::unique_ptr<Pump> pump)
    {
        if (pump == nullptr || juce::MessageManager::existsAndIsCurrentThread())
            return;

        // Deleted when the message is delivered, or when the message manager goes.
        struct Disposal final : juce::MessageManager::MessageBase
        {
            explicit Disposal (std::unique_ptr<Pump> p) : held (std::move (p)) {}
            void messageCallback() override {}
            std::unique_ptr<Pump> held;
        };

        (new Disposal (std::move (pump)))->post();
    }

private:
    void timerCallback() override
    {
        const std::lock_guard<std::mutex> lock (mutex);

        if (dispatcher != nullptr)
            dispatcher->deliverPendingMessages();
    }

    std::mutex mutex;
    MessageDispatcher* dispatcher;

    JUCE_DECLARE_NON_COPYABLE (Pump)
};

//==============================================================================
MessageDispatcher::MessageDispatcher()
    : pump (std::make_unique<Pump> (*this))
{
}

MessageDispatcher::~MessageDispatcher()
{
    shutDown();
}

void MessageDispatcher::shutDown()
{
    if (pump == nullptr)
        return;

    pump->detach();
    Pump::dispose (std::move (pump));
}

void MessageDispatcher::add (MessageBroadcaster& broadcaster)
{
    broadcasters.addIfNotAlreadyThere (&broadcaster);
}

void MessageDispatcher::remove (MessageBroadcaster& broadcaster)
{
    broadcasters.removeFirstMatchingValue (&broadcaster);
    listenersChanged();
}

void MessageDispatcher::listenersChanged()
{
    if (pump == nullptr)
        return;

    bool anyListening = false;

    for (auto* broadcaster : broadcasters)
        anyListening = anyListening || broadcaster->hasListeners();

    pump->run (anyListening);
}

void MessageDispatcher::deliverPendingMessages()
{
    JUCE_ASSERT_MESSAGE_THREAD

    // A listener may come or go while it is being called, so the list is walked by index.
    for (int i = 0; i < broadcasters.size(); ++i)
        broadcasters.getUnchecked (i)->deliverPending();
}
