#include "xml/Registry.h"

#include "core/Tokenizer.h"
#include "xml/Elements.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace lumavine {

namespace {

constexpr size_t maximumValueLength = 4096;

bool makeParentDirectories(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        std::string directory = path.substr(0, slash);
        if (mkdir(directory.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

}

Registry::Registry() = default;
Registry::~Registry() = default;

std::string Registry::settingsPath()
{
    if (const char* path = std::getenv("LUMAVINE_REGISTRY"); path && *path)
        return path;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/lumavine/registry.xml";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/lumavine/registry.xml";
}

bool Registry::open(const String& keyPath, int access)
{
    close();
    auto document = std::make_unique<Document>();
    document->load(String::fromNarrowLossless(settingsPath()));
    if (!document->documentElement()) {
        if (!(access & Write))
            return false;
        document->reset();
        document->attach(document->createElement(String(u"registry")));
    }
    Node* key = document->documentElement();
    Tokenizer components(keyPath, u"\\/");
    while (const String* component = components.next()) {
        Element* child = findChildElement(key, *component, true);
        if (!child) {
            if (!(access & Write))
                return false;
            child = addElement(key, *component);
        }
        key = child;
    }
    m_document = std::move(document);
    m_key = key->asElement();
    m_access = access;
    return true;
}

void Registry::close()
{
    m_key = nullptr;
    m_document.reset();
    m_access = 0;
}

const String& Registry::getString(std::u16string_view name)
{
    m_value = getStringOrNone(name).value_or(String());
    return m_value;
}

std::optional<String> Registry::getStringOrNone(std::u16string_view name)
{
    Element* value = m_key ? findChildElement(m_key, name, true) : nullptr;
    if (!value)
        return std::nullopt;
    String text = getText(value);
    if (text.size() > maximumValueLength)
        text.resize(maximumValueLength);
    return text;
}

bool Registry::setString(const String& name, const String& text)
{
    if (!m_key || !(m_access & Write) || name.empty())
        return false;
    Element* value = findChildElement(m_key, name, true);
    if (!value)
        value = addElement(m_key, name);
    // A value element holds exactly its text, so rebuild its content.
    while (Node* child = value->firstChild())
        value->removeChild(child);
    value->appendChild(m_document->createTextNode(text));
    std::string path = settingsPath();
    if (!makeParentDirectories(path))
        return false;
    return m_document->save(String::fromNarrowLossless(path), Document::LineEnd::Lf);
}

bool Registry::setInt(const String& name, int value)
{
    return setString(name, String::number(value));
}

}
