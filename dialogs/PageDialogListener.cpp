#include "dialogs/PageDialogListener.h"

#include "core/StringList.h"
#include "dialogs/ActionDialogs.h"
#include "dialogs/MenuForm.h"
#include "dialogs/PageDialogs.h"
#include "forms/FormChooser.h"
#include "forms/QtText.h"
#include "forms/ValueDialog.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "forms/XmlFormImage.h"
#include "forms/XmlPanel.h"
#include "generate/MediaFormats.h"
#include "page/Action.h"
#include "page/Page.h"
#include "page/PageMenu.h"
#include "page/PageNode.h"
#include "page/ProjectContext.h"
#include "page/Slideshow.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <QComboBox>
#include <QFileInfo>
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
    if (!form)
        return;
    if (form->name().equals(u"Initialize"))
        fillEntries(*form, nullptr);
    else if (form->name().equals(u"Slideshows"))
        fillSlideshows(*form, String());
    else if (form->name().equals(u"Slideshow"))
        fillSlides(*form, nullptr);
    else if (form->name().equals(u"Menu"))
        fillMenuItems(*form, nullptr);
}

void PageDialogListener::beginMenu(const PageNode& node)
{
    Element* root = m_menu.documentElement();
    while (Node* child = root->firstChild())
        root->removeChild(child);
    if (PageMenu* menu = node.menu())
        menu->write(root);
}

void PageDialogListener::commitMenu(PageNode& node, const Element* result)
{
    Document update(String(u"update"));
    MenuForm::composeUpdate(result, update.documentElement());
    PageMenu& menu = node.ensureMenu();
    menu.setProperties(update.documentElement());
    menu.setItems(m_menu.documentElement());
}

namespace {

std::vector<Element*> menuItems(const Element* menu)
{
    std::vector<Element*> items;
    for (Node* child : menu->childNodes())
        if (Element* item = child->asElement(); item && item->tagName().equals(u"item"))
            items.push_back(item);
    return items;
}

}

Element* PageDialogListener::addMenuItem(
    const String& name, const String& action, const String& image, const String& target)
{
    Element* item = addElement(m_menu.documentElement(), u"item");
    item->setAttribute(u"sort", String(EntryList::appendSortKey));
    addElement(item, u"name", name);
    addElement(item, u"url", action);
    addElement(item, u"image", image);
    addElement(item, u"target", target);
    return item;
}

void PageDialogListener::fillMenuItems(XmlForm& form, const Element* selected)
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(u"itemlist"));
    if (!list) {
        tell(&form, String(u"No listbox control: itemlist"));
        return;
    }
    list->clear();
    int sort = 0;
    // The list's order is the document's; numbering keeps the sort keys
    // with it.
    for (Element* item : menuItems(m_menu.documentElement())) {
        item->setAttribute(u"sort", String::number(sort));
        auto* row = new QListWidgetItem(toQString(getChildText(item, u"name")), list);
        row->setData(Qt::UserRole, sort++);
        if (item == selected)
            list->setCurrentItem(row);
    }
}

