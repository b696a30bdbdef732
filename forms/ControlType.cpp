#include "forms/ControlType.h"

#include "forms/ColorText.h"
#include "forms/FormChooser.h"
#include "forms/FormControl.h"
#include "forms/FormStyle.h"
#include "forms/QtText.h"
#include "forms/SpinButton.h"
#include "forms/XmlDialogListener.h"
#include "forms/XmlForm.h"
#include "forms/XmlFormBorder.h"
#include "forms/XmlFormColor.h"
#include "forms/XmlFormImage.h"
#include "forms/XmlPanel.h"
#include "picture/Color.h"
#include "xml/Elements.h"

#include <QAbstractButton>
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

const char16_t pictureFilter[] = u"All Picture Files|*.jpg;*.jpeg;*.png;*.gif;*.bmp|"
                                 u"JPEG Files (*.jpg)|*.jpg|"
                                 u"PNG Files (*.png)|*.png|"
                                 u"GIF Files (*.gif)|*.gif|"
                                 u"Bitmap Files (*.bmp)|*.bmp|"
                                 u"All Files|*.*|"
                                 u"|";

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

int readIntAttribute(const Element* element, std::u16string_view name, int fallback)
{
    int value = fallback;
    element->getAttribute(name).readInt(value);
    return value;
}

template<typename Visit>
void forEachOption(Element* select, Visit visit)
{
    for (Node* child : select->childNodes()) {
        if (child->isElement() && child->nodeName().equals(u"option"))
            visit(child->asElement());
    }
}

// List entries carry the option element they show.
QVariant optionData(Element* option)
{
    return QVariant::fromValue(reinterpret_cast<quintptr>(option));
}

// Only data optionData made is an option: an entry added by other means
// carries something else (a name that happens to read as a number, say).
Element* optionOf(const QVariant& data)
{
    if (data.metaType() != QMetaType::fromType<quintptr>())
        return nullptr;
    return reinterpret_cast<Element*>(data.value<quintptr>());
}

// Reading, writing and hearing each platform control.

String readLine(const FormControl& control)
{
    return fromQString(static_cast<const QLineEdit*>(control.widget)->text());
}

bool writeLine(FormControl& control, const String& value)
{
    static_cast<QLineEdit*>(control.widget)->setText(toQString(value));
    return true;
}

void connectLine(XmlForm& form, FormControl& control)
{
    FormControl* c = &control;
    XmlForm* f = &form;
    QObject::connect(static_cast<QLineEdit*>(control.widget), &QLineEdit::textChanged, f,
        [f, c](const QString& text) { f->notifyTextChanged(*c, fromQString(text)); });
}

// The alpha of a colour input repaints what shows the colour; the listener
// hears only of the colour's own edit.
void connectAlpha(XmlForm& form, FormControl& alpha)
{
    XmlForm* f = &form;
    FormControl* color = alpha.main;
    QObject::connect(static_cast<QLineEdit*>(alpha.widget), &QLineEdit::textChanged, f, [f, color] {
        f->refreshSwatch(color->name);
        f->refreshBorderPreview(color->name);
    });
}

String readArea(const FormControl& control)
{
    return fromQString(static_cast<const QPlainTextEdit*>(control.widget)->toPlainText());
}

bool writeArea(FormControl& control, const String& value)
{
    static_cast<QPlainTextEdit*>(control.widget)->setPlainText(toQString(value));
    return true;
}

void connectArea(XmlForm& form, FormControl& control)
{
    FormControl* c = &control;
    XmlForm* f = &form;
    auto* area = static_cast<QPlainTextEdit*>(control.widget);
    QObject::connect(area, &QPlainTextEdit::textChanged, f,
        [f, c, area] { f->notifyTextChanged(*c, fromQString(area->toPlainText())); });
}

// A box in the third state has no answer.
String readCheckBox(const FormControl& control)
{
    auto* box = static_cast<const QCheckBox*>(control.widget);
    if (box->checkState() == Qt::PartiallyChecked)
        return String();
    return String(box->isChecked() ? u"true" : u"false");
}

bool writeCheckBox(FormControl& control, const String& value)
{
    static_cast<QCheckBox*>(control.widget)->setChecked(value.equals(u"true"));
    return true;
}

