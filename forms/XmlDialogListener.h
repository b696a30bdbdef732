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

}