bool PageDialogListener::menuCommand(XmlForm& form, const String& name)
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(u"itemlist"));
    if (!list) {
        tell(&form, String(u"No listbox control: itemlist"));
        return true;
    }
    Element* root = m_menu.documentElement();
    std::vector<Element*> items = menuItems(root);
    const int row = list->currentRow();
    Element* item = row >= 0 && size_t(row) < items.size() ? items[size_t(row)] : nullptr;
    if (name.equals(u"add") || name.equals(u"edit")) {
        if (name.equals(u"add"))
            item = nullptr;
        else if (!item)
            return true;
        MenuItemDialog dialog(m_page, &form, this, item ? getChildText(item, u"name") : String(),
            item ? getChildText(item, u"image") : String(), item ? getChildText(item, u"url") : String());
        if (dialog.doModal() != Dialog::Ok)
            return true;
        if (item) {
            setChildText(item, u"name", dialog.name());
            setChildText(item, u"url", dialog.action());
            setChildText(item, u"image", dialog.image());
        } else {
            item = addMenuItem(dialog.name(), dialog.action(), dialog.image(), String());
        }
    } else if (name.equals(u"delete")) {
        if (item)
            root->removeChild(item);
        item = nullptr;
    } else if (name.equals(u"moveup") || name.equals(u"movedown")) {
        if (!item)
            return true;
        const bool up = name.equals(u"moveup");
        if (up && row > 0)
            root->insertBefore(root->removeChild(item), items[size_t(row) - 1]);
        else if (!up && size_t(row) + 1 < items.size())
            root->insertBefore(root->removeChild(items[size_t(row) + 1]), item);
    } else if (name.equals(u"menufiles")) {
        std::vector<String> files;
        if (!FormChooser::current().chooseFiles(&form,
                String(u"All Menu Files|*.jpg;*.jpeg;*.png;*.gif;*.bmp;*.html;*.htm;*.webm;*.mp4;*.m4v;*.ogv;*.avi;"
                       u"*.mpeg;*.mpg;*.wmv;*.mp3;*.ogg;*.oga;*.opus;*.m4a;*.wav;*.wma|"
                       u"All Picture Files|*.jpg;*.jpeg;*.png;*.gif;*.bmp|"
                       u"All Video Files|*.webm;*.mp4;*.m4v;*.ogv;*.avi;*.wmv;*.mpg;*.mpeg|"
                       u"All Page Files|*.htm;*.html|All Audio Files|*.mp3;*.ogg;*.oga;*.opus;*.m4a;*.wav;*.wma|"
                       u"All Files|*.*||"),
                files))
            return true;
        std::vector<String> names;
        std::vector<String> actions;
        actionsFromFiles(&form, files, names, actions, true, true);
        for (size_t index = 0; index < actions.size(); ++index)
            item = addMenuItem(names[index], actions[index], String(), String());
    } else if (name.equals(u"importslides")) {
        ImportSlidesDialog dialog(m_page, &form, this);
        if (dialog.doModal() != Dialog::Ok)
            return true;
        const String frame = dialog.imageTarget();
        if (Slideshow* show = m_page.slideshow(dialog.slideshow())) {
            for (Element* slide : show->slides()) {
                String function;
                StringList arguments;
                String action = EntryList::actionOf(slide);
                if (parseAction(action, function, arguments, true) && arguments.count() > 0) {
                    arguments.set(0, quoteArgument(frame));
                    action = buildAction(function, arguments);
                }
                item = addMenuItem(EntryList::nameOf(slide), action, String(), frame);
            }
        }
    } else if (name.equals(u"size")) {
        ImageSizeDialog dialog(&form, this);
        if (dialog.doModal() != Dialog::Ok)
            return true;
        for (Element* each : items) {
            String action = getChildText(each, u"url");
            if (setActionScale(action, dialog.ratio(), dialog.aspect().equals(u"true")))
                setChildText(each, u"url", action);
        }
    } else {
        return false;
    }
    fillMenuItems(form, item);
    return true;
}

void PageDialogListener::fillSlideshows(XmlForm& form, const String& selectedId)
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(u"slideshowlist"));
    if (!list) {
        tell(&form, String(u"No listbox control: slideshowlist"));
        return;
    }
    list->clear();
    for (Slideshow* show : m_page.slideshowList()) {
        auto* item = new QListWidgetItem(toQString(show->name()), list);
        item->setData(Qt::UserRole, toQString(show->id()));
        if (show->id().equals(selectedId))
            list->setCurrentItem(item);
    }
}

