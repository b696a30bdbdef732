#include "dialogs/PageDialogListener.h"

#include "dialogs/ActionDialogs.h"
#include "dialogs/PageDialogs.h"
#include "forms/QtText.h"
#include "forms/ValueDialog.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "forms/XmlPanel.h"
#include "page/Page.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QMessageBox>

namespace lumavine {

namespace {

struct Rule {
    std::u16string_view dialog;
    std::u16string_view element;
    std::u16string_view message;
};

// In the order they are checked; the first that fails is told.
constexpr Rule rules[] = {
    { u"image", u"name", u"You must enter name" },
    { u"menuitem", u"name", u"You must enter name" },
    { u"initializeentry", u"name", u"You must enter name" },
    { u"image", u"imageurl", u"You must enter an image url" },
    { u"image", u"picturetarget", u"You must enter a picture target" },
    { u"video", u"videourl", u"You must enter a video url" },
    { u"video", u"videotarget", u"You must enter a video target" },
    { u"content", u"pageurl", u"You must enter a page url" },
    { u"content", u"pagetarget", u"You must enter a page target" },
    { u"audio", u"audiourl", u"You must enter a audio url" },
    { u"slide", u"slideshow", u"You must enter a slideshow" },
    { u"slide", u"slideshowtarget", u"You must enter a slideshow target" },
};

}

String PageDialogListener::refusal(const String& dialogName, const Element* result)
{
    for (const Rule& rule : rules) {
        if (!dialogName.equalsIgnoreCase(rule.dialog))
            continue;
        const Element* field = findChildElement(result, rule.element, true);
        if (!field)
            continue;
        // A slide that shows no slideshow needs none.
        if (rule.element == u"slideshow" && !getChildText(result, u"function").equals(u"show_slides"))
            continue;
        String text = getText(field);
        if (text.trim().empty())
            return String(rule.message);
    }
    return String();
}

bool PageDialogListener::acceptResult(XmlDialog* dialog, Document* result)
{
    const String message = refusal(dialog ? dialog->name() : String(), result ? result->documentElement() : nullptr);
    if (message.empty())
        return true;
    if (m_messenger)
        m_messenger(dialog, message);
    else
        QMessageBox::warning(dialog, QGuiApplication::applicationDisplayName(), toQString(message));
    return false;
}

void PageDialogListener::beginInitialize()
{
    m_initialize.copyFrom(m_page.initialize().list());
}

void PageDialogListener::commitInitialize()
{
    m_initialize.renumber();
    m_page.initialize().list().copyFrom(m_initialize);
}

void PageDialogListener::tell(XmlForm* form, const String& message) const
{
    if (m_messenger)
        m_messenger(form ? form->dialog() : nullptr, message);
    else
        QMessageBox::warning(form, QGuiApplication::applicationDisplayName(), toQString(message));
}

void PageDialogListener::formCreated(XmlForm* form)
{
    if (form && form->name().equals(u"Initialize"))
        fillEntries(*form, nullptr);
}

void PageDialogListener::fillEntries(XmlForm& form, const Element* selected)
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(u"entrylist"));
    if (!list) {
        tell(&form, String(u"No listbox control: entrylist"));
        return;
    }
    m_initialize.renumber();
    list->clear();
    for (Element* entry : m_initialize.entries()) {
        auto* item = new QListWidgetItem(toQString(EntryList::nameOf(entry)), list);
        item->setData(Qt::UserRole, toQString(EntryList::idOf(entry)));
        if (entry == selected)
            list->setCurrentItem(item);
    }
}

