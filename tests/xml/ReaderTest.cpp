#include "XmlTestSupport.h"
#include "core/Properties.h"
#include "xml/Elements.h"
#include "xml/XmlFile.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace lumavine;
using namespace lumavine::test;

namespace {

// Every node's kind, name, value and attributes, depth first.
void appendTree(const Node& node, String& out)
{
    out += String::number(node.nodeType()) + u" " + node.nodeName() + u"=" + node.nodeValue();
    if (const NamedNodeMap* attributes = node.attributes()) {
        for (size_t i = 0; i < attributes->length(); ++i)
            out += u" " + attributes->item(i)->name() + u"=" + attributes->item(i)->value();
    }
    out += u"{";
    for (const Node* child : node.childNodes())
        appendTree(*child, out);
    out += u"}";
}

String treeOf(const Node& node)
{
    String out;
    appendTree(node, out);
    return out;
}

std::unique_ptr<Document> loadBytes(const std::string& bytes)
{
    auto document = std::make_unique<Document>();
    std::istringstream stream(bytes);
    document->loadFile(stream);
    return document;
}

}

TEST(Reader, FileWithoutFinalLineFeedStillYieldsItsElements)
{
    auto document = loadBytes("<project version=\"1\">\n<name>Demo</name>\n</project>");
    Element* root = document->documentElement();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->tagName(), u"project");
    EXPECT_EQ(root->getAttribute(u"version"), u"1");
    EXPECT_EQ(getChildText(root, u"name"), u"Demo");

    auto unfinished = loadBytes("<a><b>text");
    ASSERT_NE(unfinished->documentElement(), nullptr);
    Element* b = findChildElement(unfinished->documentElement(), u"b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(getText(b), u"text");
}

TEST(Reader, TextAroundChildrenJoinsIntoOneTrailingText)
{
    Document document;
    document.parse(u"<a>x<b/>y</a>");
    Element* a = document.documentElement();
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->childNodes().count(), 2u);
    EXPECT_EQ(a->firstChild()->nodeName(), u"b");
    EXPECT_EQ(a->lastChild()->nodeType(), Node::TextNode);
    EXPECT_EQ(a->lastChild()->nodeValue(), u"xy");
    // The predefined references are taken back by the reader.
    Document entities;
    entities.parse(u"<a>&lt;x&gt;</a>");
    EXPECT_EQ(getText(entities.documentElement()), u"<x>");
}

TEST(Reader, EndTagsCloseCaseInsensitivelyAndStrayOnesAreSkipped)
{
    Document document;
    document.parse(u"<a><b>1</B><c>2</x>3</c></A>");
    Element* a = document.documentElement();
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->childNodes().count(), 2u);
    EXPECT_EQ(getText(a->firstChild()), u"1");
    EXPECT_EQ(getText(a->lastChild()), u"23");

    // Text outside the document element is dropped.
    Document outside;
    outside.parse(u"junk<r>in</r>more");
    EXPECT_EQ(outside.childNodes().count(), 1u);
    EXPECT_EQ(getText(outside.documentElement()), u"in");
}

TEST(Reader, TagsSplitAcrossLinesAndChunks)
{
    auto document = loadBytes("<root>\n<a\nb=\"1\" c=\"two\nwords\">x</a>\n</root>\n");
    Element* a = findChildElement(document->documentElement(), u"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getAttribute(u"b"), u"1");
    EXPECT_EQ(a->getAttribute(u"c"), u"two words");

    Document chunks;
    chunks.parse(u"<root><ele");
    chunks.parse(u"ment b=\"1\"");
    chunks.parse(u"c=\"2\">t</element></root>");
    Element* element = findChildElement(chunks.documentElement(), u"element");
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->getAttribute(u"b"), u"1");
    EXPECT_EQ(element->getAttribute(u"c"), u"2");
    EXPECT_EQ(getText(element), u"t");

    Document comment;
    comment.parse(u"<root><!");
    comment.parse(u"-- split -->");
    comment.parse(u"</root>");
    ASSERT_NE(comment.documentElement(), nullptr);
    ASSERT_NE(comment.documentElement()->firstChild(), nullptr);
    EXPECT_EQ(comment.documentElement()->firstChild()->nodeValue(), u" split ");
}

