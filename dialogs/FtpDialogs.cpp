#include "dialogs/FtpDialogs.h"

#include "dialogs/FormElements.h"
#include "forms/QtText.h"
#include "forms/XmlForm.h"
#include "xml/Elements.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QMessageBox>

namespace lumavine {

using namespace FormElements;

FtpDialog::FtpDialog(
    QWidget* owner, const std::string& connectionsFile, int width, int height, int buttonTop, const String& preferred)
    : XmlDialog(owner, u"FtpConnections", nullptr)
    , m_connections(connectionsFile)
    , m_formDocument(u"dialog")
{
    m_connections.load();
    Element* publish = frame(
        m_formDocument, String(u"FTP Connections"), width ? width : 280, height ? height : 120, String(u"publish"));
    Element* box = groupBox(publish, u"FtpBox", u"FTP Connection", 10, 10, 400, 110);
    Element* list = dropDown(box, u"connection", 10, 30, 380, 100);
    // A list that starts empty makes every publish a choice to make again.
    const std::vector<Element*> connections = m_connections.elements();
    const bool preferredListed = !preferred.empty() && m_connections.find(preferred);
    for (const Element* connection : connections) {
        const String& name = connection->getAttribute(u"name");
        option(list, name, name, preferredListed ? name.equals(preferred) : connection == connections.front());
    }
    button(box, u"ftp:add", u"Add", 10, 70, 80, 25);
    button(box, u"ftp:modify", u"Modify", 100, 70, 80, 25);
    button(box, u"ftp:delete", u"Delete", 190, 70, 80, 25);
    const int top = buttonTop ? buttonTop : 160;
    button(publish, u"ok", u"Ok", 10, top, 80, 25);
    button(publish, u"cancel", u"Cancel", 100, top, 80, 25);
    button(publish, u"publish", u"Publish", 190, top, 80, 25);
    setListener(this);
    loadForms(&m_formDocument);
}

FtpDialog::~FtpDialog()
{
    clearForms();
}

Element* FtpDialog::form() const
{
    return findChildByAttribute(m_formDocument.documentElement(), u"name", u"publish");
}

void FtpDialog::tell(const String& message)
{
    QMessageBox::warning(this, QGuiApplication::applicationDisplayName(), toQString(message));
}

void FtpDialog::refresh(const String& current)
{
    for (size_t i = 0; XmlForm* shown = formAt(i); ++i) {
        Element* list = shown->elementOf(u"connection");
        if (!list)
            continue;
        // The list answers the option each entry stands for, so the options
        // change first and the box shows them again.
        while (Node* old = list->firstChild())
            list->removeChild(old);
        const std::vector<Element*> connections = m_connections.elements();
        const bool currentListed = !current.empty() && m_connections.find(current);
        for (const Element* connection : connections) {
            const String& name = connection->getAttribute(u"name");
            option(list, name, name, currentListed ? name.equals(current) : connection == connections.front());
        }
        shown->reloadOptions(u"connection");
    }
}

bool FtpDialog::buttonClicked(XmlForm* form, const String& name, Element*)
{
    if (name.equals(u"publish")) {
        m_publish = true;
        if (form)
            form->onOK();
        return true;
    }
    if (!name.startsWith(u"ftp:"))
        return false;
    auto* list = qobject_cast<QComboBox*>(findControl(u"connection"));
    const String selected = list && list->currentIndex() >= 0 ? fromQString(list->currentText()) : String();
    // After a change the list shows the connection it touched, else the first.
    String current = selected;
    if (name.equals(u"ftp:add")) {
        FtpConnectionDialog dialog(this, m_connections, nullptr);
        if (dialog.doModal() != Ok)
            return true;
        current = dialog.connectionName();
    } else if (name.equals(u"ftp:modify")) {
        const Element* connection = selected.empty() ? nullptr : m_connections.find(selected);
        if (!connection)
            return true;
        FtpConnectionDialog dialog(this, m_connections, connection);
        if (dialog.doModal() != Ok)
            return true;
    } else if (name.equals(u"ftp:delete")) {
        if (selected.empty() || !m_connections.remove(selected))
            return true;
        current.clear();
    } else {
        return false;
    }
    if (!m_connections.save())
        tell(u"Cannot write " + String::fromNarrowLossless(m_connections.path()));
    refresh(current);
    return true;
}

bool FtpDialog::acceptResult(XmlDialog*, Document* result)
{
    if (!m_publish)
        return true;
    const String& name = getChildText(result ? result->documentElement() : nullptr, u"connection");
    const std::optional<FtpConnection> connection = name.empty() ? std::nullopt : m_connections.connection(name);
    if (!connection) {
        // Publish stays a choice to make again.
        m_publish = false;
        tell(String(u"You must select an FTP connection"));
        return false;
    }
    m_chosen = *connection;
    return true;
}

PageFtpDialog::PageFtpDialog(
    QWidget* owner, const std::string& connectionsFile, int& publishFlags, const String& lastConnection)
    : FtpDialog(owner, connectionsFile, 280, 150, 210, lastConnection)
    , m_flags(publishFlags)
{
    Element* publish = form();
    setChildText(m_formDocument.documentElement(), u"title", String(u"Publish Pages"));
    Element* options = groupBox(publish, u"PublishProperties", u"Publish Properties", 10, 130, 400, 50);
    checkBox(options, u"contentfiles", u"Publish Content Files", publishFlags & 1, 10, 25, 160);
    checkBox(options, u"customfiles", u"Publish Custom Files", publishFlags & 2, 180, 25, 160);
    loadForms(&m_formDocument);
}

bool PageFtpDialog::acceptResult(XmlDialog* dialog, Document* result)
{
    if (!FtpDialog::acceptResult(dialog, result))
        return false;
    const Element* root = result ? result->documentElement() : nullptr;
    m_flags = (m_flags & ~3) | (getChildText(root, u"contentfiles").equals(u"true") ? 1 : 0)
        | (getChildText(root, u"customfiles").equals(u"true") ? 2 : 0);
    return true;
}

FtpConnectionDialog::FtpConnectionDialog(QWidget* owner, FtpConnections& connections, const Element* existing)
    : XmlDialog(owner, u"FtpConnection", nullptr)
    , m_connections(connections)
    , m_adding(existing == nullptr)
    , m_formDocument(u"dialog")
{
    Element* form = frame(m_formDocument, String(u"FTP Connection"), 200, 305, String(u"ftp"));
    struct Field {
        std::u16string_view box;
        std::u16string_view caption;
        std::u16string_view name;
    };
    int top = 10;
    for (const Field& field : { Field { u"NameBox", u"Name", u"name" }, Field { u"HostBox", u"Host", u"host" },
             Field { u"PortBox", u"Port", u"port" }, Field { u"UserBox", u"User", u"user" },
             Field { u"PasswordBox", u"Password", u"password" }, Field { u"RootBox", u"Root", u"root" } }) {
        const String value = existing ? existing->getAttribute(field.name)
            : field.name == u"port"   ? String(u"0021")
                                      : String();
        Element* input
            = textInput(groupBox(form, field.box, field.caption, 10, top, 270, 55), field.name, value, 10, 25, 250);
        if (field.name == u"password")
            input->setAttribute(u"password", u"true");
        if (field.name == u"name" && existing)
            input->setAttribute(u"readonly", u"true");
        top += 65;
    }
    // Both off for connections made before they existed.
    const bool tls = existing && existing->getAttribute(u"tls").equals(u"1");
    const bool incremental = existing && existing->getAttribute(u"incremental").equals(u"1");
    Element* security = groupBox(form, u"SecurityBox", u"Security and Speed", 10, top, 270, 115);
    checkBox(security, u"tls", u"Require TLS (FTPS)", tls, 10, 25, 250);
    label(security, u"certificates", u"Trusted authorities (empty: the system's)", 10, 50, 250);
    textInput(security, u"certificates", existing ? existing->getAttribute(u"certificates") : String(), 10, 67, 250);
    checkBox(security, u"incremental", u"Send only changed files", incremental, 10, 92, 250);
    top += 125;
    button(form, u"ok", u"Ok", 10, top, 100, 25);
    button(form, u"cancel", u"Cancel", 120, top, 100, 25);
    setListener(this);
    loadForms(&m_formDocument);
}

FtpConnectionDialog::~FtpConnectionDialog()
{
    clearForms();
}

bool FtpConnectionDialog::acceptResult(XmlDialog*, Document* result)
{
    const Element* root = result ? result->documentElement() : nullptr;
    auto tell = [this](const String& message) {
        QMessageBox::warning(this, QGuiApplication::applicationDisplayName(), toQString(message));
        return false;
    };
    FtpConnection connection;
    connection.name = getChildText(root, u"name");
    connection.name.trim();
    connection.host = getChildText(root, u"host");
    connection.user = getChildText(root, u"user");
    connection.password = getChildText(root, u"password");
    connection.root = getChildText(root, u"root");
    connection.tls = getChildText(root, u"tls").equals(u"true");
    connection.certificateFile = getChildText(root, u"certificates");
    connection.certificateFile.trim();
    connection.incremental = getChildText(root, u"incremental").equals(u"true");
    const std::optional<int> port = FtpConnections::readPort(getChildText(root, u"port"));
    if (!port)
        return tell(String(u"Invalid port number"));
    connection.port = *port;
    if (m_adding) {
        // A connection without a name could never be chosen again.
        if (connection.name.empty())
            return tell(String(u"You must enter a name"));
        if (m_connections.find(connection.name))
            return tell(u"Ftp connection " + connection.name + u" already exists");
    }
    if (!(m_adding ? m_connections.add(connection) : m_connections.modify(connection)))
        return false;
    m_name = connection.name;
    return true;
}

}
