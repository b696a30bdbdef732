#pragma once

#include "core/PtrList.h"
#include "core/PtrMap.h"

#include <memory>

namespace lumavine {

class Attr;
class Document;
class Element;
class Node;

// Children of a node, or the result of a search. The nodes in it belong to
// their document; a search result list belongs to the caller.
class NodeList : public PtrList {
public:
    NodeList() = default;
    ~NodeList() override;

    virtual size_t length() const { return count(); }
    virtual Node* item(size_t index) const { return static_cast<Node*>(get(index)); }
    Node* first() const { return static_cast<Node*>(PtrList::first()); }
    Node* last() const { return static_cast<Node*>(PtrList::last()); }

    PtrListOf<Node>::Iterator begin() const { return PtrListOf<Node>::Iterator(PtrList::begin()); }
    PtrListOf<Node>::Iterator end() const { return PtrListOf<Node>::Iterator(PtrList::end()); }

private:
    friend class Node;
    explicit NodeList(Document* linkSource) : m_linkSource(linkSource) { }
    Link* newLink(void* value) override;
    void deleteLink(Link* link) override;
    using PtrList::linkBefore;
    using PtrList::unlink;

    // The document whose node memory holds the links of a node's children;
    // null for the document's own children and for a search result, which
    // may outlive the document.
    Document* m_linkSource = nullptr;
};

// An element's attributes by name, in the order they were first set.
class NamedNodeMap : public PtrMap {
public:
    explicit NamedNodeMap(Document* owner) : PtrMap(true), m_owner(owner) { }

    virtual size_t length() const { return count(); }
    virtual Attr* getNamedItem(std::u16string_view name) const { return static_cast<Attr*>(get(name)); }
    virtual Attr* item(size_t index) const;
    virtual Attr* removeNamedItem(std::u16string_view name) { return static_cast<Attr*>(remove(name)); }
    // Replaces an attribute of the same name in its place, or adds at the end.
    virtual Attr* setNamedItem(Attr* attribute);
    Document* ownerDocument() const { return m_owner; }

private:
    Document* m_owner;
};

class Node {
public:
    enum Type : unsigned short {
        AttributeNode = 1,
        CDataSectionNode = 2,
        CommentNode = 3,
        DocumentFragmentNode = 4,
        DocumentNode = 5,
        DocumentTypeNode = 6,
        ElementNode = 7,
        EntityNode = 8,
        EntityReferenceNode = 9,
        NotationNode = 10,
        ProcessingInstructionNode = 11,
        TextNode = 12,
    };

    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    virtual ~Node();

    // Throws Exception("Node", -1, "Mismatching documents") for a node of
    // another document. appendChild and insertBefore answer null, and leave
    // the node where it was, for the node itself or one of its ancestors.
    virtual Node* appendChild(Node* child);
    virtual Node* cloneNode(bool deep) const;
    virtual NamedNodeMap* attributes() { return nullptr; }
    virtual const NamedNodeMap* attributes() const { return m_attributes.get(); }
    virtual const NodeList& childNodes() const { return m_children; }
    virtual Node* firstChild() const { return m_children.first(); }
    virtual Node* lastChild() const { return m_children.last(); }
    virtual Node* nextSibling() const;
    virtual Node* previousSibling() const;
    virtual const String& nodeName() const { return m_name; }
    virtual unsigned short nodeType() const { return 0; }
    virtual const String& nodeValue() const { return emptyString; }
    virtual Document* ownerDocument() const { return m_owner; }
    virtual Node* parentNode() const { return m_parent; }
    virtual bool hasChildNodes() const { return !m_children.isEmpty(); }
    virtual Node* insertBefore(Node* child, Node* reference);
    virtual Node* removeChild(Node* child);
    virtual void setNodeValue(const String&) { }
    virtual void normalize() { }
    // The node as indented text; level -1 means the node's own depth.
    virtual String toXml(int level) const;
    String toXml() const { return toXml(-1); }
    virtual void reset();
    // Adds the child at the end without the document check; does nothing
    // for the node itself or one of its ancestors.
    virtual void attach(Node* child);

    int depth() const { return m_depth; }
    void setDepth(int depth) { m_depth = depth; }
    bool isElement() const { return nodeType() == ElementNode; }
    Element* asElement();
    const Element* asElement() const;

    // Appends the node's text at the given level.
    void writeXml(String& out, int level) const;

protected:
    Node(Document* owner, String name);
    virtual void writeXmlTo(String&, int) const { }
    void setOwner(Document* owner) { m_owner = owner; }

    // An element's attributes sit in its document's node memory, as the
    // element does: letting go of them only runs their destructor.
    struct DestroyAttributes {
        void operator()(NamedNodeMap* attributes) const { attributes->~NamedNodeMap(); }
    };

    String m_name;
    std::unique_ptr<NamedNodeMap, DestroyAttributes> m_attributes;

private:
    friend class Document;
    void linkChild(Node* child, Node* reference);
    // False when the child is this node or one of its ancestors.
    bool canTake(const Node* child) const;

    Document* m_owner;
    Node* m_parent = nullptr;
    PtrList::Link* m_link = nullptr;
    NodeList m_children;
    int m_depth = 0;
};

}
