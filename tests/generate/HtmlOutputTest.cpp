#include "generate/HtmlOutput.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace lumavine;

namespace {

std::string written(std::initializer_list<std::u16string_view> lines)
{
    std::ostringstream out;
    HtmlOutput html(out);
    for (std::u16string_view line : lines)
        html.line(line);
    return out.str();
}

}

TEST(HtmlOutput, WritesAsciiAsItIs)
{
    EXPECT_EQ(written({ u"<p>a & b</p>", u"<script>", u"var\tx = '\\u00e9';", u"</script>", u"" }),
        "<p>a & b</p>\r\n<script>\r\nvar\tx = '\\u00e9';\r\n</script>\r\n\r\n");
}

TEST(HtmlOutput, EscapesWiderCharactersForTheLanguageTheyLandIn)
{
    EXPECT_EQ(written({ u"<td title=\"caf\u00e9\">Stra\u00dfe \u2615 \U0001F600</td>" }),
        "<td title=\"caf&#233;\">Stra&#223;e &#9749; &#128512;</td>\r\n");

    // In a script a character reference would stay text; the script's own
    // escapes give back the same UTF-16 units.
    EXPECT_EQ(written({ u"<script language=\"javascript\">", u"show('caf\u00e9 \U0001F600');", u"</script>",
                  u"<b>\u00e9</b>" }),
        "<script language=\"javascript\">\r\nshow('caf\\u00e9 \\ud83d\\ude00');\r\n</script>\r\n<b>&#233;</b>\r\n");

    // The opening tag is still HTML: its attributes are read as HTML.
    EXPECT_EQ(written({ u"<script src=\"files/\u00e9.js\"></script>\u00e9" }),
        "<script src=\"files/&#233;.js\"></script>&#233;\r\n");

    EXPECT_EQ(written({ u"<style type=\"text/css\">", u".a { font-family:'Caf\u00e9'; }", u"</style>", u"\u00e9" }),
        "<style type=\"text/css\">\r\n.a { font-family:'Caf\\0000e9'; }\r\n</style>\r\n&#233;\r\n");
}

TEST(HtmlOutput, ReplacesALoneSurrogateOutsideScripts)
{
    std::u16string lone = u"a";
    lone.push_back(u'\xD800');
    lone += u"b";
    EXPECT_EQ(written({ lone }), "a&#65533;b\r\n");
}
