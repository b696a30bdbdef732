#include "xml/Document.h"

#include "xml/LineSource.h"
#include "xml/XmlFile.h"
#include "xml/XmlReader.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace lumavine {

Document::Document() : Node(this, String(u"#document"))
{
}

Document::Document(const String& tagName) : Document()
{
    attach(createElement(tagName));
}

Document::~Document() = default;

void* Document::allocateNode(size_t size, size_t alignment)
{
    // Large enough that a block holds a few hundred nodes, small enough that
    // the allocator keeps reusing freed blocks instead of mapping new pages.
    constexpr size_t blockSize = 64 * 1024;
    size_t padding = (alignment - reinterpret_cast<uintptr_t>(m_nodeMemory.next) % alignment) % alignment;
    if (!m_nodeMemory.next || m_nodeMemory.left < padding + size) {
        m_nodeMemory.blocks.push_back(std::make_unique_for_overwrite<std::byte[]>(blockSize));
        m_nodeMemory.next = m_nodeMemory.blocks.back().get();
        m_nodeMemory.left = blockSize;
        padding = (alignment - reinterpret_cast<uintptr_t>(m_nodeMemory.next) % alignment) % alignment;
    }
    void* place = m_nodeMemory.next + padding;
    m_nodeMemory.next += padding + size;
    m_nodeMemory.left -= padding + size;
    return place;
}

PtrList::Link* Document::takeLink()
{
    if (PtrList::Link* link = m_nodeMemory.freeLinks) {
        m_nodeMemory.freeLinks = link->next;
        return link;
    }
    return new (allocateNode(sizeof(PtrList::Link), alignof(PtrList::Link))) PtrList::Link;
}

void Document::giveBackLink(PtrList::Link* link)
{
    link->next = m_nodeMemory.freeLinks;
    m_nodeMemory.freeLinks = link;
}

NamedNodeMap* Document::newAttributes()
{
    return new (allocateNode(sizeof(NamedNodeMap), alignof(NamedNodeMap))) NamedNodeMap(this);
}

template<typename T, typename... Args>
T* Document::own(Args&&... args)
{
    static_assert(sizeof(T) <= 4096 && alignof(T) <= alignof(std::max_align_t));
    std::unique_ptr<Node, DestroyNode> node(
        new (allocateNode(sizeof(T), alignof(T))) T(this, std::forward<Args>(args)...));
    T* raw = static_cast<T*>(node.get());
    m_nodes.push_back(std::move(node));
    return raw;
}

Attr* Document::createAttribute(const String& name)
{
    return own<Attr>(name, String());
}

CDATASection* Document::createCDATASection(const String& data)
{
    return own<CDATASection>(data);
}

Comment* Document::createComment(const String& data)
{
    return own<Comment>(data);
}

Element* Document::createElement(const String& tagName)
{
    return own<Element>(tagName);
}

ProcessingInstruction* Document::createProcessingInstruction(const String& target, const String& data)
{
    return own<ProcessingInstruction>(target, data);
}

Text* Document::createTextNode(const String& data)
{
    return own<Text>(data);
}

Text* Document::createTextNode(String&& data)
{
    return own<Text>(std::move(data));
}

void Document::attach(Node* child)
{
    Node::attach(child);
    if (!m_documentElement && child->isElement() && child->parentNode() == this)
        m_documentElement = static_cast<Element*>(child);
}

void Document::reset()
{
    // Every node is deleted below, so there is no need to walk the tree.
    m_reader.reset();
    while (Node* child = firstChild())
        removeChild(child);
    m_nodes.clear();
    m_nodeMemory = NodeMemory();
    m_attributes.reset();
    m_documentElement = nullptr;
    m_doctype.clear();
    m_version.clear();
    m_encoding.clear();
    m_standalone.clear();
    m_declarationSeen = false;
    m_htmlMode = false;
}

