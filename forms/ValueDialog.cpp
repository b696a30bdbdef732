#include "forms/ValueDialog.h"

#include "forms/FormStyle.h"
#include "xml/Elements.h"

namespace lumavine {

ValueDialog::ValueDialog(QWidget* parent, const String& title, const String& caption, const String& initialValue,
    const String& kind, const String& imageRoot)
    : XmlDialog(parent, u"ValueDialog", nullptr)
    , m_formDocument(u"dialog")
{
    bool image = kind.equals(u"image");
    int boxWidth = image ? 400 : 360;
    int boxHeight = image ? 100 : 70;
    Element* root = m_formDocument.documentElement();
    addElement(root, u"title", title);
    addElement(root, u"x", 10);
    addElement(root, u"y", 10);
    addElement(root, u"width", image ? 300 : 250);
    addElement(root, u"height", image ? 100 : 80);

    Element* form = addElement(root, u"form");
    form->setAttribute(u"name", u"value");
    Element* box = addElement(form, u"button");
    box->setAttribute(u"type", u"groupbox");
    box->setAttribute(u"name", u"ValueBox");
    box->setAttribute(u"value", caption);
    box->setAttribute(u"style", FormStyle::format(10, 10, boxWidth, boxHeight));
    Element* input = addElement(box, u"input");
    input->setAttribute(u"type", u"text");
    input->setAttribute(u"name", u"value");
    if (image) {
        input->setAttribute(u"extension", u"image");
        if (!imageRoot.empty())
            input->setAttribute(u"imageroot", imageRoot);
    }
    input->setAttribute(u"value", initialValue);
    input->setAttribute(u"style", FormStyle::format(10, 30, boxWidth - 20));

    Element* ok = addElement(form, u"button", String(u"Ok"));
    ok->setAttribute(u"name", u"ok");
    ok->setAttribute(u"style", FormStyle::format(10, boxHeight + 20, 80, 25));
    Element* cancel = addElement(form, u"button", String(u"Cancel"));
    cancel->setAttribute(u"name", u"cancel");
    cancel->setAttribute(u"style", FormStyle::format(100, boxHeight + 20, 80, 25));
    loadForms(&m_formDocument);
}

ValueDialog::~ValueDialog()
{
    clearForms();
}

}
