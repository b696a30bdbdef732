#pragma once

#include "core/String.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumavine {

class Document;
class Element;

// One named FTP connection as the connections file keeps it.
struct FtpConnection {
    String name;
    String host;
    int port = 21;
    // Empty: no USER command. Empty password: no PASS command.
    String user;
    String password;
    // The remote folder under which projects are published.
    String root;
    // Explicit FTPS, attribute "tls" = "1".
    bool tls = false;
    // Attribute "certificates": a PEM file of the authorities to trust for
    // TLS; empty trusts the system's.
    String certificateFile {};
    // Attribute "incremental" = "1": files unchanged since the last publish
    // over this connection are not sent again.
    bool incremental = false;
};

// The user's FTP connections, shared by every project: the XML file
// "ftp.xml" in the installation folder, root "ftp", one "connection"
// element per connection with the attributes name, host, port, user,
// password and root, in the order they were added; "tls", "certificates"
// and "incremental" only where they are set, so older files read and write
// unchanged. The file holds
// passwords, so it is kept readable by its owner only.
class FtpConnections {
public:
    explicit FtpConnections(std::string path);
    ~FtpConnections();
    FtpConnections(const FtpConnections&) = delete;
    FtpConnections& operator=(const FtpConnections&) = delete;

    // Reads the file; a missing or unreadable one is an empty list (the
    // file is made at the first save). A file that others may read is
    // made private at once, and tightened() says so.
    void load();
    // Writes the whole file through a temporary file, private to its
    // owner; false when it cannot be written.
    bool save();
    bool tightened() const { return m_tightened; }
    const std::string& path() const { return m_path; }

    std::vector<Element*> elements() const;
    Element* find(std::u16string_view name) const;
    std::optional<FtpConnection> connection(std::u16string_view name) const;
    // Adds a connection at the end; false (nothing added) when the name is
    // taken or empty.
    bool add(const FtpConnection& connection);
    // Sets host, port, user, password and root of the connection of that
    // name; its name stays. False when there is none.
    bool modify(const FtpConnection& connection);
    bool remove(std::u16string_view name);
    Document& document() { return *m_document; }

    // A port as the form gives it ("0021"), as a number; nothing when it is
    // no decimal integer from 1 to 65535.
    static std::optional<int> readPort(const String& text);

private:
    void set(Element* element, const FtpConnection& connection);

    std::string m_path;
    std::unique_ptr<Document> m_document;
    bool m_tightened = false;
};

}
