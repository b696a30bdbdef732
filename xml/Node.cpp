#include "xml/Document.h"

namespace lumavine {

Attr* NamedNodeMap::item(size_t index) const
{
    auto* entry = order().get(index);
    return entry ? static_cast<Attr*>(entry->value()) : nullptr;
}

Attr* NamedNodeMap::setNamedItem(Attr* attribute)
{
    return static_cast<Attr*>(put(attribute->name(), attribute, true));
}

NodeList::~NodeList()
{
    // A node is destroyed only when its document lets go of all its nodes
    // and their memory at once, so walking the links to give them back
    // would only cost a cache miss each.
    if (m_linkSource)
        abandonLinks();
}

PtrList::Link* NodeList::newLink(void* value)
{
    return m_linkSource ? m_linkSource->takeLink() : PtrList::newLink(value);
}

void NodeList::deleteLink(Link* link)
{
    if (m_linkSource)
        m_linkSource->giveBackLink(link);
    else
        PtrList::deleteLink(link);
}

Node::Node(Document* owner, String name)
    : m_name(std::move(name))
    , m_owner(owner)
    , m_children(static_cast<Node*>(owner) == this ? nullptr : owner)
{
}

Node::~Node() = default;

Element* Node::asElement()
{
    return isElement() ? static_cast<Element*>(this) : nullptr;
}

const Element* Node::asElement() const
{
    return isElement() ? static_cast<const Element*>(this) : nullptr;
}

void Node::linkChild(Node* child, Node* reference)
{
    PtrList::Link* before = (reference && reference->m_parent == this) ? reference->m_link : nullptr;
    child->m_parent = this;
    child->m_link = m_children.linkBefore(child, before);
}

bool Node::canTake(const Node* child) const
{
    // A node cannot become its own child or the child of anything below it:
    // the tree would turn into a cycle. Only a node with children can be an
    // ancestor, which spares the walk up for the usual new leaf.
    if (child == this)
        return false;
    if (!child->hasChildNodes())
        return true;
    for (const Node* above = m_parent; above; above = above->m_parent) {
        if (above == child)
            return false;
    }
    return true;
}

Node* Node::appendChild(Node* child)
{
    if (!child)
        return nullptr;
    if (child->ownerDocument() != ownerDocument())
        throw Exception(String(u"Node"), -1, String(u"Mismatching documents"));
    if (!canTake(child))
        return nullptr;
    attach(child);
    return child;
}

void Node::attach(Node* child)
{
    if (!canTake(child))
        return;
    // A node still linked elsewhere would sit in two child lists at once;
    // taking it out first keeps both lists sound.
    if (child->m_parent)
        child->m_parent->removeChild(child);
    linkChild(child, nullptr);
}

Node* Node::insertBefore(Node* child, Node* reference)
{
    if (!child)
        return nullptr;
    if (child->ownerDocument() != ownerDocument())
        throw Exception(String(u"Node"), -1, String(u"Mismatching documents"));
    if (!canTake(child))
        return nullptr;
    if (child == reference)
        return child;
    if (child->m_parent)
        child->m_parent->removeChild(child);
    linkChild(child, reference);
    return child;
}

Node* Node::removeChild(Node* child)
{
    if (!child || child->m_parent != this)
        return nullptr;
    m_children.unlink(child->m_link);
    child->m_link = nullptr;
    child->m_parent = nullptr;
    return child;
}

Node* Node::nextSibling() const
{
    if (!m_link || !m_link->next)
        return nullptr;
    return static_cast<Node*>(m_link->next->value);
}

Node* Node::previousSibling() const
{
    if (!m_link || !m_link->previous)
        return nullptr;
    return static_cast<Node*>(m_link->previous->value);
}

Node* Node::cloneNode(bool deep) const
{
    Document* document = ownerDocument();
    if (!document)
        return nullptr;
    Node* copy = document->importNode(this, deep);
    return copy;
}

String Node::toXml(int level) const
{
    String out;
    writeXmlTo(out, level < 0 ? m_depth : level);
    return out;
}

void Node::writeXml(String& out, int level) const
{
    writeXmlTo(out, level);
}

void Node::reset()
{
    m_name.clear();
    for (Node* child : m_children) {
        child->reset();
        child->m_parent = nullptr;
        child->m_link = nullptr;
    }
    m_children.clear();
    m_attributes.reset();
}

}
