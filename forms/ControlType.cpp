#include "forms/ControlType.h"

#include "forms/ColorText.h"
#include "forms/FormControl.h"
#include "forms/FormStyle.h"
#include "forms/QtText.h"
#include "forms/SpinButton.h"
#include "forms/XmlForm.h"
#include "forms/XmlFormBorder.h"
#include "forms/XmlFormColor.h"
#include "forms/XmlFormImage.h"
#include "forms/XmlPanel.h"
#include "picture/Color.h"
#include "xml/Elements.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTextDocument>
#include <algorithm>
#include <unordered_map>

namespace lumavine {

namespace {

const String& initialText(const Element* element)
{
    const String& value = element->getAttribute(u"value");
    return value.empty() ? getText(element) : value;
}

String buttonCaption(const Element* element, const String& name)
{
    if (!getText(element).empty())
        return getText(element);
    if (!element->getAttribute(u"value").empty())
        return element->getAttribute(u"value");
    return name;
}

QLineEdit* makeLineEdit(const Element* element, QWidget* window, const String& text)
{
    auto* edit = new QLineEdit(window);
    edit->setFrame(false);
    edit->setText(toQString(text));
    edit->setCursorPosition(0);
    if (element->getAttribute(u"readonly").equals(u"true"))
        edit->setReadOnly(true);
    if (element->getAttribute(u"password").equals(u"true"))
        edit->setEchoMode(QLineEdit::Password);
    const String& extension = element->getAttribute(u"extension");
    if (extension.equals(u"int") || extension.equals(u"color") || extension.equals(u"spin"))
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return edit;
}

FormControl* addEdit(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    return form.addControl(
        name, element, makeLineEdit(element, window, initialText(element)), ControlKind::Edit, window);
}

FormControl* addChooserButton(XmlForm& form, FormControl* main, std::u16string_view suffix)
{
    auto* button = new QPushButton(QStringLiteral("..."), main->window);
    return form.addControl(main->name + suffix, main->element, button, ControlKind::Button, main->window, main);
}

int readIntAttribute(const Element* element, std::u16string_view name, int fallback)
{
    int value = fallback;
    element->getAttribute(name).readInt(value);
    return value;
}

// Chooser buttons sit at the right end; the edit stops short of them.
void layoutWithChooser(XmlForm& form, FormControl& edit, const QRect& rect, std::u16string_view suffix)
{
    int right = rect.x() + rect.width();
    int editRight = right;
    if (FormControl* button = form.control(edit.name + suffix)) {
        button->widget->setGeometry(right - 36, rect.y(), 35, rect.height());
        editRight = right - 36 - 5;
    } else {
        editRight = right - 1;
    }
    form.placeEdit(edit, QRect(rect.x() + 2, rect.y() + 2, editRight - rect.x() - 2, rect.height() - 3));
}

FormControl* createText(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    return addEdit(form, element, name, window);
}

FormControl* createFileInput(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, element, name, window);
    addChooserButton(form, edit, u":file");
    return edit;
}

FormControl* createDirectoryInput(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, element, name, window);
    addChooserButton(form, edit, u":directory");
    return edit;
}

void layoutFileInput(XmlForm& form, FormControl& edit, const QRect& rect)
{
    layoutWithChooser(form, edit, rect, u":file");
}

void layoutDirectoryInput(XmlForm& form, FormControl& edit, const QRect& rect)
{
    layoutWithChooser(form, edit, rect, u":directory");
}

FormControl* createSpinInput(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, element, name, window);
    auto* spin = new SpinButton(window);
    spin->setRange(readIntAttribute(element, u"low", 0), readIntAttribute(element, u"high", 100));
    spin->setBuddy(static_cast<QLineEdit*>(edit->widget));
    form.addControl(name + u":spin", element, spin, ControlKind::Spin, window, edit);
    return edit;
}

void layoutSpinInput(XmlForm& form, FormControl& edit, const QRect& rect)
{
    int right = rect.x() + rect.width();
    int h = rect.height();
    if (FormControl* spin = form.control(edit.name + u":spin"))
        spin->widget->setGeometry(right - h, rect.y(), h, h);
    form.placeEdit(edit, QRect(rect.x() + 2, rect.y() + 2, right - h - 5 - rect.x() - 2, h - 3));
}

