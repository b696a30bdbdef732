#include "forms/XmlForm.h"

#include "forms/ColorText.h"
#include "forms/ControlType.h"
#include "forms/FormChooser.h"
#include "forms/FormStyle.h"
#include "forms/QtText.h"
#include "forms/XmlDialog.h"
#include "forms/XmlDialogListener.h"
#include "forms/XmlFormBorder.h"
#include "forms/XmlFormColor.h"
#include "forms/XmlFormImage.h"
#include "picture/Color.h"
#include "xml/Elements.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QUrl>

namespace lumavine {

static const char16_t pictureFilter[] = u"All Picture Files|*.jpg;*.jpeg;*.png;*.gif;*.bmp|"
                                        u"JPEG Files (*.jpg)|*.jpg|"
                                        u"PNG Files (*.png)|*.png|"
                                        u"GIF Files (*.gif)|*.gif|"
                                        u"Bitmap Files (*.bmp)|*.bmp|"
                                        u"All Files|*.*|"
                                        u"|";

// Identifier of static texts, which never notify.
static constexpr int staticId = 0xFFFF;

static Element* optionOf(const QVariant& data)
{
    return reinterpret_cast<Element*>(data.value<quintptr>());
}

static String textOf(const QWidget* widget)
{
    if (auto* line = qobject_cast<const QLineEdit*>(widget))
        return fromQString(line->text());
    if (auto* area = qobject_cast<const QPlainTextEdit*>(widget))
        return fromQString(area->toPlainText());
    return String();
}

XmlForm::XmlForm(XmlDialog* dialog, XmlDialogListener* listener, Element* element, QWidget* parent)
    : QWidget(parent)
    , m_controlsByName(true)
    , m_controlsById(true)
    , m_dialog(dialog)
    , m_listener(listener)
    , m_element(element)
{
    setObjectName(QStringLiteral("Form"));
    m_name = element->getAttribute(u"name");
    m_label = element->getAttribute(u"label");
    if (m_label.empty())
        m_label = m_name;
}

XmlForm::~XmlForm()
{
    clearControls();
}

void XmlForm::clearControls()
{
    for (auto& control : m_controls) {
        if (control->widget)
            QObject::disconnect(control->widget, nullptr, this, nullptr);
    }
    m_controlsByName.clear();
    m_controlsById.clear();
    m_edits.clear();
    m_framed.clear();
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children)
        delete child;
    m_controls.clear();
}

void XmlForm::build()
{
    clearControls();
    setAcceptDrops(m_element->getAttribute(u"drop").equals(u"true"));
    m_name = m_element->getAttribute(u"name");
    m_label = m_element->getAttribute(u"label");
    if (m_label.empty())
        m_label = m_name;

    createControls(m_element, this);
    std::unique_ptr<NodeList> labels = m_element->getElementsByTagName(u"label");
    for (Node* label : *labels)
        createLabel(label->asElement());

    if (m_listener)
        m_listener->formCreated(this);

    for (auto& control : m_controls) {
        if (control->type)
            layoutControl(*control);
    }
    for (auto& control : m_controls) {
        if (control->kind == ControlKind::Static && control->id == staticId)
            layoutLabel(*control);
    }
    for (auto& control : m_controls) {
        if (control->kind == ControlKind::BorderPreview)
            refreshBorderPreview(control->name);
    }
}

void XmlForm::createControls(Element* parent, QWidget* window)
{
    for (Node* node : parent->childNodes()) {
        Element* element = node->asElement();
        if (!element)
            continue;
        const ControlType* type = ControlType::find(*element);
        if (!type)
            continue;
        String name = type->fixedName ? String(type->fixedName) : element->getAttribute(u"name");
        if (name.empty() || m_controlsByName.contains(name))
            continue;
        FormControl* control = type->create(*this, element, name, window);
        if (!control)
            continue;
        control->type = type;
        if (type->container)
            createControls(element, control->widget);
    }
}

void XmlForm::createLabel(Element* element)
{
    FormControl* target = control(element->getAttribute(u"for"));
    if (!target)
        return;
    String name = target->name + u":label";
    if (m_controlsByName.contains(name))
        return;
    auto* label = new QLabel(toQString(getText(element)), target->window);
    addControl(name, element, label, ControlKind::Static, target->window, target, staticId);
}

