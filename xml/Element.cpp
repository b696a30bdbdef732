#include "xml/Document.h"

#include <algorithm>

namespace lumavine {

namespace {

// Deeper levels are indented as this one, so that the text written stays
// proportional to the tree however deep it is nested.
constexpr int deepestIndentedLevel = 64;

void indent(String& out, int level, char16_t unit, int width)
{
    if (level > 0)
        out.append(size_t(std::min(level, deepestIndentedLevel)) * width, unit);
}

// The model holds plain text; the file holds markup. Only the characters
// that would read back as markup are written as references, and the runs
// between them are copied in one step, as most texts have none at all. In a
// value '>' is written as a reference too, since a tag ends at the first '>'
// whatever the quotes around it. Kept out of line: writing recurses once a
// level, and the reader allows thousands of levels, so each level's frame
// stays as small as it was.
template<bool inAttribute>
[[gnu::noinline]] void appendEscaped(String& out, std::u16string_view text)
{
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        std::u16string_view reference;
        switch (text[i]) {
        case u'&':
            reference = u"&amp;";
            break;
        case u'<':
            reference = u"&lt;";
            break;
        case u'>':
            reference = u"&gt;";
            break;
        case u'"':
            if (!inAttribute)
                continue;
            reference = u"&quot;";
            break;
        default:
            continue;
        }
        out.append(text.substr(start, i - start));
        out.append(reference);
        start = i + 1;
    }
    out.append(text.substr(start));
}

void collectElements(const Node& from, std::u16string_view name, NodeList& into)
{
    for (Node* child : from.childNodes()) {
        if (!child->isElement())
            continue;
        if (name == u"*" || child->nodeName() == name)
            into.append(child);
        collectElements(*child, name, into);
    }
}

}

NamedNodeMap* Element::attributes()
{
    if (!m_attributes)
        m_attributes.reset(ownerDocument()->newAttributes());
    return m_attributes.get();
}

const String& Element::getAttribute(std::u16string_view name) const
{
    Attr* attribute = getAttributeNode(name);
    return attribute ? attribute->value() : emptyString;
}

Attr* Element::getAttributeNode(std::u16string_view name) const
{
    return m_attributes ? m_attributes->getNamedItem(name) : nullptr;
}

std::unique_ptr<NodeList> Element::getElementsByTagName(std::u16string_view name) const
{
    auto list = std::make_unique<NodeList>();
    collectElements(*this, name, *list);
    return list;
}

void Element::setAttribute(const String& name, const String& value)
{
    if (name.empty())
        return;
    Attr* attribute = ownerDocument()->createAttribute(name);
    attribute->setValue(value);
    attribute->setOwnerElement(this);
    attributes()->setNamedItem(attribute);
}

void Element::removeAttribute(std::u16string_view name)
{
    if (m_attributes)
        m_attributes->removeNamedItem(name);
}

void Element::writeXmlTo(String& out, int level) const
{
    indent(out, level, u' ', 7);
    out.push_back(u'<');
    out.append(m_name);
    if (m_attributes && !m_attributes->isEmpty()) {
        out.push_back(u' ');
        bool first = true;
        for (const PtrMap::Entry* entry : *m_attributes) {
            if (!first)
                out.push_back(u' ');
            first = false;
            auto* attribute = static_cast<const Attr*>(entry->value());
            out.append(attribute->name());
            out.append(u"=\"");
            appendEscaped<true>(out, attribute->value());
            out.push_back(u'"');
        }
    }
    const NodeList& children = childNodes();
    if (children.isEmpty()) {
        out.append(u" />\n");
        return;
    }
    Node* only = children.count() == 1 ? children.first() : nullptr;
    if (only && only->nodeType() == TextNode) {
        out.push_back(u'>');
        appendEscaped<false>(out, only->nodeValue());
        out.append(u"</");
        out.append(m_name);
        out.append(u">\n");
        return;
    }
    out.append(u">\n");
    for (const Node* child : children)
        child->writeXml(out, level + 1);
    indent(out, level, u' ', 7);
    out.append(u"</");
    out.append(m_name);
    out.append(u">\n");
}

void CDATASection::writeXmlTo(String& out, int level) const
{
    indent(out, level, u'\t', 1);
    out.append(u"<![CDATA[");
    out.append(m_data);
    out.append(u"]]>\n");
}

void Comment::writeXmlTo(String& out, int level) const
{
    indent(out, level, u'\t', 1);
    out.append(u"<!--");
    out.append(m_data);
    out.append(u"-->\n");
}

void ProcessingInstruction::writeXmlTo(String& out, int level) const
{
    indent(out, level, u'\t', 1);
    out.append(u"<?");
    out.append(m_name);
    out.push_back(u' ');
    out.append(m_data);
    out.append(u" ?>\n");
}

}
