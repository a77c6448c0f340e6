#pragma once

#include "editor/KestrinAudioProcessorEditor.h"
#include "lookandfeel/TestImages.h"
#include "lookandfeel/Palette.h"
#include "processor/ProcessorTestHelpers.h"
#include "processor/StateIds.h"

/** What the editor's tests share: a processor on a temporary data folder, its editor on screen, clicks, menus and pixels. */
namespace EditorTestHelpers
{
using namespace ProcessorTestHelpers;

inline void pump (int milliseconds = 30) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); }

/** Pumps until the condition holds; the limit is generous for a loaded machine under the sanitizers,
    since a wait that succeeds returns as soon as it does. */
inline bool pumpUntil (const std::function<bool()>& condition, int milliseconds = 20000)
{
    for (const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds; ! condition(); pump (10))
        if (juce::Time::getMillisecondCounter() > end)
            return false;

    return true;
}

/** How many times slower code runs under a sanitizer than in a release build, roughly: time limits
    are scaled by it. */
#if defined (__SANITIZE_ADDRESS__) || defined (__SANITIZE_THREAD__)
constexpr double sanitizerSlowdown = 10.0;
#elif defined (__has_feature)
 #if __has_feature (address_sanitizer) || __has_feature (thread_sanitizer)
constexpr double sanitizerSlowdown = 10.0;
 #else
constexpr double sanitizerSlowdown = 1.0;
 #endif
#else
constexpr double sanitizerSlowdown = 1.0;
#endif

/** The title and message of the alert on screen, which is then closed; empty when none is shown. */
inline juce::String takeAlert()
{
    auto* alert = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());
    const auto text = alert != nullptr ? alert->getDescription() : juce::String(); // title + ". " + message

    if (alert != nullptr)
        alert->exitModalState (0);

    pump();
    return text;
}

/** Paints a component with its children into an image, written for review when a name is given. */
inline juce::Image snapshot (juce::Component& component, const juce::String& reviewName = {})
{
    const auto image = component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
    if (reviewName.isNotEmpty())
        saveImageForReview (image, reviewName);
    return image;
}

/** True when each channel, alpha included, differs by at most the tolerance. */
inline ::testing::AssertionResult coloursNear (juce::Colour actual, juce::Colour expected, int tolerance = 2)
{
    return (testimages::isNear (actual, expected, tolerance) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << actual.toDisplayString (true) << " is not near " << expected.toDisplayString (true);
}

/** The smallest rectangle of the area holding pixels near a colour. */
inline juce::Rectangle<int> inkOf (const juce::Image& image, juce::Colour colour, juce::Rectangle<int> area, int tolerance = 12)
{
    return testimages::find (image, testimages::near (colour, tolerance), area).bounds;
}

/** A menu in one line: items as text=id (* ticked, ! disabled), submenus as name{...}, separators as |. */
inline juce::String describe (const juce::PopupMenu& menu)
{
    juce::StringArray parts;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        parts.add (item.isSeparator ? juce::String ("|")
                   : item.subMenu != nullptr ? item.text + "{" + describe (*item.subMenu) + "}"
                                             : item.text + "=" + juce::String (item.itemID) + (item.isTicked ? "*" : "") + (item.isEnabled ? "" : "!"));
    }

    return parts.joinIntoString (" ");
}

/** The first child of that type that matches, or of that type and name. */
template <typename Type>
Type& child (juce::Component& parent, const std::function<bool (Type&)>& matches = [] (Type&) { return true; })
{
    for (auto* each : parent.getChildren())
        if (auto* typed = dynamic_cast<Type*> (each); typed != nullptr && matches (*typed))
            return *typed;

    throw std::runtime_error ("no such child");
}

template <typename Type>
Type& child (juce::Component& parent, const juce::String& name)
{
    return child<Type> (parent, [&] (Type& c) { return c.getName() == name; });
}

/** A left click for handlers that take the event but look only at what was clicked. */
inline juce::MouseEvent clickOn (juce::Component& component)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), {}, juce::ModifierKeys::leftButtonModifier, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
             &component, &component, now, {}, now, 1, false };
}

/** A press and release on a component that is not on screen, as the mouse gives them. */
inline void pressAndRelease (juce::Component& component)
{
    const auto event = clickOn (component);
    component.mouseDown (event);
    component.mouseUp (event);
}

