#include "generate/PageHtmlWriter.h"

#include "generate/HtmlText.h"
#include "picture/Alignment.h"
#include "tests/generate/GeneratorProject.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace lumavine;
using lumavine::test::GeneratorProject;

namespace {

// The page's lines, each checked to end in CR LF.
std::vector<std::string> pageLines(Page& page, const String& picturePath)
{
    std::ostringstream out;
    writePageHtml(page, out, picturePath);
    std::string text = out.str();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos)
            break;
        std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos) << "no bare line feed in: " << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

// Cuts the runtime out of the page (it has tests of its own) and answers
// its lines; `lines` keeps "<script language..." and "</script>" with a
// "@runtime" line between them.
std::vector<std::string> cutRuntime(std::vector<std::string>& lines)
{
    std::vector<std::string> runtime;
    auto open = std::find(lines.begin(), lines.end(), "<script language=\"javascript\">");
    auto close = std::find(lines.begin(), lines.end(), "</head>");
    if (open == lines.end() || close == lines.end() || close - open < 2) {
        ADD_FAILURE() << "no script element in the head";
        return runtime;
    }
    runtime.assign(open + 1, close - 1);
    lines.erase(open + 1, close - 1);
    lines.insert(open + 1, "@runtime");
    return runtime;
}

std::vector<std::string> split(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void expectLines(const std::vector<std::string>& actual, const std::string& expectedText)
{
    std::vector<std::string> expected = split(expectedText);
    for (size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        std::string a = i < actual.size() ? actual[i] : "<missing>";
        std::string e = i < expected.size() ? expected[i] : "<missing>";
        EXPECT_EQ(a, e) << "line " << i + 1;
        if (a != e)
            return;
    }
}

std::string replaceAll(std::string text, const std::string& find, const std::string& replacement)
{
    for (size_t at = text.find(find); at != std::string::npos; at = text.find(find, at + replacement.size()))
        text.replace(at, find.size(), replacement);
    return text;
}

const char* const border = "border-style:solid;border-width:1px;border-color:#000000";

const char* const head = R"html(<html lang="en">
<head>
<title>@TITLE@</title>
<style type="text/css">
body
{
	margin:	0pt;
@OVERFLOW@}

div
{
	position:	absolute;
}

iframe
{
	position:	absolute;
}

a
{
	text-decoration:	none;
}
@BACKGROUND@
.menuitem
{
	cursor:	pointer;
}
</style>
<script language="javascript">
@runtime
</script>
</head>
<body onload='initialize()' onunload='exit()' onkeydown='javascript:keyhandler(event)' onclick='javascript:clicked()' onresize='pagesize()' onscroll='scrollhandler()'>
<span id='custom-html' style='position:absolute;display:none'></span>
<span id='page-audio-container'></span>
<div id="page_div" style="position:absolute;left:0;top:0">
)html";

const char* const credit
    = R"html(<span id="tm" style="position:absolute;font-family:verdana;font-size:8pt;background:transparent"><nobr><a style="color:#000000" href=https://www.lumavine.org/ target=_blank>Designed with Lumavine</a></nobr></span>
</body>
</html>
)html";

}

