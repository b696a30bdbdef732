#include "dialogs/PageDialogs.h"

#include "dialogs/FormElements.h"
#include "forms/FormDocument.h"
#include "forms/FormStyle.h"
#include "page/Page.h"
#include "page/ProjectContext.h"
#include "page/Slideshow.h"
#include "xml/Elements.h"

namespace lumavine {

using namespace FormElements;

PageDialog::PageDialog(Page& page, QWidget* parent, XmlDialogListener* listener, const String& label)
    : XmlDialog(parent, u"Page", listener)
    , m_formDocument(u"dialog")
{
    Element* form = frame(m_formDocument, String(u"Page Properties"), 290, 110, String(u"Page Properties"));
    Element* labelBox = groupBox(form, u"LabelBox", u"Page Label", 10, 10, 400, 55);
    textInput(labelBox, u"label", label, 10, 25, 380);
    Element* copy
        = dropDown(groupBox(form, u"CopyBox", u"Copy From Page...", 10, 70, 400, 55), u"copy", 10, 25, 380, 200);
    option(copy, String(), String(), true);
    if (ProjectContext* project = page.project())
        for (Page* other : project->pages())
            option(copy, other->label(), other->label(), false);
    FormDocument::addStandardButtons(form, 140);
    loadForms(&m_formDocument);
}

PageDialog::~PageDialog()
{
    clearForms();
}

String PageDialog::label() const
{
    String text = valueOf(u"label");
    return text.trim();
}

ListDialog::ListDialog(QWidget* parent, XmlDialogListener* listener, const String& name, const String& listName)
    : XmlDialog(parent, name, listener)
    , m_formDocument(u"dialog")
{
    Element* form = frame(m_formDocument, name, 240, 140, name);
    form->setAttribute(u"drop", u"true");
    Element* box = groupBox(form, name, name, 10, 10, 340, 170);
    Element* list = addElement(box, u"list");
    list->setAttribute(u"name", listName);
    list->setAttribute(u"style", FormStyle::format(10, 30, 320, 110));
    button(box, u"add", u"Add", 10, 140, 65, 25);
    button(box, u"edit", u"Edit", 85, 140, 65, 25);
    button(box, u"delete", u"Delete", 160, 140, 65, 25);
    FormDocument::addStandardButton(form, 195);
    loadForms(&m_formDocument);
}

ListDialog::~ListDialog()
{
    clearForms();
}

InitializeDialog::InitializeDialog(QWidget* parent, XmlDialogListener* listener)
    : XmlDialog(parent, u"Initialize", listener)
    , m_formDocument(u"dialog")
{
    Element* form = frame(m_formDocument, String(u"Page Initialization"), 280, 180, String(u"Initialize"));
    form->setAttribute(u"drop", u"true");
    Element* box = groupBox(form, u"EntryBox", u"Entries", 10, 20, 400, 230);
    Element* list = addElement(box, u"list");
    list->setAttribute(u"name", u"entrylist");
    list->setAttribute(u"style", FormStyle::format(10, 30, 380, 170));
    int left = 10;
    for (auto [name, text] : { std::pair(u"add", u"Add"), std::pair(u"edit", u"Edit"), std::pair(u"delete", u"Delete"),
             std::pair(u"moveup", u"Up"), std::pair(u"movedown", u"Down") }) {
        button(box, name, text, left, 200, 65, 25);
        left += 75;
    }
    FormDocument::addStandardButtons(form, 260);
    loadForms(&m_formDocument);
}

InitializeDialog::~InitializeDialog()
{
    clearForms();
}

InitializeEntryDialog::InitializeEntryDialog(
    QWidget* parent, XmlDialogListener* listener, const String& name, const String& action)
    : XmlDialog(parent, u"InitializeEntry", listener)
    , m_formDocument(u"dialog")
{
    Element* form = frame(m_formDocument, String(u"Initialization Entry"), 300, 175, String(u"initializeentry"));
    // A file dropped on the action's panel becomes its action.
    form->setAttribute(u"drop", u"true");
    Element* nameBox = groupBox(form, u"NameBox", u"Item Name", 10, 10, 400, 55);
    textInput(nameBox, u"name", name, 10, 25, 380);
    // Tall enough for the rows of action buttons.
    Element* panel = groupBox(form, u"function-panel", u"", 10, 70, 400, 190);
    panel->setAttribute(u"value", Page::eventPanelCaption(u"function", action));
    Page::addActionControls(panel, String(u"function"), action, true, 400);
    FormDocument::addStandardButtons(form, 270);
    loadForms(&m_formDocument);
}

InitializeEntryDialog::~InitializeEntryDialog()
{
    clearForms();
}

String InitializeEntryDialog::name() const
{
    String text = valueOf(u"name");
    return text.trim();
}

SlideshowDialog::SlideshowDialog(QWidget* parent, XmlDialogListener* listener, const String& name, const String& audio)
    : XmlDialog(parent, u"Slideshow", listener)
    , m_formDocument(u"dialog")
{
    Element* form = frame(m_formDocument, String(u"Slideshow"), 300, 300, String(u"Slideshow"));
    form->setAttribute(u"drop", u"true");
    textInput(groupBox(form, u"NameBox", u"Name", 10, 10, 430, 55), u"name", name, 10, 25, 410);
    Element* audioInput
        = textInput(groupBox(form, u"AudioBox", u"Audio", 10, 80, 430, 55), u"audio", audio, 10, 25, 410, u"file");
    audioInput->setAttribute(u"files",
        String(u"All Audio Files|*.wav;*.mp3;*.wma|WAV Files (*.wav)|*.wav|"
               u"MP3 Files (*.mp3)|*.mp3|WMA Files (*.wma)|*.wma|All Files|*.*||"));
    audioInput->setAttribute(u"default", u"mp3");
    Element* slides = groupBox(form, u"Slides", u"Slides", 10, 150, 430, 290);
    Element* list = addElement(slides, u"list");
    list->setAttribute(u"name", u"slidelist");
    list->setAttribute(u"style", FormStyle::format(10, 30, 230, 200));
    Element* preview = addElement(slides, u"button");
    preview->setAttribute(u"type", u"image");
    preview->setAttribute(u"name", u"slideimage");
    preview->setAttribute(u"browse", u"false");
    preview->setAttribute(u"style", FormStyle::format(250, 30, 170, 160));
    struct Button {
        std::u16string_view name;
        std::u16string_view text;
        int left;
        int top;
    };
    for (const Button& each :
        { Button { u"pictures", u"Pictures...", 10, 230 }, Button { u"page", u"Page...", 108, 230 },
            Button { u"edit", u"Edit", 206, 230 }, Button { u"delete", u"Delete", 304, 230 },
            Button { u"moveup", u"Up", 10, 260 }, Button { u"movedown", u"Down", 108, 260 },
            Button { u"size", u"Size...", 206, 260 }, Button { u"clear", u"Clear", 304, 260 } })
        button(slides, each.name, each.text, each.left, each.top, 90, 25);
    FormDocument::addStandardButtons(form, 450);
    loadForms(&m_formDocument);
}

SlideshowDialog::~SlideshowDialog()
{
    clearForms();
}

String SlideshowDialog::name() const
{
    String text = valueOf(u"name");
    return text.trim();
}

MenuItemDialog::MenuItemDialog(Page& page, QWidget* parent, XmlDialogListener* listener, const String& name,
    const String& image, const String& action)
    : XmlDialog(parent, u"MenuItem", listener)
    , m_formDocument(u"dialog")
{
    Element* form = frame(m_formDocument, String(u"Menu Item Properties"), 360, 260, String(u"HTML Menu Item"));
    form->setAttribute(u"drop", u"true");
    textInput(groupBox(form, u"NameBox", u"Name", 10, 20, 500, 55), u"name", name, 10, 25, 480);
    Element* picture = textInput(
        groupBox(form, u"ImageUrlBox", u"Menu Item Picture", 10, 85, 500, 120), u"image", image, 10, 25, 480, u"image");
    picture->setAttribute(u"imageroot", page.project() ? page.project()->contentDirectory() : String());
    picture->setAttribute(u"thumbwidth", u"90");
    picture->setAttribute(u"thumbheight", u"90");
    Element* panel = groupBox(form, u"url-panel", u"", 10, 215, 500, 190);
    panel->setAttribute(u"value", Page::eventPanelCaption(u"url", action));
    Page::addActionControls(panel, String(u"url"), action, true, 500);
    FormDocument::addStandardButtons(form, 420);
    loadForms(&m_formDocument);
}

MenuItemDialog::~MenuItemDialog()
{
    clearForms();
}

String MenuItemDialog::name() const
{
    String text = valueOf(u"name");
    return text.trim();
}

SlideDialog::SlideDialog(Page& page, QWidget* parent, XmlDialogListener* listener, String& action, String* itemName)
    : ActionDialog(page, parent, String(u"Slide"), listener, action, itemName)
{
    String function;
    std::vector<String> arguments;
    for (std::u16string_view known : { u"show_slides", u"next_slide", u"prev_slide" }) {
        arguments = currentArguments(known, false);
        if (!arguments.empty()) {
            function = String(known);
            break;
        }
    }
    auto argument = [&](size_t index) { return index < arguments.size() ? arguments[index] : String(); };
    const bool show = function.empty() || function.equals(u"show_slides");

    Element* form = beginForm(String(u"Slide"), String(u"Slideshow"), 290, itemName ? 240 : 160);
    int top = 10;
    if (itemName) {
        Element* box = addBox(form, String(u"NameBox"), String(u"Item Name"), 10, 10, 420);
        addText(box, String(u"name"), *itemName, 400);
        top = 70;
    }
    Element* functions = dropDown(
        addBox(form, String(u"FunctionBox"), String(u"Function"), 10, top, 200), u"function", 10, 25, 180, 100);
    option(functions, String(u"show_slides"), String(u"Show Slides"), show);
    option(functions, String(u"next_slide"), String(u"Next Slide"), function.equals(u"next_slide"));
    option(functions, String(u"prev_slide"), String(u"Previous Slide"), function.equals(u"prev_slide"));
    Element* shows = dropDown(
        addBox(form, String(u"SlideshowBox"), String(u"Slideshow"), 220, top, 200), u"slideshow", 10, 25, 180, 100);
    const String current = show ? argument(1) : String();
    for (const auto* entry : page.slideshows()) {
        const Slideshow* slideshow = PtrMapOf<Slideshow>::valueOf(entry);
        option(shows, slideshow->id(), slideshow->name(), slideshow->id().equals(current));
    }
    addTargetBlock(form, String(u"Slideshow"), argument(0), 10, top + 65, 200, false);
    Element* delay = addText(addBox(form, String(u"DelayBox"), String(u"Slideshow Delay"), 220, top + 65, 200),
        String(u"delay"), String::number(readNumber(argument(2), 5)), 180, u"spin");
    delay->setAttribute(u"low", u"1");
    delay->setAttribute(u"high", u"60");
    struct Check {
        std::u16string_view box;
        std::u16string_view caption;
        std::u16string_view name;
        std::u16string_view text;
        int left;
        size_t argument;
    };
    for (const Check& check : { Check { u"ManualBox", u"Run this manually?", u"manual", u"Manual", 10, 4 },
             Check { u"Repeat Box", u"Do you want to repeat?", u"repeat", u"Repeat", 220, 3 } }) {
        Element* box = addBox(form, String(check.box), String(check.caption), check.left, top + 130, 200);
        checkBox(box, check.name, check.text, show && argument(check.argument).equals(u"true"), 10, 25, 180);
    }
    FormDocument::addStandardButtons(form, itemName ? 350 : 220);
    loadForms(&m_formDocument);
}

String SlideDialog::composeAction() const
{
    const String& function = resultText(u"function");
    const String target = u"'" + resultText(u"slideshowtarget") + u"'";
    if (function.equals(u"next_slide") || function.equals(u"prev_slide"))
        return u"javascript:" + function + u"(" + target + u")";
    auto flag = [this](std::u16string_view name) {
        return resultText(name).equals(u"true") ? String(u"true") : String(u"false");
    };
    return u"javascript:show_slides(" + target + u",'" + resultText(u"slideshow") + u"',"
        + String::number(readNumber(resultText(u"delay"), 5)) + u"," + flag(u"repeat") + u"," + flag(u"manual") + u")";
}

}