bool PageDialogListener::slideshowsCommand(XmlForm& form, const String& name)
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(u"slideshowlist"));
    if (!list) {
        tell(&form, String(u"No listbox control: slideshowlist"));
        return true;
    }
    QListWidgetItem* current = list->currentItem();
    Slideshow* show = current ? m_page.slideshow(fromQString(current->data(Qt::UserRole).toString())) : nullptr;
    if (name.equals(u"add")) {
        ValueDialog dialog(&form, String(u"Add Slideshow"), String(u"Name"), String());
        if (dialog.doModal() != Dialog::Ok)
            return true;
        String title = dialog.value();
        if (Slideshow* made = m_page.newSlideshow(title.trim()))
            fillSlideshows(form, made->id());
        return true;
    }
    if (!show)
        return name.equals(u"edit") || name.equals(u"delete");
    if (name.equals(u"edit")) {
        m_slides.copyFrom(show->slideList());
        SlideshowDialog dialog(&form, this, show->name(), show->audio());
        if (dialog.doModal() == Dialog::Ok) {
            if (!dialog.name().empty())
                show->setName(dialog.name());
            show->setAudio(String(dialog.audio()).trim());
            m_slides.renumber();
            show->slideList().copyFrom(m_slides);
        }
        fillSlideshows(form, show->id());
        return true;
    }
    if (name.equals(u"delete")) {
        const QMessageBox::StandardButton answer
            = QMessageBox::question(&form, QGuiApplication::applicationDisplayName(),
                toQString(u"Are you sure you want to delete the slideshow " + show->name() + u"?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer == QMessageBox::Yes)
            m_page.removeSlideshow(show->id());
        fillSlideshows(form, String());
        return true;
    }
    return false;
}

void PageDialogListener::fillSlides(XmlForm& form, const Element* selected)
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(u"slidelist"));
    if (!list) {
        tell(&form, String(u"No listbox control: slidelist"));
        return;
    }
    m_slides.renumber();
    list->clear();
    for (Element* slide : m_slides.entries()) {
        auto* item = new QListWidgetItem(toQString(EntryList::nameOf(slide)), list);
        item->setData(Qt::UserRole, toQString(EntryList::idOf(slide)));
        if (slide == selected)
            list->setCurrentItem(item);
    }
}

bool PageDialogListener::editSlide(XmlForm& form, Element* slide)
{
    String action = slide ? EntryList::actionOf(slide) : String();
    String name = slide ? EntryList::nameOf(slide) : String();
    int answer = Dialog::Cancel;
    if (actionCalls(action, u"show_page")) {
        ContentDialog dialog(m_page, &form, this, action, false, &name);
        answer = dialog.doModal();
    } else {
        ImageDialog dialog(m_page, &form, this, action, false, &name);
        answer = dialog.doModal();
    }
    if (answer != Dialog::Ok)
        return false;
    slide->setAttribute(u"name", name);
    EntryList::setAction(slide, action);
    return true;
}

bool PageDialogListener::slidesCommand(XmlForm& form, const String& name)
{
    auto* list = qobject_cast<QListWidget*>(form.findControl(u"slidelist"));
    if (!list) {
        tell(&form, String(u"No listbox control: slidelist"));
        return true;
    }
    QListWidgetItem* current = list->currentItem();
    Element* slide = current ? m_slides.findById(fromQString(current->data(Qt::UserRole).toString())) : nullptr;
    if (name.equals(u"pictures")) {
        std::vector<String> files;
        if (!FormChooser::current().chooseFiles(&form,
                String(u"All Picture Files|*.jpg;*.jpeg;*.png;*.gif;*.bmp|JPEG Files (*.jpg)|*.jpg|"
                       u"PNG Files (*.png)|*.png|GIF Files (*.gif)|*.gif|Bitmap Files (*.bmp)|*.bmp|All Files|*.*||"),
                files))
            return true;
        std::vector<String> names;
        std::vector<String> actions;
        actionsFromFiles(&form, files, names, actions, true);
        for (size_t index = 0; index < actions.size(); ++index)
            slide = m_slides.add(names[index], actions[index], EntryList::appendSortKey);
    } else if (name.equals(u"page")) {
        String action;
        String title;
        ContentDialog dialog(m_page, &form, this, action, false, &title);
        if (dialog.doModal() != Dialog::Ok)
            return true;
        slide = m_slides.add(title, action, u"10000");
    } else if (name.equals(u"edit")) {
        if (slide)
            editSlide(form, slide);
    } else if (name.equals(u"delete")) {
        if (slide)
            m_slides.remove(slide);
        slide = nullptr;
    } else if (name.equals(u"clear")) {
        m_slides.clear();
        slide = nullptr;
    } else if (name.equals(u"moveup") || name.equals(u"movedown")) {
        if (slide)
            m_slides.move(slide, name.equals(u"moveup") ? -1 : 1);
    } else if (name.equals(u"size")) {
        ImageSizeDialog dialog(&form, this);
        if (dialog.doModal() != Dialog::Ok)
            return true;
        for (Element* each : m_slides.entries()) {
            String action = EntryList::actionOf(each);
            if (setActionScale(action, dialog.ratio(), dialog.aspect().equals(u"true")))
                EntryList::setAction(each, action);
        }
    } else {
        return false;
    }
    fillSlides(form, slide);
    return true;
}

