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

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace lumavine {

// Identifier of static texts, which never notify.
static constexpr int staticId = 0xFFFF;

static String read(const FormControl& control)
{
    return control.type->read ? control.type->read(control) : String();
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
    m_labels.clear();
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

    // Companions are placed by their main control.
    for (auto& control : m_controls) {
        if (!control->main)
            layoutControl(*control);
    }
    for (FormControl* label : m_labels)
        layoutLabel(*label);
}

void XmlForm::createControls(Element* parent, QWidget* window)
{
    for (Node* node : parent->childNodes()) {
        Element* element = node->asElement();
        if (!element)
            continue;
        const ControlType* type = ControlType::find(*element);
        if (!type || !type->create)
            continue;
        String name = type->fixedName ? String(type->fixedName) : element->getAttribute(u"name");
        if (name.empty() || m_controlsByName.contains(name))
            continue;
        FormControl* control = type->create(*this, *type, element, name, window);
        if (!control)
            continue;
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
    m_labels.append(addControl(name, element, label, ControlType::label(), target->window, target, staticId));
}

FormControl* XmlForm::addControl(const String& name, Element* element, QWidget* widget, const ControlType& type,
    QWidget* window, FormControl* main, int id)
{
    auto control = std::make_unique<FormControl>();
    control->name = name;
    control->element = element;
    control->widget = widget;
    control->type = &type;
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
    if (type.framed)
        m_framed.append(added);
    if (type.connect)
        type.connect(*this, *added);
    if (acceptDrops()) {
        widget->installEventFilter(this);
        if (auto* scrolled = qobject_cast<QAbstractScrollArea*>(widget))
            scrolled->viewport()->installEventFilter(this);
    }
    return added;
}

void XmlForm::notifyTextChanged(FormControl& control, const String& text)
{
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

bool XmlForm::reloadOptions(std::u16string_view name)
{
    FormControl* found = control(name);
    auto* combo = found ? qobject_cast<QComboBox*>(found->widget) : nullptr;
    if (!combo || !found->element)
        return false;
    fillDropDown(*combo, found->element);
    return true;
}

String XmlForm::valueOf(std::u16string_view name) const
{
    FormControl* found = control(name);
    return found ? read(*found) : String();
}

bool XmlForm::setValue(std::u16string_view name, const String& value)
{
    FormControl* found = control(name);
    return found && found->type->write && found->type->write(*found, value);
}

String XmlForm::colorValueOf(std::u16string_view name) const
{
    FormControl* edit = control(name);
    if (!edit)
        return String();
    String text = read(*edit);
    text.trim();
    if (text.empty())
        return text;
    std::uint32_t color = 0xFF000000;
    // What does not read as a colour is handed on as typed, for the owner to refuse.
    if (!ColorText::read(text, color))
        return text;
    if (FormControl* alphaEdit = control(String(name) + u":alpha")) {
        int alpha = 0;
        String alphaText = read(*alphaEdit);
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
        const ControlType* type = ControlType::find(*element);
        if (!type || !type->result)
            continue;
        const String& name = element->getAttribute(u"name");
        if (name.empty())
            continue;
        FormControl* found = control(name);
        // A second element of a name already taken made no control and gives no value.
        if (found && found->element != element)
            continue;
        type->result(*this, name, found, root);
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
    FormControl* pressed = control(name);
    Element* element = pressed ? pressed->element : nullptr;
    if (name.equals(u"help") && element)
        FormChooser::current().open(m_dialog, getChildText(element, u"helpfile"));
    // The companions of an edit fill it through a chooser and tell nobody.
    if (pressed && pressed->type->press) {
        pressed->type->press(*this, *pressed);
        return;
    }
    if (m_listener && element)
        m_listener->buttonClicked(this, name, element);
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
    auto* border = preview ? qobject_cast<XmlFormBorder*>(preview->widget) : nullptr;
    if (!border)
        return;
    std::vector<std::pair<String, String>> changes;
    for (std::u16string_view key : borderKeys) {
        String controlName = String(prefix) + key;
        if (!control(controlName))
            continue;
        changes.emplace_back(String(key), key == u"border-color" ? colorValueOf(controlName) : valueOf(controlName));
    }
    border->showChanges(changes);
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
    for (FormControl* control : m_framed) {
        if (control->window == window && !control->widget->isHidden())
            paintSunkenFrame(painter, control->widget->geometry().adjusted(-2, -2, 1, 1));
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
            // A drop on a group's free space names no control.
            if (control->widget == w && !control->type->container)
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