TEST(Reader, AttributeValuesQuotingAndBareItems)
{
    Document document;
    document.parse(u"<e first a=\"x y=z\" b='q' c=plain d>t</e>");
    Element* e = document.documentElement();
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->hasAttribute(u"first"));
    EXPECT_EQ(e->getAttribute(u"a"), u"x y=z");
    EXPECT_EQ(e->getAttribute(u"b"), u"'q'");
    EXPECT_EQ(e->getAttribute(u"c"), u"plain");
    EXPECT_TRUE(e->hasAttribute(u"d"));
    EXPECT_EQ(e->getAttribute(u"d"), u"");
    EXPECT_EQ(e->attributes()->item(0)->name(), u"a");
    Document selfClosing;
    selfClosing.parse(u"<r><img src=\"a/b.png\"/><br/></r>");
    ASSERT_EQ(selfClosing.documentElement()->childNodes().count(), 2u);
    EXPECT_EQ(selfClosing.documentElement()->firstChild()->asElement()->getAttribute(u"src"), u"a/b.png");
}

TEST(Reader, AttributeTextSplitsAsPropertiesSplitIt)
{
    // Attribute text has always been split as a Properties map of blanks
    // and "=" splits it; the reader does it without the map, so random texts
    // of the characters that matter must give the same names, values and
    // order. A tab outside quotes separates like a blank.
    const std::u16string_view pieces[]
        = { u"a", u"b", u"k", u"=", u"\"", u" ", u"\t", u"==", u" = ", u"x\"y", u"\u00e9" };
    unsigned state = 2024;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 4000; ++round) {
        String text;
        int count = int(next() % 14);
        for (int i = 0; i < count; ++i)
            text.append(pieces[next() % std::size(pieces)]);
        String separated = text;
        bool quoted = false;
        for (char16_t& c : separated) {
            if (c == u'"')
                quoted = !quoted;
            else if (c == u'\t' && !quoted)
                c = u' ';
        }
        Properties expected(separated, u" ", u"=");

        Document document;
        document.parse(u"<e " + text + u"></e>");
        Element* e = document.documentElement();
        ASSERT_NE(e, nullptr);
        const NamedNodeMap* attributes = e->attributes();
        size_t length = attributes ? attributes->length() : 0;
        ASSERT_EQ(length, expected.count()) << round;
        size_t i = 0;
        for (const PtrMap::Entry* entry : expected) {
            EXPECT_EQ(attributes->item(i)->name(), entry->key()) << round;
            EXPECT_EQ(attributes->item(i)->value(), StringMap::valueOf(entry)) << round;
            ++i;
        }
        // One attribute node per name, however often it was repeated.
        EXPECT_EQ(document.ownedNodeCount(), 1 + length) << round;
        if (HasFailure()) {
            ADD_FAILURE() << "first failing round " << round;
            break;
        }
    }
}