/** A press and release of one mouse button at the centre of a component, through its window. */
inline void clickThroughWindow (juce::Component& target, juce::ModifierKeys::Flags button = juce::ModifierKeys::leftButtonModifier)
{
    auto* peer = target.getPeer();
    const auto at = peer->getComponent().getLocalPoint (&target, target.getLocalBounds().getCentre()).toFloat();
    const auto time = juce::Time::currentTimeMillis();
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys (button); // as the platform layer does
    peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, juce::ModifierKeys (button), juce::MouseInputSource::defaultPressure, 0.0f, time);
    juce::ModifierKeys::currentModifiers = {};
    peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, {}, juce::MouseInputSource::defaultPressure, 0.0f, time + 50);
}

/** A processor on a temporary data folder, drawn in the editor's look, with ways to write presets. */
struct Processor
{
    /** Writes a valid preset relative to the presets folder, storing the file's name unless another is given. */
    juce::File add (const juce::String& relativePath, const juce::String& storedName = {})
    {
        const auto file = root.getChildFile (relativePath);
        auto xml = processor.valueTreeState.copyState().createXml();
        xml->setAttribute (StateIds::presetName, storedName.isNotEmpty() ? storedName : file.getFileNameWithoutExtension());
        // Written in place: beside a very long name no temporary file can be made.
        EXPECT_TRUE (file.getParentDirectory().createDirectory() && file.deleteFile() && file.appendText (xml->toString())) << relativePath;
        return file;
    }

    juce::String state (const char* property) const { return processor.valueTreeState.state[property].toString(); }

    juce::SharedResourcePointer<DefaultLookAndFeelHolder> look;
    TemporaryDataFolder data;
    KestrinAudioProcessor processor { data.get() };
    const juce::File root { processor.presetsFolderPath };
};

/** The editor on the desktop at a known place, in front; its navigation bar launches nothing. */
struct Editor : Processor
{
    /** Settled is after the deferred set-up and the save dialog's first listing and selection. */
    void open (bool settled = true)
    {
        editor = std::make_unique<KestrinAudioProcessorEditor> (processor);
        editor->navbar.openDocument = [this] (const juce::File& f) { opened.add (f.getFullPathName()); };
        editor->navbar.openWebsite = [this] (const juce::URL& u) { opened.add (u.toString (true)); };
        editor->setTopLeftPosition (40, 30);
        editor->addToDesktop (0);
        editor->setVisible (true);
        editor->toFront (true); // menus close at once in an application without focus

        if (settled)
        {
            pumpUntil ([this] { return ! dialog().directoryList->isStillLoading(); });
            pump (150);
            pumpUntil ([this] { return nameField().getText().isNotEmpty(); }); // later on a busy machine
        }
    }

    juce::Image snapshot (const juce::String& reviewName = {}) { return EditorTestHelpers::snapshot (*editor, reviewName); }
    juce::String activePanel() const                         { return processor.getStateProperty (StateIds::activePanel).toString(); }

    PresetSaveDialog& dialog()              { return editor->presetSaveDialog; }
    void clickNavbar (juce::Button& button) { editor->navbar.buttonClicked (&button); pump(); }
    juce::TextEditor& nameField()           { return child<juce::TextEditor> (dialog()); }
    juce::FileTreeComponent& tree()         { return child<juce::FileTreeComponent> (dialog()); }
    juce::TextButton& saveButton()          { return child<juce::TextButton> (dialog(), [] (auto& b) { return b.getButtonText() != "Organise..."; }); }
    void click (const juce::String& path)   { dialog().fileClicked (root.getChildFile (path), clickOn (tree())); pump(); }
    void type (const juce::String& name)    { nameField().selectAll(); nameField().insertTextAtCaret (name); pump(); } // as pasted
    void save()                             { dialog().buttonClicked (&saveButton()); }

    /** The name field, the save button's text and how it is shown when disabled; its right edge stays at 626. */
    juce::String target()
    {
        auto& button = saveButton();
        EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (626 - button.getBestWidthForHeight (24), 340, button.getBestWidthForHeight (24), 24));
        return nameField().getText() + " " + button.getButtonText() + (button.isEnabled() ? "" : " disabled")
             + (button.getAlpha() == 1.0f ? "" : " at " + juce::String (button.getAlpha(), 1));
    }

    std::unique_ptr<KestrinAudioProcessorEditor> editor;
    juce::StringArray opened;
};

/** The editor over a presets folder with a few presets, settled. */
struct PresetEditor : Editor
{
    PresetEditor()
    {
        for (const auto* path : { "Kick.qvtp", "Kick.qvtp.qvtp", ".qvtp", "Drums/Snare.qvtp", "Drums/Tom.qvtp", "Factory/Snare.qvtp",
                                  "Factory/Sub/Hat.qvtp", "Factory Kits/Tom.qvtp" })
            add (path);

        open();
    }
};
} // namespace EditorTestHelpers
