#include "app/NewProjectDialog.h"

#include "app/NewProject.h"
#include "forms/FormStyle.h"
#include "forms/QtText.h"
#include "xml/Elements.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace lumavine {

namespace {

Element* addBox(Element* form, std::u16string_view name, std::u16string_view caption, int top)
{
    Element* box = addElement(form, u"button");
    box->setAttribute(u"type", u"groupbox");
    box->setAttribute(u"name", String(name));
    box->setAttribute(u"value", String(caption));
    box->setAttribute(u"style", FormStyle::format(10, top, 425, 60));
    return box;
}

Element* addInput(Element* box, std::u16string_view name, const String& value)
{
    Element* input = addElement(box, u"input");
    input->setAttribute(u"type", u"text");
    input->setAttribute(u"name", String(name));
    input->setAttribute(u"value", value);
    input->setAttribute(u"style", FormStyle::format(10, 25, 405));
    return input;
}

}

NewProjectDialog::NewProjectDialog(QWidget* parent, const String& directory)
    : XmlDialog(parent, u"NewPic", nullptr)
    , m_formDocument(u"dialog")
{
    Element* root = m_formDocument.documentElement();
    addElement(root, u"title", String(u"New Project"));
    addElement(root, u"x", 10);
    addElement(root, u"y", 10);
    addElement(root, u"width", 325);
    addElement(root, u"height", 120);
    Element* form = addElement(root, u"form");
    form->setAttribute(u"name", u"New Project");
    addInput(addBox(form, u"DirectoryBox", u"Directory", 10), u"directory", directory)
        ->setAttribute(u"extension", u"directory");
    addInput(addBox(form, u"NameBox", u"Name", 80), u"name", String());
    Element* ok = addElement(form, u"button", String(u"Ok"));
    ok->setAttribute(u"name", u"ok");
    ok->setAttribute(u"style", u"left:10;top:150;width:100;height:25");
    Element* cancel = addElement(form, u"button", String(u"Cancel"));
    cancel->setAttribute(u"name", u"cancel");
    cancel->setAttribute(u"style", u"left:120;top:150;width:100;height:25");
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
