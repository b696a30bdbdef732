#pragma once

#include "forms/XmlDialogListener.h"

namespace lumavine {

class ProjectWindow;

// The project's list of pages in the "Pages" dialog: it fills the list and
// answers Add, Edit (or a double click) and Delete on the project of the
// window.
class PagesEditor : public QuietDialogListener {
public:
    explicit PagesEditor(ProjectWindow& window) : m_window(window) { }

    // Shows the dialog until the user closes it.
    void run();

    void formCreated(XmlForm* form) override;
    bool buttonClicked(XmlForm* form, const String& name, Element* element) override;
    bool listDoubleClicked(XmlForm* form, QListWidget* list, int index, const String& name, Element* element) override;

private:
    void fill(XmlForm& form, const String& selectedId);
    void add(XmlForm& form);
    void edit(XmlForm& form);
    void remove(XmlForm& form);
    // The id of the page selected in the list; empty for none.
    String selectedPage(XmlForm& form) const;
    void tell(XmlForm& form, const String& message) const;

    ProjectWindow& m_window;
};

}
