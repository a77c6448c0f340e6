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
        const auto text = alert != nullptr ? alert->getDescription() : juce::String(); // title + ". " + message

        if (alert != nullptr)
            alert->exitModalState (0);

        pump();
        return text;
    }

    Navbar navbar { processor };
    juce::StringArray opened;
};
} // namespace

TEST (Navbar, LogoMenuOpensTheUserGuideOrWarnsAndOffersOnlyARealWebSite)
{
    EXPECT_EQ (describe (Navbar::createLogoMenu ({})), "User guide=1 Reset GUI scaling=2 Visit web site=3!");
    EXPECT_EQ (describe (Navbar::createLogoMenu ("https://www.example.org/tombrel")), "User guide=1 Reset GUI scaling=2 Visit www.example.org=3");

    Bar b;
    const auto guide = b.data.get().getChildFile ("Tombrel User Guide.pdf");

    for (const auto& makeGuide : std::vector<std::function<void()>> { [] {}, [&] { guide.createDirectory(); } })
    {
        makeGuide();
        b.navbar.logoMenuItemChosen (1);
        EXPECT_EQ (Bar::takeAlert(), "WARNING. User guide does not exist!");
    }

    guide.deleteRecursively();
    guide.replaceWithText ("%PDF-1.4");
    for (const auto item : { 1, 3, 0 })
        b.navbar.logoMenuItemChosen (item);

    EXPECT_EQ (Bar::takeAlert(), "");
    EXPECT_EQ (b.opened.joinIntoString (" "), (guide.getFullPathName() + " " + Navbar::getMakerWebsite()).trim());
}

TEST (Navbar, BypassFollowsClicksAndTheHostAndGreysItsIcon)
{
    Bar b;
    auto& bypass = *b.navbar.bypassButton;
    auto& parameter = ProcessorTestHelpers::parameter (b.processor, ParameterIds::paramBypassGlobal);
    const auto iconIsGrey = [&]
    {
        const auto image = ControlImages::paintAndSave (b.navbar, "navbar-bypass-" + juce::String ((int) bypass.getToggleState()));
        return inkOf (image, Palette::text, bypass.getBounds()).isEmpty() && ! inkOf (image, Palette::iconGrey, bypass.getBounds()).isEmpty();
    };

    EXPECT_FALSE (iconIsGrey());

    for (const auto expected : { 1.0f, 0.0f })
    {
        bypass.triggerClick();
        pump();
        EXPECT_EQ (parameter.getValue(), expected);
        EXPECT_EQ (iconIsGrey(), expected > 0.5f);
    }

    ProcessorTestHelpers::setValue (parameter, 1.0f);
    pump();
    EXPECT_TRUE (iconIsGrey());
}

TEST (Navbar, PaintsTheBarSeparatorsAndIconsInTheirPlaces)
{
    Bar b;
    const auto image = ControlImages::paintAndSave (b.navbar, "navbar");
    saveImageForReview (b.navbar.createComponentSnapshot (b.navbar.getLocalBounds(), true, 3.0f), "navbar-x3");

    EXPECT_TRUE (ControlImages::coloursNear (image.getPixelAt (300, 5), Palette::barBackground));
    for (const auto& [x, y] : { std::pair (415, 0), { 415, 47 }, { 805, 0 }, { 805, 47 } })
        EXPECT_TRUE (ControlImages::coloursNear (image.getPixelAt (x, y), Palette::panelBackground)) << x;

    // The logo at its own size, hexagons 27 wide; the other icons fitted, keeping their proportions, within 3 of their buttons' edges.
    EXPECT_NEAR (inkOf (image, Palette::text, { 15, 9, 30, 34 }).getRight(), 15 + 27, 1);
    for (const auto& [button, expected] : std::vector<std::pair<juce::Rectangle<int>, juce::Rectangle<int>>> {
             { { 15, 9, 126, 34 }, { 15, 10, 124, 31 } }, { { 733, 12, 25, 25 }, { 736, 15, 19, 19 } }, { { 760, 12, 36, 25 }, { 766, 15, 24, 19 } },
             { { 818, 12, 25, 25 }, { 821, 15, 19, 19 } }, { { 847, 12, 25, 25 }, { 851, 15, 17, 19 } } })
    {
        const auto ink = inkOf (image, Palette::text, button);
        for (const auto& [actual, wanted] : { std::pair (ink.getX(), expected.getX()), { ink.getY(), expected.getY() },
                                              { ink.getWidth(), expected.getWidth() }, { ink.getHeight(), expected.getHeight() } })
            EXPECT_NEAR (actual, wanted, 2) << button.toString() << ": " << ink.toString();
    }
}