TEST(Reader, DeclarationCommentsCDataInstructionsAndDoctype)
{
    auto document = loadBytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                              "<!DOCTYPE project [ <!ENTITY e \"v\"> ]>\n"
                              "<!-- before -->\n"
                              "<project>\n"
                              "<![CDATA[a <b> & c]]>\n"
                              "<?xml second=\"1\"?>\n"
                              "<?php echo 1 ?>\n"
                              "</project>\n");
    EXPECT_TRUE(document->hasDeclaration());
    EXPECT_EQ(document->version(), u"1.0");
    EXPECT_EQ(document->encoding(), u"ISO-8859-1");
    EXPECT_TRUE(document->doctype().contains(u"project"));
    ASSERT_EQ(document->childNodes().count(), 2u);
    EXPECT_EQ(document->firstChild()->nodeType(), Node::CommentNode);
    EXPECT_EQ(document->firstChild()->nodeValue(), u" before ");

    Element* project = document->documentElement();
    ASSERT_NE(project, nullptr);
    Node* cdata = project->firstChild();
    ASSERT_NE(cdata, nullptr);
    EXPECT_EQ(cdata->nodeType(), Node::CDataSectionNode);
    EXPECT_EQ(cdata->nodeValue(), u"a <b> & c");
    auto* second = static_cast<ProcessingInstruction*>(cdata->nextSibling());
    ASSERT_EQ(second->nodeType(), Node::ProcessingInstructionNode);
    EXPECT_EQ(second->target(), u"xml");
    EXPECT_EQ(second->data(), u" second=\"1\"");
    auto* php = static_cast<ProcessingInstruction*>(second->nextSibling());
    EXPECT_EQ(php->target(), u"php");

    String written = document->toString();
    EXPECT_FALSE(written.contains(u"version=\"1.0\""));
    EXPECT_TRUE(written.startsWith(u"<!-- before -->\n<project>\n\t<![CDATA[a <b> & c]]>\n"));
}

