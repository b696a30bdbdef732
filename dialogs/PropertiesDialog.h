#pragma once

#include "forms/XmlDialog.h"
#include "xml/Document.h"

namespace lumavine {

class Page;

// "Page Properties": the page's background, the borders of its pictures,
// videos and frames, the picture's quality, size and type, its script and
// scrolling ("General"); and its captions ("Captions"). It opens on the tab
// the user left it on last.
class PropertiesDialog : public XmlDialog {
    Q_OBJECT

public:
    PropertiesDialog(Page& page, QWidget* parent, XmlDialogListener* listener);
    ~PropertiesDialog() override;

    int doModal() override;
    // After OK: the composed caption font and background join the result,
    // and every value goes to the page as its property.
    void apply();

private:
    Page& m_page;
    Document m_formDocument;
};

}
