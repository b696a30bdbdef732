#include "FormTestSupport.h"

#include "forms/FormDocument.h"
#include "forms/FormStyle.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "xml/Elements.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

using namespace lumavine;

namespace {

Element* groupBox(Element* parent, const String& name, const String& caption, int left, int top, int width, int height)
{
    Element* box = addElement(parent, u"button");
    box->setAttribute(u"type", u"groupbox");
    box->setAttribute(u"name", name);
    box->setAttribute(u"value", caption);
    box->setAttribute(u"style", FormStyle::format(left, top, width, height));
    return box;
}

Element* textInput(Element* parent, const String& name, int left, int top, int width)
{
    Element* input = addElement(parent, u"input");
    input->setAttribute(u"type", u"text");
    input->setAttribute(u"name", name);
    input->setAttribute(u"style", FormStyle::format(left, top, width));
    return input;
}

void button(Element* parent, const String& name, const String& text, int left, int top, int width = 100)
{
    Element* element = addElement(parent, u"button", text);
    element->setAttribute(u"name", name);
    element->setAttribute(u"style", FormStyle::format(left, top, width, 25));
}

// The New Project form of the application.
void newProjectForm(FormBuilder& builder)
{
    Element* form = builder.form(u"New Project");
    textInput(groupBox(form, u"DirectoryBox", u"Directory", 10, 10, 425, 60), u"directory", 10, 25, 405)
        ->setAttribute(u"extension", u"directory");
    textInput(groupBox(form, u"NameBox", u"Name", 10, 80, 425, 60), u"name", 10, 25, 405);
    button(form, u"ok", u"Ok", 10, 150);
    button(form, u"cancel", u"Cancel", 120, 150);
}

// The form for one FTP connection, as when modifying one.
void ftpConnectionForm(FormBuilder& builder)
{
    Element* form = builder.form(u"ftp");
    const char16_t* names[] = { u"name", u"host", u"port", u"user", u"password", u"root" };
    const char16_t* boxes[] = { u"NameBox", u"HostBox", u"PortBox", u"UserBox", u"PasswordBox", u"RootBox" };
    const char16_t* captions[] = { u"Name", u"Host", u"Port", u"User", u"Password", u"Root" };
    const char16_t* values[] = { u"home", u"ftp.example.org", u"21", u"ann", u"secret", u"/www" };
    for (int i = 0; i < 6; ++i) {
        Element* input
            = textInput(groupBox(form, boxes[i], captions[i], 10, 10 + 65 * i, 270, 55), names[i], 10, 25, 250);
        input->setAttribute(u"value", values[i]);
        if (i == 0)
            input->setAttribute(u"readonly", u"true");
        if (i == 4)
            input->setAttribute(u"password", u"true");
    }
    button(form, u"ok", u"Ok", 10, 410);
    button(form, u"cancel", u"Cancel", 120, 410);
}

// Labelled rows of the kinds the property groups use.
void propertiesForm(FormBuilder& builder)
{
    Element* form = builder.form(u"props", u"Properties");
    Element* box = groupBox(form, u"BorderGroup", u"Border", 10, 10, 400, 200);
    const char16_t* labels[] = { u"Color", u"Width", u"Style", u"Picture" };
    for (int i = 0; i < 4; ++i) {
        Element* label = addElement(box, u"label", String(labels[i]));
        label->setAttribute(u"for", i == 3 ? String(u"source") : String(u"border-") + String(labels[i]).toLower());
        label->setAttribute(u"style", FormStyle::format(10, 30 + 30 * i, 60));
    }
    Element* color = textInput(box, u"border-color", 80, 30, 300);
    color->setAttribute(u"extension", u"color");
    color->setAttribute(u"alpha", u"true");
    color->setAttribute(u"value", u"#3366ff80");
    Element* width = textInput(box, u"border-width", 80, 60, 100);
    width->setAttribute(u"extension", u"spin");
    width->setAttribute(u"value", u"3");
    Element* style = addElement(box, u"select");
    style->setAttribute(u"name", u"border-style");
    style->setAttribute(u"style", FormStyle::format(80, 90, 150, 100));
    for (const char16_t* option : { u"Solid", u"Inset", u"Outset" }) {
        Element* o = addElement(style, u"option", String(option));
        o->setAttribute(u"value", String(option).toLower());
    }
    Element* source = textInput(box, u"source", 80, 120, 300);
    source->setAttribute(u"extension", u"image");
    Element* check = addElement(form, u"input", String(u"Aspect Ratio On"));
    check->setAttribute(u"type", u"checkbox");
    check->setAttribute(u"name", u"image-aspect");
    check->setAttribute(u"selected", u"true");
    check->setAttribute(u"style", FormStyle::format(10, 220, 200));
    Element* other = builder.form(u"text", u"Text");
    Element* area = addElement(other, u"textarea", String(u"First line\nSecond line"));
    area->setAttribute(u"name", u"text");
    area->setAttribute(u"style", FormStyle::format(10, 10, 300, 100));
    FormDocument::addStandardButtons(form, 250);
}

// Every control lies inside the window that holds it.
void expectNothingClipped(XmlForm* form)
{
    for (const char16_t* name : { u"directory", u"directory:directory", u"name", u"host", u"root", u"ok", u"cancel",
             u"border-color:color", u"border-width:spin", u"source:image", u"border-style" }) {
        QWidget* control = form->findControl(name);
        if (!control)
            continue;
        QWidget* window = control->parentWidget();
        EXPECT_TRUE(window->rect().contains(control->geometry())) << narrow(String(name));
        // And the window inside the form.
        if (window != form) {
            EXPECT_TRUE(form->rect().contains(window->geometry())) << narrow(String(name));
        }
    }
}

}

TEST(FormScreenshots, RealFormsFitTheirDialogs)
{
    QDir().mkpath(QStringLiteral("/tmp/lumavine-forms"));
    struct Case {
        const char16_t* file;
        void (*build)(FormBuilder&);
        int width;
        int height;
        const char16_t* title;
    } cases[] = {
        { u"/tmp/lumavine-forms/new-project.png", newProjectForm, 325, 120, u"New Project" },
        { u"/tmp/lumavine-forms/ftp-connection.png", ftpConnectionForm, 200, 280, u"FTP Connection" },
        { u"/tmp/lumavine-forms/properties.png", propertiesForm, 280, 180, u"Properties" },
    };
    for (const Case& c : cases) {
        FormBuilder builder(c.width, c.height, c.title);
        c.build(builder);
        XmlDialog dialog(nullptr, u"shot", &builder.document, nullptr);
        ASSERT_TRUE(dialog.showModeless());
        expectNothingClipped(dialog.formAt(0));
        dialog.onCancel();
        EXPECT_TRUE(saveFormSnapshot(&builder.document, c.file)) << narrow(String(c.file));
        QImage saved(QString::fromUtf16(c.file));
        EXPECT_FALSE(saved.isNull());
    }
    // The second page of a tabbed dialog, opened on it.
    FormBuilder tabbed(280, 180, u"Properties");
    propertiesForm(tabbed);
    QImage second = snapshotForm(&tabbed.document, u"text");
    QImage first = snapshotForm(&tabbed.document);
    ASSERT_FALSE(second.isNull());
    EXPECT_NE(second, first);
    EXPECT_TRUE(second.save(QStringLiteral("/tmp/lumavine-forms/properties-text.png")));
}
