#include "FormTestSupport.h"

#include "forms/QtText.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"

#include <QApplication>

namespace lumavine {

QImage snapshotForm(Document* formDocument, const String& formName)
{
    XmlDialog dialog(nullptr, u"snapshot", formDocument, nullptr, formName);
    if (!dialog.showModeless())
        return QImage();
    QApplication::processEvents();
    QImage image = dialog.grab().toImage();
    dialog.onCancel();
    return image;
}

bool saveFormSnapshot(Document* formDocument, const String& path, const String& formName)
{
    QImage image = snapshotForm(formDocument, formName);
    return !image.isNull() && image.save(toQString(path), "PNG");
}

}

#include "xml/Document.h"

namespace lumavine {

std::string narrow(const String& text)
{
    return text.toNarrow();
}

static std::string describe(const char* operation, const String& name, const Element* element)
{
    return std::string(operation) + " " + narrow(name) + " " + (element ? narrow(element->tagName()) : "-");
}

void RecordingListener::formCreated(XmlForm* form)
{
    calls.push_back("formCreated " + narrow(form->name()));
}

bool RecordingListener::buttonClicked(XmlForm*, const String& name, Element* element)
{
    calls.push_back(describe("buttonClicked", name, element));
    return false;
}

bool RecordingListener::textChanged(XmlForm*, QWidget*, const String& name, const String& text, Element* element)
{
    calls.push_back(describe("textChanged", name, element));
    texts.push_back(narrow(text));
    return false;
}

bool RecordingListener::listSelectionChanged(XmlForm*, QListWidget*, int index, const String& name, Element* element)
{
    calls.push_back(describe("listSelectionChanged", name, element));
    indexes.push_back(index);
    return false;
}

bool RecordingListener::listDoubleClicked(XmlForm*, QListWidget*, int index, const String& name, Element* element)
{
    calls.push_back(describe("listDoubleClicked", name, element));
    indexes.push_back(index);
    return false;
}

bool RecordingListener::comboSelected(XmlForm*, QComboBox*, int index, const String& name, Element* element)
{
    calls.push_back(describe("comboSelected", name, element));
    indexes.push_back(index);
    return false;
}

bool RecordingListener::filesDropped(XmlForm*, const String& name, Element* element, const StringList& files)
{
    calls.push_back(describe("filesDropped", name, element));
    for (const String* file : files)
        texts.push_back(narrow(*file));
    return false;
}

bool RecordingListener::acceptResult(XmlDialog*, Document* result)
{
    calls.push_back("acceptResult");
    lastResult = narrow(result->toString());
    return accept;
}

bool RecordingListener::saw(const std::string& call) const
{
    for (const std::string& seen : calls) {
        if (seen == call)
            return true;
    }
    return false;
}

bool ScriptedChooser::chooseColor(QWidget*, std::uint32_t& rgb)
{
    startColors.push_back(rgb);
    if (answer)
        rgb = color;
    return answer;
}

bool ScriptedChooser::chooseFile(QWidget*, const String& defaultExtension, const String& filters, String& path)
{
    lastFilters = filters;
    lastDefaultExtension = defaultExtension;
    lastStart = path;
    if (answer)
        path = file;
    return answer;
}

bool ScriptedChooser::chooseDirectory(QWidget*, const String& title, String& path)
{
    lastTitle = title;
    if (answer)
        path = directory;
    return answer;
}

bool ScriptedChooser::open(QWidget*, const String& location)
{
    opened.push_back(narrow(location));
    return true;
}

}

#include "forms/FormDocument.h"
#include "xml/Elements.h"

namespace lumavine {

FormBuilder::FormBuilder(int width, int height, const String& title)
    : document(u"dialog")
    , root(document.documentElement())
{
    addElement(root, u"title", title);
    addElement(root, u"x", 10);
    addElement(root, u"y", 10);
    addElement(root, u"width", width);
    addElement(root, u"height", height);
}

Element* FormBuilder::form(const String& name, const String& label)
{
    Element* element = addElement(root, u"form");
    element->setAttribute(u"name", name);
    if (!label.empty())
        element->setAttribute(u"label", label);
    return element;
}

Element* FormBuilder::add(Node* parent, const String& tag, std::u16string_view attributes, const String& text)
{
    Element* element = FormDocument::addControl(parent, tag, attributes);
    if (!text.empty())
        setText(element, text);
    return element;
}

Element* FormBuilder::option(Element* select, const String& value, const String& text, bool selected)
{
    Element* element = addElement(select, u"option", text);
    element->setAttribute(u"value", value);
    if (selected)
        element->setAttribute(u"selected", u"true");
    return element;
}

}
