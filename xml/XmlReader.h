#pragma once

#include "core/String.h"

#include <vector>

namespace lumavine {

class Document;
class Element;
class Node;

// The incremental reader behind Document::parse. It keeps the elements still
// open as a stack, so a chunk may end anywhere and the next one resumes.
// Texts and attribute values in the tree are plain text: the writer puts '&',
// '<' and '>' (and in a value the double quote) as references, and the reader
// takes back exactly the five predefined references; any other '&' ("&nbsp;",
// "&#146;", a bare one) is read as it stands. Comments, CDATA sections and
// instructions are written and read as they stand.
class XmlReader {
public:
    explicit XmlReader(Document& document);

    // True once the document itself is complete.
    bool parse(std::u16string_view chunk);
    void finish();
    bool isComplete() const { return m_complete; }

private:
    enum class Mode { Text, AfterLt, AfterBang, Tag, Comment, CData, Instruction, Doctype, OtherDeclaration };

    struct OpenNode {
        Node* node;
        String ownName;
        String text;
        bool named;
        // Whether the text holds an '&', which may start a reference.
        bool ampersand;
    };

    void scan(std::u16string_view chunk, size_t& i);
    void readTagChar(char16_t c);
    void handleTag();
    void startElement();
    void setAttributes(Element& element);
    bool closesInHtml(const String& open, const String& tag) const;
    void completeTop();
    void attachToTop(Node* node);
    void endInstruction();

    Document& m_document;
    std::vector<OpenNode> m_open;
    Mode m_mode = Mode::Text;
    String m_name;
    String m_attributes;
    String m_attributeName;
    String m_attributeValue;
    String m_scratch;
    String m_subset;
    String m_carry;
    bool m_readingAttributes = false;
    bool m_heldSlash = false;
    bool m_selfClosing = false;
    bool m_endTag = false;
    bool m_inAttributeQuote = false;
    bool m_inSubset = false;
    int m_nesting = 0;
    bool m_complete = false;
};

}
