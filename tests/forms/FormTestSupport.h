#pragma once

#include "core/String.h"

#include <QImage>

namespace lumavine {

class Document;

// Shows the dialog of a form document offscreen, with the named form on top
// when one is given, and answers what it looks like (the client area).
QImage snapshotForm(Document* formDocument, const String& formName = String());
// The same, saved as a PNG; false when the file cannot be written.
bool saveFormSnapshot(Document* formDocument, const String& path, const String& formName = String());

}

#include "forms/FormChooser.h"
#include "forms/XmlDialogListener.h"

#include <vector>

namespace lumavine {

// Remembers every notification as "operation name tag", plus the details the
// tests look at.
class RecordingListener : public XmlDialogListener {
public:
    void formCreated(XmlForm* form) override;
    bool buttonClicked(XmlForm* form, const String& name, Element* element) override;
    bool textChanged(XmlForm* form, QWidget* edit, const String& name, const String& text, Element* element) override;
    bool listSelectionChanged(
        XmlForm* form, QListWidget* list, int index, const String& name, Element* element) override;
    bool listDoubleClicked(XmlForm* form, QListWidget* list, int index, const String& name, Element* element) override;
    bool comboSelected(XmlForm* form, QComboBox* combo, int index, const String& name, Element* element) override;
    bool filesDropped(XmlForm* form, const String& name, Element* element, const StringList& files) override;
    bool acceptResult(XmlDialog* dialog, Document* result) override;

    // Answered by acceptResult.
    bool accept = true;
    std::vector<std::string> calls;
    std::vector<int> indexes;
    std::vector<std::string> texts;
    std::string lastResult;

    bool saw(const std::string& call) const;
};

// Choosers that answer at once, as a user would who picked the given values.
class ScriptedChooser : public FormChooser {
public:
    ScriptedChooser() { setCurrent(this); }
    ~ScriptedChooser() override { setCurrent(nullptr); }

    bool chooseColor(QWidget* parent, std::uint32_t& rgb) override;
    bool chooseFile(QWidget* parent, const String& defaultExtension, const String& filters, String& path) override;
    bool chooseDirectory(QWidget* parent, const String& title, String& path) override;
    bool open(QWidget* parent, const String& location) override;

    // False answers stand for the user cancelling.
    bool answer = true;
    std::uint32_t color = 0xFF102030;
    String file;
    String directory;
    String lastFilters;
    String lastDefaultExtension;
    // Where the last file chooser started.
    String lastStart;
    String lastTitle;
    std::vector<std::string> opened;
    std::vector<std::uint32_t> startColors;
};

std::string narrow(const String& text);

}

#include "xml/Document.h"

namespace lumavine {

// A form document under construction: the root "dialog" with its title and size.
struct FormBuilder {
    explicit FormBuilder(int width = 300, int height = 200, const String& title = u"Test");
    Element* form(const String& name, const String& label = String());
    // A control element with its attributes from an attribute list, and its text when given.
    Element* add(Node* parent, const String& tag, std::u16string_view attributes, const String& text = String());
    Element* option(Element* select, const String& value, const String& text, bool selected = false);

    Document document;
    Element* root;
};

}
