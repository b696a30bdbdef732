#include "generate/Transitions.h"

#include "xml/Elements.h"

#include <gtest/gtest.h>

using namespace lumavine;

namespace {

std::string narrow(const String& text)
{
    return text.toNarrow();
}

}

TEST(Transitions, KindsKeepTheirOrderTextsAndDefaults)
{
    auto kinds = Transitions::kinds();
    ASSERT_EQ(kinds.size(), 18u);
    EXPECT_EQ(kinds.front().key, u"none");
    EXPECT_EQ(kinds[1].key, u"barn");
    EXPECT_EQ(kinds[3].text, u"CheckerBoard");
    EXPECT_EQ(kinds.back().key, u"zigzag");
    EXPECT_TRUE(kinds[6].parameters.empty()) << "inset has no parameters";

    const TransitionKind* gradient = Transitions::findKind(u"GradientWipe");
    ASSERT_NE(gradient, nullptr);
    ASSERT_EQ(gradient->parameters.size(), 3u);
    EXPECT_EQ(gradient->parameters[0].name, u"gradientsize");
    EXPECT_EQ(gradient->parameters[0].defaultValue, u"50");
    EXPECT_EQ(gradient->parameters[2].defaultValue, u"forward");
    EXPECT_EQ(Transitions::findKind(u"sparkle"), nullptr);

    EXPECT_EQ(Transitions::slotName(0), u"image-transition");
    EXPECT_EQ(Transitions::slotName(3), u"menu-transition");
    EXPECT_TRUE(Transitions::slotName(4).empty());
    EXPECT_TRUE(Transitions::slotName(-1).empty());
}

TEST(Transitions, FilterTextsUseSettingsThenDefaults)
{
    Transitions transitions;
    EXPECT_EQ(narrow(transitions.filterText(u"barn")), "") << "no settings map yet";
    EXPECT_EQ(narrow(transitions.clearText(u"barn")), "false");
    EXPECT_EQ(transitions.duration(u"barn"), 1.0);

    transitions.resetAll();
    EXPECT_EQ(narrow(transitions.filterText(u"barn")),
        "progid:DXImageTransform.Microsoft.barn(motion='in',orientation='horizontal')");
    EXPECT_EQ(narrow(transitions.filterText(u"inset")), "progid:DXImageTransform.Microsoft.inset()");
    EXPECT_EQ(narrow(transitions.filterText(u"randomdissolve")),
        "progid:DXImageTransform.Microsoft.randomdissolve(duration='2')");
    EXPECT_EQ(narrow(transitions.filterText(u"none")), "");
    EXPECT_EQ(narrow(transitions.filterText(u"sparkle")), "");
    EXPECT_EQ(narrow(transitions.filterText(u"")), "");

    transitions.setSetting(u"checkerboard", u"squaresy", String(u"12"));
    transitions.setSetting(u"checkerboard", u"direction", String(u""));
    EXPECT_EQ(narrow(transitions.filterText(u"CheckerBoard")),
        "progid:DXImageTransform.Microsoft.checkerboard(direction='up',squaresx='8',squaresy='12')");

    transitions.setSetting(u"fade", u"iduration", String(u".5"));
    transitions.setSetting(u"fade", u"clear", String(u"true"));
    EXPECT_EQ(transitions.duration(u"fade"), 0.5);
    EXPECT_EQ(narrow(transitions.clearText(u"fade")), "true");
    transitions.setSetting(u"fade", u"iduration", String(u"slow"));
    EXPECT_EQ(transitions.duration(u"fade"), 1.0) << "unreadable durations are one second";
    transitions.setSetting(u"fade", u"clear", String());
    EXPECT_EQ(narrow(transitions.clearText(u"fade")), "false");
    EXPECT_FALSE(transitions.setSetting(u"sparkle", u"clear", String(u"true")));
}

TEST(Transitions, DurationsAreWrittenAsStreamsWriteDoubles)
{
    EXPECT_EQ(narrow(Transitions::durationText(1.0)), "1");
    EXPECT_EQ(narrow(Transitions::durationText(0.5)), "0.5");
    EXPECT_EQ(narrow(Transitions::durationText(1.5)), "1.5");
    EXPECT_EQ(narrow(Transitions::durationText(0.1)), "0.1");
    EXPECT_EQ(narrow(Transitions::durationText(5.0)), "5");
}

TEST(Transitions, SaveWritesEveryKindAndNonEmptySettingsInOrderSet)
{
    Transitions transitions;
    transitions.resetAll();
    transitions.setSetting(u"wheel", u"clear", String(u"true"));
    transitions.setSetting(u"wheel", u"spokes", String(u"6"));
    transitions.setSetting(u"wheel", u"iduration", String());
    transitions.setSetting(u"zigzag", u"gridsizex", String(u"16"));

    Document document;
    Element* root = addElement(&document, String(u"lumavine"));
    Element* saved = transitions.save(root);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->tagName(), u"transitions");
    PtrList children;
    ASSERT_EQ(getChildElements(saved, u"*", children), 18u);
    EXPECT_EQ(static_cast<Element*>(children.get(0))->tagName(), u"none");
    EXPECT_EQ(static_cast<Element*>(children.get(17))->tagName(), u"zigzag");

    Element* wheel = findChildElement(saved, u"wheel");
    PtrList wheelSettings;
    ASSERT_EQ(getChildElements(wheel, u"*", wheelSettings), 2u) << "empty settings are left out";
    EXPECT_EQ(static_cast<Element*>(wheelSettings.get(0))->tagName(), u"clear");
    EXPECT_EQ(static_cast<Element*>(wheelSettings.get(1))->tagName(), u"spokes");

    Transitions reloaded;
    setText(addElement(findChildElement(saved, u"wheel"), String(u"unknown")), String(u"x"));
    reloaded.load(saved);
    EXPECT_EQ(narrow(reloaded.filterText(u"wheel")), "progid:DXImageTransform.Microsoft.wheel(spokes='6')");
    EXPECT_EQ(narrow(reloaded.clearText(u"wheel")), "true");
    EXPECT_EQ(narrow(reloaded.filterText(u"zigzag")),
        "progid:DXImageTransform.Microsoft.zigzag(gridsizex='16',gridsizey='8')");
    ASSERT_NE(reloaded.settings(u"wheel"), nullptr);
    EXPECT_EQ(reloaded.settings(u"wheel")->count(), 2u) << "only known settings are read";
    EXPECT_EQ(
        narrow(reloaded.filterText(u"blinds")), "progid:DXImageTransform.Microsoft.blinds(bands='8',direction='up')")
        << "kinds without an element still get a map";
}

TEST(Transitions, LoadEmptiesEarlierSettings)
{
    Transitions transitions;
    transitions.setSetting(u"iris", u"motion", String(u"out"));
    transitions.setSetting(u"iris", u"iduration", String(u"2.0"));
    EXPECT_EQ(transitions.duration(u"iris"), 2.0);

    Document document;
    Element* empty = addElement(&document, String(u"transitions"));
    transitions.load(empty);
    EXPECT_EQ(narrow(transitions.filterText(u"iris")),
        "progid:DXImageTransform.Microsoft.iris(irisstyle='diamond',motion='in')");
    EXPECT_EQ(transitions.duration(u"iris"), 1.0);

    transitions.load(nullptr);
    EXPECT_NE(transitions.settings(u"zigzag"), nullptr);
    EXPECT_EQ(narrow(transitions.rememberedKind()), "barn");
}