bool PageDialogListener::listSelectionChanged(XmlForm* form, QListWidget* list, int index, const String& name, Element*)
{
    if (!form || !list || !name.equals(u"slidelist") || index < 0)
        return false;
    auto* preview = qobject_cast<XmlFormImage*>(form->findControl(u"slideimage"));
    QListWidgetItem* item = list->item(index);
    const Element* slide = item ? m_slides.findById(fromQString(item->data(Qt::UserRole).toString())) : nullptr;
    if (!preview || !slide)
        return false;
    String function;
    StringList arguments;
    const String& action = EntryList::actionOf(slide);
    const ProjectContext* project = m_page.project();
    if (parseAction(action, function, arguments, false) && function.equals(u"show_picture")) {
        String location = arguments.get(1);
        if (location.startsWith(u"file://"))
            location = location.substring(7);
        preview->load(location, project ? project->contentDirectory() : String());
    } else if (function.equals(u"show_page") && project && !project->installationDirectory().empty()) {
        // A page has no picture of its own: the installation's placeholder.
        preview->load(String(u"images/page.jpg"), project->installationDirectory());
    } else {
        preview->clear();
    }
    return true;
}

bool PageDialogListener::filesDropped(XmlForm* form, const String& name, Element*, const StringList& files)
{
    if (!form || files.isEmpty())
        return false;
    std::vector<String> paths;
    for (size_t index = 0; index < files.count(); ++index)
        paths.push_back(files.get(index));
    std::vector<String> names;
    std::vector<String> actions;
    if (form->name().equals(u"Menu")) {
        actionsFromFiles(form, paths, names, actions, true, true);
        Element* added = nullptr;
        for (size_t index = 0; index < actions.size(); ++index)
            added = addMenuItem(names[index], actions[index], String(), String());
        fillMenuItems(*form, added);
        return true;
    }
    if (form->name().equals(u"Slideshow")) {
        actionsFromFiles(form, paths, names, actions, true);
        Element* added = nullptr;
        for (size_t index = 0; index < actions.size(); ++index)
            added = m_slides.add(names[index], actions[index], EntryList::appendSortKey);
        fillSlides(*form, added);
        return true;
    }
    // A panel, or a group inside it: the action control is the name before
    // "-panel" or ":".
    size_t end = name.find(u"-panel");
    if (end == String::npos)
        end = name.find(u':');
    const String control = end == String::npos ? String() : name.substring(0, end);
    if (control.empty() || !form->control(control))
        return false;
    actionsFromFiles(form, { paths.front() }, names, actions, true, true);
    if (actions.empty())
        return true;
    form->setValue(control, actions.front());
    updateEventPanel(*form, control);
    return true;
}

