#pragma once

#include "xml/Node.h"

namespace lumavine {

class Element : public Node {
public:
    unsigned short nodeType() const override { return ElementNode; }
    NamedNodeMap* attributes() override;
    using Node::attributes;

    const String& tagName() const { return m_name; }
    // The value, or the empty text when there is no such attribute.
    const String& getAttribute(std::u16string_view name) const;
    Attr* getAttributeNode(std::u16string_view name) const;
    bool hasAttribute(std::u16string_view name) const { return getAttributeNode(name) != nullptr; }
    // A new list the caller owns: matching elements below this one, depth
    // first, not this one itself. "*" matches every element.
    std::unique_ptr<NodeList> getElementsByTagName(std::u16string_view name) const;
    void setAttribute(const String& name, const String& value);
    void removeAttribute(std::u16string_view name);

protected:
    void writeXmlTo(String& out, int level) const override;

private:
    friend class Document;
    Element(Document* owner, String tagName) : Node(owner, std::move(tagName)) { }
};

}
