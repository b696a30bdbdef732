#pragma once

#include "xml/Attr.h"
#include "xml/CharacterData.h"
#include "xml/Element.h"
#include "xml/Exception.h"

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <vector>

namespace lumavine {

class XmlReader;

// A document owns every node it creates, attached or not.
class Document : public Node {
public:
    enum class LineEnd { CrLf, Lf };

    Document();
    // A document with its document element already in place.
    explicit Document(const String& tagName);
    ~Document() override;

    unsigned short nodeType() const override { return DocumentNode; }
    void reset() override;
    void attach(Node* child) override;

    Attr* createAttribute(const String& name);
    CDATASection* createCDATASection(const String& data);
    Comment* createComment(const String& data);
    Element* createElement(const String& tagName);
    ProcessingInstruction* createProcessingInstruction(const String& target, const String& data);
    Text* createTextNode(const String& data);
    Text* createTextNode(String&& data);
    // Copies a node of any document into this one, unattached.
    Node* importNode(const Node* node, bool deep);

    Element* documentElement() const { return m_documentElement; }
    std::unique_ptr<NodeList> getElementsByTagName(std::u16string_view name) const;

    // Reads a file path, a "file:" location or an "http:" location (in HTML
    // mode). False when the source cannot be opened; the document is the
    // judge of what was read.
    bool load(const String& source);
    bool loadFile(std::istream& stream);
    // Feeds one chunk; true once the document itself is complete.
    bool parse(std::u16string_view text);
    // Attaches every element still open, innermost first.
    void finish();

    String toString() const;
    // Writes the text in the single-byte file encoding, through a temporary
    // file renamed over the old one (see core/AtomicFile.h: the file keeps
    // its mode, and a symbolic link is written through).
    bool save(const String& path, LineEnd lineEnd = LineEnd::CrLf) const;
    // The bytes save() writes.
    std::string fileText(LineEnd lineEnd = LineEnd::CrLf) const;

    bool isHtmlMode() const { return m_htmlMode; }
    void setHtmlMode(bool on) { m_htmlMode = on; }
    bool hasDeclaration() const { return m_declarationSeen; }
    const String& version() const { return m_version; }
    const String& encoding() const { return m_encoding; }
    const String& standalone() const { return m_standalone; }
    const String& doctype() const { return m_doctype; }
    size_t ownedNodeCount() const { return m_nodes.size(); }

private:
    friend class Element;
    friend class NodeList;
    friend class XmlReader;
    template<typename T, typename... Args>
    T* own(Args&&... args);
    void* allocateNode(size_t size, size_t alignment);
    // The links of the children lists of this document's nodes, kept in the
    // same memory as the nodes, with those given back reused first.
    PtrList::Link* takeLink();
    void giveBackLink(PtrList::Link* link);
    // An element's attribute map, in the same memory.
    NamedNodeMap* newAttributes();

    // Nodes live exactly as long as their document, so they (with their
    // children's links and their attribute maps) are placed one after
    // another in large blocks instead of each in its own allocation: a big
    // project creates hundreds of thousands, and both building and freeing
    // them then cost far less. The owning pointers only run the destructors;
    // the blocks go when the document is reset or destroyed.
    struct DestroyNode {
        void operator()(Node* node) const { node->~Node(); }
    };
    struct NodeMemory {
        std::vector<std::unique_ptr<std::byte[]>> blocks;
        std::byte* next = nullptr;
        size_t left = 0;
        PtrList::Link* freeLinks = nullptr;
    };
    void setDeclaration(const String& version, const String& encoding, const String& standalone);
    void setDoctype(const String& text) { m_doctype = text; }
    XmlReader& reader();

    // Declared before the nodes, so that it outlives their destructors.
    NodeMemory m_nodeMemory;
    std::vector<std::unique_ptr<Node, DestroyNode>> m_nodes;
    Element* m_documentElement = nullptr;
    String m_doctype;
    String m_version;
    String m_encoding;
    String m_standalone;
    bool m_htmlMode = false;
    bool m_declarationSeen = false;
    std::unique_ptr<XmlReader> m_reader;
};

}