TEST(PageHtmlWriter, PictureModePageLineForLine)
{
    GeneratorProject project(String(u"/tmp/lumavine-writer-test"));
    Page& page = project.addPage(String(u"Home Page"));
    page.setScrollingOff(true);
    page.setBackgroundColor(u"#336699");

    PicNode* go = page.addRectangle(QRect(10, 10, 50, 30));
    go->setName(String(u"go"));
    go->setLayer(3);
    PageNode* goNode = Page::asPageNode(go);
    goNode->setEventText(PageNode::Title, String(u"A \"quoted\" <tip>"));
    goNode->setEventText(PageNode::MouseDown, String(u"javascript:clear_frame('f')"));

    PicNode* frame = page.addRectangle(QRect(100, 10, 100, 60));
    frame->setName(String(u"f"));
    frame->setLayer(5);
    frame->border().setWidth(0);
    Page::asPageNode(frame)->setFrame(true);

    PicNode* line = page.addLine({ QPoint(0, 100), QPoint(50, 100) });
    line->setName(String(u"line"));
    line->setLayer(7);

    std::vector<std::string> lines = pageLines(page, String(u"/somewhere/content/Home_Page.png"));
    std::vector<std::string> runtime = cutRuntime(lines);
    ASSERT_GE(runtime.size(), 4u);
    EXPECT_EQ(runtime[0], "");
    EXPECT_EQ(runtime[1], "var\t_imageWidth = " + std::to_string(page.pageSize().width()) + ";")
        << "without a picture file the page's size stands in";
    EXPECT_EQ(runtime[3], "");

    std::string captionCell = String(page.captionStyle().cssText()).toNarrow();
    std::string expected = std::string(head)
        + R"html(<img id="page_image" src="Home_Page.png" alt="Home Page" usemap="#pagemap" style="width:1;height:1" border="0" />
<map name="pagemap">

<div id="f" style="background:transparent;position:absolute;left:100;top:10;width:101;height:61;z-index:3">
	<iframe id="f-iframe" onload="javascript:frame_loaded(this)" frameborder="0" style="display:none;@BORDER@;left:0;top:0;width:100;height:60">
	</iframe>
	<div id="f-video-div" style="visibility:hidden;position:absolute;left:0;top:0;width:100;height:60;@BORDER@">
	</div>
	<div id="f-image-link-div" style="overflow:hidden;display:none;width:0;height:0; @BORDER@"><a id="f-image-link"><img border="0" id="f-link-image" alt="" /></a><span id="f-link-caption" style="width:100%;@BORDER@"><table border=0 cellspacing=0 cellpadding=0 style="width:100%;height:100%"><tr><td id="f-link-caption-cell" style="width:100%;text-align:center;@CAPTION@"></td></tr></table></span>
	</div>
	<div id="f-image-div" style="overflow:hidden;display:none;width:0;height:0; @BORDER@"><img border="0" id="f-image" alt="" /><span id="f-caption" style="width:100%;@BORDER@"><table border=0 cellspacing=0 cellpadding=0 style="width:100%;height:100%"><tr><td id="f-caption-cell" style="width:100%;text-align:center;@CAPTION@"></td></tr></table></span>
	</div>
</div>
<area shape="rectangle" coords="10,10,60,40"  id="go" alt="A &quot;quoted&quot; <tip>" onmouseover="javascript:hand()" onmouseout="javascript:pointer()" title="A &quot;quoted&quot; <tip>" onmousedown="javascript:clear_frame('f')">
</area>
</div>
</map>
)html" + credit;
    expected = replaceAll(expected, "@TITLE@", "Home Page");
    expected = replaceAll(expected, "@OVERFLOW@", "\toverflow:\thidden;\n");
    expected = replaceAll(expected, "@BACKGROUND@", "body\n{\n\tbackground-color:\t#336699;\n}\n");
    expected = replaceAll(expected, "@BORDER@", border);
    expected = replaceAll(expected, "@CAPTION@", captionCell);
    expectLines(lines, expected);
}