TEST(Reader, HtmlModeClosesImpliedEndTags)
{
    Document document;
    document.setHtmlMode(true);
    document.parse(u"<html><body><ul><li>one<li>two<li>three</ul>"
                   u"<table><tr><td>a<td>b<tr><td>c</table><p>x<p>y<img src=i.png>"
                   u"<select><option>1<option>2</select></body></html>");
    document.finish();
    Element* html = document.documentElement();
    ASSERT_NE(html, nullptr);
    auto items = document.getElementsByTagName(u"li");
    ASSERT_EQ(items->length(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(items->item(i)->parentNode()->nodeName(), u"ul");
    EXPECT_EQ(items->item(0)->childNodes().count(), 0u) << "no text is kept in HTML mode";

    auto rows = document.getElementsByTagName(u"tr");
    ASSERT_EQ(rows->length(), 2u);
    EXPECT_EQ(rows->item(0)->childNodes().count(), 2u);
    EXPECT_EQ(rows->item(1)->childNodes().count(), 1u);
    EXPECT_EQ(rows->item(1)->parentNode()->nodeName(), u"table");

    auto paragraphs = document.getElementsByTagName(u"p");
    ASSERT_EQ(paragraphs->length(), 2u);
    EXPECT_EQ(paragraphs->item(1)->parentNode()->nodeName(), u"body");
    auto images = document.getElementsByTagName(u"img");
    ASSERT_EQ(images->length(), 1u);
    EXPECT_FALSE(images->item(0)->hasChildNodes());
    EXPECT_EQ(document.getElementsByTagName(u"option")->length(), 2u);
}

TEST(Reader, WideCharactersSurviveSaveAndLoad)
{
    TemporaryFolder folder;
    std::string path = folder.file("wide.xml");
    Document document(String(u"project"));
    String typed(u"Caf\u00e9 \u20ac 5 \u4e2d\u6587 \U0001F600 &#65; done");
    addElement(document.documentElement(), String(u"name"), typed);
    document.documentElement()->setAttribute(String(u"title"), String(u"\u0100"));
    ASSERT_TRUE(document.save(String(path)));

    std::string bytes = readFile(path);
    EXPECT_NE(bytes.find("Caf\xe9 &#8364; 5 &#20013;&#25991; &#128512;"), std::string::npos);
    EXPECT_NE(bytes.find("title=\"&#256;\""), std::string::npos);

    Document reread;
    ASSERT_TRUE(reread.load(String(path)));
    // A reference the writer never makes (N <= 255) stays as typed.
    EXPECT_EQ(getChildText(reread.documentElement(), u"name"), typed);
    EXPECT_EQ(reread.documentElement()->getAttribute(u"title"), u"\u0100");
}

TEST(Reader, Latin1FilesReadAndWriteByteForByte)
{
    TemporaryFolder folder;
    std::string original = "<project>\r\n       <name>Caf\xe9 &#146; \xff</name>\r\n       <page id=\"1\" />\r\n"
                           "</project>\r\n";
    writeFile(folder.file("in.xml"), original);
    Document document;
    ASSERT_TRUE(document.load(String(folder.file("in.xml"))));
    EXPECT_EQ(getChildText(document.documentElement(), u"name"), u"Caf\u00e9 &#146; \u00ff");
    ASSERT_TRUE(document.save(String(folder.file("out.xml"))));
    // The '&' of the literal reference is escaped now; the rest is unchanged.
    std::string expected = original;
    expected.replace(expected.find("&#146;"), 1, "&amp;");
    EXPECT_EQ(readFile(folder.file("out.xml")), expected);

    Document viaFileScheme;
    ASSERT_TRUE(viaFileScheme.load(String("file:" + folder.file("in.xml"))));
    EXPECT_NE(viaFileScheme.documentElement(), nullptr);

    Document missing;
    EXPECT_FALSE(missing.load(String(folder.file("absent.xml"))));
    EXPECT_EQ(missing.documentElement(), nullptr);
    EXPECT_FALSE(document.save(String(folder.file("no/such/folder/out.xml"))));
}

TEST(Reader, LoadingAgainReplacesTheOldContent)
{
    TemporaryFolder folder;
    writeFile(folder.file("a.xml"), "<a><x/></a>");
    writeFile(folder.file("b.xml"), "<b/>");
    Document document;
    ASSERT_TRUE(document.load(String(folder.file("a.xml"))));
    ASSERT_TRUE(document.load(String(folder.file("b.xml"))));
    EXPECT_EQ(document.documentElement()->tagName(), u"b");
    EXPECT_EQ(document.childNodes().count(), 1u);
    EXPECT_EQ(document.ownedNodeCount(), 1u);
}

TEST(Reader, MalformedInputGivesAPartialTree)
{
    const char16_t* inputs[] = {
        u"",
        u"<",
        u"<<<>>>",
        u"</a>",
        u"<a",
        u"<a b=\"unterminated>",
        u"<!-- never closed",
        u"<![CDATA[ open",
        u"<?pi never",
        u"<!DOCTYPE x [ <!ENTITY",
        u"<a><b><c></a></b>",
        u"<a/><b/>",
        u"<!x>",
        u"<a>\r\r\n</a>",
        u"<>",
        u"</>",
        u"<a =\"1\" =>",
        u"<a \"\"=\"\">",
    };
    for (const char16_t* input : inputs) {
        Document document;
        document.parse(input);
        document.finish();
        document.toString();
    }
    // Absurd nesting is read without exhausting the stack; the levels past
    // the reader's limit become siblings.
    Document deep;
    String nested;
    for (int i = 0; i < 100000; ++i)
        nested.append(u"<d>");
    deep.parse(nested);
    deep.finish();
    ASSERT_NE(deep.documentElement(), nullptr);
    EXPECT_EQ(deep.ownedNodeCount(), 100000u);
    EXPECT_EQ(deep.documentElement()->getElementsByTagName(u"d")->length(), 99999u);

    Document two;
    two.parse(u"<a/><b/>");
    EXPECT_EQ(two.documentElement()->tagName(), u"a");
    EXPECT_EQ(two.childNodes().count(), 2u);
}

TEST(Reader, LiteralCharacterReferencesComeBackAsTyped)
{
    TemporaryFolder folder;
    const std::u16string_view typed[] = {
        u"&#8364;",
        u"&#x20AC;",
        u"a&#b",
        u"&amp;#8364;",
        u"&amp;amp;#256;",
        u"\u20ac &#8364; \U0001F600 &#128512; &amp;#20013; \u4e2d &#65; &\u20ac &&#8364;",
        u"&#0256; &#255; &#1114111; &#1114112; &#123456789; &#8364 &#;",
        u"&amp;&#8364;&amp;amp;&#8364;;& amp;#8364;",
        u"a&amp;\u0100&",
    };
    for (auto lineEnd : { Document::LineEnd::CrLf, Document::LineEnd::Lf }) {
        Document document(String(u"project"));
        for (auto text : typed) {
            Element* element = addElement(document.documentElement(), String(u"t"), String(text));
            element->setAttribute(String(u"v"), String(text));
        }
        std::string path = folder.file("literal.xml");
        ASSERT_TRUE(document.save(String(path), lineEnd));

        Document reread;
        ASSERT_TRUE(reread.load(String(path)));
        ASSERT_NE(reread.documentElement(), nullptr);
        NodeList children;
        ASSERT_EQ(getChildElements(reread.documentElement(), u"t", children), std::size(typed));
        for (size_t i = 0; i < std::size(typed); ++i) {
            EXPECT_EQ(text(children.item(i)), String(typed[i])) << i;
            EXPECT_EQ(children.item(i)->asElement()->getAttribute(u"v"), String(typed[i])) << i;
        }
        // Written again, the tree gives the same file.
        ASSERT_TRUE(reread.save(String(folder.file("again.xml")), lineEnd));
        EXPECT_EQ(readFile(folder.file("again.xml")), readFile(path));
    }

    // The literal reference is marked in the file; a wide character is not.
    // Its '&' is escaped as markup first, and the file marks that "&amp;" once
    // more as it stands before a reference.
    Document document(String(u"a"));
    setText(document.documentElement(), String(u"&#8364;\u20ac&amp;#8364;"));
    ASSERT_TRUE(document.save(String(folder.file("marked.xml"))));
    EXPECT_EQ(readFile(folder.file("marked.xml")), "<a>&amp;amp;#8364;&#8364;&amp;amp;amp;#8364;</a>\r\n");
}

TEST(Reader, FilesWrittenBeforeLiteralReferencesReadAsBefore)
{
    // What the program wrote so far: wide characters as "&#N;", everything
    // else byte for byte, "&amp;" and references up to 255 included.
    std::string original = "<a t=\"&#8364;x\" u=\"&amp; &#65;\">&#8364; &amp; &amp;x; &#65; &#0256; &#x20AC; "
                           "caf\xe9 &#128512;</a>\n";
    auto document = loadBytes(original);
    ASSERT_NE(document->documentElement(), nullptr);
    // "&amp;" is the one reference read differently: it stands for '&' now.
    EXPECT_EQ(text(document->documentElement()), u"\u20ac & &x; &#65; &#0256; &#x20AC; caf\u00e9 \U0001F600");
    EXPECT_EQ(document->documentElement()->getAttribute(u"t"), u"\u20acx");
    EXPECT_EQ(document->documentElement()->getAttribute(u"u"), u"& &#65;");
    // Written again, every '&' is escaped, and the file reads as the same tree.
    std::string rewritten = encodeFileText(document->toString(), false);
    EXPECT_EQ(rewritten,
        "<a t=\"&#8364;x\" u=\"&amp; &amp;#65;\">&#8364; &amp; &amp;x; &amp;#65; &amp;#0256; &amp;#x20AC; "
        "caf\xe9 &#128512;</a>\n");
    EXPECT_EQ(treeOf(*loadBytes(rewritten)), treeOf(*document));
}

TEST(Reader, MarkupCharactersTypedInTextsAndValuesComeBackThroughTheFile)
{
    TemporaryFolder folder;
    const std::u16string_view typed[] = {
        u"a<b & \"c\" > d",
        u"</t><next/><t v=\"x\">",
        u"Tom &amp; Jerry",
        u"&lt;&gt;&quot;&apos;",
        u"It&#146;s",
        u"&#8364; and \u20ac",
        u"page.html?x=1&y=2",
        u"'single' & &nbsp;",
        u"&",
        u"<![CDATA[x]]> <!-- c -->",
    };
    Document document(String(u"project"));
    for (auto value : typed) {
        Element* element = addElement(document.documentElement(), String(u"t"), String(value));
        element->setAttribute(String(u"v"), String(value));
        element->setAttribute(String(u"w"), String(u"after"));
    }
    auto expectTyped = [&](const Document& reread, const char* how) {
        ASSERT_NE(reread.documentElement(), nullptr) << how;
        NodeList children;
        // Nothing typed turned into elements of its own.
        ASSERT_EQ(getChildElements(reread.documentElement(), u"*", children), std::size(typed)) << how;
        for (size_t i = 0; i < std::size(typed); ++i) {
            const Element* element = children.item(i)->asElement();
            EXPECT_EQ(element->nodeName(), u"t") << how << " " << i;
            EXPECT_EQ(text(element), String(typed[i])) << how << " " << i;
            EXPECT_EQ(element->getAttribute(u"v"), String(typed[i])) << how << " " << i;
            EXPECT_EQ(element->getAttribute(u"w"), u"after") << how << " " << i;
        }
    };

    // Through the file, with its own marks for references and wide
    // characters, in both line ends; and as text, as the clipboard takes it.
    for (auto lineEnd : { Document::LineEnd::CrLf, Document::LineEnd::Lf }) {
        std::string path = folder.file("typed.xml");
        ASSERT_TRUE(document.save(String(path), lineEnd));
        Document reread;
        ASSERT_TRUE(reread.load(String(path)));
        expectTyped(reread, "file");
        ASSERT_TRUE(reread.save(String(folder.file("again.xml")), lineEnd));
        EXPECT_EQ(readFile(folder.file("again.xml")), readFile(path));
    }
    Document pasted;
    pasted.parse(document.toString());
    pasted.finish();
    expectTyped(pasted, "text");

    // What the file holds: texts escape '&', '<' and '>'; values the double
    // quote as well.
    std::string bytes = readFile(folder.file("typed.xml"));
    EXPECT_NE(bytes.find("<t v=\"a&lt;b &amp; &quot;c&quot; &gt; d\" w=\"after\">a&lt;b &amp; \"c\" &gt; d</t>"),
        std::string::npos);
    EXPECT_NE(bytes.find(">Tom &amp;amp; Jerry<"), std::string::npos);
    EXPECT_NE(bytes.find(">page.html?x=1&amp;y=2<"), std::string::npos);

    // A reference cut between two chunks is read whole.
    Document chunks;
    chunks.parse(u"<a t=\"&lt;\">1 &am");
    chunks.parse(u"p; 2</a>");
    ASSERT_NE(chunks.documentElement(), nullptr);
    EXPECT_EQ(getText(chunks.documentElement()), u"1 & 2");
    EXPECT_EQ(chunks.documentElement()->getAttribute(u"t"), u"<");
}

TEST(Reader, OlderFilesWithBareAmpersandsAndNumericReferencesReadAsBefore)
{
    // Written before texts were escaped: '&' raw, and references the
    // program never decodes.
    auto document = loadBytes("<project><link href=\"page.html?x=1&y=2\">a.html?x=1&y=2</link>"
                              "<onclick>javascript:show_picture('f','m.png','It&#146;s',null)</onclick>"
                              "<t v=\"&nbsp; & &#146; &#x41; &am\">&nbsp;&#146;&#x41;& &ampx &lt &</t></project>");
    Element* root = document->documentElement();
    ASSERT_NE(root, nullptr);
    const Element* link = findChildElement(root, u"link");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->getAttribute(u"href"), u"page.html?x=1&y=2");
    EXPECT_EQ(getText(link), u"a.html?x=1&y=2");
    EXPECT_EQ(getChildText(root, u"onclick"), u"javascript:show_picture('f','m.png','It&#146;s',null)");
    const Element* t = findChildElement(root, u"t");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->getAttribute(u"v"), u"&nbsp; & &#146; &#x41; &am");
    EXPECT_EQ(getText(t), u"&nbsp;&#146;&#x41;& &ampx &lt &");
}