FormControl* createSliderInput(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, element, name, window);
    auto* slider = new QSlider(Qt::Horizontal, window);
    slider->setRange(0, 255);
    auto* line = static_cast<QLineEdit*>(edit->widget);
    int value = 0;
    if (fromQString(line->text()).readInt(value))
        slider->setValue(value);
    QObject::connect(slider, &QSlider::valueChanged, line, [line](int v) { line->setText(QString::number(v)); });
    form.addControl(name + u":slider", element, slider, ControlKind::Slider, window, edit);
    return edit;
}

// The slider takes the row and the edit showing its number sits at the
// right end, like the number of a spin, so that neither hides the other.
void layoutSliderInput(XmlForm& form, FormControl& edit, const QRect& rect)
{
    FormControl* slider = form.control(edit.name + u":slider");
    if (!slider) {
        form.placeEdit(edit, QRect(rect.x() + 2, rect.y() + 2, rect.width() - 3, rect.height() - 3));
        return;
    }
    int right = rect.x() + rect.width();
    int editWidth = std::min(QFontMetrics(edit.widget->font()).horizontalAdvance(QStringLiteral("0000")) + 8,
        rect.width() / 2);
    int editLeft = right - editWidth;
    form.placeEdit(edit, QRect(editLeft + 2, rect.y() + 2, editWidth - 3, rect.height() - 3));
    slider->widget->setGeometry(rect.x(), rect.y(), std::max(editLeft - 5 - rect.x(), 0), rect.height());
}

FormControl* createColorInput(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    const String& value = initialText(element);
    std::uint32_t color = 0xFF000000;
    bool isColor = ColorText::read(String(value).trim(), color);
    FormControl* edit = form.addControl(name, element,
        makeLineEdit(element, window, isColor ? Color(color).toCss() : value), ControlKind::Edit, window);
    form.addControl(name + u":color", element, new XmlFormColor(window), ControlKind::ColorSwatch, window, edit);
    if (element->getAttribute(u"alpha").equals(u"true")) {
        int alpha = int(color >> 24);
        auto* alphaEdit = new QLineEdit(window);
        alphaEdit->setFrame(false);
        alphaEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (isColor && alpha < 255)
            alphaEdit->setText(QString::number(alpha));
        form.addControl(name + u":alpha", element, alphaEdit, ControlKind::Edit, window, edit);
        auto* spin = new SpinButton(window);
        spin->setRange(0, 255);
        spin->setBuddy(alphaEdit);
        form.addControl(name + u":alphaspin", element, spin, ControlKind::Spin, window, edit);
    }
    return edit;
}

void layoutColorInput(XmlForm& form, FormControl& edit, const QRect& rect)
{
    int right = rect.x() + rect.width();
    int h = rect.height();
    if (FormControl* swatch = form.control(edit.name + u":color"))
        swatch->widget->setGeometry(right - 25, rect.y(), 25, h);
    int editRight = right - 30;
    FormControl* alphaSpin = form.control(edit.name + u":alphaspin");
    FormControl* alphaEdit = form.control(edit.name + u":alpha");
    if (alphaSpin && alphaEdit) {
        int spinLeft = right - h - 30;
        alphaSpin->widget->setGeometry(spinLeft, rect.y(), h, h);
        form.placeEdit(*alphaEdit, QRect(spinLeft - 35, rect.y() + 2, 30, h - 3));
        editRight = spinLeft - 45;
    }
    form.placeEdit(edit, QRect(rect.x() + 2, rect.y() + 2, editRight - rect.x() - 2, h - 3));
    form.refreshSwatch(edit.name);
}

FormControl* createImageInput(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, element, name, window);
    auto* thumbnail = new XmlFormImage(window);
    if (element->getAttribute(u"browse").equals(u"false"))
        thumbnail->setBrowse(false);
    form.addControl(name + u":image", element, thumbnail, ControlKind::Thumbnail, window, edit);
    return edit;
}

