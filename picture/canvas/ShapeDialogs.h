#pragma once

#include "forms/XmlDialogListener.h"
#include "picture/canvas/PageViewClient.h"

#include <QFont>
#include <memory>

namespace lumavine {

class PageDialogListener;
class Pic;
class XmlDialog;

// The canvas's questions answered with real dialogs: the shape property
// dialogs, the picture chooser and the value dialogs. A window derives from
// it and adds what only it knows (pages, the modified mark). Main thread
// only.
class ShapeDialogs : public PageViewClient, public QuietDialogListener {
public:
    ShapeDialogs();
    ~ShapeDialogs() override;

    // PageViewClient: the dialogs open over the view.
    bool editShapes(PageView& view, const PtrListOf<PicNode>& shapes) override;
    std::optional<String> askValue(PageView& view, const String& title, const String& label) override;
    String choosePicture(PageView& view) override;
    void reportError(PageView& view, const String& message) override;

    // The property dialog of one shape, filled from it; true when the user
    // confirmed it and the result was applied.
    bool openEditNodeDialog(QWidget* parent, Pic& picture, PicNode& shape, const String& contentFolder);
    bool editNode(Pic& picture, PicNode& shape, XmlDialog& dialog, Document& formDocument, const String& contentFolder);
    // The dialog of several shapes: what the user fills in applies to each.
    bool openEditNodesDialog(
        QWidget* parent, Pic& picture, const PtrListOf<PicNode>& shapes, const String& contentFolder);
    bool editNodes(Pic& picture, const PtrListOf<PicNode>& shapes, XmlDialog& dialog, Document& formDocument,
        const String& contentFolder);
    // "Add Picture": a picture file chosen from the content folder; empty
    // when cancelled.
    String askPicture(QWidget* parent, const String& contentFolder);

    // The font chooser's answer to a form's P"FontDialog" button, opened
    // with the font the form's P-prefixed font controls describe, which
    // then take the chosen font. Nothing happens when the form lacks one of
    // those controls. Separate so that other dialogs with font groups can
    // use it.
    static void chooseFontFor(XmlForm& form, const String& prefix);
    // The font a form's font controls describe, and back.
    static QFont fontOfControls(const XmlForm& form, const String& prefix);
    static void setFontControls(XmlForm& form, const String& prefix, const QFont& font);

    // XmlDialogListener: the font buttons here; a page's commands (its
    // event panels' action dialogs) and checks by the page's listener.
    void formCreated(XmlForm* form) override;
    bool buttonClicked(XmlForm* form, const String& name, Element* element) override;
    bool listDoubleClicked(XmlForm* form, QListWidget* list, int index, const String& name, Element* element) override;
    bool filesDropped(XmlForm* form, const String& name, Element* element, const StringList& files) override;
    // A frame's name is how actions find it, inside apostrophes: one that
    // holds a quote or a backslash is refused with the reason.
    bool acceptResult(XmlDialog* dialog, Document* result) override;

private:
    // The frame whose dialog runs now; null otherwise.
    const PicNode* m_editedFrame = nullptr;
    // The page's side of the dialog running now; null for a plain picture.
    std::unique_ptr<PageDialogListener> m_pageListener;
};

}