TEST(PageHtmlWriter, NoPictureModePageLineForLine)
{
    GeneratorProject project(String(u"/tmp/lumavine-writer-test"));
    Page& page = project.addPage(String(u"Plain <& Simple>"));
    page.setProperty(u"imagetype", String(u"none"));

    PicNode* box = page.addRectangle(QRect(5, 5, 40, 20));
    box->setName(String(u"box"));
    box->setText(String(u"Hi & <bye>"));
    box->setHorizontalAlignment(Alignment::HCenter);
    box->setVerticalAlignment(Alignment::Bottom);
    PageNode* boxNode = Page::asPageNode(box);
    boxNode->setEventText(PageNode::MouseDown, String(u"javascript:mail('ann@example.org','Hello')"));
    boxNode->setEventText(PageNode::Title, String(u"not written for mail"));

    PicNode* ellipse = page.addEllipse(QRect(60, 5, 20, 20));
    ellipse->setName(String(u"round"));
    PicNode* polygon = page.addPolygon({ QPoint(0, 50), QPoint(20, 50), QPoint(10, 70) });
    polygon->setName(String(u"tri"));

    std::vector<std::string> lines = pageLines(page, String());
    cutRuntime(lines);
    std::string font = WinFont::defaultFont().css().toNarrow();
    std::string expected = std::string(head) + R"html(
<div id="box" style="position:absolute;left:5;top:5;width:40;height:20;@BORDER@;;z-index:0"><a href="mailto:ann@example.org?subject=Hello"><table cellspacing=0 cellpadding=4 style="position:absolute;left:0;top:0;width:100%;height:100%"><tr><td style="cursor:pointer;width:100%;height:100%;text-align:center;vertical-align:bottom;@FONT@">Hi &amp; &lt;bye&gt;</td></tr></table></a>
</div>
<script>
if (ie == false)
{
	var	div = document.getElementById('box');
	div.style.width = 38;
	div.style.height = 18;
}
</script>
</div>
)html" + credit;
    expected = replaceAll(expected, "@TITLE@", "Plain &lt;&amp; Simple&gt;");
    expected = replaceAll(expected, "@OVERFLOW@", "");
    expected = replaceAll(expected, "@BACKGROUND@", "");
    expected = replaceAll(expected, "@BORDER@", border);
    expected = replaceAll(expected, "@FONT@", font);
    expectLines(lines, expected);
}

TEST(PageHtmlWriter, NoPictureLinksHoldTheWholeShape)
{
    GeneratorProject project(String(u"/tmp/lumavine-writer-test"));
    Page& page = project.addPage(String(u"Links"));
    page.setProperty(u"imagetype", String(u"none"));
    PageNode* next = Page::asPageNode(page.addRectangle(QRect(0, 0, 50, 20)));
    next->setName(String(u"next"));
    next->setText(String(u"Next"));
    next->setEventText(PageNode::Href, String(u"Next_Page.html?a=1&b=2"));
    next->setEventText(PageNode::MouseUp, String(u"javascript:clear_frame('f')"));
    PageNode* picture = Page::asPageNode(page.addPicture(0, 30, String(u"files/p.png")));
    picture->setName(String(u"pic"));
    picture->setEventText(PageNode::MouseDown, String(u"javascript:mail('ann@example.org','Hi')"));

    std::vector<std::string> lines = pageLines(page, String());
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    // The division keeps its events; the hyperlink moves into a link around
    // both of the division's tables.
    size_t division = text.find("<div id=\"next\" ");
    ASSERT_NE(division, std::string::npos);
    std::string opening = text.substr(division, text.find('>', division) - division);
    EXPECT_EQ(opening.find("href"), std::string::npos) << opening;
    EXPECT_NE(opening.find(" onmouseup=\"javascript:clear_frame('f')\""), std::string::npos) << opening;
    EXPECT_NE(text.find(opening + "><a href=\"Next_Page.html?a=1&amp;b=2\"><table cellspacing=0 cellpadding=4 "),
        std::string::npos);
    EXPECT_NE(text.find("<td style=\"cursor:pointer;"), std::string::npos) << "a link shows the hand";
    EXPECT_NE(text.find(">Next</td></tr></table></a>\n</div>"), std::string::npos);

    size_t pictureDivision = text.find("<div id=\"pic\" ");
    ASSERT_NE(pictureDivision, std::string::npos);
    size_t mailLink = text.find("<a href=\"mailto:ann@example.org?subject=Hi\">", pictureDivision);
    size_t pictureTable = text.find("<table cellspacing=0 cellpadding=0 ", pictureDivision);
    size_t captionTable = text.find("<table cellspacing=0 cellpadding=4 ", pictureDivision);
    size_t linkEnd = text.find("</a>", pictureDivision);
    ASSERT_NE(mailLink, std::string::npos);
    EXPECT_LT(mailLink, pictureTable) << "the caption table over the picture is inside the link too";
    EXPECT_LT(pictureTable, captionTable);
    EXPECT_LT(captionTable, linkEnd);
    std::string pictureText = text.substr(pictureDivision, text.find("</div>", pictureDivision) - pictureDivision);
    EXPECT_EQ(pictureText.find("<a "), mailLink - pictureDivision);
    EXPECT_EQ(pictureText.find("<a ", mailLink - pictureDivision + 1), std::string::npos) << "one link";
    EXPECT_EQ(pictureText.find("</a>"), linkEnd - pictureDivision);
    EXPECT_EQ(pictureText.find("</a>", linkEnd - pictureDivision + 1), std::string::npos) << "closed once";
    EXPECT_EQ(text.find("<tr><a"), std::string::npos) << "no link between a row and its cell";
}