bool PageDialogListener::initializeCommand(XmlForm& form, const String& name)
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(u"entrylist"));
    if (!list) {
        tell(&form, String(u"No listbox control: entrylist"));
        return true;
    }
    QListWidgetItem* current = list->currentItem();
    Element* entry = current ? m_initialize.findById(fromQString(current->data(Qt::UserRole).toString())) : nullptr;
    if (name.equals(u"add") || name.equals(u"edit")) {
        // Add makes a new entry whatever is selected.
        if (name.equals(u"add"))
            entry = nullptr;
        else if (!entry)
            return true;
        InitializeEntryDialog dialog(
            &form, this, entry ? EntryList::nameOf(entry) : String(), entry ? EntryList::actionOf(entry) : String());
        if (dialog.doModal() != Dialog::Ok)
            return true;
        if (entry) {
            entry->setAttribute(u"name", dialog.name());
            EntryList::setAction(entry, dialog.action());
        } else {
            entry = m_initialize.add(dialog.name(), dialog.action());
        }
    } else if (name.equals(u"delete")) {
        if (!entry)
            return true;
        m_initialize.remove(entry);
        entry = nullptr;
    } else if (name.equals(u"moveup") || name.equals(u"movedown")) {
        if (!entry)
            return true;
        m_initialize.move(entry, name.equals(u"moveup") ? -1 : 1);
    } else {
        return false;
    }
    fillEntries(form, entry);
    return true;
}

bool PageDialogListener::listDoubleClicked(XmlForm* form, QListWidget*, int, const String& name, Element*)
{
    if (!form || !name.equals(u"entrylist"))
        return false;
    return initializeCommand(*form, String(u"edit"));
}

bool PageDialogListener::buttonClicked(XmlForm* form, const String& name, Element* element)
{
    if (form && form->name().equals(u"Initialize"))
        return initializeCommand(*form, name);
    if (!form || !element)
        return false;
    const String& control = element->getAttribute(u"control");
    if (control.empty() || !name.startsWith(control) || name.length() <= control.length())
        return false;
    if (!form->control(control)) {
        tell(form, u"No edit control: " + control);
        return true;
    }
    const std::u16string_view command = std::u16string_view(name).substr(control.length());
    String action = form->valueOf(control);
    int answer = Dialog::Ok;
    if (command == u":nothing") {
        action.clear();
    } else if (command == u":stopaudio") {
        action = String(u"javascript:clear_audio()");
    } else if (command == u":custom") {
        ValueDialog dialog(form, String(u"Custom Script"), String(u"Script"), action);
        answer = dialog.doModal();
        if (answer == Dialog::Ok)
            action = dialog.value();
    } else if (command == u":clearframe") {
        TargetDialog dialog(
            m_page, form, this, action, String(u"clear_frame"), String(u"Clear"), String(u"Clear Frame"));
        answer = dialog.doModal();
    } else if (command == u":pausevideo") {
        TargetDialog dialog(
            m_page, form, this, action, String(u"pause_video"), String(u"Pause Video"), String(u"Pause Video"));
        answer = dialog.doModal();
    } else if (command == u":playaudio" || command == u":playvideo") {
        MediaDialog dialog(
            command == u":playaudio" ? MediaDialog::Audio : MediaDialog::Video, m_page, form, this, action);
        answer = dialog.doModal();
    } else if (command == u":showcontent") {
        ContentDialog dialog(m_page, form, this, action, true);
        answer = dialog.doModal();
    } else if (command == u":showimage") {
        ImageDialog dialog(m_page, form, this, action, true);
        answer = dialog.doModal();
    } else if (command == u":showslides") {
        SlideDialog dialog(m_page, form, this, action);
        answer = dialog.doModal();
    } else if (command == u":mailto") {
        MailDialog dialog(m_page, form, this, action);
        answer = dialog.doModal();
    } else {
        return false;
    }
    if (answer == Dialog::Ok)
        form->setValue(control, action);
    updateEventPanel(*form, control);
    return true;
}

void PageDialogListener::updateEventPanel(XmlForm& form, const String& control)
{
    if (auto* panel = qobject_cast<XmlPanel*>(form.findControl(control + u"-panel")))
        panel->setCaption(Page::eventPanelCaption(control, form.valueOf(control)));
}

bool PageDialogListener::comboSelected(XmlForm* form, QComboBox* combo, int index, const String& name, Element*)
{
    if (!form || !combo || !form->name().equals(u"Show Page") || !name.equals(u"pages") || index <= 0)
        return false;
    form->setValue(u"pageurl", fromQString(combo->itemText(index)));
    combo->setCurrentIndex(0);
    return true;
}

}
