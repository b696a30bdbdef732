#pragma once

#include "forms/XmlDialog.h"
#include "forms/XmlDialogListener.h"
#include "xml/Document.h"

namespace lumavine {

// "New Project": a folder and a name. Confirming makes the project's
// folders and its empty file; the dialog stays open, with the reason shown,
// until that works or the user cancels.
class NewProjectDialog : public XmlDialog, private QuietDialogListener {
    Q_OBJECT

public:
    explicit NewProjectDialog(QWidget* parent = nullptr, const String& directory = String());
    ~NewProjectDialog() override;

    // The project file made by the confirmed dialog; empty before.
    const String& projectFile() const { return m_projectFile; }
    const String& projectDirectory() const { return m_projectDirectory; }

private:
    bool acceptResult(XmlDialog* dialog, Document* result) override;

    Document m_formDocument;
    String m_projectFile;
    String m_projectDirectory;
};

}