void layoutImageInput(XmlForm& form, FormControl& edit, const QRect& rect)
{
    const Element* element = edit.element;
    int right = rect.x() + rect.width();
    int h = rect.height();
    int editTop = rect.y() + 2;
    int editRight = right - 1;
    int nextRight = right;
    FormControl* button = form.control(edit.name + u":file");
    if (button) {
        button->widget->setGeometry(right - 36, rect.y(), 35, h);
        nextRight = right - 36;
        editRight = nextRight - 20;
    }
    if (FormControl* thumbnail = form.control(edit.name + u":image")) {
        int thumbWidth = readIntAttribute(element, u"thumbwidth", 60);
        int thumbHeight = readIntAttribute(element, u"thumbheight", 60);
        thumbnail->widget->setGeometry(nextRight - thumbWidth, rect.y(), thumbWidth, thumbHeight);
        editRight = nextRight - thumbWidth - 20;
        editTop = rect.y() + 2 + thumbHeight / 2 - (h - 3) / 2;
    }
    form.placeEdit(edit, QRect(rect.x() + 2, editTop, editRight - rect.x() - 2, h - 3));
    if (form.control(edit.name + u":image")) {
        // The label follows the edit down to the middle of the thumbnail.
        if (FormControl* label = form.control(edit.name + u":label")) {
            Element* labelElement = label->element;
            labelElement->setAttribute(u"style", FormStyle::withTop(labelElement->getAttribute(u"style"), editTop));
        }
    }
    if (!initialText(element).empty())
        form.refreshThumbnail(edit.name, initialText(element));
}

FormControl* createHidden(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, element, name, window);
    edit->widget->hide();
    return edit;
}

FormControl* createCheckBox(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    // The text is what the user reads; the "value" only captions a box that has no text.
    const String& text = getText(element);
    auto* box = new QCheckBox(toQString(text.empty() ? element->getAttribute(u"value") : text), window);
    box->setChecked(element->getAttribute(u"selected").equals(u"true"));
    return form.addControl(name, element, box, ControlKind::Button, window);
}

FormControl* createPushButton(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    auto* button = new QPushButton(toQString(buttonCaption(element, name)), window);
    int id = -1;
    if (name.equals(u"ok"))
        id = 1;
    else if (name.equals(u"cancel"))
        id = 2;
    button->setAutoDefault(false);
    button->setDefault(id == 1);
    return form.addControl(name, element, button, ControlKind::Button, window, nullptr, id);
}

FormControl* createGroupBox(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    const String& value = element->getAttribute(u"value");
    auto* panel = new XmlPanel(&form, value.empty() ? name : value, window);
    FormControl* control = form.addControl(name, element, panel, ControlKind::Panel, window);
    if (element->getAttribute(u"visibility").equals(u"hidden"))
        panel->hide();
    return control;
}

FormControl* createColorButton(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    auto* swatch = new XmlFormColor(window);
    std::uint32_t color = swatch->color();
    if (ColorText::read(initialText(element), color))
        swatch->setColor(color);
    return form.addControl(name, element, swatch, ControlKind::ColorSwatch, window);
}

FormControl* createImageButton(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    auto* thumbnail = new XmlFormImage(window);
    if (element->getAttribute(u"browse").equals(u"false"))
        thumbnail->setBrowse(false);
    const String& value = element->getAttribute(u"value");
    if (!value.empty())
        thumbnail->load(value, element->getAttribute(u"imageroot"));
    return form.addControl(name, element, thumbnail, ControlKind::Thumbnail, window);
}

FormControl* createBorderPreview(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    auto* preview = new XmlFormBorder(window);
    preview->setDescription(element->getAttribute(u"value"));
    return form.addControl(name, element, preview, ControlKind::BorderPreview, window);
}

FormControl* createTextArea(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    auto* edit = new QPlainTextEdit(window);
    edit->setFrameShape(QFrame::NoFrame);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Scroll bars only when the text needs them, and a margin as narrow as a
    // line edit's, so that a short area shows every row it has room for.
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit->document()->setDocumentMargin(1);
    edit->setTabChangesFocus(true);
    String text = getText(element);
    text.replaceAll(u"\r\n", u"\n");
    edit->setPlainText(toQString(text));
    return form.addControl(name, element, edit, ControlKind::Edit, window);
}

template<typename Visit>
void forEachOption(Element* select, Visit visit)
{
    for (Node* child : select->childNodes()) {
        if (child->isElement() && child->nodeName().equals(u"option"))
            visit(child->asElement());
    }
}