TEST(PageHtmlWriter, AreasOrderShapesAndMenus)
{
    GeneratorProject project(String(u"/tmp/lumavine-writer-test"));
    Page& page = project.addPage(String(u"Shapes"));
    PicNode* low = page.addEllipse(QRect(0, 0, 40, 30));
    low->setName(String(u"low"));
    low->setLayer(3);
    PicNode* high = page.addRoundRectangle(QRect(10, 10, 40, 40));
    high->setName(String(u"high"));
    high->setLayer(5);
    PicNode* same = page.addPolygon({ QPoint(1, 2), QPoint(30, 2), QPoint(15, 20) });
    same->setName(String(u"same"));
    same->setLayer(6);
    PageNode* highNode = Page::asPageNode(high);
    highNode->setEventText(PageNode::MouseDown, String(u"javascript:clear_frame('x')"));
    highNode->setEventText(PageNode::MouseOver, String(u"javascript:window.status='\"'"));
    PageMenu& menu = highNode->ensureMenu();
    menu.setTrigger(String(u"onmousedown"));
    menu.setAlignment(String(u"align-right"));
    menu.addItem(std::make_unique<PageMenuItem>(String(u"One & <two>"),
        String(u"javascript:show_picture('f','files/m.png','It&#146;s',null,null,null,100,true)")));

    std::vector<std::string> lines = pageLines(page, String(u"Shapes.png"));
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    size_t highArea = text.find("id=\"high\"");
    size_t sameArea = text.find("id=\"same\"");
    size_t lowArea = text.find("<area shape=\"circle\" coords=\"20,15,15\"  id=\"low\" alt=\"low\">");
    ASSERT_NE(lowArea, std::string::npos);
    ASSERT_NE(highArea, std::string::npos);
    EXPECT_LT(highArea, lowArea) << "the upper shape's area comes first";
    EXPECT_LT(sameArea, lowArea);
    EXPECT_NE(
        text.find("<area shape=\"polygon\" coords=\"1,2,30,2,15,20\"  id=\"same\" alt=\"same\">"), std::string::npos);
    EXPECT_NE(
        text.find(" id=\"high\" alt=\"high\" onmouseover=\"javascript:hand()\" onmouseout=\"javascript:pointer()\" "
                  "onmousedown=\"javascript:show_menu('high','align-right',1)\">"),
        std::string::npos)
        << "a node with a menu writes only the menu's handler";
    EXPECT_EQ(text.find("clear_frame('x')"), std::string::npos);

    EXPECT_NE(text.find("<div id=\"high-menu-div\" class='click-menu'>\n"), std::string::npos);
    EXPECT_NE(text.find("<nobr>One &amp; &lt;two&gt;</nobr>"), std::string::npos) << "entry names are content";
    EXPECT_NE(
        text.find(" onmouseup=\"javascript:show_picture('f','files/m.png','It&#146;s',null,null,null,100,true)\""),
        std::string::npos)
        << "actions keep their character references";
    EXPECT_NE(text.find(".class-1-menu-td\n"), std::string::npos) << "menus are numbered by node position";
    EXPECT_NE(text.find("<img src='files/m.png' alt='' style='position:absolute;left:-10000;top:-10000' "
                        "onload='javascript:storeDimension(this)' />"),
        std::string::npos)
        << "menu pictures are preloaded";

    highNode->setMenu(nullptr);
    lines = pageLines(page, String(u"Shapes.png"));
    text.clear();
    for (const std::string& l : lines)
        text += l + "\n";
    EXPECT_NE(
        text.find(
            " id=\"high\" alt=\"high\" onmouseout=\"javascript:pointer()\" onmousedown=\"javascript:clear_frame('x')\" "
            "onmouseover=\"javascript:window.status='&quot;';hand()\">"),
        std::string::npos)
        << "a clickable area adds the hand to its own pointer handler";
}

