#pragma once

#include "core/StringList.h"

class QComboBox;
class QListWidget;
class QWidget;

namespace lumavine {

class Document;
class Element;
class XmlDialog;
class XmlForm;

// What the owner of a dialog hears of it. The engine never reads the answers
// of the notifications; only acceptResult decides something (false keeps the
// dialog open so that the user can correct the input).
class XmlDialogListener {
public:
    virtual ~XmlDialogListener() = default;

    virtual void formCreated(XmlForm* form) = 0;
    virtual bool buttonClicked(XmlForm* form, const String& name, Element* element) = 0;
    virtual bool textChanged(XmlForm* form, QWidget* edit, const String& name, const String& text, Element* element)
        = 0;
    virtual bool listSelectionChanged(XmlForm* form, QListWidget* list, int index, const String& name, Element* element)
        = 0;
    virtual bool listDoubleClicked(XmlForm* form, QListWidget* list, int index, const String& name, Element* element)
        = 0;
    virtual bool comboSelected(XmlForm* form, QComboBox* combo, int index, const String& name, Element* element) = 0;
    virtual bool filesDropped(XmlForm* form, const String& name, Element* element, const StringList& files) = 0;
    virtual bool acceptResult(XmlDialog* dialog, Document* result) = 0;
};

// A listener that hears the notifications and does nothing with them, and
// accepts every result: owners override only what their dialogs need.
class QuietDialogListener : public XmlDialogListener {
public:
    void formCreated(XmlForm*) override { }
    bool buttonClicked(XmlForm*, const String&, Element*) override { return false; }
    bool textChanged(XmlForm*, QWidget*, const String&, const String&, Element*) override { return false; }
    bool listSelectionChanged(XmlForm*, QListWidget*, int, const String&, Element*) override { return false; }
    bool listDoubleClicked(XmlForm*, QListWidget*, int, const String&, Element*) override { return false; }
    bool comboSelected(XmlForm*, QComboBox*, int, const String&, Element*) override { return false; }
    bool filesDropped(XmlForm*, const String&, Element*, const StringList&) override { return false; }
    bool acceptResult(XmlDialog*, Document*) override { return true; }
};

}
