#include "page/Action.h"

#include <gtest/gtest.h>

using namespace lumavine;

namespace {

String joined(const StringList& list)
{
    String out;
    list.join(u"|", out);
    return out;
}

}

TEST(ActionTest, ParsesFunctionAndArgumentsWithAndWithoutQuotes)
{
    String function;
    StringList arguments;
    const String action(u"  javascript:show_picture('main','files/a.jpg','Sun, and sea',null,null,null,80,true) ");
    ASSERT_TRUE(parseAction(action, function, arguments, true));
    EXPECT_EQ(function, u"show_picture");
    EXPECT_EQ(joined(arguments), u"'main'|'files/a.jpg'|'Sun, and sea'|null|null|null|80|true");
    ASSERT_TRUE(parseAction(action, function, arguments, false));
    EXPECT_EQ(joined(arguments), u"main|files/a.jpg|Sun, and sea|null|null|null|80|true");

    // Prefix and names ignore case; a ")" inside a text does not end it.
    ASSERT_TRUE(parseAction(u"JavaScript : mail('a@b.org','Hi :)')", function, arguments, false));
    EXPECT_EQ(function, u"mail");
    EXPECT_EQ(joined(arguments), u"a@b.org|Hi :)");

    // Empty texts keep their places, also as the last argument.
    ASSERT_TRUE(parseAction(u"javascript:play_audio('','x.wav',,100,)", function, arguments, false));
    EXPECT_EQ(arguments.count(), 5u);
    EXPECT_EQ(arguments.get(1), u"x.wav");
    EXPECT_EQ(arguments.get(2), u"");
    EXPECT_EQ(arguments.get(4), u"");

    ASSERT_TRUE(parseAction(u"javascript:clear_audio()", function, arguments, true));
    EXPECT_EQ(function, u"clear_audio");
    EXPECT_TRUE(arguments.isEmpty());
}

TEST(ActionTest, TextsThatAreNoActionsAreRefusedAndLeaveEmptyOutputs)
{
    String function(u"old");
    StringList arguments;
    arguments.append(String(u"old"));
    for (const char16_t* text : { u"", u"show_page('a')", u"http://x.org/a(b)", u"vbscript:show_page('a')",
             u"javascript:show_page('a'", u"javascript:('a')", u"javascript:f('unterminated)", u"(((", u")(" }) {
        EXPECT_FALSE(parseAction(text, function, arguments, true)) << String(text).toNarrow();
        EXPECT_TRUE(function.empty());
        EXPECT_TRUE(arguments.isEmpty());
    }
    EXPECT_EQ(actionFunction(u"plain text"), u"");
    EXPECT_TRUE(actionCalls(u"javascript:SHOW_PAGE('a','b',null,100)", u"show_page"));
}

TEST(ActionTest, BuildingAParsedActionGivesItBack)
{
    const String action(u"javascript:show_slides('f','abc_1',5,true,false)");
    String function;
    StringList arguments;
    ASSERT_TRUE(parseAction(action, function, arguments, true));
    EXPECT_EQ(buildAction(function, arguments), action);
    EXPECT_EQ(quoteArgument(u"x"), u"'x'");
    EXPECT_EQ(unquoteArgument(u"\"x\""), u"x");
    EXPECT_EQ(unquoteArgument(u"null"), u"null");
    EXPECT_EQ(unquoteArgument(u"'"), u"'");
}

TEST(ActionTest, RetargetingRenamesOnlyTheOldFrame)
{
    String onA(u"javascript:show_page('A','files/p.html',null,100)");
    EXPECT_TRUE(retargetAction(onA, String(u"B"), String(u"A")));
    EXPECT_EQ(onA, u"javascript:show_page('B','files/p.html',null,100)");

    String onB(u"javascript:clear_frame('B')");
    EXPECT_TRUE(retargetAction(onB, String(u"B"), String(u"A")));
    EXPECT_EQ(onB, u"javascript:clear_frame('B')");

    String onC(u"javascript:show_picture('C','a.png',null,null,null,null,100,true)");
    String before = onC;
    EXPECT_FALSE(retargetAction(onC, String(u"B"), String(u"A")));
    EXPECT_EQ(onC, before);

    // Slides and mail have no frame to rename.
    String slides(u"javascript:show_slides('A','s',5,true,false)");
    EXPECT_FALSE(retargetAction(slides, String(u"B"), String(u"A")));
    String broken(u"javascript:show_page('A'");
    EXPECT_FALSE(retargetAction(broken, String(u"B"), String(u"A")));
    EXPECT_EQ(broken, u"javascript:show_page('A'");
}

TEST(ActionTest, ScaleWritesRatioAndAspect)
{
    String picture(u"javascript:show_picture('f','a.png',null,null,null,null,100,true)");
    EXPECT_FALSE(setActionScale(picture, 100, true));
    EXPECT_TRUE(setActionScale(picture, 50, false));
    EXPECT_EQ(picture, u"javascript:show_picture('f','a.png',null,null,null,null,50,false)");

    String page(u"javascript:show_page('f','p.html',null,100)");
    EXPECT_TRUE(setActionScale(page, 75, true));
    EXPECT_EQ(page, u"javascript:show_page('f','p.html',null,75)");

    // A short action gets its missing places filled rather than misplaced.
    String shortPicture(u"javascript:show_picture('f','a.png')");
    EXPECT_TRUE(setActionScale(shortPicture, 30, true));
    EXPECT_EQ(shortPicture, u"javascript:show_picture('f','a.png',null,null,null,null,30,true)");

    String video(u"javascript:play_video('f','v.avi','full',100,0)");
    EXPECT_FALSE(setActionScale(video, 50, true));
    EXPECT_EQ(video, u"javascript:play_video('f','v.avi','full',100,0)");
    String custom(u"alert(1)");
    EXPECT_FALSE(setActionScale(custom, 50, true));
}

TEST(ActionTest, FileArgumentsByFunction)
{
    EXPECT_EQ(fileArgumentPositions(u"Show_Picture"), (std::vector<int> { 2, 6 }));
    EXPECT_EQ(fileArgumentPositions(u"show_page"), (std::vector<int> { 2, 3 }));
    EXPECT_EQ(fileArgumentPositions(u"play_video"), (std::vector<int> { 2 }));
    EXPECT_EQ(fileArgumentPositions(u"play_audio"), (std::vector<int> { 2 }));
    EXPECT_TRUE(fileArgumentPositions(u"mail").empty());
}

TEST(ActionTest, HostileTextsDoNotCrash)
{
    String function;
    StringList arguments;
    String deep(u"javascript:f(");
    for (int i = 0; i < 20000; ++i)
        deep += u"(,'\"";
    EXPECT_FALSE(parseAction(deep, function, arguments, false));
    String many(u"javascript:f(");
    for (int i = 0; i < 20000; ++i)
        many += u"1,";
    many += u"2)";
    ASSERT_TRUE(parseAction(many, function, arguments, false));
    EXPECT_EQ(arguments.count(), 20001u);
    String scaled = many;
    EXPECT_FALSE(setActionScale(scaled, 1, true));
    String retargeted(u"javascript:show_page(,,,)");
    EXPECT_FALSE(retargetAction(retargeted, String(u"B"), String(u"A")));
}
