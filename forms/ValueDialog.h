#pragma once

#include "forms/XmlDialog.h"
#include "xml/Document.h"

namespace lumavine {

// Asks for one text, in a captioned box; the kind "image" offers a picture
// thumbnail and chooser beside the text, the chooser starting in `imageRoot`,
// against which relative sources are shown.
class ValueDialog : public XmlDialog {
    Q_OBJECT

public:
    ValueDialog(QWidget* parent, const String& title, const String& caption, const String& initialValue,
        const String& kind = String(), const String& imageRoot = String());
    ~ValueDialog() override;

    // The confirmed text; empty before the first confirmation.
    const String& value() const { return valueOf(u"value"); }

private:
    Document m_formDocument;
};

}
