#pragma once

#include "editor/ControlImages.h"
#include "lookandfeel/LookAndFeelCustom.h"
#include "processor/ProcessorTestHelpers.h"
#include "processor/StateIds.h"

/** A processor on a temporary data folder with preset files in it, and ways to look into the preset components. */
namespace PresetTest
{
inline void pump (int milliseconds = 30) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); }

inline bool pumpUntil (const std::function<bool()>& condition, int milliseconds = 3000)
{
    for (const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds; ! condition(); pump (10))
        if (juce::Time::getMillisecondCounter() > end)
            return false;

    return true;
}

struct Presets
{
    /** Writes a valid preset relative to the presets folder, storing the file's name unless another is given. */
    juce::File add (const juce::String& relativePath, const juce::String& storedName = {})
    {
        auto xml = processor.valueTreeState.copyState().createXml();
        const auto file = root.getChildFile (relativePath);
        xml->setAttribute (StateIds::presetName, storedName.isNotEmpty() ? storedName : file.getFileNameWithoutExtension());
        file.getParentDirectory().createDirectory();
        juce::FileOutputStream out (file);
        out.truncate();
        xml->writeTo (out);
        return file;
    }

    juce::String state (const char* property) const { return processor.valueTreeState.state[property].toString(); }

    // The editor's default look, in which the components are drawn.
    struct DefaultLook
    {
        DefaultLook() { juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel); }
        ~DefaultLook() { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }
        LookAndFeelCustom lookAndFeel;
    } look;

    ProcessorTestHelpers::TemporaryDataFolder data;
    KestrinAudioProcessor processor { data.get() };
    const juce::File root { processor.presetsFolderPath };
};

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

template <typename Type>
Type* findChild (juce::Component& parent, const std::function<bool (Type&)>& matches = [] (Type&) { return true; })
{
    for (auto* child : parent.getChildren())
        if (auto* typed = dynamic_cast<Type*> (child); typed != nullptr && matches (*typed))
            return typed;

    return nullptr;
}

/** A left click for handlers that take the event but look only at what was clicked. */
inline juce::MouseEvent clickOn (juce::Component& component)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), {}, juce::ModifierKeys::leftButtonModifier, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
             &component, &component, now, {}, now, 1, false };
}

/** The smallest rectangle of the area holding pixels near a colour. */
inline juce::Rectangle<int> inkOf (const juce::Image& image, juce::Colour colour, juce::Rectangle<int> area, int tolerance = 12)
{
    juce::Rectangle<int> ink;

    for (auto y = area.getY(); y < area.getBottom(); ++y)
        for (auto x = area.getX(); x < area.getRight(); ++x)
            if (ControlImages::coloursNear (image.getPixelAt (x, y), colour, tolerance))
                ink = ink.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : ink.getUnion ({ x, y, 1, 1 });

    return ink;
}
} // namespace PresetTest