TEST(Reader, FileTextEncodingIsReversibleForAnyText)
{
    // Texts built from the pieces that matter around references.
    const std::u16string_view pieces[] = { u"&", u"amp;", u"#", u"256;", u"8364;", u"0", u"9", u";", u"\u20ac",
        u"\u00e9", u"x", u"\U0001F600", u"&#", u"&amp;", u"\n" };
    unsigned state = 12345;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 20000; ++round) {
        String text;
        int count = 1 + int(next() % 12);
        for (int i = 0; i < count; ++i)
            text.append(pieces[next() % std::size(pieces)]);
        EXPECT_EQ(decodeFileText(encodeFileText(text, false)), text);
        EXPECT_EQ(decodeFileText(encodeFileText(text, true)), text);
        if (HasFailure()) {
            ADD_FAILURE() << "first failing round " << round;
            break;
        }
    }
}

TEST(Reader, FileTextReadInBlocksIsTheTextDecodedWhole)
{
    // References, runs of "amp;" and line ends cut at every place a block
    // can end: the pieces decide together what the bytes mean.
    const std::string_view pieces[] = { "&", "amp;", "#", "256;", "8364;", "12345678", "1114111;", "0", ";", "\r", "\n",
        "x", "\xe9", "&#", "&amp;", "<a>", "</a>" };
    unsigned state = 4321;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        int count = 1 + int(next() % 16);
        for (int i = 0; i < count; ++i)
            bytes.append(pieces[next() % std::size(pieces)]);
        String whole = decodeFileText(bytes);
        for (size_t block : { size_t(1), size_t(2), size_t(3), size_t(5), size_t(8), size_t(64 * 1024) }) {
            std::istringstream stream(bytes);
            EXPECT_EQ(readFileText(stream, block), whole) << round << " " << block;
        }
        if (HasFailure()) {
            ADD_FAILURE() << "first failing round " << round;
            break;
        }
    }

    // A run of "amp;" longer than many blocks still reads in one piece.
    std::string run = "a&";
    for (int i = 0; i < 5000; ++i)
        run.append("amp;");
    run.append("#8364;b");
    std::istringstream stream(run);
    EXPECT_EQ(readFileText(stream, 7), decodeFileText(run));

    // Reading goes on from where the stream stands.
    std::istringstream rest("skip<a>&#8364;</a>");
    rest.ignore(4);
    EXPECT_EQ(readFileText(rest, 3), u"<a>\u20ac</a>");
}

