#include "app/NewProjectDialog.h"

#include "app/NewProject.h"
#include "dialogs/FormElements.h"
#include "forms/QtText.h"
#include "xml/Elements.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace lumavine {

NewProjectDialog::NewProjectDialog(QWidget* parent, const String& directory)
    : XmlDialog(parent, u"NewPic", nullptr)
    , m_formDocument(u"dialog")
{
    using namespace FormElements;
    Element* form = frame(m_formDocument, String(u"New Project"), 325, 120, String(u"New Project"));
    textInput(groupBox(form, u"DirectoryBox", u"Directory", 10, 10, 425, 60), u"directory", directory, 10, 25, 405,
        u"directory");
    textInput(groupBox(form, u"NameBox", u"Name", 10, 80, 425, 60), u"name", String(), 10, 25, 405);
    button(form, u"ok", u"Ok", 10, 150, 100, 25);
    button(form, u"cancel", u"Cancel", 120, 150, 100, 25);
    setListener(this);
    loadForms(&m_formDocument);
}

NewProjectDialog::~NewProjectDialog()
{
    clearForms();
}

bool NewProjectDialog::acceptResult(XmlDialog*, Document* result)
{
    const Element* root = result ? result->documentElement() : nullptr;
    String name = getChildText(root, u"name");
    String directory = getChildText(root, u"directory");
    name.trim();
    directory.trim();
    // A folder typed with a separator at its end names the same folder.
    while (directory.length() > 1 && directory.endsWith(u"/"))
        directory = directory.substring(0, directory.length() - 1);
    String file;
    String message;
    if (!createProject(directory, name, file, message)) {
        QMessageBox::warning(this, QGuiApplication::applicationDisplayName(), toQString(message));
        return false;
    }
    m_projectFile = file;
    m_projectDirectory = directory + u"/" + name;
    return true;
}

}