TEST(PageHtmlWriter, TransitionBlockAndInitializationEntries)
{
    GeneratorProject project(String(u"/tmp/lumavine-writer-test"));
    project.transitions().setSetting(u"barn", u"iduration", String(u".5"));
    project.transitions().setSetting(u"barn", u"clear", String(u"true"));
    project.transitions().setSetting(u"fade", u"clear", String(u"maybe"));
    project.transitions().setSetting(u"iris", u"motion", String(u"o\"ut"));
    Page& page = project.addPage(String(u"T"));
    page.setTransition(0, String(u"barn"));
    page.setTransition(1, String(u"fade"));
    page.setTransition(2, String(u"iris"));
    page.initialize().list().add(
        String(u"first"), String(u"javascript:show_picture('f','files/i.png',null,null,null,null,50,false)"));

    std::vector<std::string> lines = pageLines(page, String());
    std::vector<std::string> runtime = cutRuntime(lines);
    std::string text;
    for (const std::string& l : runtime)
        text += l + "\n";
    EXPECT_NE(
        text.find("transitions[0] = \"progid:DXImageTransform.Microsoft.barn(motion='in',orientation='horizontal')\";\n"
                  "durations[0] = 0.5;\nclears[0] = true;\n"
                  "transitions[1] = \"progid:DXImageTransform.Microsoft.fade(overlap='1.0')\";\n"
                  "durations[1] = 1;\nclears[1] = false;\n"),
        std::string::npos);
    EXPECT_NE(
        text.find("transitions[2] = \"progid:DXImageTransform.Microsoft.iris(irisstyle='diamond',motion='o\\\"ut')\";"),
        std::string::npos)
        << "a quote in a setting stays inside the script string";
    EXPECT_NE(text.find("transitions[3] = \"\";\ndurations[3] = 1;\nclears[3] = false;\n"), std::string::npos);
    EXPECT_NE(
        text.find(
            "\tpage_loaded = true;\n\tjavascript:show_picture('f','files/i.png',null,null,null,null,50,false);\n}"),
        std::string::npos);
    bool preloaded = false;
    for (const std::string& l : lines)
        preloaded |= l.find("<img src='files/i.png'") == 0;
    EXPECT_TRUE(preloaded) << "start-up pictures are preloaded";
}

TEST(PageHtmlWriter, ShapesTellScreenReadersWhatTheyAre)
{
    GeneratorProject project(String(u"/tmp/lumavine-writer-test"));
    Page& page = project.addPage(String(u"Tour & \"Map\""));
    auto addArea = [&](const char16_t* name, int left) {
        PageNode* node = Page::asPageNode(page.addRectangle(QRect(left, 0, 20, 20)));
        node->setName(String(name));
        return node;
    };
    PageNode* both = addArea(u"both", 0);
    both->setEventText(PageNode::Title, String(u"Opens \"the lake\""));
    both->setText(String(u"Lake"));
    addArea(u"caption", 30)->setText(String(u"Meadow & wood"));
    addArea(u"named", 60);

    std::string text;
    for (const std::string& line : pageLines(page, String(u"Tour.png")))
        text += line + "\n";
    EXPECT_EQ(text.find("<html lang=\"en\">\n"), 0u);
    EXPECT_NE(
        text.find("<img id=\"page_image\" src=\"Tour.png\" alt=\"Tour &amp; &quot;Map&quot;\" "), std::string::npos);
    EXPECT_NE(text.find(" id=\"both\" alt=\"Opens &quot;the lake&quot;\""), std::string::npos)
        << "the tooltip comes before the caption";
    EXPECT_NE(text.find(" id=\"caption\" alt=\"Meadow &amp; wood\""), std::string::npos);
    EXPECT_NE(text.find(" id=\"named\" alt=\"named\""), std::string::npos) << "the name when nothing else";

    // Without a picture, a picture shape's image carries the same text.
    page.setProperty(u"imagetype", String(u"none"));
    PageNode* picture = Page::asPageNode(page.addPicture(0, 40, String(u"files/p.png")));
    picture->setName(String(u"pic"));
    picture->setText(String(u"Boathouse"));
    text.clear();
    for (const std::string& line : pageLines(page, String()))
        text += line + "\n";
    EXPECT_NE(text.find("<img border=0 src=\"files/p.png\" alt=\"Boathouse\" style="), std::string::npos);
}

