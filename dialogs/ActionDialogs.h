#pragma once

#include "core/String.h"
#include "forms/XmlDialog.h"
#include "xml/Document.h"

#include <vector>

namespace lumavine {

class Page;
class XmlDialogListener;

// The dialogs that write one action each: they read the current action's
// arguments when it calls their function, show them as controls, and on OK
// replace the caller's action text (and its item name, when one was given)
// with the one they compose. The listener (the page's dialog side) checks
// the answers before the dialog closes.
class ActionDialog : public XmlDialog {
    Q_OBJECT

public:
    ~ActionDialog() override;

    // Shows the dialog; on OK the action (and the item name) are replaced.
    int doModal() override;

    // A path as an action names a file: an absolute path (a leading "/", or
    // a drive letter and a colon) becomes a "file://" address with forward
    // slashes; anything else is written as it is.
    static String fileAddress(const String& path);

protected:
    ActionDialog(Page& page, QWidget* parent, const String& dialogName, XmlDialogListener* listener, String& action,
        String* itemName);

    // The arguments of the current action, quotes removed, when it calls
    // `function`; otherwise empty. With `nullIsEmpty` a bare null reads as
    // empty.
    std::vector<String> currentArguments(std::u16string_view function, bool nullIsEmpty) const;

    // The form document's root with its title, place and size, and the form.
    Element* beginForm(const String& formName, const String& title, int width, int height);
    // The "Item Name" box at the top; answers the top of the rows below it.
    int addNameBlock(Element* form, int width, bool showCurrent, int rowsTop);
    // A group box of one control, 55 tall.
    static Element* addBox(
        Element* form, const String& name, const String& caption, int left, int top, int width, int height = 55);
    static Element* addText(
        Element* box, const String& name, const String& value, int width, std::u16string_view extension = {});
    // Marks a file input to start its chooser in the project's media
    // folder, or in its content folder for pages.
    Element* startInProject(Element* input, bool media) const;
    static Element* addRatio(Element* box, int ratio, int width);
    // The frames of the page in a drop-down list P"target", with the window
    // targets after them when asked.
    Element* addTargetBlock(
        Element* form, const String& prefix, const String& current, int left, int top, int width, bool windows);
    static String targetName(const String& prefix);

    // The composed action from the result; called on OK.
    virtual String composeAction() const = 0;

    // The text of a result element; empty without one.
    const String& resultText(std::u16string_view name) const { return valueOf(name); }
    static int readNumber(const String& text, int fallback);

    Page& m_page;
    Document m_formDocument;
    String& m_action;
    String* m_itemName;
};

// "Play Audio" (play_audio) and "Play Video" (play_video): target, file,
// player controls, ratio and play count.
class MediaDialog : public ActionDialog {
    Q_OBJECT

public:
    enum Kind { Audio, Video };
    MediaDialog(Kind kind, Page& page, QWidget* parent, XmlDialogListener* listener, String& action,
        String* itemName = nullptr);

private:
    String composeAction() const override;
    Kind m_kind;
};

// "Show Page" (show_page): target (frames, and the windows when offered),
// page file or one of the project's pages, audio file and ratio.
class ContentDialog : public ActionDialog {
    Q_OBJECT

public:
    ContentDialog(Page& page, QWidget* parent, XmlDialogListener* listener, String& action, bool windowTargets,
        String* itemName = nullptr);

private:
    String composeAction() const override;
};

// "Show Picture" (show_picture): target, picture, caption, link and its
// target, audio, ratio and aspect.
class ImageDialog : public ActionDialog {
    Q_OBJECT

public:
    ImageDialog(Page& page, QWidget* parent, XmlDialogListener* listener, String& action, bool windowTargets,
        String* itemName = nullptr);

private:
    String composeAction() const override;
};

// "Send Mail" (mail): address and subject.
class MailDialog : public ActionDialog {
    Q_OBJECT

public:
    MailDialog(Page& page, QWidget* parent, XmlDialogListener* listener, String& action, String* itemName = nullptr);

private:
    String composeAction() const override;
};

// The actions on one frame: clear_frame ("Clear", "Clear Frame") and
// pause_video ("Pause Video").
class TargetDialog : public ActionDialog {
    Q_OBJECT

public:
    TargetDialog(Page& page, QWidget* parent, XmlDialogListener* listener, String& action, const String& function,
        const String& prefix, const String& title, String* itemName = nullptr);

private:
    String composeAction() const override;
    String m_function;
    String m_prefix;
};

// "Picture Size": a ratio and whether pictures keep their aspect.
class ImageSizeDialog : public XmlDialog {
    Q_OBJECT

public:
    ImageSizeDialog(QWidget* parent, XmlDialogListener* listener);
    ~ImageSizeDialog() override;
    int ratio() const;
    // "true" or "false".
    const String& aspect() const { return valueOf(u"aspect"); }

private:
    Document m_formDocument;
};

// "Import Slides": a slideshow of the page and the frame its pictures show in.
class ImportSlidesDialog : public XmlDialog {
    Q_OBJECT

public:
    ImportSlidesDialog(Page& page, QWidget* parent, XmlDialogListener* listener);
    ~ImportSlidesDialog() override;
    const String& slideshow() const { return valueOf(u"slideshow"); }
    const String& imageTarget() const { return valueOf(u"imagetarget"); }

private:
    Document m_formDocument;
};

}
