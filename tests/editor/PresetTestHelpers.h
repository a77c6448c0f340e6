#pragma once

#include "ReviewImages.h"
#include "lookandfeel/LookAndFeelCustom.h"
#include "processor/ProcessorTestHelpers.h"
#include "processor/StateIds.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** A processor on a temporary data folder with preset files in it, and ways to look into the preset components. */
namespace PresetTest
{
using ProcessorTestHelpers::TemporaryDataFolder;

inline void pump (int milliseconds = 30) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); }

/** Pumps the message loop until the condition holds or the time runs out. */
inline bool pumpUntil (const std::function<bool()>& condition, int milliseconds = 3000)
{
    for (const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds; ! condition();)
    {
        if (juce::Time::getMillisecondCounter() > end)
            return false;

        pump (10);
    }

    return true;
}

struct Presets
{
    // The editor's look, which the components are drawn in.
    struct DefaultLook
    {
        DefaultLook() { juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel); }
        ~DefaultLook() { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }
        LookAndFeelCustom lookAndFeel;
    } look;
    TemporaryDataFolder data;
    KestrinAudioProcessor processor { data.get() };
    juce::File root { processor.presetsFolderPath };

    /** Writes a valid preset at a path relative to the presets folder, its stored name optionally differing from the file's. */
    juce::File add (const juce::String& relativePath, const juce::String& storedName = {})
    {
        auto xml = processor.valueTreeState.copyState().createXml();
        xml->setAttribute (StateIds::presetName, storedName.isNotEmpty() ? storedName : relativePath.fromLastOccurrenceOf ("/", false, false).upToLastOccurrenceOf (".", false, false));
        const auto file = root.getChildFile (relativePath);
        file.getParentDirectory().createDirectory();
        juce::FileOutputStream out (file);
        EXPECT_TRUE (out.openedOk()) << relativePath;
        out.truncate();
        xml->writeTo (out);
        return file;
    }

    juce::String state (const char* property) const { return processor.valueTreeState.state[property].toString(); }
};

/** A menu in one line: items as text=id (* when ticked), submenus as name{...}, separators as |. */
inline juce::String describe (const juce::PopupMenu& menu)
{
    juce::StringArray parts;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();

        if (item.isSeparator)
            parts.add ("|");
        else if (item.subMenu != nullptr)
            parts.add (item.text + "{" + describe (*item.subMenu) + "}");
        else
            parts.add (item.text + "=" + juce::String (item.itemID) + (item.isTicked ? "*" : "") + (item.isEnabled ? "" : "(disabled)"));
    }

    return parts.joinIntoString (" ");
}

template <typename Type>
Type* findChild (juce::Component& parent, const std::function<bool (Type&)>& matches = [] (Type&) { return true; })
{
    for (auto* child : parent.getChildren())
        if (auto* typed = dynamic_cast<Type*> (child); typed != nullptr && matches (*typed))
            return typed;

    return nullptr;
}

inline juce::Button* findButton (juce::Component& parent, const juce::String& name)
{
    return findChild<juce::Button> (parent, [&] (juce::Button& b) { return b.getName() == name; });
}

/** A plain left click at the origin of a component, for handlers that take the event but look only at what was clicked. */
inline juce::MouseEvent clickOn (juce::Component& component)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), {}, juce::ModifierKeys::leftButtonModifier, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
             &component, &component, now, {}, now, 1, false };
}
} // namespace PresetTest
