#pragma once

#include "forms/XmlDialog.h"
#include "forms/XmlDialogListener.h"
#include "net/FtpConnections.h"
#include "xml/Document.h"

namespace lumavine {

// "FTP Connections": the user's connections, with Add, Modify and Delete,
// which go to the connections file at once. Publish chooses the selected
// connection; Ok only closes.
class FtpDialog : public XmlDialog, protected QuietDialogListener {
    Q_OBJECT

public:
    // Sizes of 0 take the dialog's own (280 by 120, buttons at 160). The
    // list starts at the connection named `preferred`, else at the first.
    FtpDialog(QWidget* owner, const std::string& connectionsFile, int width = 0, int height = 0, int buttonTop = 0,
        const String& preferred = String());
    ~FtpDialog() override;

    // After the dialog: whether Publish was chosen, and the connection.
    bool publishChosen() const { return m_publish; }
    const FtpConnection& chosen() const { return m_chosen; }
    FtpConnections& connections() { return m_connections; }

protected:
    bool buttonClicked(XmlForm* form, const String& name, Element* element) override;
    bool acceptResult(XmlDialog* dialog, Document* result) override;
    Element* form() const;
    // Shows the file's connections in the list again, with `current` chosen
    // (the first one when it is not listed).
    void refresh(const String& current);
    void tell(const String& message);

    FtpConnections m_connections;
    Document m_formDocument;
    bool m_publish = false;
    FtpConnection m_chosen;
};

// "Publish Pages": the connections, and whether the content files and the
// custom files go with the pages (bits 1 and 2 of the project's flags).
class PageFtpDialog : public FtpDialog {
    Q_OBJECT

public:
    // `lastConnection`: the one the project was last published over, which
    // the list starts at.
    PageFtpDialog(
        QWidget* owner, const std::string& connectionsFile, int& publishFlags, const String& lastConnection = String());

protected:
    bool acceptResult(XmlDialog* dialog, Document* result) override;

private:
    int& m_flags;
};

// "FTP Connection": one connection's name, host, port, user, password and
// root; a new one when `existing` is null. The name of an existing one
// cannot change.
class FtpConnectionDialog : public XmlDialog, private QuietDialogListener {
    Q_OBJECT

public:
    FtpConnectionDialog(QWidget* owner, FtpConnections& connections, const Element* existing);
    ~FtpConnectionDialog() override;
    // The name of the connection the dialog added or changed, once accepted.
    const String& connectionName() const { return m_name; }

private:
    bool acceptResult(XmlDialog* dialog, Document* result) override;

    FtpConnections& m_connections;
    bool m_adding;
    Document m_formDocument;
    String m_name;
};

}
