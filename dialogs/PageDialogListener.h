#pragma once

#include "forms/XmlDialogListener.h"

#include "page/EntryList.h"

#include <functional>

namespace lumavine {

class Page;
class PageNode;

// The page's side of its dialogs: it checks their answers before they
// close, and fills one control from another where a dialog asks for it.
class PageDialogListener : public QuietDialogListener {
public:
    explicit PageDialogListener(Page& page) : m_page(page) { }

    // What a refused answer tells the user; a message box by default.
    void setMessenger(std::function<void(XmlDialog*, const String&)> messenger) { m_messenger = std::move(messenger); }

    // The first message the answers of the dialog of that name earn, by the
    // rules of the page's dialogs; empty when they are fine.
    static String refusal(const String& dialogName, const Element* result);

    // The page's start-up entries as the "Initialize" dialog edits them:
    // a copy of the page's, which commitInitialize hands back.
    EntryList& initializeCopy() { return m_initialize; }
    // The slides the "Slideshow" dialog edits.
    EntryList& slideCopy() { return m_slides; }
    void beginInitialize();
    void commitInitialize();

    // The entries of a shape's pop-up menu while its properties are open: a
    // scratch copy of the node's menu, handed to the node on OK together
    // with the menu's settings from the dialog's result.
    void beginMenu(const PageNode& node);
    void commitMenu(PageNode& node, const Element* result);
    Element* menuCopy() const { return m_menu.documentElement(); }

    // Turns files into actions by their kind (pictures, pages, video,
    // audio), each through its action dialog when `withDialogs`: the frame
    // accepted last carries on, and pictures carry the ratio, aspect and
    // sound of the one before. Skipped files (unknown kinds, cancelled
    // dialogs) give nothing. Answers names and actions in parallel.
    // Slides play in their slideshow's frame and choose none
    // (`chooseTargets` false); menu entries choose theirs.
    void actionsFromFiles(QWidget* parent, const std::vector<String>& files, std::vector<String>& names,
        std::vector<String>& actions, bool withDialogs, bool chooseTargets = false);

    // Fills the lists of the page's list dialogs.
    void formCreated(XmlForm* form) override;
    // The commands of the event panels: the action dialogs, a custom
    // script, clearing and stopping; the panel is relabelled afterwards.
    bool buttonClicked(XmlForm* form, const String& name, Element* element) override;
    // Relabels the panel of an action control after its action.
    static void updateEventPanel(XmlForm& form, const String& control);
    // A slide chosen in a slideshow's list is previewed beside it.
    bool listSelectionChanged(
        XmlForm* form, QListWidget* list, int index, const String& name, Element* element) override;
    bool listDoubleClicked(XmlForm* form, QListWidget* list, int index, const String& name, Element* element) override;
    // "Show Page": a page chosen in "pages" goes into "pageurl".
    bool comboSelected(XmlForm* form, QComboBox* combo, int index, const String& name, Element* element) override;
    // Files dropped on a menu's or a slideshow's list become its entries,
    // and one dropped on an action's panel becomes its action, each through
    // the dialog of its kind.
    bool filesDropped(XmlForm* form, const String& name, Element* element, const StringList& files) override;
    bool acceptResult(XmlDialog* dialog, Document* result) override;

protected:
    Page& m_page;

private:
    void tell(XmlForm* form, const String& message) const;
    // The buttons of the "Initialize" form on the working copy.
    bool initializeCommand(XmlForm& form, const String& name);
    void fillEntries(XmlForm& form, const Element* selected);
    // The "Slideshows" list and one slideshow's slides.
    bool slideshowsCommand(XmlForm& form, const String& name);
    void fillSlideshows(XmlForm& form, const String& selectedId);
    bool slidesCommand(XmlForm& form, const String& name);
    void fillSlides(XmlForm& form, const Element* selected);
    // The slide a new slide's dialog writes, or the one edited.
    bool editSlide(XmlForm& form, Element* slide);
    bool menuCommand(XmlForm& form, const String& name);
    void fillMenuItems(XmlForm& form, const Element* selected);
    Element* addMenuItem(const String& name, const String& action, const String& image, const String& target);

    std::function<void(XmlDialog*, const String&)> m_messenger;
    EntryList m_initialize { u"initialize", u"entry" };
    EntryList m_slides { u"slides", u"slide" };
    Document m_menu { String(u"menu") };
};

}
