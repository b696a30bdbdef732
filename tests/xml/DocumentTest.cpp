#include "xml/Document.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lumavine;

TEST(Document, NewDocumentWithNameHasItsDocumentElement)
{
    Document document(String(u"dialog"));
    ASSERT_EQ(document.childNodes().count(), 1u);
    Element* root = document.documentElement();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root, document.firstChild());
    EXPECT_EQ(root->tagName(), u"dialog");
    EXPECT_EQ(root->parentNode(), &document);
    EXPECT_EQ(document.nodeType(), Node::DocumentNode);
    EXPECT_EQ(document.nodeName(), u"#document");

    Document empty;
    EXPECT_EQ(empty.documentElement(), nullptr);
    EXPECT_FALSE(empty.hasChildNodes());
}

TEST(Document, NodeKindsAnswerTheirCodesNamesAndValues)
{
    Document document(String(u"root"));
    EXPECT_EQ(document.createAttribute(String(u"a"))->nodeType(), 1);
    EXPECT_EQ(document.createCDATASection(String(u"c"))->nodeType(), 2);
    EXPECT_EQ(document.createComment(String(u"x"))->nodeType(), 3);
    EXPECT_EQ(document.documentElement()->nodeType(), 7);
    EXPECT_EQ(document.createProcessingInstruction(String(u"t"), String(u"d"))->nodeType(), 11);
    EXPECT_EQ(document.createTextNode(String(u"t"))->nodeType(), 12);

    EXPECT_EQ(document.createCDATASection(String(u"c"))->nodeName(), u"#cdata-section");
    EXPECT_EQ(document.createComment(String(u"x"))->nodeName(), u"#comment");
    EXPECT_EQ(document.createTextNode(String(u"hello"))->nodeValue(), u"hello");
    EXPECT_EQ(document.createProcessingInstruction(String(u"t"), String(u"d"))->nodeValue(), u"t");
    EXPECT_EQ(document.documentElement()->nodeValue(), u"");
}

TEST(Document, AppendingANodeOfAnotherDocumentThrowsAndChangesNothing)
{
    Document a(String(u"a"));
    Document b(String(u"b"));
    Element* foreign = b.createElement(String(u"x"));
    try {
        a.documentElement()->appendChild(foreign);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.source(), u"Node");
        EXPECT_EQ(e.code(), -1);
        EXPECT_EQ(e.message(), u"Mismatching documents");
    }
    EXPECT_FALSE(a.documentElement()->hasChildNodes());
    EXPECT_EQ(foreign->parentNode(), nullptr);
}

TEST(Document, ChildrenSiblingsInsertAndRemove)
{
    Document document(String(u"root"));
    Element* root = document.documentElement();
    Element* first = document.createElement(String(u"first"));
    Element* third = document.createElement(String(u"third"));
    Element* second = document.createElement(String(u"second"));
    root->appendChild(first);
    root->appendChild(third);
    root->insertBefore(second, third);
    root->insertBefore(document.createElement(String(u"last")), nullptr);

    EXPECT_EQ(root->firstChild(), first);
    EXPECT_EQ(first->nextSibling(), second);
    EXPECT_EQ(second->nextSibling(), third);
    EXPECT_EQ(third->previousSibling(), second);
    EXPECT_EQ(first->previousSibling(), nullptr);
    EXPECT_EQ(root->lastChild()->nodeName(), u"last");

    EXPECT_EQ(root->removeChild(second), second);
    EXPECT_EQ(second->parentNode(), nullptr);
    EXPECT_EQ(second->nextSibling(), nullptr);
    EXPECT_EQ(first->nextSibling(), third);
    EXPECT_EQ(root->removeChild(second), nullptr);

    // Moving a node takes it out of its old place first.
    first->appendChild(third);
    EXPECT_EQ(root->childNodes().count(), 2u);
    EXPECT_EQ(third->parentNode(), first);
}

TEST(Document, AttributesKeepTheirPlaceWhenSetAgain)
{
    Document document(String(u"root"));
    Element* root = document.documentElement();
    EXPECT_EQ(root->getAttribute(u"missing"), u"");
    root->setAttribute(String(u"a"), String(u"1"));
    root->setAttribute(String(u"b"), String(u"2"));
    root->setAttribute(String(u"a"), String(u"3"));
    ASSERT_EQ(root->attributes()->length(), 2u);
    EXPECT_EQ(root->attributes()->item(0)->name(), u"a");
    EXPECT_EQ(root->attributes()->item(0)->value(), u"3");
    EXPECT_EQ(root->attributes()->item(1)->name(), u"b");
    EXPECT_EQ(root->attributes()->item(2), nullptr);
    EXPECT_EQ(root->getAttributeNode(u"b")->ownerElement(), root);
    EXPECT_TRUE(root->hasAttribute(u"b"));
    root->removeAttribute(u"b");
    EXPECT_FALSE(root->hasAttribute(u"b"));
}

