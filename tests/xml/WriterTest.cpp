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
    EXPECT_EQ(document.toString(), u"<project version=\"1\">\n"
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
    EXPECT_EQ(document.toString(), u"<project version=\"1\">\n"
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

TEST(Writer, ValuesAreWrittenExactlyAsStoredAndMixedTextIsDropped)
{
    Document document(String(u"a"));
    Element* a = document.documentElement();
    a->setAttribute(String(u"q"), String(u"x&y<z"));
    Element* b = addElement(a, String(u"b"), String(u"1 < 2 & 3"));
    b->appendChild(document.createElement(String(u"c")));
    EXPECT_EQ(document.toString(), u"<a q=\"x&y<z\">\n       <b>\n              <c />\n       </b>\n</a>\n");
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
    EXPECT_EQ(readBytes(folder.file("crlf.xml")),
        "<project version=\"1\">\r\n       <name>Demo</name>\r\n       <page />\r\n</project>\r\n");
    ASSERT_TRUE(document.save(String(folder.file("lf.xml")), Document::LineEnd::Lf));
    EXPECT_EQ(readBytes(folder.file("lf.xml")),
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
    writeBytes(path, "old content");
    Document document(String(u"new"));
    ASSERT_TRUE(document.save(String(path)));
    EXPECT_EQ(readBytes(path), "<new />\r\n");
    size_t files = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        ++files;
    EXPECT_EQ(files, 1u);
}
