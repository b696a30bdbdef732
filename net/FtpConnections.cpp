#include "net/FtpConnections.h"

#include "core/AtomicFile.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <sys/stat.h>

namespace lumavine {

namespace {

// The text of bytes that are UTF-8 and hold at least one character beyond
// ASCII; nothing otherwise. Builds before this one wrote the file in UTF-8,
// where the file encoding is one byte per character: such a file would read
// with every name and password beyond ASCII garbled. Text in the file
// encoding is almost never also valid UTF-8 beyond ASCII.
std::optional<String> olderUtf8Text(std::string_view bytes)
{
    const bool wide
        = std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return wide ? String::fromUtf8(bytes) : std::nullopt;
}

std::optional<std::string> fileBytes(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

}

FtpConnections::FtpConnections(std::string path)
    : m_path(std::move(path))
    , m_document(std::make_unique<Document>(String(u"ftp")))
{
}

FtpConnections::~FtpConnections() = default;

void FtpConnections::load()
{
    auto document = std::make_unique<Document>();
    struct stat status;
    const bool exists = ::stat(m_path.c_str(), &status) == 0;
    const std::optional<std::string> bytes = exists ? fileBytes(m_path) : std::nullopt;
    bool read = false;
    if (bytes) {
        if (const std::optional<String> older = olderUtf8Text(*bytes)) {
            document->parse(*older);
            document->finish();
            read = true;
        } else {
            read = document->load(String::fromNarrowLossless(m_path));
        }
    }
    if (read && document->documentElement() && document->documentElement()->tagName().equals(u"ftp"))
        m_document = std::move(document);
    else
        m_document = std::make_unique<Document>(String(u"ftp"));
    // Passwords are in the file: nobody but its owner may read it.
    m_tightened = exists && (status.st_mode & 077) != 0 && ::chmod(m_path.c_str(), status.st_mode & 0700) == 0;
}

bool FtpConnections::save()
{
    // In the file encoding load() reads, so that names and passwords beyond
    // ASCII come back as typed.
    const std::string text = m_document->fileText(Document::LineEnd::Lf);
    const bool written = replaceFile(m_path, [&](int fd) {
        ::fchmod(fd, 0600);
        return writeAll(fd, text.data(), text.size());
    });
    // A file replaced keeps its mode: it too becomes private.
    return written && ::chmod(m_path.c_str(), 0600) == 0;
}

std::vector<Element*> FtpConnections::elements() const
{
    std::vector<Element*> found;
    for (Node* child : m_document->documentElement()->childNodes())
        if (Element* element = child->asElement(); element && element->tagName().equals(u"connection"))
            found.push_back(element);
    return found;
}

Element* FtpConnections::find(std::u16string_view name) const
{
    for (Element* element : elements())
        if (element->getAttribute(u"name").equals(name))
            return element;
    return nullptr;
}

std::optional<FtpConnection> FtpConnections::connection(std::u16string_view name) const
{
    const Element* element = find(name);
    if (!element)
        return std::nullopt;
    FtpConnection connection;
    connection.name = element->getAttribute(u"name");
    connection.host = element->getAttribute(u"host");
    connection.port = readPort(element->getAttribute(u"port")).value_or(21);
    connection.user = element->getAttribute(u"user");
    connection.password = element->getAttribute(u"password");
    connection.root = element->getAttribute(u"root");
    connection.tls = element->getAttribute(u"tls").equals(u"1");
    connection.certificateFile = element->getAttribute(u"certificates");
    connection.incremental = element->getAttribute(u"incremental").equals(u"1");
    return connection;
}

void FtpConnections::set(Element* element, const FtpConnection& connection)
{
    element->setAttribute(u"host", connection.host);
    element->setAttribute(u"port", String::number(connection.port));
    element->setAttribute(u"user", connection.user);
    element->setAttribute(u"password", connection.password);
    element->setAttribute(u"root", connection.root);
    // Left out when unset, so that files written before them stay as they were.
    auto setOptional = [element](std::u16string_view name, const String& value) {
        if (value.empty())
            element->removeAttribute(name);
        else
            element->setAttribute(name, value);
    };
    setOptional(u"tls", connection.tls ? String(u"1") : String());
    setOptional(u"certificates", connection.certificateFile);
    setOptional(u"incremental", connection.incremental ? String(u"1") : String());
}

bool FtpConnections::add(const FtpConnection& connection)
{
    if (connection.name.empty() || find(connection.name))
        return false;
    Element* element = addElement(m_document->documentElement(), u"connection");
    element->setAttribute(u"name", connection.name);
    set(element, connection);
    return true;
}

bool FtpConnections::modify(const FtpConnection& connection)
{
    Element* element = find(connection.name);
    if (!element)
        return false;
    set(element, connection);
    return true;
}

bool FtpConnections::remove(std::u16string_view name)
{
    Element* element = find(name);
    if (!element)
        return false;
    // The document keeps its nodes until it goes; the element is only unlinked.
    m_document->documentElement()->removeChild(element);
    return true;
}

std::optional<int> FtpConnections::readPort(const String& text)
{
    String trimmed = text;
    trimmed.trim();
    if (trimmed.empty() || trimmed.length() > 9)
        return std::nullopt;
    int port = 0;
    for (char16_t c : std::u16string_view(trimmed)) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        port = port * 10 + (c - u'0');
    }
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

}