Node* Document::importNode(const Node* node, bool deep)
{
    if (!node)
        return nullptr;
    Node* copy = nullptr;
    switch (node->nodeType()) {
    case ElementNode: {
        Element* element = createElement(node->nodeName());
        if (const NamedNodeMap* attributes = node->attributes()) {
            for (const PtrMap::Entry* entry : *attributes) {
                auto* attribute = static_cast<const Attr*>(entry->value());
                element->setAttribute(attribute->name(), attribute->value());
            }
        }
        copy = element;
        break;
    }
    case TextNode:
        copy = createTextNode(node->nodeValue());
        break;
    case CDataSectionNode:
        copy = createCDATASection(node->nodeValue());
        break;
    case CommentNode:
        copy = createComment(node->nodeValue());
        break;
    case ProcessingInstructionNode:
        copy = createProcessingInstruction(node->nodeName(), static_cast<const ProcessingInstruction*>(node)->data());
        break;
    default:
        return nullptr;
    }
    if (deep) {
        for (const Node* child : node->childNodes()) {
            if (Node* childCopy = importNode(child, true))
                copy->attach(childCopy);
        }
    }
    return copy;
}

std::unique_ptr<NodeList> Document::getElementsByTagName(std::u16string_view name) const
{
    if (!m_documentElement)
        return std::make_unique<NodeList>();
    auto list = m_documentElement->getElementsByTagName(name);
    if (name == u"*" || m_documentElement->nodeName() == name)
        list->prepend(m_documentElement);
    return list;
}

XmlReader& Document::reader()
{
    if (!m_reader)
        m_reader = std::make_unique<XmlReader>(*this);
    return *m_reader;
}

bool Document::parse(std::u16string_view text)
{
    return reader().parse(text);
}

void Document::finish()
{
    reader().finish();
}

void Document::setDeclaration(const String& version, const String& encoding, const String& standalone)
{
    m_version = version;
    m_encoding = encoding;
    m_standalone = standalone;
    m_declarationSeen = true;
}

bool Document::load(const String& source)
{
    reset();
    size_t colon = source.find(u':');
    String scheme = colon == String::npos ? String() : source.substring(0, colon);
    if (scheme.equalsIgnoreCase(u"http")) {
        m_htmlMode = true;
        HttpLineOpener opener = httpLineOpener();
        if (!opener)
            return false;
        std::unique_ptr<LineSource> lines = opener(source);
        if (!lines)
            return false;
        std::string line;
        while (lines->readLine(line)) {
            String chunk = String::fromLatin1(line);
            chunk.push_back(u'\n');
            if (parse(chunk))
                break;
        }
        finish();
        return true;
    }
    String path = scheme.equalsIgnoreCase(u"file") ? source.substring(colon + 1) : source;
    std::ifstream stream(path.toNarrow(), std::ios::binary);
    if (!stream)
        return false;
    return loadFile(stream);
}

bool Document::loadFile(std::istream& stream)
{
    // The text goes to the reader in pieces that end just after a '>'. No
    // piece then ends inside a tag (where the reader would take the cut for
    // a blank) or in a construct it has to wait for, so the tree is the one
    // the whole text gives, without the whole text in memory at once.
    FileTextReader reader(stream);
    String pending;
    for (;;) {
        size_t searched = pending.size();
        bool more = reader.readInto(pending);
        if (!more) {
            parse(pending);
            break;
        }
        // Earlier text holds no '>': it would have gone already.
        size_t last = std::u16string_view(pending).substr(searched).rfind(u'>');
        if (last == std::u16string_view::npos)
            continue;
        size_t cut = searched + last + 1;
        parse(std::u16string_view(pending).substr(0, cut));
        pending.erase(0, cut);
    }
    finish();
    return true;
}

String Document::toString() const
{
    String out;
    for (const Node* child : childNodes())
        child->writeXml(out, 0);
    return out;
}

std::string Document::fileText(LineEnd lineEnd) const
{
    return encodeFileText(toString(), lineEnd == LineEnd::CrLf);
}

bool Document::save(const String& path, LineEnd lineEnd) const
{
    return writeFileAtomically(path.toNarrow(), fileText(lineEnd));
}

}