FormControl* XmlForm::addControl(
    const String& name, Element* element, QWidget* widget, ControlKind kind, QWidget* window, FormControl* main, int id)
{
    auto control = std::make_unique<FormControl>();
    control->name = name;
    control->element = element;
    control->widget = widget;
    control->kind = kind;
    control->main = main;
    control->window = window;
    control->id = id >= 0 ? id : (m_dialog ? m_dialog->nextControlId(name) : 0);
    FormControl* added = control.get();
    m_controls.push_back(std::move(control));

    widget->setObjectName(toQString(name));
    if (m_dialog)
        widget->setFont(m_dialog->dialogFont());
    widget->show();
    m_controlsByName.add(name, added);
    if (added->id != staticId)
        m_controlsById.add(added->id, added);
    if (kind == ControlKind::Edit)
        m_edits.append(added);
    else if (kind == ControlKind::ListBox || kind == ControlKind::ColorSwatch || kind == ControlKind::Thumbnail
        || kind == ControlKind::BorderPreview)
        m_framed.append(added);
    connectControl(*added);
    if (acceptDrops()) {
        widget->installEventFilter(this);
        if (auto* scrolled = qobject_cast<QAbstractScrollArea*>(widget))
            scrolled->viewport()->installEventFilter(this);
    }
    return added;
}

void XmlForm::connectControl(FormControl& control)
{
    FormControl* c = &control;
    int id = control.id;
    QWidget* widget = control.widget;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] { command(id); });
    } else if (auto* swatch = qobject_cast<XmlFormColor*>(widget)) {
        connect(swatch, &XmlFormColor::clicked, this, [this, id] { command(id); });
    } else if (auto* thumbnail = qobject_cast<XmlFormImage*>(widget)) {
        connect(thumbnail, &XmlFormImage::clicked, this, [this, id] { command(id); });
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        connect(line, &QLineEdit::textChanged, this,
            [this, c](const QString& text) { notifyTextChanged(*c, fromQString(text)); });
    } else if (auto* area = qobject_cast<QPlainTextEdit*>(widget)) {
        connect(area, &QPlainTextEdit::textChanged, this,
            [this, c, area] { notifyTextChanged(*c, fromQString(area->toPlainText())); });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        connect(combo, &QComboBox::currentIndexChanged, this, [this, c] { refreshBorderPreview(c->name); });
        connect(combo, &QComboBox::activated, this, [this, c, combo](int index) {
            if (m_listener && c->element)
                m_listener->comboSelected(this, combo, index, c->name, c->element);
        });
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        connect(list, &QListWidget::itemSelectionChanged, this, [this, c, list] {
            if (m_listener && c->element)
                m_listener->listSelectionChanged(this, list, list->currentRow(), c->name, c->element);
        });
        connect(list, &QListWidget::itemDoubleClicked, this, [this, c, list] {
            if (m_listener && c->element)
                m_listener->listDoubleClicked(this, list, list->currentRow(), c->name, c->element);
        });
    }
}

void XmlForm::notifyTextChanged(FormControl& control, const String& text)
{
    if (control.name.endsWith(u":alpha")) {
        if (control.main) {
            refreshSwatch(control.main->name);
            refreshBorderPreview(control.main->name);
        }
        return;
    }
    if (control.main == nullptr)
        refreshBorderPreview(control.name);
    // The swatch follows what is typed, so that the user sees the colour before choosing it.
    if (control.main == nullptr && m_controlsByName.contains(control.name + u":color"))
        refreshSwatch(control.name);
    if (m_listener && control.element)
        m_listener->textChanged(this, control.widget, control.name, text, control.element);
}

QWidget* XmlForm::findControl(std::u16string_view name) const
{
    FormControl* found = control(name);
    return found ? found->widget : nullptr;
}

Element* XmlForm::elementOf(std::u16string_view name) const
{
    FormControl* found = control(name);
    return found ? found->element : nullptr;
}

String XmlForm::valueOf(std::u16string_view name) const
{
    FormControl* found = control(name);
    if (!found)
        return String();
    switch (found->kind) {
    case ControlKind::Edit:
        return textOf(found->widget);
    case ControlKind::DropDown: {
        auto* combo = static_cast<QComboBox*>(found->widget);
        if (combo->currentIndex() < 0)
            return String();
        Element* option = optionOf(combo->currentData());
        return option ? option->getAttribute(u"value") : String();
    }
    case ControlKind::Button:
        if (auto* box = qobject_cast<QCheckBox*>(found->widget)) {
            if (box->checkState() == Qt::PartiallyChecked)
                return String();
            return String(box->isChecked() ? u"true" : u"false");
        }
        return String();
    default:
        return String();
    }
}

