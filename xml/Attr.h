#pragma once

#include "xml/Node.h"

namespace lumavine {

class Attr : public Node {
public:
    unsigned short nodeType() const override { return AttributeNode; }
    const String& nodeValue() const override { return m_value; }
    const String& name() const { return m_name; }
    const String& value() const { return m_value; }
    void setValue(const String& value) { m_value = value; }
    Element* ownerElement() const { return m_ownerElement; }
    void setOwnerElement(Element* element) { m_ownerElement = element; }

private:
    friend class Document;
    Attr(Document* owner, String name, String value) : Node(owner, std::move(name)), m_value(std::move(value)) { }

    String m_value;
    Element* m_ownerElement = nullptr;
};

}
