#include "dialogs/PageDialogListener.h"

#include "forms/QtText.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <QComboBox>
#include <QGuiApplication>
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

bool PageDialogListener::comboSelected(XmlForm* form, QComboBox* combo, int index, const String& name, Element*)
{
    if (!form || !combo || !form->name().equals(u"Show Page") || !name.equals(u"pages") || index <= 0)
        return false;
    form->setValue(u"pageurl", fromQString(combo->itemText(index)));
    combo->setCurrentIndex(0);
    return true;
}

}