void connectButton(XmlForm& form, FormControl& control)
{
    XmlForm* f = &form;
    int id = control.id;
    QObject::connect(
        static_cast<QAbstractButton*>(control.widget), &QAbstractButton::clicked, f, [f, id] { f->command(id); });
}

void connectSwatch(XmlForm& form, FormControl& control)
{
    XmlForm* f = &form;
    int id = control.id;
    QObject::connect(
        static_cast<XmlFormColor*>(control.widget), &XmlFormColor::clicked, f, [f, id] { f->command(id); });
}

void connectThumbnail(XmlForm& form, FormControl& control)
{
    XmlForm* f = &form;
    int id = control.id;
    QObject::connect(
        static_cast<XmlFormImage*>(control.widget), &XmlFormImage::clicked, f, [f, id] { f->command(id); });
}

// A drop-down list answers the "value" of the option it shows.
String readDropDown(const FormControl& control)
{
    auto* combo = static_cast<const QComboBox*>(control.widget);
    if (combo->currentIndex() < 0)
        return String();
    Element* option = optionOf(combo->currentData());
    return option ? option->getAttribute(u"value") : String();
}

bool writeDropDown(FormControl& control, const String& value)
{
    auto* combo = static_cast<QComboBox*>(control.widget);
    for (int i = 0; i < combo->count(); ++i) {
        Element* option = optionOf(combo->itemData(i));
        if (option && option->getAttribute(u"value").equals(value)) {
            combo->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void connectDropDown(XmlForm& form, FormControl& control)
{
    FormControl* c = &control;
    XmlForm* f = &form;
    auto* combo = static_cast<QComboBox*>(control.widget);
    QObject::connect(combo, &QComboBox::currentIndexChanged, f, [f, c] { f->refreshBorderPreview(c->name); });
    QObject::connect(combo, &QComboBox::activated, f, [f, c, combo](int index) {
        if (f->listener() && c->element)
            f->listener()->comboSelected(f, combo, index, c->name, c->element);
    });
}

void connectListBox(XmlForm& form, FormControl& control)
{
    FormControl* c = &control;
    XmlForm* f = &form;
    auto* list = static_cast<QListWidget*>(control.widget);
    QObject::connect(list, &QListWidget::itemSelectionChanged, f, [f, c, list] {
        if (f->listener() && c->element)
            f->listener()->listSelectionChanged(f, list, list->currentRow(), c->name, c->element);
    });
    QObject::connect(list, &QListWidget::itemDoubleClicked, f, [f, c, list] {
        if (f->listener() && c->element)
            f->listener()->listDoubleClicked(f, list, list->currentRow(), c->name, c->element);
    });
}

// The choosers that the companions of an edit open; each fills the edit.

void chooseColor(XmlForm& form, FormControl& edit)
{
    std::uint32_t color = 0xFF000000;
    ColorText::read(readLine(edit).trim(), color);
    if (!FormChooser::current().chooseColor(&form, color))
        return;
    writeLine(edit, Color(color).toCss());
    form.refreshSwatch(edit.name);
}

void chooseFile(XmlForm& form, FormControl& edit, bool picture)
{
    const Element* element = edit.element;
    String path = readLine(edit);
    String filters = picture ? String(pictureFilter) : element->getAttribute(u"files");
    // Pictures are chosen from the project's content folder, and one chosen
    // there is kept relative to it, so that the project can move.
    String root = picture ? element->getAttribute(u"imageroot") : String();
    root.replaceChar(u'\\', u'/');
    while (root.length() > 1 && root.endsWith(u"/"))
        root = root.substring(0, root.length() - 1);
    if (!root.empty())
        path = path.trim().empty() ? root + u"/" : XmlFormImage::resolve(path, root);
    else if (path.trim().empty())
        path = element->getAttribute(u"startdirectory");
    if (!FormChooser::current().chooseFile(&form, element->getAttribute(u"default"), filters, path))
        return;
    if (!root.empty() && path.startsWith(root + u"/") && path.length() > root.length() + 1)
        path = path.substring(root.length() + 1);
    writeLine(edit, path);
    if (picture)
        form.refreshThumbnail(edit.name, path);
}

void pressSwatch(XmlForm& form, FormControl& swatch)
{
    chooseColor(form, *swatch.main);
}

void pressFileButton(XmlForm& form, FormControl& button)
{
    chooseFile(form, *button.main, false);
}

void pressThumbnail(XmlForm& form, FormControl& thumbnail)
{
    chooseFile(form, *thumbnail.main, true);
}

void pressDirectoryButton(XmlForm& form, FormControl& button)
{
    FormControl& edit = *button.main;
    String path = readLine(edit);
    if (FormChooser::current().chooseDirectory(&form, u"Enter Directory", path))
        writeLine(edit, path);
}

// What elements give the result document.

void resultValue(const XmlForm& form, const String& name, const FormControl*, Element* root)
{
    addElement(root, name, form.valueOf(name));
}

void resultColor(const XmlForm& form, const String& name, const FormControl*, Element* root)
{
    addElement(root, name, form.colorValueOf(name));
}

// Inputs that hold nothing to write still give their name.
void resultEmpty(const XmlForm&, const String& name, const FormControl*, Element* root)
{
    addElement(root, name, emptyString);
}

void resultCheckBox(const XmlForm& form, const String& name, const FormControl*, Element* root)
{
    addElement(root, name, String(form.valueOf(name).equals(u"true") ? u"true" : u"false"));
}

void resultTextArea(const XmlForm& form, const String& name, const FormControl*, Element* root)
{
    String value = form.valueOf(name);
    value.replaceAll(u"\r\n", u"\n");
    addElement(root, name, value);
}

// One element per selected entry, or one empty element when none is.
void resultMultipleSelect(const XmlForm&, const String& name, const FormControl* control, Element* root)
{
    size_t written = 0;
    if (control) {
        auto* list = static_cast<const QListWidget*>(control->widget);
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
}

// An edit is inset by its frame.
void layoutEdit(XmlForm& form, FormControl& edit, const QRect& rect)
{
    form.placeEdit(edit, QRect(rect.x() + 2, rect.y() + 2, rect.width() - 3, rect.height() - 3));
}

// The single-line edits of every "input" "text", each with its own way of
// being made and laid out.
constexpr ControlType lineEdit(
    ControlType::Create create, ControlType::Layout layout = layoutEdit, ControlType::Result result = resultValue)
{
    return { .create = create,
        .layout = layout,
        .read = readLine,
        .write = writeLine,
        .connect = connectLine,
        .result = result,
        .framed = true };
}

// The companions, made and placed by their main control.
constexpr ControlType fileButton { .connect = connectButton, .press = pressFileButton };
constexpr ControlType directoryButton { .connect = connectButton, .press = pressDirectoryButton };
constexpr ControlType spinButton {};
constexpr ControlType sliderBar {};
constexpr ControlType colorSwatch { .connect = connectSwatch, .press = pressSwatch, .framed = true };
constexpr ControlType alphaText { .read = readLine, .write = writeLine, .connect = connectAlpha, .framed = true };
constexpr ControlType thumbnailImage { .connect = connectThumbnail, .press = pressThumbnail, .framed = true };
constexpr ControlType staticText {};

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

FormControl* addEdit(XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    return form.addControl(name, element, makeLineEdit(element, window, initialText(element)), type, window);
}

FormControl* addChooserButton(XmlForm& form, FormControl* main, std::u16string_view suffix, const ControlType& type)
{
    auto* button = new QPushButton(QStringLiteral("..."), main->window);
    return form.addControl(main->name + suffix, main->element, button, type, main->window, main);
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

FormControl* createText(XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    return addEdit(form, type, element, name, window);
}

FormControl* createFileInput(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, type, element, name, window);
    addChooserButton(form, edit, u":file", fileButton);
    return edit;
}

FormControl* createDirectoryInput(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, type, element, name, window);
    addChooserButton(form, edit, u":directory", directoryButton);
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

FormControl* createSpinInput(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, type, element, name, window);
    auto* spin = new SpinButton(window);
    spin->setRange(readIntAttribute(element, u"low", 0), readIntAttribute(element, u"high", 100));
    spin->setBuddy(static_cast<QLineEdit*>(edit->widget));
    form.addControl(name + u":spin", element, spin, spinButton, window, edit);
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

FormControl* createSliderInput(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, type, element, name, window);
    auto* slider = new QSlider(Qt::Horizontal, window);
    slider->setRange(0, 255);
    auto* line = static_cast<QLineEdit*>(edit->widget);
    int value = 0;
    if (fromQString(line->text()).readInt(value))
        slider->setValue(value);
    QObject::connect(slider, &QSlider::valueChanged, line, [line](int v) { line->setText(QString::number(v)); });
    form.addControl(name + u":slider", element, slider, sliderBar, window, edit);
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
    int editWidth
        = std::min(QFontMetrics(edit.widget->font()).horizontalAdvance(QStringLiteral("0000")) + 8, rect.width() / 2);
    int editLeft = right - editWidth;
    form.placeEdit(edit, QRect(editLeft + 2, rect.y() + 2, editWidth - 3, rect.height() - 3));
    slider->widget->setGeometry(rect.x(), rect.y(), std::max(editLeft - 5 - rect.x(), 0), rect.height());
}

FormControl* createColorInput(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    const String& value = initialText(element);
    std::uint32_t color = 0xFF000000;
    bool isColor = ColorText::read(String(value).trim(), color);
    FormControl* edit = form.addControl(
        name, element, makeLineEdit(element, window, isColor ? Color(color).toCss() : value), type, window);
    form.addControl(name + u":color", element, new XmlFormColor(window), colorSwatch, window, edit);
    if (element->getAttribute(u"alpha").equals(u"true")) {
        int alpha = int(color >> 24);
        auto* alphaEdit = new QLineEdit(window);
        alphaEdit->setFrame(false);
        alphaEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (isColor && alpha < 255)
            alphaEdit->setText(QString::number(alpha));
        form.addControl(name + u":alpha", element, alphaEdit, alphaText, window, edit);
        auto* spin = new SpinButton(window);
        spin->setRange(0, 255);
        spin->setBuddy(alphaEdit);
        form.addControl(name + u":alphaspin", element, spin, spinButton, window, edit);
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

FormControl* createImageInput(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, type, element, name, window);
    auto* thumbnail = new XmlFormImage(window);
    if (element->getAttribute(u"browse").equals(u"false"))
        thumbnail->setBrowse(false);
    form.addControl(name + u":image", element, thumbnail, thumbnailImage, window, edit);
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

FormControl* createHidden(XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    FormControl* edit = addEdit(form, type, element, name, window);
    edit->widget->hide();
    return edit;
}

FormControl* createCheckBox(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    // The text is what the user reads; the "value" only captions a box that has no text.
    const String& text = getText(element);
    auto* box = new QCheckBox(toQString(text.empty() ? element->getAttribute(u"value") : text), window);
    box->setChecked(element->getAttribute(u"selected").equals(u"true"));
    return form.addControl(name, element, box, type, window);
}

FormControl* createPushButton(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    auto* button = new QPushButton(toQString(buttonCaption(element, name)), window);
    int id = -1;
    if (name.equals(u"ok"))
        id = 1;
    else if (name.equals(u"cancel"))
        id = 2;
    button->setAutoDefault(false);
    button->setDefault(id == 1);
    return form.addControl(name, element, button, type, window, nullptr, id);
}

FormControl* createGroupBox(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    const String& value = element->getAttribute(u"value");
    auto* panel = new XmlPanel(&form, value.empty() ? name : value, window);
    FormControl* control = form.addControl(name, element, panel, type, window);
    if (element->getAttribute(u"visibility").equals(u"hidden"))
        panel->hide();
    return control;
}

FormControl* createColorButton(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    auto* swatch = new XmlFormColor(window);
    std::uint32_t color = swatch->color();
    if (ColorText::read(initialText(element), color))
        swatch->setColor(color);
    return form.addControl(name, element, swatch, type, window);
}

FormControl* createImageButton(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    auto* thumbnail = new XmlFormImage(window);
    if (element->getAttribute(u"browse").equals(u"false"))
        thumbnail->setBrowse(false);
    const String& value = element->getAttribute(u"value");
    if (!value.empty())
        thumbnail->load(value, element->getAttribute(u"imageroot"));
    return form.addControl(name, element, thumbnail, type, window);
}

FormControl* createBorderPreview(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    auto* preview = new XmlFormBorder(window);
    preview->setDescription(element->getAttribute(u"value"));
    return form.addControl(name, element, preview, type, window);
}

// The preview shows the border that the group's controls hold once they are all made.
void layoutBorderPreview(XmlForm& form, FormControl& preview, const QRect& rect)
{
    preview.widget->setGeometry(rect);
    form.refreshBorderPreview(preview.name);
}

FormControl* createTextArea(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
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
    return form.addControl(name, element, edit, type, window);
}

FormControl* createDropDown(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    auto* combo = new QComboBox(window);
    lumavine::fillDropDown(*combo, element);
    if (element->getAttribute(u"enabled").equals(u"false"))
        combo->setEnabled(false);
    return form.addControl(name, element, combo, type, window);
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

FormControl* createMultipleSelect(
    XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    return form.addControl(name, element, makeListBox(element, window, true), type, window);
}

FormControl* createList(XmlForm& form, const ControlType& type, Element* element, const String& name, QWidget* window)
{
    return form.addControl(name, element, makeListBox(element, window, false), type, window);
}

std::unordered_map<String, ControlType, StringHash>& types()
{
    static std::unordered_map<String, ControlType, StringHash> table {
        { u"input:text", lineEdit(createText) },
        { u"input:text:file", lineEdit(createFileInput, layoutFileInput) },
        { u"input:text:directory", lineEdit(createDirectoryInput, layoutDirectoryInput) },
        { u"input:text:spin", lineEdit(createSpinInput, layoutSpinInput) },
        { u"input:text:slider", lineEdit(createSliderInput, layoutSliderInput) },
        { u"input:text:color", lineEdit(createColorInput, layoutColorInput, resultColor) },
        { u"input:text:image", lineEdit(createImageInput, layoutImageInput) },
        { u"input:hidden", lineEdit(createHidden) },
        { u"input:checkbox",
            { .create = createCheckBox,
                .read = readCheckBox,
                .write = writeCheckBox,
                .connect = connectButton,
                .result = resultCheckBox } },
        { u"input:submit",
            { .create = createPushButton, .connect = connectButton, .result = resultEmpty, .fixedName = u"ok" } },
        { u"input:reset",
            { .create = createPushButton, .connect = connectButton, .result = resultEmpty, .fixedName = u"reset" } },
        // Password, radio and button inputs, and any other type, make nothing
        // but still give their name to the result.
        { u"input", { .result = resultEmpty } },
        { u"button", { .create = createPushButton, .connect = connectButton } },
        { u"button:groupbox", { .create = createGroupBox, .container = true } },
        { u"button:color", { .create = createColorButton, .connect = connectSwatch, .framed = true } },
        { u"button:image", { .create = createImageButton, .connect = connectThumbnail, .framed = true } },
        { u"button:border", { .create = createBorderPreview, .layout = layoutBorderPreview, .framed = true } },
        { u"textarea",
            { .create = createTextArea,
                .layout = layoutEdit,
                .read = readArea,
                .write = writeArea,
                .connect = connectArea,
                .result = resultTextArea,
                .framed = true } },
        { u"select",
            { .create = createDropDown,
                .layout = layoutDropDown,
                .read = readDropDown,
                .write = writeDropDown,
                .connect = connectDropDown,
                .result = resultValue } },
        { u"select:multiple",
            { .create = createMultipleSelect,
                .connect = connectListBox,
                .result = resultMultipleSelect,
                .framed = true } },
        { u"list", { .create = createList, .connect = connectListBox, .framed = true } },
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
        if (const ControlType* typed = lookup(u"input:" + type))
            return typed;
        return lookup(u"input");
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

const ControlType& ControlType::label()
{
    return staticText;
}

void fillDropDown(QComboBox& combo, Element* element)
{
    combo.clear();
    int selected = -1;
    forEachOption(element, [&](Element* option) {
        if (!option->getAttribute(u"selected").empty())
            selected = combo.count();
        combo.addItem(toQString(getText(option)), optionData(option));
    });
    combo.setCurrentIndex(selected);
}

}