TEST(Reader, LargeFilesReadInPiecesGiveTheTreeOfTheWholeText)
{
    // A file is read a block at a time and handed on in pieces that end
    // after a '>'; the '>' signs inside comments, sections, instructions,
    // doctypes and attribute values, and references, land on every kind of
    // boundary in a file of many blocks.
    const std::string_view pieces[] = { "<a>", "</a>", "<b k=\"v>w\" z=1>", "</b>", "<c/>", "text ", "\r\n  ",
        "<!-- x > y -->", "<![CDATA[p>q]]>", "<?pi <n> m ?>", "<!DOCTYPE d [<!ENTITY e 'f'>]>", "&#8364;", "&amp;#300;",
        "&amp;", "<", ">", "\"", "<!x>", "\xe9",
        // Mostly attribute text, where a cut would read as a blank.
        "<d title=\"a long value with words in it, and more, and more still, to fill the tag\" "
        "style=border-width:1;border-color:#000000;fill:#c0c0ff;font:Arial id=shape-1234567890>" };
    unsigned state = 77;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int file = 0; file < 3; ++file) {
        std::string bytes = file == 0 ? "<?xml version=\"1.0\"?><root>" : "";
        while (bytes.size() < 300 * 1000)
            bytes.append(pieces[next() % std::size(pieces)]);
        Document whole;
        whole.parse(decodeFileText(bytes));
        whole.finish();
        auto read = loadBytes(bytes);
        EXPECT_EQ(treeOf(*read), treeOf(whole)) << file;
        EXPECT_EQ(read->ownedNodeCount(), whole.ownedNodeCount()) << file;
        EXPECT_EQ(read->version(), whole.version()) << file;
        EXPECT_EQ(read->doctype(), whole.doctype()) << file;
    }
}
