#pragma once

#include "xml/Node.h"

namespace lumavine {

class CharacterData : public Node {
public:
    const String& nodeValue() const override { return m_data; }
    void setNodeValue(const String& value) override { m_data = value; }
    const String& data() const { return m_data; }
    size_t length() const { return m_data.size(); }
    String substringData() const { return m_data; }

protected:
    CharacterData(Document* owner, String name, String data) : Node(owner, std::move(name)), m_data(std::move(data)) { }

    String m_data;
};

class Text : public CharacterData {
public:
    unsigned short nodeType() const override { return TextNode; }

protected:
    friend class Document;
    Text(Document* owner, String data) : CharacterData(owner, String(u"#text"), std::move(data)) { }
    Text(Document* owner, String name, String data) : CharacterData(owner, std::move(name), std::move(data)) { }
};

class CDATASection : public Text {
public:
    unsigned short nodeType() const override { return CDataSectionNode; }

protected:
    void writeXmlTo(String& out, int level) const override;

private:
    friend class Document;
    CDATASection(Document* owner, String data) : Text(owner, String(u"#cdata-section"), std::move(data)) { }
};

class Comment : public CharacterData {
public:
    unsigned short nodeType() const override { return CommentNode; }

protected:
    void writeXmlTo(String& out, int level) const override;

private:
    friend class Document;
    Comment(Document* owner, String data) : CharacterData(owner, String(u"#comment"), std::move(data)) { }
};

class ProcessingInstruction : public Node {
public:
    unsigned short nodeType() const override { return ProcessingInstructionNode; }
    const String& nodeValue() const override { return m_name; }
    const String& target() const { return m_name; }
    const String& data() const { return m_data; }
    void setData(const String& data) { m_data = data; }

protected:
    void writeXmlTo(String& out, int level) const override;

private:
    friend class Document;
    ProcessingInstruction(Document* owner, String target, String data)
        : Node(owner, std::move(target))
        , m_data(std::move(data))
    {
    }

    String m_data;
};

}
