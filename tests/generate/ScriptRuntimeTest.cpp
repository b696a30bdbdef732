#include "generate/ScriptRuntime.h"

#include "core/StringList.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lumavine;

namespace {

std::vector<std::string> collect(const ScriptRuntime& runtime)
{
    std::vector<std::string> lines;
    runtime.write([&](const String& line) { lines.push_back(line.toNarrow()); });
    return lines;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& wanted)
{
    for (const std::string& line : lines) {
        if (line == wanted)
            return true;
    }
    return false;
}

size_t indexOf(const std::vector<std::string>& lines, const std::string& part)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(part) != std::string::npos)
            return i;
    }
    return std::string::npos;
}

}

TEST(ScriptRuntime, SectionsComeInPageOrderAsAsciiText)
{
    std::vector<std::u16string_view> names = ScriptRuntime::sectionNames();
    std::vector<std::u16string_view> expected = { u"core", u"pagesize", u"startup", u"menus", u"animation", u"pictures",
        u"video", u"audio", u"slides", u"effects", u"responsive", u"access" };
    EXPECT_EQ(names, expected);
    for (std::u16string_view name : names) {
        std::string_view source = ScriptRuntime::sectionSource(name);
        EXPECT_FALSE(source.empty());
        for (char c : source)
            ASSERT_TRUE(static_cast<unsigned char>(c) < 128 && c != '\r') << "runtime text is ASCII with LF ends";
    }
    EXPECT_TRUE(ScriptRuntime::sectionSource(u"unknown").empty());
}

TEST(ScriptRuntime, KeepsTheNamesPagesCall)
{
    std::vector<std::string> lines = collect(ScriptRuntime());
    for (const char* head : { "function check_players()", "function filter_handler()", "function Point(x,y)",
             "function Rectangle()", "function Rectangle_center(r)", "function hand()", "function pointer()",
             "function trademark()", "function clicked()", "function getBounds(id)", "function scrollhandler()",
             "function clear_frame(frame)", "function show_page(frame,url,audio,ratio)",
             "function mail(address,subject)", "function frame_loaded(frame)", "function keyhandler(event)",
             "function descendant(element,tag)", "function pagesize()", "function initialize()", "function exit()",
             "function clear_menus(clearall)", "function show_menu(id,alignment,bw)", "function clear_menu(name)",
             "function row_class(cell,classname)", "function Animate(name)", "function Animate_calculateSpeed()",
             "function animates()", "function show_picture(frame,url,text,hyperlink,target,audio,ratio,aspect)",
             "function storeDimension(image)", "function play_video(frame,video,uimode,ratio,playcount)",
             "function pause_video(frame)", "function play_audio(frame,url,uimode,ratio,playcount)",
             "function clear_audio()", "function Slide(type,url,caption,hyperlink,target,audio,ratio,aspect)",
             "function show_slides(frame,name,delay,repeat,manual)", "function next_slide(id)",
             "function prev_slide(id)", "function getSlideshowId()",
             "function Slideshow(frame,slides,delay,repeat,manual,audio)", "function Slideshow_next()",
             "function Slideshow_prev()", "function Slideshow_stop()", "function Slideshow_destroy()" })
        EXPECT_TRUE(hasLine(lines, head)) << head;
    for (const char* global : { "var\t_menu = null;", "var\t_players = new Array();", "var\t_playerInterval = null;",
             "var\ttransitions = new Array();", "var\tdurations = new Array();", "var\tclears = new Array();",
             "var\tie = true;", "var\tpage_loaded = false;", "var\tsbwidth = 20;", "var\tPerSecond = 10;",
             "var\taudioPlayer = null;", "var\t_slides = new Array();", "var\t_slideshowAudios = new Array();",
             "var\t_slideshows = new Array();" })
        EXPECT_TRUE(hasLine(lines, global)) << global;
    EXPECT_LT(indexOf(lines, "function check_players()"), indexOf(lines, "function pagesize()"));
    EXPECT_LT(indexOf(lines, "function initialize()"), indexOf(lines, "function show_menu("));
    EXPECT_LT(indexOf(lines, "function show_picture("), indexOf(lines, "function play_video("));
    EXPECT_LT(indexOf(lines, "function play_audio("), indexOf(lines, "function Slide("));
}