QVariant optionData(Element* option)
{
    return QVariant::fromValue(reinterpret_cast<quintptr>(option));
}

FormControl* createDropDown(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    auto* combo = new QComboBox(window);
    int selected = -1;
    forEachOption(element, [&](Element* option) {
        if (!option->getAttribute(u"selected").empty())
            selected = combo->count();
        combo->addItem(toQString(getText(option)), optionData(option));
    });
    combo->setCurrentIndex(selected);
    if (element->getAttribute(u"enabled").equals(u"false"))
        combo->setEnabled(false);
    return form.addControl(name, element, combo, ControlKind::DropDown, window);
}

void layoutDropDown(XmlForm&, FormControl& control, const QRect& rect)
{
    // The style's height is that of the open list; the closed box keeps the height of one line.
    control.widget->setGeometry(rect.x(), rect.y(), rect.width(), control.widget->sizeHint().height());
}

QListWidget* makeListBox(Element* element, QWidget* window, bool multiple)
{
    auto* list = new QListWidget(window);
    list->setFrameShape(QFrame::NoFrame);
    list->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    forEachOption(element, [&](Element* option) {
        auto* item = new QListWidgetItem(toQString(getText(option)), list);
        item->setData(Qt::UserRole, optionData(option));
        if (multiple && !option->getAttribute(u"selected").empty())
            item->setSelected(true);
    });
    return list;
}

FormControl* createMultipleSelect(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    return form.addControl(name, element, makeListBox(element, window, true), ControlKind::ListBox, window);
}

FormControl* createList(XmlForm& form, Element* element, const String& name, QWidget* window)
{
    return form.addControl(name, element, makeListBox(element, window, false), ControlKind::ListBox, window);
}

std::unordered_map<String, ControlType, StringHash>& types()
{
    static std::unordered_map<String, ControlType, StringHash> table {
        { u"input:text", { createText } },
        { u"input:text:file", { createFileInput, layoutFileInput } },
        { u"input:text:directory", { createDirectoryInput, layoutDirectoryInput } },
        { u"input:text:spin", { createSpinInput, layoutSpinInput } },
        { u"input:text:slider", { createSliderInput, layoutSliderInput } },
        { u"input:text:color", { createColorInput, layoutColorInput } },
        { u"input:text:image", { createImageInput, layoutImageInput } },
        { u"input:hidden", { createHidden } },
        { u"input:checkbox", { createCheckBox } },
        { u"input:submit", { createPushButton, nullptr, false, u"ok" } },
        { u"input:reset", { createPushButton, nullptr, false, u"reset" } },
        { u"button", { createPushButton } },
        { u"button:groupbox", { createGroupBox, nullptr, true } },
        { u"button:color", { createColorButton } },
        { u"button:image", { createImageButton } },
        { u"button:border", { createBorderPreview } },
        { u"textarea", { createTextArea } },
        { u"select", { createDropDown, layoutDropDown } },
        { u"select:multiple", { createMultipleSelect } },
        { u"list", { createList } },
    };
    return table;
}

const ControlType* lookup(const String& key)
{
    auto found = types().find(key);
    return found == types().end() ? nullptr : &found->second;
}

}

const ControlType* ControlType::find(const Element& element)
{
    const String& tag = element.tagName();
    if (tag.equals(u"input")) {
        String type = element.getAttribute(u"type");
        if (type.empty())
            type = u"text";
        if (type.equals(u"text")) {
            const String& extension = element.getAttribute(u"extension");
            if (!extension.empty()) {
                if (const ControlType* withExtension = lookup(u"input:text:" + extension))
                    return withExtension;
            }
        }
        return lookup(u"input:" + type);
    }
    if (tag.equals(u"button")) {
        if (const ControlType* typed = lookup(u"button:" + element.getAttribute(u"type")))
            return typed;
        return lookup(u"button");
    }
    if (tag.equals(u"select") && !element.getAttribute(u"multiple").empty())
        return lookup(u"select:multiple");
    if (tag.equals(u"label"))
        return nullptr;
    return lookup(tag);
}

void ControlType::add(const String& key, const ControlType& type)
{
    types()[key] = type;
}

}
