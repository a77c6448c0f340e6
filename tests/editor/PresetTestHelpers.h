#pragma once

#include "editor/ControlImages.h"
#include "editor/KestrinAudioProcessorEditor.h"
#include "processor/ProcessorTestHelpers.h"
#include "processor/StateIds.h"

/** A processor on a temporary data folder with preset files in it, the editor on it, and ways to look into the preset components. */
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

    juce::SharedResourcePointer<DefaultLookAndFeelHolder> look; // the editor's, in which the components are drawn

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
/** An editor on the desktop at a known place, over a presets folder with a few presets, its save dialog listed; it launches nothing. */
struct Editor : Presets
{
    Editor()
    {
        navbar.openDocument = [this] (const juce::File& f) { opened.add (f.getFullPathName()); };
        navbar.openWebsite = [this] (const juce::URL& u) { opened.add (u.toString (true)); };
        editor->setTopLeftPosition (40, 30);
        editor->addToDesktop (0);
        editor->setVisible (true);
        editor->toFront (true); // menus close at once in an application without focus
        pumpUntil ([this] { return ! dialog.directoryList->isStillLoading(); });
        pump (150); // the deferred set-up
        pumpUntil ([this] { return nameField().getText().isNotEmpty(); }); // and the first selection, later on a busy machine
    }

    juce::Image snapshot()                  { return editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f); }
    void clickNavbar (juce::Button& button) { navbar.buttonClicked (&button); pump(); }
    juce::TextEditor& nameField()           { return *findChild<juce::TextEditor> (dialog); }
    juce::FileTreeComponent& tree()         { return *findChild<juce::FileTreeComponent> (dialog); }
    juce::TextButton& saveButton()          { return *findChild<juce::TextButton> (dialog, [] (auto& b) { return b.getButtonText() != "Organise..."; }); }
    void click (const juce::String& path)   { dialog.fileClicked (root.getChildFile (path), clickOn (tree())); pump(); }
    void type (const juce::String& name)    { nameField().setText (name, true); pump(); }
    void save()                             { dialog.buttonClicked (&saveButton()); }

    /** The name field, the save button's text and how it is shown when disabled; its right edge stays at 626. */
    juce::String target()
    {
        auto& button = saveButton();
        EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (626 - button.getBestWidthForHeight (24), 340, button.getBestWidthForHeight (24), 24));
        return nameField().getText() + " " + button.getButtonText() + (button.isEnabled() ? "" : " disabled")
             + (button.getAlpha() == 1.0f ? "" : " at " + juce::String (button.getAlpha(), 1));
    }

    std::unique_ptr<KestrinAudioProcessorEditor> editor = [this]
    {
        for (const auto* path : { "Kick.qvtp", "Kick.qvtp.qvtp", ".qvtp", "Drums/Snare.qvtp", "Drums/Tom.qvtp", "Factory/Snare.qvtp",
                                  "Factory/Sub/Hat.qvtp", "Factory Kits/Tom.qvtp" })
            add (path);

        return std::make_unique<KestrinAudioProcessorEditor> (processor);
    }();
    Navbar& navbar = editor->navbar;
    PresetSaveDialog& dialog = editor->presetSaveDialog;
    juce::StringArray opened;
};
} // namespace PresetTest
