#pragma once

#include "forms/XmlDialog.h"
#include "forms/XmlDialogListener.h"
#include "xml/Document.h"

namespace lumavine {

class Transitions;

// "Edit Transitions": the parameters, speed and clearing of each kind of
// transition the project's pages use, one kind's box shown at a time, with
// a preview page per kind. OK stores every value into the project's
// settings; the kind last chosen is remembered either way.
class TransitionDialog : public XmlDialog, private QuietDialogListener {
    Q_OBJECT

public:
    // The preview goes to `installationDirectory` + "transition.html", beside
    // its pictures, and is opened in the browser.
    TransitionDialog(Transitions& transitions, const String& installationDirectory, QWidget* parent = nullptr);
    ~TransitionDialog() override;

    int doModal() override;

    // The preview page of a kind with these filter text, duration and
    // clearing, as it is written.
    static String previewPage(const String& filter, double seconds, bool clear);
    // The preview's filter text for a kind, from the dialog's controls as
    // they are now.
    String previewFilter(const String& kind) const;

private:
    bool buttonClicked(XmlForm* form, const String& name, Element* element) override;
    bool comboSelected(XmlForm* form, QComboBox* combo, int index, const String& name, Element* element) override;

    void showKind(const String& kind);
    // What a control shows now (the result holds values only after OK).
    String controlValue(const String& name) const;

    Transitions& m_transitions;
    String m_installation;
    Document m_formDocument;
};

}
