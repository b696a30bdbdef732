#include "xml/XmlReader.h"

#include "core/Properties.h"
#include "xml/Document.h"

namespace lumavine {

namespace {

// Deeper nesting than this is no document the program writes; refusing to
// nest further keeps every recursive walk of the tree within the stack.
constexpr size_t maximumDepth = 4096;

bool isVoidHtmlElement(const String& name)
{
    static constexpr std::u16string_view names[]
        = { u"img", u"area", u"meta", u"base", u"basefont", u"bgsound", u"br", u"link" };
    for (auto n : names) {
        if (name.equalsIgnoreCase(n))
            return true;
    }
    return false;
}

// Characters that readTagChar would only append, to the name or to the
// attribute text.
bool isPlainNameChar(char16_t c)
{
    return c != u'>' && c != u'/' && c != u' ' && c != u'\t' && c != u'\n' && c != u'\r';
}

bool isPlainAttributeChar(char16_t c)
{
    return c != u'>' && c != u'/' && c != u'"' && c != u'\t' && c != u'\n' && c != u'\r';
}

// Takes back the references of XML's five predefined characters. Any other
// '&' stays as it stands: a bare one in a link, "&nbsp;", and numeric
// references such as "&#146;", which action texts hand on to the pages as
// they are. Files written before texts were escaped hold such '&' raw.
void decodeReferences(String& text)
{
    size_t i = text.find(u'&');
    if (i == String::npos)
        return;
    static constexpr struct {
        std::u16string_view reference;
        char16_t character;
    } references[]
        = { { u"&lt;", u'<' }, { u"&gt;", u'>' }, { u"&amp;", u'&' }, { u"&quot;", u'"' }, { u"&apos;", u'\'' } };
    // No reference is shorter than its character, so the text is rewritten
    // in place, behind the reading position.
    size_t out = i;
    while (i < text.size()) {
        char16_t c = text[i];
        size_t length = 1;
        if (c == u'&') {
            std::u16string_view rest = std::u16string_view(text).substr(i);
            for (const auto& entry : references) {
                if (rest.starts_with(entry.reference)) {
                    c = entry.character;
                    length = entry.reference.size();
                    break;
                }
            }
        }
        text[out++] = c;
        i += length;
    }
    text.resize(out);
}

// The attribute text of a tag is read as Properties(text, u" ", u"=") reads
// it, without building the map and the tokenizers for every element. An item
// is a run of the text up to a blank outside double quotes; blanks and tabs
// before it are skipped, and its quotes stay in.
bool nextAttributeItem(std::u16string_view text, size_t& at, std::u16string_view& item)
{
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t'))
        ++at;
    size_t start = at;
    bool quoted = false;
    while (at < text.size()) {
        char16_t c = text[at];
        if (c == u'"')
            quoted = !quoted;
        else if (c == u' ' && !quoted)
            break;
        ++at;
    }
    item = text.substr(start, at - start);
    return !item.empty();
}

// The name or the value in an item: it ends at an '=' outside double quotes,
// loses its quotes, and skips blanks, tabs and '=' signs before it.
bool nextAttributePart(std::u16string_view item, size_t& at, String& part, bool& endedBySeparator)
{
    part.clear();
    endedBySeparator = false;
    bool quoted = false;
    while (at < item.size()) {
        char16_t c = item[at++];
        if (c == u'"') {
            quoted = !quoted;
            continue;
        }
        if (c == u'=' && !quoted) {
            if (part.empty())
                continue;
            endedBySeparator = true;
            return true;
        }
        if (part.empty() && (c == u' ' || c == u'\t'))
            continue;
        part.push_back(c);
    }
    return !part.empty();
}
}

XmlReader::XmlReader(Document& document) : m_document(document)
{
    m_open.push_back({ &document, String(), String(), false, false });
}

bool XmlReader::parse(std::u16string_view chunk)
{
    if (m_complete)
        return true;
    String combined;
    if (!m_carry.empty()) {
        combined = std::move(m_carry);
        m_carry.clear();
        combined.append(chunk);
        chunk = combined;
    }
    size_t i = 0;
    scan(chunk, i);
    // A tag cut off by the end of a chunk goes on in the next one as if a
    // blank stood between the two parts.
    if (m_mode == Mode::Tag && !m_complete)
        m_attributes.push_back(u' ');
    return m_complete;
}

void XmlReader::scan(std::u16string_view chunk, size_t& i)
{
    const size_t n = chunk.size();
    const bool html = m_document.isHtmlMode();
    while (i < n && !m_complete) {
        char16_t c = chunk[i];
        switch (m_mode) {
        case Mode::Text: {
            size_t start = i;
            bool ampersand = false;
            for (; i < n; ++i) {
                char16_t t = chunk[i];
                if (t == u'<' || t == u'\r')
                    break;
                ampersand |= t == u'&';
            }
            OpenNode& top = m_open.back();
            if (top.named && !html && i > start) {
                top.text.append(chunk.substr(start, i - start));
                top.ampersand |= ampersand;
            }
            if (i < n) {
                if (chunk[i] == u'<')
                    m_mode = Mode::AfterLt;
                ++i;
            }
            break;
        }
        case Mode::AfterLt:
            if (c == u'!') {
                m_mode = Mode::AfterBang;
                ++i;
            } else if (c == u'?') {
                m_mode = Mode::Instruction;
                m_nesting = 1;
                m_scratch.clear();
                ++i;
            } else {
                m_mode = Mode::Tag;
                m_name.clear();
                m_attributes.clear();
                m_readingAttributes = m_heldSlash = m_selfClosing = m_endTag = m_inAttributeQuote = false;
            }
            break;
        case Mode::AfterBang: {
            std::u16string_view rest = chunk.substr(i);
            auto match = [&](std::u16string_view word) {
                size_t k = std::min(rest.size(), word.size());
                for (size_t j = 0; j < k; ++j) {
                    if (String::foldLower(rest[j]) != word[j])
                        return 0;
                }
                return rest.size() >= word.size() ? 1 : -1;
            };
            int comment = match(u"--");
            int cdata = match(u"[cdata[");
            int doctype = match(u"doctype");
            m_scratch.clear();
            if (comment == 1) {
                m_mode = Mode::Comment;
                i += 2;
            } else if (cdata == 1) {
                m_mode = Mode::CData;
                i += 7;
            } else if (doctype == 1) {
                m_mode = Mode::Doctype;
                m_subset.clear();
                m_inSubset = false;
                i += 7;
            } else if (comment < 0 || cdata < 0 || doctype < 0) {
                // Too few characters to tell the construct: wait for more.
                m_carry = String(rest);
                i = n;
            } else {
                m_mode = Mode::OtherDeclaration;
            }
            break;
        }
        case Mode::Comment:
        case Mode::CData: {
            ++i;
            if (c == u'\r')
                break;
            std::u16string_view closing = m_mode == Mode::Comment ? u"--" : u"]]";
            if (c == u'>' && m_scratch.endsWith(closing)) {
                m_scratch.resize(m_scratch.size() - 2);
                if (m_mode == Mode::Comment)
                    attachToTop(m_document.createComment(m_scratch));
                else
                    attachToTop(m_document.createCDATASection(m_scratch));
                m_mode = Mode::Text;
            } else {
                m_scratch.push_back(c);
            }
            break;
        }
        case Mode::Instruction:
            ++i;
            if (c == u'\r')
                break;
            if (c == u'<') {
                ++m_nesting;
            } else if (c == u'>' && --m_nesting == 0) {
                endInstruction();
                m_mode = Mode::Text;
                break;
            }
            m_scratch.push_back(c);
            break;
        case Mode::Doctype:
            ++i;
            if (c == u'\r')
                break;
            if (m_inSubset) {
                if (c == u']')
                    m_inSubset = false;
                else
                    m_subset.push_back(c);
            } else if (c == u'[') {
                m_inSubset = true;
            } else if (c == u'>') {
                m_document.setDoctype(m_scratch);
                m_mode = Mode::Text;
            } else {
                m_scratch.push_back(c);
            }
            break;
        case Mode::OtherDeclaration:
            ++i;
            if (c == u'>')
                m_mode = Mode::Text;
            break;
        case Mode::Tag: {
            // Runs of characters that only go into the name or the attribute
            // text are taken whole; readTagChar decides everything else.
            if (!m_heldSlash) {
                size_t start = i;
                if (m_readingAttributes) {
                    while (i < n && isPlainAttributeChar(chunk[i]))
                        ++i;
                    m_attributes.append(chunk.substr(start, i - start));
                } else {
                    while (i < n && isPlainNameChar(chunk[i]))
                        ++i;
                    m_name.append(chunk.substr(start, i - start));
                }
                if (i == n)
                    break;
            }
            readTagChar(chunk[i++]);
            break;
        }
        }
    }
}

void XmlReader::readTagChar(char16_t c)
{
    if (c == u'\r')
        return;
    if (c == u'>') {
        if (m_heldSlash)
            m_selfClosing = true;
        m_heldSlash = false;
        m_mode = Mode::Text;
        handleTag();
        return;
    }
    if (m_heldSlash) {
        m_heldSlash = false;
        m_attributes.push_back(u'/');
    }
    if (c == u'/') {
        if (m_name.empty() && !m_readingAttributes && !m_endTag) {
            m_endTag = true;
            m_name.push_back(c);
        } else {
            m_heldSlash = true;
        }
        return;
    }
    if (!m_readingAttributes) {
        if (c == u' ' || c == u'\t' || c == u'\n') {
            m_readingAttributes = true;
            if (c == u'\n')
                m_attributes.push_back(u' ');
            return;
        }
        m_name.push_back(c);
        return;
    }
    // A line end inside a tag separates attributes like a blank, and so does
    // a tab outside a quoted value.
    if (c == u'"')
        m_inAttributeQuote = !m_inAttributeQuote;
    if (c == u'\n' || (c == u'\t' && !m_inAttributeQuote))
        c = u' ';
    m_attributes.push_back(c);
}

void XmlReader::setAttributes(Element& element)
{
    // A bare first item (a value without a name) sets nothing, an item with
    // nothing readable in it ends the attributes, and a repeated name keeps
    // its first place and takes its last value.
    std::u16string_view text = m_attributes;
    size_t at = 0;
    bool firstItem = true;
    std::u16string_view item;
    while (nextAttributeItem(text, at, item)) {
        size_t partAt = 0;
        bool hadSeparator = false;
        if (!nextAttributePart(item, partAt, m_attributeName, hadSeparator))
            break;
        bool valueEndedBySeparator = false;
        bool hasValue = nextAttributePart(item, partAt, m_attributeValue, valueEndedBySeparator);
        decodeReferences(m_attributeValue);
        bool bare = !hasValue && firstItem && !hadSeparator;
        firstItem = false;
        if (bare)
            continue;
        if (Attr* existing = element.getAttributeNode(m_attributeName))
            existing->setValue(m_attributeValue);
        else
            element.setAttribute(m_attributeName, m_attributeValue);
    }
}

bool XmlReader::closesInHtml(const String& open, const String& tag) const
{
    struct Rule {
        std::u16string_view open[3];
        std::u16string_view tags[6];
    };
    static constexpr Rule rules[] = {
        { { u"td", u"th" }, { u"td", u"tr", u"/table", u"/tr" } },
        { { u"caption", u"thead", u"tbody" }, { u"/caption", u"thead", u"tbody", u"tr" } },
        { { u"tr" }, { u"tr", u"table", u"/table" } },
        { { u"p" }, { u"p", u"/p", u"/body", u"/html" } },
        { { u"li" }, { u"li", u"/ul", u"/ol", u"/dl", u"/dir" } },
        { { u"option" }, { u"option", u"/select" } },
        { { u"input" }, { u"input", u"/form" } },
        { { u"dt", u"dd" }, { u"dt", u"/dt", u"dd", u"/dd", u"/dl" } },
    };
    for (const Rule& rule : rules) {
        bool applies = false;
        for (auto name : rule.open)
            applies = applies || (!name.empty() && open.equalsIgnoreCase(name));
        if (!applies)
            continue;
        for (auto name : rule.tags) {
            if (!name.empty() && tag.equalsIgnoreCase(name))
                return true;
        }
    }
    return false;
}

void XmlReader::handleTag()
{
    if (m_open.size() == 1 && !m_open.back().named) {
        // An end tag before the first start tag closes nothing.
        if (m_endTag || m_name.empty())
            return;
        m_open.back().ownName = m_name;
        m_open.back().named = true;
        m_open.back().text.clear();
        m_open.back().ampersand = false;
        startElement();
        return;
    }
    if (m_document.isHtmlMode()) {
        for (;;) {
            const OpenNode& top = m_open.back();
            if (m_endTag && m_name.size() == top.ownName.size() + 1
                && String(m_name.substring(1)).equalsIgnoreCase(top.ownName)) {
                completeTop();
                return;
            }
            if (m_open.size() > 1 && closesInHtml(top.ownName, m_name)) {
                completeTop();
                continue;
            }
            break;
        }
        if (!m_endTag)
            startElement();
        return;
    }
    if (m_endTag) {
        const OpenNode& top = m_open.back();
        if (m_name.size() == top.ownName.size() + 1 && String(m_name.substring(1)).equalsIgnoreCase(top.ownName))
            completeTop();
        return;
    }
    startElement();
}

void XmlReader::startElement()
{
    if (m_name.empty())
        return;
    OpenNode& parent = m_open.back();
    Element* element = m_document.createElement(m_name);
    element->setDepth(parent.node->depth() + 1);
    if (!m_attributes.empty())
        setAttributes(*element);
    bool takesNoContent = m_selfClosing || (m_document.isHtmlMode() && isVoidHtmlElement(m_name));
    if (takesNoContent || m_open.size() >= maximumDepth) {
        parent.node->attach(element);
        return;
    }
    m_open.push_back({ element, m_name, String(), true, false });
}

void XmlReader::completeTop()
{
    OpenNode& top = m_open.back();
    bool keepText = !m_document.isHtmlMode() && !top.text.empty();
    // Decoded once the text is whole, as a reference may come in two chunks.
    if (keepText && top.ampersand)
        decodeReferences(top.text);
    if (m_open.size() == 1) {
        if (keepText)
            m_document.attach(m_document.createTextNode(top.text));
        top.text.clear();
        m_complete = true;
        return;
    }
    // The open entry goes below, so its text can move into the node.
    if (keepText)
        top.node->attach(m_document.createTextNode(std::move(top.text)));
    Node* done = top.node;
    m_open.pop_back();
    m_open.back().node->attach(done);
}

void XmlReader::attachToTop(Node* node)
{
    m_open.back().node->attach(node);
}

void XmlReader::endInstruction()
{
    size_t question = m_scratch.find(u'?');
    String text = question == String::npos ? m_scratch : m_scratch.substring(0, question);
    size_t targetEnd = 0;
    while (targetEnd < text.size() && text[targetEnd] != u' ' && text[targetEnd] != u'\t')
        ++targetEnd;
    String target = text.substring(0, targetEnd);
    String data = text.substring(targetEnd);
    if (target.equalsIgnoreCase(u"xml") && !m_document.hasDeclaration()) {
        Properties declaration(data, u" ", u"=");
        m_document.setDeclaration(
            declaration.get(u"version"), declaration.get(u"encoding"), declaration.get(u"standalone"));
        return;
    }
    attachToTop(m_document.createProcessingInstruction(target, data));
}

void XmlReader::finish()
{
    while (m_open.size() > 1)
        completeTop();
    m_mode = Mode::Text;
    m_carry.clear();
}

}
