#include "XmlTestSupport.h"
#include "xml/Elements.h"

#include <gtest/gtest.h>

using namespace lumavine;
using namespace lumavine::test;

TEST(Writer, IndentsSevenSpacesPerLevelWithOneLineTexts)
{
    Document document(String(u"project"));
    Element* project = document.documentElement();
    project->setAttribute(String(u"version"), String(u"1"));
    addElement(project, String(u"name"), String(u"Demo"));
    Element* page = addElement(project, String(u"page"));
    EXPECT_EQ(document.toString(),
        u"<project version=\"1\">\n"
        u"       <name>Demo</name>\n"
        u"       <page />\n"
        u"</project>\n");

    page->setAttribute(String(u"id"), String(u"p1"));
    page->setAttribute(String(u"sort"), String(u"0"));
    Element* node = addElement(page, String(u"node"));
    addElement(node, String(u"x"), 12);
    addElement(node, String(u"empty"), String());
    addElement(node, String(u"ratio"), 0.333333333, 4);
    addElement(node, String(u"visible"), true);
    node->appendChild(document.createComment(String(u" c ")));
    node->appendChild(document.createProcessingInstruction(String(u"t"), String(u"d")));
    node->appendChild(document.createCDATASection(String(u"raw")));
    EXPECT_EQ(document.toString(),
        u"<project version=\"1\">\n"
        u"       <name>Demo</name>\n"
        u"       <page id=\"p1\" sort=\"0\">\n"
        u"              <node>\n"
        u"                     <x>12</x>\n"
        u"                     <empty></empty>\n"
        u"                     <ratio>0.3333</ratio>\n"
        u"                     <visible>true</visible>\n"
        u"\t\t\t<!-- c -->\n"
        u"\t\t\t<?t d ?>\n"
        u"\t\t\t<![CDATA[raw]]>\n"
        u"              </node>\n"
        u"       </page>\n"
        u"</project>\n");
    EXPECT_EQ(node->toXml(0), node->toXml(0));
    EXPECT_TRUE(node->toXml(0).startsWith(u"<node>\n       <x>12</x>\n"));
}

TEST(Writer, ValuesAreWrittenWithMarkupEscapedAndMixedTextIsDropped)
{
    Document document(String(u"a"));
    Element* a = document.documentElement();
    a->setAttribute(String(u"q"), String(u"x&y<z"));
    Element* b = addElement(a, String(u"b"), String(u"1 < 2 & 3"));
    b->appendChild(document.createElement(String(u"c")));
    EXPECT_EQ(document.toString(), u"<a q=\"x&amp;y&lt;z\">\n       <b>\n              <c />\n       </b>\n</a>\n");
}

TEST(Writer, SaveWritesCrLfOrLfAndReadsBackTheSameTree)
{
    TemporaryFolder folder;
    Document document(String(u"project"));
    Element* project = document.documentElement();
    project->setAttribute(String(u"version"), String(u"1"));
    addElement(project, String(u"name"), String(u"Demo"));
    addElement(project, String(u"page"));

    ASSERT_TRUE(document.save(String(folder.file("crlf.xml"))));
    EXPECT_EQ(readFile(folder.file("crlf.xml")),
        "<project version=\"1\">\r\n       <name>Demo</name>\r\n       <page />\r\n</project>\r\n");
    ASSERT_TRUE(document.save(String(folder.file("lf.xml")), Document::LineEnd::Lf));
    EXPECT_EQ(readFile(folder.file("lf.xml")),
        "<project version=\"1\">\n       <name>Demo</name>\n       <page />\n</project>\n");

    for (const char* name : { "crlf.xml", "lf.xml" }) {
        Document reread;
        ASSERT_TRUE(reread.load(String(folder.file(name))));
        // Indentation became a trailing text that the writer leaves out, so
        // the text written again is the same.
        EXPECT_EQ(reread.toString(), document.toString()) << name;
        EXPECT_EQ(getChildText(reread.documentElement(), u"name"), u"Demo");
    }
}