bool XmlForm::setValue(std::u16string_view name, const String& value)
{
    FormControl* found = control(name);
    if (!found)
        return false;
    if (auto* line = qobject_cast<QLineEdit*>(found->widget)) {
        line->setText(toQString(value));
        return true;
    }
    if (auto* area = qobject_cast<QPlainTextEdit*>(found->widget)) {
        area->setPlainText(toQString(value));
        return true;
    }
    if (auto* box = qobject_cast<QCheckBox*>(found->widget)) {
        box->setChecked(value.equals(u"true"));
        return true;
    }
    if (auto* combo = qobject_cast<QComboBox*>(found->widget)) {
        for (int i = 0; i < combo->count(); ++i) {
            Element* option = optionOf(combo->itemData(i));
            if (option && option->getAttribute(u"value").equals(value)) {
                combo->setCurrentIndex(i);
                return true;
            }
        }
        return false;
    }
    return false;
}

String XmlForm::colorValueOf(std::u16string_view name) const
{
    FormControl* edit = control(name);
    if (!edit)
        return String();
    String text = textOf(edit->widget);
    text.trim();
    if (text.empty())
        return text;
    std::uint32_t color = 0xFF000000;
    // What does not read as a colour is handed on as typed, for the owner to refuse.
    if (!ColorText::read(text, color))
        return text;
    if (FormControl* alphaEdit = control(String(name) + u":alpha")) {
        int alpha = 0;
        String alphaText = textOf(alphaEdit->widget);
        if (alphaText.trim().readInt(alpha))
            color = (color & 0x00FFFFFFu) | (std::uint32_t(alpha & 0xFF) << 24);
    }
    return Color(color).toText();
}

void XmlForm::writeResult(Element* root) const
{
    std::unique_ptr<NodeList> all = m_element->getElementsByTagName(u"*");
    for (Node* node : *all) {
        Element* element = node->asElement();
        const String& tag = element->tagName();
        bool isInput = tag.equals(u"input");
        if (!isInput && !tag.equals(u"textarea") && !tag.equals(u"select"))
            continue;
        const String& name = element->getAttribute(u"name");
        if (name.empty())
            continue;
        FormControl* found = control(name);
        // A second element of a name already taken made no control and gives no value.
        if (found && found->element != element)
            continue;
        if (isInput) {
            const String& type = element->getAttribute(u"type");
            String value;
            if (type.empty() || type.equals(u"text")) {
                value = element->getAttribute(u"extension").equals(u"color") ? colorValueOf(name) : valueOf(name);
            } else if (type.equals(u"hidden")) {
                value = valueOf(name);
            } else if (type.equals(u"checkbox")) {
                value = valueOf(name).equals(u"true") ? u"true" : u"false";
            }
            addElement(root, name, value);
        } else if (tag.equals(u"textarea")) {
            String value = valueOf(name);
            value.replaceAll(u"\r\n", u"\n");
            addElement(root, name, value);
        } else if (!element->getAttribute(u"multiple").empty()) {
            size_t written = 0;
            if (found && found->kind == ControlKind::ListBox) {
                auto* list = static_cast<QListWidget*>(found->widget);
                for (int i = 0; i < list->count(); ++i) {
                    if (!list->item(i)->isSelected())
                        continue;
                    Element* option = optionOf(list->item(i)->data(Qt::UserRole));
                    addElement(root, name, option ? option->getAttribute(u"value") : emptyString);
                    ++written;
                }
            }
            if (!written)
                addElement(root, name, emptyString);
        } else {
            addElement(root, name, valueOf(name));
        }
    }
}

void XmlForm::onOK()
{
    if (m_dialog)
        m_dialog->onOK();
}

void XmlForm::onCancel()
{
    if (m_dialog)
        m_dialog->onCancel();
}