TEST(ScriptRuntime, PutsPageValuesAtTheirPlaces)
{
    ScriptRuntime runtime;
    std::vector<std::string> plain = collect(runtime);
    EXPECT_TRUE(hasLine(plain, "\tvar\tcaptionHeight = 10;")) << "unset values keep the source's number";
    EXPECT_EQ(indexOf(plain, "//@"), std::string::npos) << "unset blocks leave no marker behind";

    runtime.setValue(String(u"captionHeight"), 25);
    runtime.setValue(String(u"imageBorderWidth"), 3);
    runtime.setValue(String(u"frameBorderWidth"), -2);
    StringList entries;
    entries.append(String(u"\tjavascript:show_picture('f','files/a.png',null,null,null,null,100,true);"));
    runtime.setBlock(String(u"initialize"), entries);
    runtime.setBlock(String(u"transitions"), std::vector<String> { String(u"transitions[0] = \"\";") });
    std::vector<std::string> lines = collect(runtime);
    EXPECT_TRUE(hasLine(lines, "\tvar\tcaptionHeight = 25;"));
    EXPECT_TRUE(hasLine(lines, "\tvar\tarea = frame_area(frame,3);"));
    EXPECT_TRUE(hasLine(lines, "\t\tvar\tframeBorder = -2;"));
    EXPECT_TRUE(hasLine(lines, "\tvar\tplace = ratio_place(frame_area(frame,0),ratio);"));
    size_t entry = indexOf(lines, "javascript:show_picture('f'");
    ASSERT_NE(entry, std::string::npos);
    EXPECT_EQ(lines[entry - 1], "\tpage_loaded = true;") << "entries run at the end of initialize()";
    size_t block = indexOf(lines, "transitions[0] = \"\";");
    ASSERT_NE(block, std::string::npos);
    EXPECT_EQ(lines[block - 1], "var\tclears = new Array();");
}

// The runtime as a page carries it must be JavaScript that parses.
TEST(ScriptRuntime, AssembledTextPassesNodeCheck)
{
    if (std::system("node --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "node is not installed";
    ScriptRuntime runtime;
    runtime.setValue(String(u"captionHeight"), 15);
    runtime.setBlock(String(u"transitions"),
        std::vector<String> { String(u"transitions[0] = \"progid:DXImageTransform.Microsoft.fade(overlap='1.0')\";"),
            String(u"durations[0] = 0.5;"), String(u"clears[0] = false;") });
    runtime.setBlock(String(u"initialize"), std::vector<String> { String(u"\tjavascript:clear_frame('f');") });
    runtime.setBlock(String(u"slides"),
        std::vector<String> { String(u"_slides['s'] = new Array();"), String(u"_slideshowAudios['s'] = null;"),
            String(u"_slides['s'][0] = new Slide('picture','files/a.png',null,null,null,null,100,true);") });
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    std::string path = directory.filePath("runtime.js").toStdString();
    {
        std::ofstream out(path, std::ios::binary);
        out << "var\t_imageWidth = 10;\nvar\t_imageHeight = 10;\n";
        runtime.write([&](const String& line) { out << line.toNarrow() << "\r\n"; });
    }
    EXPECT_EQ(std::system(("node --check '" + path + "'").c_str()), 0);

    std::ofstream broken(directory.filePath("broken.js").toStdString(), std::ios::binary);
    broken << "function (\n";
    broken.close();
    EXPECT_NE(
        std::system(("node --check '" + directory.filePath("broken.js").toStdString() + "' 2>/dev/null").c_str()), 0)
        << "the check is able to fail";
}
