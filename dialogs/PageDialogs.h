#pragma once

#include "dialogs/ActionDialogs.h"

namespace lumavine {

// "Page Properties" for a new or renamed page: its label, and a page of the
// project to copy the shapes of.
class PageDialog : public XmlDialog {
    Q_OBJECT

public:
    PageDialog(Page& page, QWidget* parent, XmlDialogListener* listener, const String& label);
    ~PageDialog() override;
    String label() const;
    // The label of the page to copy from; empty for none.
    const String& copyFrom() const { return valueOf(u"copy"); }

private:
    Document m_formDocument;
};

// A list the listener keeps (pages, slideshows) with its Add, Edit and
// Delete buttons; the dialog only lays it out, the listener fills the list
// when the form is made and answers the buttons.
class ListDialog : public XmlDialog {
    Q_OBJECT

public:
    // "Pages" with "pagelist", or "Slideshows" with "slideshowlist".
    ListDialog(QWidget* parent, XmlDialogListener* listener, const String& name, const String& listName);
    ~ListDialog() override;

private:
    Document m_formDocument;
};

// "Page Initialization": the list of the actions the page runs once it has
// loaded, with Add, Edit, Delete, Up and Down, which the listener answers on
// its working copy of the list.
class InitializeDialog : public XmlDialog {
    Q_OBJECT

public:
    InitializeDialog(QWidget* parent, XmlDialogListener* listener);
    ~InitializeDialog() override;

private:
    Document m_formDocument;
};

// "Initialization Entry": a name and the action, set through the page's
// action buttons.
class InitializeEntryDialog : public XmlDialog {
    Q_OBJECT

public:
    InitializeEntryDialog(QWidget* parent, XmlDialogListener* listener, const String& name, const String& action);
    ~InitializeEntryDialog() override;
    String name() const;
    const String& action() const { return valueOf(u"function"); }

private:
    Document m_formDocument;
};

// "Slideshow": one slideshow's name, sound and slides; the listener edits
// its working copy of the slides through the list's buttons.
class SlideshowDialog : public XmlDialog {
    Q_OBJECT

public:
    SlideshowDialog(QWidget* parent, XmlDialogListener* listener, const String& name, const String& audio);
    ~SlideshowDialog() override;
    String name() const;
    const String& audio() const { return valueOf(u"audio"); }

private:
    Document m_formDocument;
};

// "Menu Item Properties": an entry's name, picture and action.
class MenuItemDialog : public XmlDialog {
    Q_OBJECT

public:
    MenuItemDialog(Page& page, QWidget* parent, XmlDialogListener* listener, const String& name, const String& image,
        const String& action);
    ~MenuItemDialog() override;
    String name() const;
    const String& image() const { return valueOf(u"image"); }
    const String& action() const { return valueOf(u"url"); }

private:
    Document m_formDocument;
};

// "Slideshow" actions: show_slides, next_slide, prev_slide.
class SlideDialog : public ActionDialog {
    Q_OBJECT

public:
    SlideDialog(Page& page, QWidget* parent, XmlDialogListener* listener, String& action, String* itemName = nullptr);

private:
    String composeAction() const override;
};

}