void XmlForm::command(int id)
{
    if (id == 1) {
        onOK();
        return;
    }
    if (id == 2) {
        onCancel();
        return;
    }
    String name = m_dialog ? m_dialog->controlName(id) : String();
    if (name.empty()) {
        if (FormControl* byId = controlById(id))
            name = byId->name;
    }
    if (name.empty())
        return;
    Element* element = elementOf(name);
    if (name.equals(u"help") && element)
        FormChooser::current().open(m_dialog, getChildText(element, u"helpfile"));

    static const std::u16string_view markers[] = { u":color", u":file", u":image", u":directory" };
    for (std::u16string_view marker : markers) {
        size_t at = name.find(marker);
        if (at == String::npos)
            continue;
        FormControl* edit = control(name.substring(0, at));
        if (!edit || edit->kind != ControlKind::Edit)
            return;
        if (marker == u":color")
            chooseColor(*edit);
        else if (marker == u":file")
            chooseFile(*edit, false);
        else if (marker == u":image")
            chooseFile(*edit, true);
        else
            chooseDirectory(*edit);
        return;
    }
    if (m_listener && element)
        m_listener->buttonClicked(this, name, element);
}

void XmlForm::chooseColor(FormControl& edit)
{
    std::uint32_t color = 0xFF000000;
    String text = textOf(edit.widget);
    ColorText::read(text.trim(), color);
    if (!FormChooser::current().chooseColor(this, color))
        return;
    static_cast<QLineEdit*>(edit.widget)->setText(toQString(Color(color).toCss()));
    refreshSwatch(edit.name);
}

void XmlForm::chooseFile(FormControl& edit, bool picture)
{
    const Element* element = edit.element;
    String path = textOf(edit.widget);
    String filters = picture ? String(pictureFilter) : element->getAttribute(u"files");
    // Pictures are chosen from the project's content folder, and one chosen
    // there is kept relative to it, so that the project can move.
    String root = picture ? element->getAttribute(u"imageroot") : String();
    root.replaceChar(u'\\', u'/');
    while (root.length() > 1 && root.endsWith(u"/"))
        root = root.substring(0, root.length() - 1);
    if (!root.empty())
        path = path.trim().empty() ? root + u"/" : XmlFormImage::resolve(path, root);
    if (!FormChooser::current().chooseFile(this, element->getAttribute(u"default"), filters, path))
        return;
    if (!root.empty() && path.startsWith(root + u"/") && path.length() > root.length() + 1)
        path = path.substring(root.length() + 1);
    static_cast<QLineEdit*>(edit.widget)->setText(toQString(path));
    if (picture)
        refreshThumbnail(edit.name, path);
}

void XmlForm::chooseDirectory(FormControl& edit)
{
    String path = textOf(edit.widget);
    if (!FormChooser::current().chooseDirectory(this, u"Enter Directory", path))
        return;
    static_cast<QLineEdit*>(edit.widget)->setText(toQString(path));
}

void XmlForm::refreshSwatch(std::u16string_view name)
{
    FormControl* swatch = control(String(name) + u":color");
    if (!swatch)
        return;
    std::uint32_t color = 0;
    if (ColorText::read(colorValueOf(name), color))
        static_cast<XmlFormColor*>(swatch->widget)->setColor(color);
}

static constexpr std::u16string_view borderKeys[]
    = { u"border-color", u"border-width", u"border-style", u"border-join" };

void XmlForm::refreshBorderPreview(std::u16string_view name)
{
    static constexpr std::u16string_view display = u"border-display";
    std::u16string_view prefix;
    bool found = name.ends_with(display);
    if (found)
        prefix = name.substr(0, name.size() - display.size());
    for (std::u16string_view key : borderKeys) {
        if (!found && name.ends_with(key)) {
            prefix = name.substr(0, name.size() - key.size());
            found = true;
        }
    }
    if (!found)
        return;
    FormControl* preview = control(String(prefix) + u"border-display");
    if (!preview || preview->kind != ControlKind::BorderPreview)
        return;
    std::vector<std::pair<String, String>> changes;
    for (std::u16string_view key : borderKeys) {
        String controlName = String(prefix) + key;
        if (!control(controlName))
            continue;
        changes.emplace_back(String(key), key == u"border-color" ? colorValueOf(controlName) : valueOf(controlName));
    }
    static_cast<XmlFormBorder*>(preview->widget)->showChanges(changes);
}

void XmlForm::refreshThumbnail(std::u16string_view name, const String& path)
{
    FormControl* thumbnail = control(String(name) + u":image");
    if (!thumbnail)
        return;
    static_cast<XmlFormImage*>(thumbnail->widget)->load(path, thumbnail->element->getAttribute(u"imageroot"));
}