TEST(Document, GetElementsByTagNameIsDepthFirstInDocumentOrder)
{
    Document document(String(u"item"));
    Element* root = document.documentElement();
    Element* a = document.createElement(String(u"item"));
    Element* b = document.createElement(String(u"other"));
    Element* c = document.createElement(String(u"item"));
    root->appendChild(a);
    a->appendChild(c);
    root->appendChild(b);
    root->appendChild(document.createTextNode(String(u"text")));

    auto all = document.getElementsByTagName(u"*");
    ASSERT_EQ(all->length(), 4u);
    EXPECT_EQ(all->item(0), root);
    EXPECT_EQ(all->item(1), a);
    EXPECT_EQ(all->item(2), c);
    EXPECT_EQ(all->item(3), b);

    auto items = document.getElementsByTagName(u"item");
    EXPECT_EQ(items->length(), 3u);
    auto below = root->getElementsByTagName(u"item");
    ASSERT_EQ(below->length(), 2u);
    EXPECT_EQ(below->item(0), a);
}

TEST(Document, CloneAndImportCopyKindsAttributesAndChildren)
{
    Document document(String(u"root"));
    Element* root = document.documentElement();
    root->setAttribute(String(u"x"), String(u"1"));
    root->setAttribute(String(u"y"), String(u"2"));
    Element* child = document.createElement(String(u"child"));
    root->appendChild(child);
    child->appendChild(document.createTextNode(String(u"text")));
    Comment* comment = document.createComment(String(u"note"));

    Node* shallow = root->cloneNode(false);
    EXPECT_FALSE(shallow->hasChildNodes());
    EXPECT_EQ(shallow->asElement()->getAttribute(u"y"), u"2");
    EXPECT_EQ(shallow->attributes()->item(0)->name(), u"x");

    Node* deep = root->cloneNode(true);
    ASSERT_EQ(deep->childNodes().count(), 1u);
    EXPECT_EQ(deep->firstChild()->firstChild()->nodeValue(), u"text");
    EXPECT_NE(deep->firstChild(), child);

    Node* commentCopy = comment->cloneNode(true);
    EXPECT_EQ(commentCopy->nodeValue(), u"note");
    EXPECT_FALSE(commentCopy->hasChildNodes());

    auto* instruction = document.createProcessingInstruction(String(u"php"), String(u" echo"));
    auto* instructionCopy = static_cast<ProcessingInstruction*>(instruction->cloneNode(true));
    EXPECT_EQ(instructionCopy->target(), u"php");
    EXPECT_EQ(instructionCopy->data(), u" echo");

    Document other;
    Node* imported = other.importNode(root, true);
    EXPECT_EQ(imported->ownerDocument(), &other);
    EXPECT_EQ(imported->firstChild()->ownerDocument(), &other);
    other.appendChild(imported);
    EXPECT_EQ(other.documentElement(), imported);
}

TEST(Document, DestroyingTheDocumentFreesDetachedNodes)
{
    // Run under the leak checker: every node created here, attached or not,
    // belongs to the document.
    auto document = std::make_unique<Document>(String(u"root"));
    Element* detached = document->createElement(String(u"detached"));
    detached->setAttribute(String(u"a"), String(u"b"));
    document->documentElement()->appendChild(detached);
    document->documentElement()->removeChild(detached);
    document->createTextNode(String(u"never attached"));
    EXPECT_EQ(document->ownedNodeCount(), 4u);
    document.reset();
}