TEST(Writer, SaveReplacesTheFileWholeAndLeavesNoTemporaryFiles)
{
    TemporaryFolder folder;
    std::string path = folder.file("project.xml");
    writeFile(path, "old content");
    Document document(String(u"new"));
    ASSERT_TRUE(document.save(String(path)));
    EXPECT_EQ(readFile(path), "<new />\r\n");
    size_t files = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST(Writer, SaveKeepsTheModeWritesThroughLinksAndTakesLongNames)
{
    TemporaryFolder folder;
    Document document(String(u"connections"));
    addElement(document.documentElement(), String(u"password"), String(u"secret"));

    std::string path = folder.file("connections.xml");
    writeFile(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(document.save(String(path), Document::LineEnd::Lf));
    EXPECT_EQ(std::filesystem::status(path).permissions(),
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(readFile(path), "<connections>\n       <password>secret</password>\n</connections>\n");

    std::filesystem::create_symlink("connections.xml", folder.file("link.xml"));
    Document other(String(u"other"));
    ASSERT_TRUE(other.save(String(folder.file("link.xml")), Document::LineEnd::Lf));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.xml")));
    EXPECT_EQ(readFile(path), "<other />\n");
    EXPECT_EQ(std::filesystem::status(path).permissions(),
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    std::string longName = folder.file(std::string(250, 'p') + ".xml");
    ASSERT_TRUE(document.save(String(longName)));
    ASSERT_TRUE(document.save(String(longName)));
    Document reread;
    ASSERT_TRUE(reread.load(String(longName)));
    EXPECT_EQ(getChildText(reread.documentElement(), u"password"), u"secret");

    size_t files = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        ++files;
    EXPECT_EQ(files, 3u);
}

namespace {

String repeated(size_t count, char16_t c)
{
    return String(std::u16string(count, c));
}

String nestedElements(size_t levels)
{
    String nested;
    for (size_t i = 0; i < levels; ++i)
        nested.append(u"<d>");
    return nested;
}

}

TEST(Writer, IndentationStopsGrowingPastSixtyFourLevels)
{
    Document document(String(u"l0"));
    Node* parent = document.documentElement();
    for (int level = 1; level <= 70; ++level)
        parent = addElement(parent, String(u"l") + String::number(level));
    String written = document.toString();
    auto lineOf = [&](int level) {
        String tag = String(u"<l") + String::number(level) + u">";
        size_t at = written.find(tag);
        size_t start = written.rfind(u'\n', at) + 1;
        return written.substring(start, at + tag.size());
    };
    EXPECT_EQ(lineOf(1), String(u"       <l1>"));
    EXPECT_EQ(lineOf(63), repeated(63 * 7, u' ') + u"<l63>");
    EXPECT_EQ(lineOf(64), repeated(64 * 7, u' ') + u"<l64>");
    EXPECT_EQ(lineOf(65), repeated(64 * 7, u' ') + u"<l65>");
    EXPECT_TRUE(written.contains(u"\n" + repeated(64 * 7, u' ') + u"<l70 />\n"));
    EXPECT_TRUE(written.contains(u"\n" + repeated(64 * 7, u' ') + u"</l65>\n"));
    EXPECT_TRUE(written.contains(u"\n" + repeated(63 * 7, u' ') + u"</l63>\n"));

    // Comments and the like indent with a tab per level, as far.
    parent->appendChild(document.createComment(String(u"c")));
    EXPECT_TRUE(document.toString().contains(u"\n" + repeated(64, u'\t') + u"<!--c-->\n"));
    EXPECT_LT(parent->toXml(100000).size(), 1000u);
}

TEST(Writer, DeeplyNestedDocumentsWriteInSizeProportionalToTheInput)
{
    // Each doubling of the input about doubles the output, and the output
    // stays within a fixed multiple of the input (it grew with the square of
    // the depth, to gigabytes for the reader's deepest documents).
    size_t sizes[2];
    for (size_t k = 0; k < 2; ++k) {
        String input = nestedElements(1500 << k);
        Document document;
        document.parse(input);
        document.finish();
        sizes[k] = document.toString().size();
        EXPECT_LT(sizes[k], 2 * 450 * (1500u << k)) << k;
    }
    EXPECT_LT(sizes[1], sizes[0] * 5 / 2);

    // Past the reader's depth limit the elements are siblings at one level.
    String input = nestedElements(5000);
    Document deep;
    deep.parse(input);
    deep.finish();
    EXPECT_LT(deep.toString().size(), 2 * 450 * 5000u);
}