TEST(PageHtmlWriter, ResponsiveModeReachesTheScriptOnlyWhenOn)
{
    GeneratorProject project(String(u"/tmp/lumavine-writer-test"));
    Page& page = project.addPage(String(u"Wide"));
    auto responsiveLine = [&]() {
        std::vector<std::string> lines = pageLines(page, String());
        std::vector<std::string> runtime = cutRuntime(lines);
        for (const std::string& line : runtime)
            if (line.find("var\t_responsive = ") == 0)
                return line;
        return std::string("<none>");
    };
    EXPECT_EQ(responsiveLine(), "var\t_responsive = 0;");
    page.setResponsive(true);
    EXPECT_EQ(responsiveLine(), "var\t_responsive = 1;");
}

TEST(HtmlText, EscapesOnlyWhatThePlaceNeeds)
{
    EXPECT_EQ(HtmlText::content(u"plain text").toNarrow(), "plain text");
    EXPECT_EQ(HtmlText::content(u"a<b>&\"c'").toNarrow(), "a&lt;b&gt;&amp;\"c'");
    EXPECT_EQ(HtmlText::attribute(u"say \"x\" & <y>").toNarrow(), "say &quot;x&quot; &amp; <y>");
    EXPECT_EQ(HtmlText::attribute(u"it's \"", u'\'').toNarrow(), "it&#39;s \"");
    EXPECT_EQ(HtmlText::action(u"javascript:f('&#146;',\"q\")").toNarrow(), "javascript:f('&#146;',&quot;q&quot;)");
    EXPECT_EQ(HtmlText::hyperlink(u"JavaScript:go('a&b')").toNarrow(), "JavaScript:go('a&b')");
    EXPECT_EQ(HtmlText::hyperlink(u"page.html?a=1&b=\"2\"").toNarrow(), "page.html?a=1&amp;b=&quot;2&quot;");

    EXPECT_EQ(HtmlText::scriptString(u"Round Rectangle_1").toNarrow(), "Round Rectangle_1");
    EXPECT_EQ(HtmlText::scriptString(u"Ann's \"best\" \\ </script>\n").toNarrow(),
        "Ann\\'s \\\"best\\\" \\\\ \\x3c/script>\\n");
    EXPECT_EQ(HtmlText::cssIdentifier(u"menu_1-a").toNarrow(), "menu_1-a");
    EXPECT_EQ(HtmlText::cssIdentifier(u"Round Rectangle_1").toNarrow(), "Round\\ Rectangle_1");
    EXPECT_EQ(HtmlText::cssIdentifier(u"1st").toNarrow(), "\\31 st");
    EXPECT_EQ(HtmlText::cssIdentifier(u"-2 & \"x\"").toNarrow(), "-\\32 \\ \\&\\ \\\"x\\\"");
    EXPECT_EQ(HtmlText::cssIdentifier(u"caf\u00e9").toNarrow(), "caf\u00e9") << "left to the page's output";

    EXPECT_EQ(HtmlText::mailto(u"ann@example.org", u"").toNarrow(), "mailto:ann@example.org");
    EXPECT_EQ(HtmlText::mailto(u"ann@example.org", u"Visiting the lake?").toNarrow(),
        "mailto:ann@example.org?subject=Visiting the lake?");
    EXPECT_EQ(HtmlText::mailto(u"a\"b@example.org", u"Q&A #2 at 50% \"now\"\n").toNarrow(),
        "mailto:a&quot;b@example.org?subject=Q%26A %232 at 50%25 &quot;now&quot;%0A");
}