void PageDialogListener::actionsFromFiles(QWidget* parent, const std::vector<String>& files, std::vector<String>& names,
    std::vector<String>& actions, bool withDialogs, bool chooseTargets)
{
    String frame;
    int ratio = 100;
    bool aspect = true;
    String audio;
    bool captioned = true;
    for (const String& file : files) {
        const QFileInfo info(toQString(file));
        const QString extension = info.suffix().toLower();
        // The file's title: its base name with blanks for "_" and each word
        // capitalised.
        QString title = info.completeBaseName().replace(QLatin1Char('_'), QLatin1Char(' '));
        for (qsizetype at = 0; at < title.size(); ++at)
            if (at == 0 || title[at - 1] == QLatin1Char(' '))
                title[at] = title[at].toUpper();
        String name = fromQString(title);
        String action;
        int answer = Dialog::Ok;
        auto quoted = [](const String& text) { return u"'" + text + u"'"; };
        if (extension == QLatin1String("gif") || extension == QLatin1String("jpg") || extension == QLatin1String("jpeg")
            || extension == QLatin1String("png") || extension == QLatin1String("bmp")) {
            action = u"javascript:show_picture(" + quoted(frame) + u"," + quoted(file) + u","
                + (captioned ? quoted(name) : String(u"null")) + u",null,null,"
                + (audio.empty() ? String(u"null") : quoted(audio)) + u"," + String::number(ratio) + u","
                + (aspect ? String(u"true") : String(u"false")) + u")";
            if (withDialogs) {
                ImageDialog dialog(m_page, parent, this, action, chooseTargets, &name);
                answer = dialog.doModal();
            }
            if (answer == Dialog::Ok) {
                String function;
                StringList arguments;
                parseAction(action, function, arguments, false);
                frame = arguments.get(0);
                captioned = !arguments.get(2).empty() && !arguments.get(2).equals(u"null");
                audio = arguments.get(5).equals(u"null") ? String() : arguments.get(5);
                String(arguments.get(6)).trim().readInt(ratio);
                aspect = !arguments.get(7).equals(u"false");
            }
        } else if (extension == QLatin1String("html") || extension == QLatin1String("htm")) {
            action = u"javascript:show_page(" + quoted(frame) + u"," + quoted(file) + u",null,100)";
            if (withDialogs) {
                ContentDialog dialog(m_page, parent, this, action, chooseTargets, &name);
                answer = dialog.doModal();
            }
        } else if (isVideoExtension(fromQString(extension))) {
            action = u"javascript:play_video(" + quoted(frame) + u"," + quoted(file) + u",'full',100,1)";
            if (withDialogs) {
                MediaDialog dialog(MediaDialog::Video, m_page, parent, this, action, &name);
                answer = dialog.doModal();
            }
        } else if (isAudioExtension(fromQString(extension))) {
            // Sound plays without a frame.
            action = u"javascript:play_audio(''," + quoted(file) + u",'full',100,1)";
            if (withDialogs) {
                MediaDialog dialog(MediaDialog::Audio, m_page, parent, this, action, &name);
                answer = dialog.doModal();
            }
        } else {
            continue;
        }
        if (answer != Dialog::Ok)
            continue;
        if (!actionCalls(action, u"show_picture") && !actionCalls(action, u"play_audio")) {
            String function;
            StringList arguments;
            if (parseAction(action, function, arguments, false))
                frame = arguments.get(0);
        }
        names.push_back(name);
        actions.push_back(action);
    }
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
    if (!form)
        return false;
    if (name.equals(u"entrylist"))
        return initializeCommand(*form, String(u"edit"));
    if (name.equals(u"slideshowlist"))
        return slideshowsCommand(*form, String(u"edit"));
    if (name.equals(u"slidelist"))
        return slidesCommand(*form, String(u"edit"));
    if (name.equals(u"itemlist"))
        return menuCommand(*form, String(u"edit"));
    return false;
}

bool PageDialogListener::buttonClicked(XmlForm* form, const String& name, Element* element)
{
    if (form && form->name().equals(u"Initialize"))
        return initializeCommand(*form, name);
    if (form && form->name().equals(u"Slideshows"))
        return slideshowsCommand(*form, name);
    if (form && form->name().equals(u"Slideshow"))
        return slidesCommand(*form, name);
    if (form && form->name().equals(u"Menu") && !name.contains(u':')
        && (!element || element->getAttribute(u"control").empty()))
        return menuCommand(*form, name);
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
