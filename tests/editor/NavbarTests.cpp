#include "editor/ControlImages.h"
#include "editor/PresetTestHelpers.h"

#include "editor/Navbar.h"
#include "lookandfeel/Palette.h"
#include "processor/ParameterIds.h"

using namespace PresetTest;

namespace
{
struct Bar : Presets
{
    Bar()
    {
        navbar.setBounds (0, 0, 883, 48);
        navbar.openDocument = [this] (const juce::File& f) { opened.add (f.getFullPathName()); };
        navbar.openWebsite = [this] (const juce::URL& u) { opened.add (u.toString (true)); };
    }

    /** The title and message of the alert on screen, which is then closed. */
    static juce::String takeAlert()
    {
        auto* alert = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());

        if (alert == nullptr)
            return {};

        const auto text = alert->getDescription(); // the title, ". " and the message
        alert->exitModalState (0);
        pump();
        return text;
    }

    Navbar navbar { processor };
    juce::StringArray opened;
};

/** The smallest rectangle of pixels near a colour. */
juce::Rectangle<int> inkOf (const juce::Image& image, juce::Colour colour, juce::Rectangle<int> area)
{
    juce::Rectangle<int> ink;

    for (auto y = area.getY(); y < area.getBottom(); ++y)
        for (auto x = area.getX(); x < area.getRight(); ++x)
            if (ControlImages::coloursNear (image.getPixelAt (x, y), colour, 12))
                ink = ink.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : ink.getUnion ({ x, y, 1, 1 });

    return ink;
}
} // namespace

TEST (Navbar, LogoMenuOffersTheUserGuideScalingAndOnlyARealWebSite)
{
    EXPECT_EQ (describe (Navbar::createLogoMenu ({})), "User guide=1 Reset GUI scaling=2 Visit web site=3(disabled)");
    EXPECT_EQ (describe (Navbar::createLogoMenu ("https://www.example.org/tombrel")), "User guide=1 Reset GUI scaling=2 Visit www.example.org=3");

    Bar b;
    const auto guide = b.data.get().getChildFile ("Tombrel User Guide.pdf");

    b.navbar.logoMenuItemChosen (1);
    EXPECT_EQ (Bar::takeAlert(), "WARNING. User guide does not exist!");
    guide.createDirectory();
    b.navbar.logoMenuItemChosen (1);
    EXPECT_EQ (Bar::takeAlert(), "WARNING. User guide does not exist!");
    EXPECT_TRUE (b.opened.isEmpty());

    guide.deleteRecursively();
    guide.replaceWithText ("%PDF-1.4");
    b.navbar.logoMenuItemChosen (1);
    EXPECT_EQ (Bar::takeAlert(), "");

    b.navbar.logoMenuItemChosen (3);
    b.navbar.logoMenuItemChosen (0);
    juce::StringArray expected { guide.getFullPathName() };

    if (Navbar::getMakerWebsite().isNotEmpty())
        expected.add (Navbar::getMakerWebsite());

    EXPECT_EQ (b.opened, expected);
}

TEST (Navbar, BypassFollowsClicksAndTheHostAndGreysItsIcon)
{
    Bar b;
    auto& bypass = *b.navbar.bypassButton;
    const auto& parameter = ProcessorTestHelpers::parameter (b.processor, ParameterIds::paramBypassGlobal);
    const auto iconColour = [&]
    {
        const auto image = ControlImages::paintAndSave (b.navbar, "navbar-bypass-" + juce::String ((int) bypass.getToggleState()));
        return inkOf (image, Palette::text, bypass.getBounds()).isEmpty() ? Palette::iconGrey : Palette::text;
    };

    EXPECT_EQ (iconColour(), Palette::text);

    for (const auto expected : { 1.0f, 0.0f })
    {
        bypass.triggerClick();
        pump();
        EXPECT_EQ (parameter.getValue(), expected);
        EXPECT_EQ (iconColour(), expected > 0.5f ? Palette::iconGrey : Palette::text);
    }

    ProcessorTestHelpers::setValue (ProcessorTestHelpers::parameter (b.processor, ParameterIds::paramBypassGlobal), 1.0f);
    pump();
    EXPECT_TRUE (bypass.getToggleState());
    EXPECT_EQ (iconColour(), Palette::iconGrey);
}

TEST (Navbar, PaintsTheBarSeparatorsAndIconsInTheirPlaces)
{
    Bar b;
    const auto image = ControlImages::paintAndSave (b.navbar, "navbar");
    saveImageForReview (b.navbar.createComponentSnapshot (b.navbar.getLocalBounds(), true, 3.0f), "navbar-x3");

    EXPECT_TRUE (ControlImages::coloursNear (image.getPixelAt (300, 5), Palette::barBackground));

    for (const auto x : { 415, 805 })
        for (const auto y : { 0, 24, 47 })
            EXPECT_TRUE (ControlImages::coloursNear (image.getPixelAt (x, y), Palette::panelBackground)) << x;

    // The logo at its own size; the other icons fitted, keeping their proportions, into their buttons less 3 on each side.
    const std::vector<std::pair<juce::Rectangle<int>, juce::Rectangle<int>>> icons {
        { { 15, 9, 126, 34 }, { 15, 10, 124, 31 } }, // logo: 31 high, the name ending near the right of its 126
        { { 733, 12, 25, 25 }, { 736, 15, 19, 19 } }, // save, square
        { { 760, 12, 36, 25 }, { 766, 15, 24, 19 } }, // refresh, 201.81 x 158.99
        { { 818, 12, 25, 25 }, { 821, 15, 19, 19 } }, // settings, square
        { { 847, 12, 25, 25 }, { 851, 15, 17, 19 } }, // bypass, 140.88 x 159
    };

    for (const auto& [button, expected] : icons)
    {
        const auto ink = inkOf (image, Palette::text, button);
        for (const auto& [actual, wanted] : { std::pair (ink.getX(), expected.getX()), std::pair (ink.getY(), expected.getY()),
                                              std::pair (ink.getWidth(), expected.getWidth()), std::pair (ink.getHeight(), expected.getHeight()) })
            EXPECT_NEAR (actual, wanted, 2) << button.toString() << ": " << ink.toString();
    }

    EXPECT_NEAR (inkOf (image, Palette::text, { 15, 9, 30, 34 }).getRight(), 15 + 27, 1);
}