TEST(Document, ANodeCannotBecomeItsOwnDescendant)
{
    Document document(String(u"root"));
    Element* root = document.documentElement();
    Element* a = document.createElement(String(u"a"));
    Element* b = document.createElement(String(u"b"));
    Element* c = document.createElement(String(u"c"));
    Element* d = document.createElement(String(u"d"));
    root->appendChild(a);
    a->appendChild(b);
    b->appendChild(c);
    b->appendChild(d);
    const String before = document.toString();
    size_t owned = document.ownedNodeCount();

    EXPECT_EQ(a->appendChild(a), nullptr);
    EXPECT_EQ(c->appendChild(a), nullptr);
    EXPECT_EQ(c->appendChild(root), nullptr);
    EXPECT_EQ(b->insertBefore(a, c), nullptr);
    EXPECT_EQ(c->insertBefore(b, nullptr), nullptr);
    EXPECT_EQ(c->insertBefore(c, nullptr), nullptr);
    EXPECT_EQ(d->insertBefore(root, nullptr), nullptr);
    EXPECT_EQ(document.appendChild(&document), nullptr);
    c->attach(a);
    document.attach(&document);

    // Everything stays where it was.
    EXPECT_EQ(document.toString(), before);
    EXPECT_EQ(a->parentNode(), root);
    EXPECT_EQ(b->parentNode(), a);
    EXPECT_EQ(c->parentNode(), b);
    EXPECT_EQ(c->nextSibling(), d);
    EXPECT_EQ(root->parentNode(), &document);
    EXPECT_EQ(document.parentNode(), nullptr);
    EXPECT_EQ(document.documentElement(), root);
    EXPECT_EQ(document.getElementsByTagName(u"*")->length(), 5u);
    EXPECT_EQ(document.ownedNodeCount(), owned);

    // The same holds for a tree not yet in the document.
    Element* x = document.createElement(String(u"x"));
    Element* y = document.createElement(String(u"y"));
    x->appendChild(y);
    EXPECT_EQ(y->appendChild(x), nullptr);
    EXPECT_EQ(y->insertBefore(x, nullptr), nullptr);
    EXPECT_EQ(x->parentNode(), nullptr);
    EXPECT_EQ(y->parentNode(), x);
    EXPECT_EQ(x->toXml(0), u"<x>\n       <y />\n</x>\n");

    // Moving a node elsewhere in the tree still works.
    EXPECT_EQ(d->appendChild(c), c);
    EXPECT_EQ(c->parentNode(), d);
    EXPECT_EQ(root->insertBefore(d, a), d);
    EXPECT_EQ(root->firstChild(), d);
    EXPECT_EQ(a->appendChild(x), x);
    EXPECT_EQ(x->parentNode(), a);
}

TEST(Document, ChildListsStaySoundThroughManyMovesAndResets)
{
    // Children are linked through the document's own memory and the links
    // given back are used again; moving nodes back and forth must neither
    // mix up the lists nor disturb a cursor standing in one of them.
    Document document(String(u"root"));
    Element* root = document.documentElement();
    Element* left = document.createElement(String(u"left"));
    Element* right = document.createElement(String(u"right"));
    root->appendChild(left);
    root->appendChild(right);
    std::vector<Element*> items;
    for (int i = 0; i < 50; ++i) {
        items.push_back(document.createElement(String::number(i)));
        left->appendChild(items.back());
    }
    PtrListIterator cursor(left->childNodes());
    ASSERT_EQ(cursor.next(), items[0]);
    for (int round = 0; round < 20; ++round) {
        Element* from = round % 2 ? right : left;
        Element* to = round % 2 ? left : right;
        for (size_t i = 0; i < items.size(); i += 2)
            from->removeChild(items[i]);
        for (size_t i = 0; i < items.size(); i += 2)
            to->appendChild(items[i]);
    }
    // Twenty rounds leave the even items back on the left, after the odd.
    ASSERT_EQ(left->childNodes().count(), 50u);
    ASSERT_EQ(right->childNodes().count(), 0u);
    std::vector<Node*> expected;
    for (size_t i = 1; i < items.size(); i += 2)
        expected.push_back(items[i]);
    for (size_t i = 0; i < items.size(); i += 2)
        expected.push_back(items[i]);
    // A walk bounded by the item count, so that a list run into a cycle
    // fails instead of hanging.
    std::vector<Node*> seen;
    for (Node* child = left->firstChild(); child && seen.size() <= items.size(); child = child->nextSibling())
        seen.push_back(child);
    EXPECT_EQ(seen, expected);
    for (Node* child : seen)
        EXPECT_EQ(child->parentNode(), left);
    EXPECT_EQ(left->lastChild()->previousSibling(), items[46]);
    // The cursor's own item moved away: it goes on from the start.
    EXPECT_EQ(cursor.next(), items[1]);

    // A search result is the caller's and may outlive its document (under
    // the address checker, freeing it afterwards touches nothing of it).
    std::unique_ptr<NodeList> found;
    {
        Document other;
        other.parse(u"<a><b/><c>text</c><b/></a>");
        other.finish();
        found = other.getElementsByTagName(u"b");
    }
    EXPECT_EQ(found->length(), 2u);
    found.reset();

    // Resetting lets go of every node and link at once; the next tree is
    // built in fresh memory.
    Document again;
    again.parse(u"<a><b/><c>text</c></a>");
    again.finish();
    again.reset();
    again.parse(u"<x><y/>t</x>");
    again.finish();
    EXPECT_EQ(again.toString(), u"<x>\n       <y />\n</x>\n");
    EXPECT_EQ(again.ownedNodeCount(), 3u);
}
