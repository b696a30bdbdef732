#include "app/PagesEditor.h"

#include "app/ProjectWindow.h"
#include "core/StringList.h"
#include "dialogs/PageDialogs.h"
#include "forms/QtText.h"
#include "forms/XmlForm.h"
#include "page/Page.h"
#include "picture/canvas/PageView.h"
#include "xml/Document.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QMessageBox>

namespace lumavine {

namespace {

constexpr std::u16string_view listName = u"pagelist";

}

void PagesEditor::run()
{
    ListDialog dialog(&m_window, this, String(u"Pages"), String(listName));
    dialog.doModal();
}

void PagesEditor::formCreated(XmlForm* form)
{
    if (form)
        fill(*form, String());
}

void PagesEditor::fill(XmlForm& form, const String& selectedId)
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(listName));
    if (!list) {
        tell(form, u"No listbox control: " + String(listName));
        return;
    }
    list->clear();
    for (Page* page : m_window.document().pages()) {
        auto* item = new QListWidgetItem(toQString(page->label()), list);
        item->setData(Qt::UserRole, toQString(page->id()));
        if (page->id().equals(selectedId))
            list->setCurrentItem(item);
    }
}

String PagesEditor::selectedPage(XmlForm& form) const
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(listName));
    if (!list) {
        tell(form, u"No listbox control: " + String(listName));
        return String();
    }
    QListWidgetItem* item = list->currentItem();
    return item ? fromQString(item->data(Qt::UserRole).toString()) : String();
}

bool PagesEditor::buttonClicked(XmlForm* form, const String& name, Element*)
{
    if (!form)
        return false;
    if (name.equals(u"add"))
        add(*form);
    else if (name.equals(u"edit"))
        edit(*form);
    else if (name.equals(u"delete"))
        remove(*form);
    else
        return false;
    return true;
}

bool PagesEditor::listDoubleClicked(XmlForm* form, QListWidget*, int, const String& name, Element*)
{
    if (!form || !name.equals(listName))
        return false;
    edit(*form);
    return true;
}

void PagesEditor::add(XmlForm& form)
{
    PageDocument& document = m_window.document();
    Page* current = document.currentPage();
    if (!current)
        return;
    PageDialog dialog(*current, &form, nullptr, String());
    if (dialog.doModal() != Dialog::Ok)
        return;
    const String label = dialog.label();
    if (!label.empty() && document.findPageByLabel(label)) {
        tell(form, u"There is a page named " + label + u" already");
        return;
    }
    const Page* source = dialog.copyFrom().empty() ? nullptr : document.findPageByLabel(dialog.copyFrom());
    const String sourceId = source ? source->id() : String();
    Page* added = document.newPage(label.empty() ? nullptr : &label, source ? &sourceId : nullptr);
    if (!added) {
        tell(form, u"Cannot add the page " + label);
        return;
    }
    m_window.pagesChanged();
    fill(form, added->id());
}

void PagesEditor::edit(XmlForm& form)
{
    PageDocument& document = m_window.document();
    Page* page = document.findPage(selectedPage(form));
    if (!page)
        return;
    PageDialog dialog(*page, &form, nullptr, page->label());
    if (dialog.doModal() != Dialog::Ok)
        return;
    const String label = dialog.label();
    bool changed = false;
    if (!label.empty() && !label.equals(page->label())) {
        if (document.findPageByLabel(label)) {
            tell(form, u"There is a page named " + label + u" already");
            return;
        }
        page->setLabel(label);
        changed = true;
    }
    Page* source = dialog.copyFrom().empty() ? nullptr : document.findPageByLabel(dialog.copyFrom());
    if (source && source != page) {
        // Through the page's view, so that the copy is one undo step there.
        m_window.copyShapes(*source, *page);
        changed = true;
    }
    if (changed)
        m_window.pagesChanged();
    fill(form, page->id());
}

void PagesEditor::remove(XmlForm& form)
{
    Page* page = m_window.document().findPage(selectedPage(form));
    if (!page)
        return;
    const QMessageBox::StandardButton answer = QMessageBox::question(&form, QGuiApplication::applicationDisplayName(),
        toQString(u"Are you sure you want to delete the page " + page->label() + u"?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    String message;
    if (!m_window.deletePage(page->id(), message)) {
        tell(form, message);
        return;
    }
    fill(form, String());
}

void PagesEditor::tell(XmlForm& form, const String& message) const
{
    QMessageBox::warning(&form, QGuiApplication::applicationDisplayName(), toQString(message));
}

}