int XmlForm::defaultHeight(const FormControl& control) const
{
    int characterHeight = QFontMetrics(control.widget->font()).height();
    int rows = 0;
    if (control.element && control.element->getAttribute(u"rows").readInt(rows) && rows >= 1)
        return rows * characterHeight;
    return characterHeight + 4;
}

void XmlForm::placeEdit(FormControl& edit, const QRect& rect)
{
    edit.widget->setGeometry(rect);
}

void XmlForm::layoutControl(FormControl& control)
{
    FormStyle style = FormStyle::parse(control.element->getAttribute(u"style"));
    QRect rect(style.left, style.top, style.width, style.hasHeight ? style.height : defaultHeight(control));
    if (control.type->layout)
        control.type->layout(*this, control, rect);
    else if (control.kind == ControlKind::Edit)
        placeEdit(control, QRect(rect.x() + 2, rect.y() + 2, rect.width() - 3, rect.height() - 3));
    else
        control.widget->setGeometry(rect);
}

void XmlForm::layoutLabel(FormControl& label)
{
    FormStyle style = FormStyle::parse(label.element->getAttribute(u"style"));
    label.widget->setGeometry(
        style.left, style.top, style.width, style.hasHeight ? style.height : defaultHeight(label));
}

static void paintSunkenFrame(QPainter& painter, const QRect& outer)
{
    int l = outer.left(), t = outer.top(), r = outer.right(), b = outer.bottom();
    painter.setPen(QColor(0x70, 0x70, 0x70));
    painter.drawLine(l, t, r, t);
    painter.drawLine(l, t, l, b);
    painter.setPen(Qt::black);
    painter.drawLine(l + 1, t + 1, r - 1, t + 1);
    painter.drawLine(l + 1, t + 1, l + 1, b - 1);
    painter.setPen(Qt::white);
    painter.drawLine(l, b, r, b);
    painter.drawLine(r, t, r, b);
}

void XmlForm::paintFrames(QPainter& painter, const QWidget* window) const
{
    for (const PtrListOf<FormControl>* list : { &m_edits, &m_framed }) {
        for (FormControl* control : *list) {
            if (control->window == window && !control->widget->isHidden())
                paintSunkenFrame(painter, control->widget->geometry().adjusted(-2, -2, 1, 1));
        }
    }
}

void XmlForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintFrames(painter, this);
}

FormControl* XmlForm::controlAt(QWidget* window, const QPoint& point) const
{
    QWidget* hit = window->childAt(point);
    for (QWidget* w = hit; w && w != this; w = w->parentWidget()) {
        for (auto& control : m_controls) {
            if (control->widget == w && control->kind != ControlKind::Panel)
                return control.get();
        }
    }
    return nullptr;
}

bool XmlForm::dropFiles(FormControl* control, const StringList& files)
{
    if (!control || !control->element || !m_listener || files.isEmpty())
        return false;
    m_listener->filesDropped(this, control->name, control->element, files);
    return true;
}

static bool collectFiles(const QMimeData* data, StringList& files)
{
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files.append(fromQString(url.toLocalFile()));
    }
    return !files.isEmpty();
}

void XmlForm::dragEnterEvent(QDragEnterEvent* event)
{
    StringList files;
    if (collectFiles(event->mimeData(), files))
        event->acceptProposedAction();
}

void XmlForm::dragMoveEvent(QDragMoveEvent* event)
{
    StringList files;
    if (collectFiles(event->mimeData(), files))
        event->acceptProposedAction();
}

void XmlForm::dropEvent(QDropEvent* event)
{
    StringList files;
    if (!collectFiles(event->mimeData(), files))
        return;
    if (dropFiles(controlAt(this, event->position().toPoint()), files))
        event->acceptProposedAction();
}

bool XmlForm::eventFilter(QObject* watched, QEvent* event)
{
    QEvent::Type type = event->type();
    if (!acceptDrops() || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return QWidget::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    StringList files;
    if (!collectFiles(drop->mimeData(), files))
        return QWidget::eventFilter(watched, event);
    if (type == QEvent::Drop) {
        FormControl* target = nullptr;
        for (QObject* o = watched; o && o != this && !target; o = o->parent()) {
            for (auto& control : m_controls) {
                if (control->widget == o) {
                    target = control.get();
                    break;
                }
            }
        }
        dropFiles(target, files);
    }
    drop->acceptProposedAction();
    return true;
}

}
