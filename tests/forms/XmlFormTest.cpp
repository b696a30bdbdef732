#include "FormTestSupport.h"

#include "forms/ColorText.h"
#include "forms/ControlType.h"
#include "forms/Dialog.h"
#include "forms/FormDocument.h"
#include "forms/FormStyle.h"
#include "forms/QtText.h"
#include "forms/SpinButton.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "forms/XmlFormBorder.h"
#include "forms/XmlFormColor.h"
#include "forms/XmlFormImage.h"
#include "forms/XmlPanel.h"
#include "xml/Elements.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>

using namespace lumavine;

TEST(FormStyle, ParsesRectanglesWithDefaultsAndRewritesTheTop)
{
    FormStyle style = FormStyle::parse(u"LEFT:10;Top:25;width:380");
    EXPECT_EQ(style.left, 10);
    EXPECT_EQ(style.top, 25);
    EXPECT_EQ(style.width, 380);
    EXPECT_FALSE(style.hasHeight);
    FormStyle bad = FormStyle::parse(u"left:ten;top:;height:x");
    EXPECT_EQ(bad.left, 0);
    EXPECT_EQ(bad.top, 0);
    EXPECT_EQ(bad.width, 100);
    EXPECT_FALSE(bad.hasHeight);
    EXPECT_EQ(FormStyle::withTop(u"left:5;top:7;width:80", 33), u"left:5;top:33;width:80");
    EXPECT_EQ(FormStyle::format(1, 2, 3), u"left:1;top:2;width:3");
}

TEST(ColorText, ReadsOnlyWholeColourTextsWithOptionalAlpha)
{
    std::uint32_t color = 1;
    EXPECT_TRUE(ColorText::read(u"#FF0000", color));
    EXPECT_EQ(color, 0xFFFF0000u);
    EXPECT_TRUE(ColorText::read(u"#11223380", color));
    EXPECT_EQ(color, 0x80112233u);
    EXPECT_FALSE(ColorText::read(u"ff0000", color));
    EXPECT_FALSE(ColorText::read(u"#ff00", color));
    EXPECT_FALSE(ColorText::read(u"#gg0000", color));
    EXPECT_EQ(color, 0x80112233u);
    // Half-typed colours, which the picture's reader would take, are refused here.
    EXPECT_FALSE(ColorText::read(u"#", color));
    EXPECT_FALSE(ColorText::read(u"#1122334", color));
    EXPECT_EQ(color, 0x80112233u);
}

namespace {

struct ShownForm {
    explicit ShownForm(FormBuilder& builder, XmlDialogListener* listener = nullptr)
        : dialog(nullptr, u"test", &builder.document, listener)
    {
        dialog.showModeless();
        form = dialog.formAt(0);
    }
    ~ShownForm() { dialog.onCancel(); }
    QRect rectOf(std::u16string_view name) const { return form->findControl(name)->geometry(); }
    int lineHeight() const { return QFontMetrics(dialog.dialogFont()).height() + 4; }

    XmlDialog dialog;
    XmlForm* form = nullptr;
};

}

TEST(XmlForm, EditsAndCompanionsTakeTheirRectangles)
{
    FormBuilder builder(400, 300);
    Element* f = builder.form(u"main");
    builder.add(f, u"input", u"type:text;name:plain;style:\"left:10;top:10;width:200\"");
    builder.add(f, u"input", u"type:text;name:file;extension:file;style:\"left:10;top:40;width:300;height:24\"");
    builder.add(f, u"input", u"type:text;name:count;extension:spin;style:\"left:10;top:70;width:100;height:20\"");
    builder.add(f, u"input",
        u"type:text;name:fill;extension:color;value:#ff0000;style:\"left:10;top:100;width:200;height:20\"");
    builder.add(f, u"input",
        u"type:text;name:shade;extension:color;alpha:true;value:#ff000080;style:\"left:10;top:130;width:300;height:"
        u"20\"");
    builder.add(f, u"textarea", u"name:notes;rows:5;style:\"left:10;top:160;width:200\"");
    ShownForm shown(builder);
    int h = shown.lineHeight();

    EXPECT_EQ(shown.rectOf(u"plain"), QRect(12, 12, 197, h - 3));
    // File: the button spans R-36 to R-1; the edit stops 5 before it.
    EXPECT_EQ(shown.rectOf(u"file:file"), QRect(274, 40, 35, 24));
    EXPECT_EQ(shown.rectOf(u"file"), QRect(12, 42, 310 - 41 - 12, 21));
    // Spin: square at the right end.
    EXPECT_EQ(shown.rectOf(u"count:spin"), QRect(90, 70, 20, 20));
    EXPECT_EQ(shown.rectOf(u"count").right() + 1, 90 - 5);
    // Colour without alpha: swatch R-25 to R, edit ends at R-30.
    EXPECT_EQ(shown.rectOf(u"fill:color"), QRect(185, 100, 25, 20));
    EXPECT_EQ(shown.rectOf(u"fill").right() + 1, 180);
    // With alpha: spin R-H-30 to R-30, alpha edit 35 to 5 before it, colour edit ends 45 before it.
    EXPECT_EQ(shown.rectOf(u"shade:color"), QRect(285, 130, 25, 20));
    EXPECT_EQ(shown.rectOf(u"shade:alphaspin"), QRect(260, 130, 20, 20));
    EXPECT_EQ(shown.rectOf(u"shade:alpha"), QRect(225, 132, 30, 17));
    EXPECT_EQ(shown.rectOf(u"shade").right() + 1, 215);
    // Rows give the height of a text area.
    EXPECT_EQ(shown.rectOf(u"notes").height(), 5 * (h - 4) - 3);
    // Companions are found by name and are of the right kinds.
    EXPECT_NE(qobject_cast<QPushButton*>(shown.form->findControl(u"file:file")), nullptr);
    EXPECT_NE(qobject_cast<SpinButton*>(shown.form->findControl(u"count:spin")), nullptr);
    EXPECT_NE(qobject_cast<XmlFormColor*>(shown.form->findControl(u"fill:color")), nullptr);
}

TEST(XmlForm, ImageInputsCentreTheEditAndLabelOnTheThumbnail)
{
    FormBuilder builder(400, 300);
    Element* f = builder.form(u"main");
    builder.add(f, u"label", u"for:source;style:\"left:10;top:10;width:60\"", u"Source");
    Element* image = builder.add(f, u"input",
        u"type:text;name:source;extension:image;thumbwidth:80;thumbheight:50;style:\"left:80;top:10;width:300;height:"
        u"20\"");
    builder.add(f, u"input", u"type:text;name:still;extension:image;browse:false;style:\"left:80;top:100;width:300\"");
    ShownForm shown(builder);
    EXPECT_EQ(shown.rectOf(u"source:image"), QRect(300, 10, 80, 50));
    int editTop = 10 + 2 + 50 / 2 - 17 / 2;
    EXPECT_EQ(shown.rectOf(u"source"), QRect(82, editTop, 300 - 20 - 82, 17));
    EXPECT_EQ(shown.rectOf(u"source:label").top(), editTop);
    Element* label = findChildElement(f, u"label", true);
    EXPECT_EQ(label->getAttribute(u"style"), u"left:10;top:" + String::number(editTop) + u";width:60");
    EXPECT_EQ(image->getAttribute(u"style"), u"left:80;top:10;width:300;height:20");
    // Default thumbnail size, with and without its browse strip.
    auto* still = static_cast<XmlFormImage*>(shown.form->findControl(u"still:image"));
    EXPECT_EQ(still->size(), QSize(60, 60));
    EXPECT_FALSE(still->canBrowse());
    EXPECT_TRUE(static_cast<XmlFormImage*>(shown.form->findControl(u"source:image"))->canBrowse());
}

TEST(XmlForm, ResultHoldsEveryControlsValue)
{
    FormBuilder builder(400, 400);
    Element* f = builder.form(u"main");
    Element* box = builder.add(
        f, u"button", u"type:groupbox;name:GeneralBox;value:General;style:\"left:5;top:5;width:390;height:200\"");
    builder.add(box, u"input", u"type:text;name:title;value:Welcome;style:\"left:10;top:25;width:300\"");
    builder.add(box, u"input", u"type:text;name:width;extension:int;style:\"left:10;top:50;width:100\"", u"640");
    builder.add(
        box, u"input", u"type:text;name:layer;extension:spin;low:-5000;high:5000;value:-3;style:\"left:10;top:75\"");
    builder.add(box, u"input", u"type:text;name:plain;extension:spin;style:\"left:150;top:75\"");
    builder.add(f, u"input", u"type:hidden;name:secret;value:42");
    builder.add(f, u"input", u"type:checkbox;name:on;selected:true;style:\"left:10;top:210\"", u"On");
    builder.add(f, u"input", u"type:checkbox;name:off;style:\"left:10;top:230\"", u"Off");
    builder.add(f, u"input",
        u"type:text;name:tint;extension:color;alpha:true;value:#ff000080;style:\"left:10;top:250;width:300\"");
    builder.add(f, u"input",
        u"type:text;name:solid;extension:color;alpha:true;value:#00ff00;style:\"left:10;top:275;width:300\"");
    builder.add(f, u"input", u"type:password;name:pw;value:x");
    builder.add(f, u"textarea", u"name:text;style:\"left:10;top:300;width:200;height:40\"", u"first\nsecond");
    Element* select = builder.add(f, u"select", u"name:mode;style:\"left:220;top:300;width:100;height:100\"");
    builder.option(select, u"h", u"Horizontal");
    builder.option(select, u"v", u"Vertical", true);
    Element* none = builder.add(f, u"select", u"name:none;multiple:true;style:\"left:330;top:210;width:60;height:60\"");
    builder.option(none, u"a", u"A");
    Element* many = builder.add(f, u"select", u"name:many;multiple:true;style:\"left:330;top:280;width:60;height:80\"");
    for (const char16_t* v : { u"1", u"2", u"3", u"4" })
        builder.option(many, v, v, !String(v).equals(u"2"));
    builder.add(f, u"input", u"type:text;name:title;value:Duplicate");
    ShownForm shown(builder);

    auto* layer = static_cast<SpinButton*>(shown.form->findControl(u"layer:spin"));
    EXPECT_EQ(layer->low(), -5000);
    EXPECT_EQ(layer->high(), 5000);
    auto* plain = static_cast<SpinButton*>(shown.form->findControl(u"plain:spin"));
    EXPECT_EQ(plain->low(), 0);
    EXPECT_EQ(plain->high(), 100);
    EXPECT_EQ(static_cast<QLineEdit*>(shown.form->findControl(u"tint"))->text(), QStringLiteral("#ff0000"));
    EXPECT_EQ(static_cast<QLineEdit*>(shown.form->findControl(u"tint:alpha"))->text(), QStringLiteral("128"));
    EXPECT_EQ(static_cast<QLineEdit*>(shown.form->findControl(u"solid:alpha"))->text(), QString());
    EXPECT_EQ(static_cast<XmlFormColor*>(shown.form->findControl(u"tint:color"))->color(), 0x80FF0000u);
    EXPECT_EQ(static_cast<QPlainTextEdit*>(shown.form->findControl(u"text"))->document()->blockCount(), 2);
    EXPECT_EQ(shown.form->valueOf(u"mode"), u"v");
    EXPECT_EQ(shown.form->valueOf(u"on"), u"true");
    EXPECT_EQ(shown.form->findControl(u"pw"), nullptr);
    EXPECT_TRUE(shown.form->findControl(u"secret")->isHidden());

    shown.dialog.onOK();
    Element* root = shown.dialog.resultRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(shown.dialog.valueOf(u"title"), u"Welcome");
    EXPECT_EQ(shown.dialog.valueOf(u"width"), u"640");
    EXPECT_EQ(shown.dialog.valueOf(u"layer"), u"-3");
    EXPECT_EQ(shown.dialog.valueOf(u"secret"), u"42");
    EXPECT_EQ(shown.dialog.valueOf(u"on"), u"true");
    EXPECT_EQ(shown.dialog.valueOf(u"off"), u"false");
    EXPECT_EQ(shown.dialog.valueOf(u"tint"), u"#ff000080");
    EXPECT_EQ(shown.dialog.valueOf(u"solid"), u"#00ff00");
    EXPECT_EQ(shown.dialog.valueOf(u"pw"), u"");
    EXPECT_TRUE(findChildElement(root, u"pw", true));
    EXPECT_EQ(shown.dialog.valueOf(u"text"), u"first\nsecond");
    EXPECT_EQ(shown.dialog.valueOf(u"mode"), u"v");

    auto valuesOf = [root](std::u16string_view name) {
        std::vector<std::string> values;
        for (Node* child : root->childNodes()) {
            if (child->nodeName().equals(name))
                values.push_back(narrow(getText(child)));
        }
        return values;
    };
    EXPECT_EQ(valuesOf(u"none"), std::vector<std::string>({ "" }));
    EXPECT_EQ(valuesOf(u"many"), std::vector<std::string>({ "1", "3", "4" }));
    // The second "title" made no control and adds nothing; the first keeps its place.
    EXPECT_EQ(valuesOf(u"title"), std::vector<std::string>({ "Welcome" }));
    EXPECT_EQ(narrow(root->firstChild()->nodeName()), "title");
}

TEST(XmlForm, UnknownAndBrokenElementsCreateNothing)
{
    FormBuilder builder(400, 300);
    Element* f = builder.form(u"main");
    builder.add(f, u"blink", u"name:odd");
    builder.add(f, u"input", u"type:text;style:\"left:1\"");
    builder.add(f, u"input", u"type:radio;name:choice");
    builder.add(f, u"input", u"type:text;name:n;style:\"left:abc;top:;width:zz;height:-\"");
    builder.add(f, u"label", u"for:missing", u"Nobody");
    builder.add(f, u"input", u"type:text;name:c;extension:color;value:red;style:\"left:10;top:50;width:200\"");
    builder.add(f, u"button", u"type:color;name:swatch;value:00ff00");
    builder.add(f, u"button", u"type:mystery;name:plainbutton");
    builder.add(f, u"input", u"type:submit", u"Go");
    ShownForm shown(builder);
    XmlForm* form = shown.form;
    EXPECT_EQ(form->findControl(u"odd"), nullptr);
    EXPECT_EQ(form->findControl(u"choice"), nullptr);
    EXPECT_EQ(form->findControl(u"missing:label"), nullptr);
    EXPECT_EQ(form->findControl(u"n")->geometry(), QRect(2, 2, 97, shown.lineHeight() - 3));
    // A colour text without "#" leaves the swatches at opaque black and is handed on as typed.
    EXPECT_EQ(static_cast<XmlFormColor*>(form->findControl(u"c:color"))->color(), 0xFF000000u);
    EXPECT_EQ(static_cast<XmlFormColor*>(form->findControl(u"swatch"))->color(), 0xFF000000u);
    EXPECT_EQ(form->colorValueOf(u"c"), u"red");
    EXPECT_NE(qobject_cast<QPushButton*>(form->findControl(u"plainbutton")), nullptr);
    auto* submit = qobject_cast<QPushButton*>(form->findControl(u"ok"));
    ASSERT_NE(submit, nullptr);
    EXPECT_EQ(submit->text(), QStringLiteral("Go"));
    EXPECT_EQ(form->control(u"ok")->id, 1);
    // One named text input, one colour (edit and swatch), a swatch, a button and submit.
    EXPECT_EQ(form->controlCount(), 6u);
}

TEST(XmlForm, GroupBoxesHoldTheirControlsAndPassOnTheFocus)
{
    FormBuilder builder(400, 300);
    Element* f = builder.form(u"main");
    Element* outer
        = builder.add(f, u"button", u"type:groupbox;name:OuterBox;style:\"left:10;top:10;width:380;height:200\"");
    Element* inner = builder.add(
        outer, u"button", u"type:groupbox;name:InnerBox;value:Inner;style:\"left:10;top:40;width:300;height:100\"");
    builder.add(inner, u"label", u"for:deep;style:\"left:10;top:30;width:50\"", u"Deep");
    builder.add(inner, u"input", u"type:text;name:deep;style:\"left:70;top:30;width:200\"");
    Element* hidden
        = builder.add(f, u"button", u"type:groupbox;name:HiddenBox;visibility:hidden;style:\"left:10;top:220\"");
    builder.add(hidden, u"input", u"type:text;name:inside;value:kept");
    builder.add(f, u"button", u"type:border;name:preview;value:\"border-width:2\"");
    ShownForm shown(builder);
    XmlForm* form = shown.form;
    QWidget* outerPanel = form->findControl(u"OuterBox");
    QWidget* innerPanel = form->findControl(u"InnerBox");
    QWidget* deep = form->findControl(u"deep");
    ASSERT_TRUE(outerPanel && innerPanel && deep);
    EXPECT_EQ(innerPanel->parentWidget(), outerPanel);
    EXPECT_EQ(deep->parentWidget(), innerPanel);
    EXPECT_EQ(form->findControl(u"deep:label")->parentWidget(), innerPanel);
    EXPECT_EQ(deep->geometry().topLeft(), QPoint(72, 32));
    EXPECT_EQ(deep->mapTo(form, QPoint(0, 0)), QPoint(10 + 10 + 72, 10 + 40 + 32));
    EXPECT_EQ(static_cast<XmlPanel*>(outerPanel)->caption(), u"OuterBox");
    EXPECT_EQ(static_cast<XmlPanel*>(innerPanel)->caption(), u"Inner");
    EXPECT_TRUE(form->findControl(u"HiddenBox")->isHidden());
    EXPECT_EQ(form->valueOf(u"inside"), u"kept");
    // A border preview is a control of its own, holding the border of its "value".
    auto* preview = qobject_cast<XmlFormBorder*>(form->findControl(u"preview"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->border().width(), 2);
    EXPECT_EQ(form->valueOf(u"preview"), u"");

    shown.dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown.dialog));
    QTest::mouseClick(innerPanel, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(QApplication::focusWidget(), deep);
}

namespace {

// Saves what a form looks like for a person to check, beside the other form pictures.
void saveShot(QWidget* widget, const char* file)
{
    QDir().mkpath(QStringLiteral("/tmp/lumavine-forms"));
    QApplication::processEvents();
    widget->grab().save(QStringLiteral("/tmp/lumavine-forms/") + QString::fromUtf8(file));
}

// The control a person sees at the middle of `control`: the control itself
// unless another one is painted over it.
QWidget* seenAtMiddleOf(QWidget* control)
{
    QWidget* window = control->parentWidget();
    QWidget* seen = window->childAt(control->geometry().center());
    while (seen && seen->parentWidget() != window)
        seen = seen->parentWidget();
    return seen;
}

}

TEST(XmlForm, CheckBoxesAreCaptionedByTheirTextAndWriteTheirState)
{
    FormBuilder builder(300, 200);
    Element* f = builder.form(u"main");
    builder.add(f, u"input", u"type:checkbox;name:static;value:yes;selected:true;style:\"left:10;top:10;width:200\"",
        u"Static");
    builder.add(f, u"input", u"type:checkbox;name:repeat;value:Repeat;style:\"left:10;top:40;width:200\"");
    builder.add(f, u"input", u"type:checkbox;name:bare;style:\"left:10;top:70;width:200\"");
    ShownForm shown(builder);
    saveShot(shown.form, "check-boxes.png");
    auto* both = qobject_cast<QCheckBox*>(shown.form->findControl(u"static"));
    ASSERT_NE(both, nullptr);
    // The text is what the user reads; the value is never shown in its place.
    EXPECT_EQ(both->text(), QStringLiteral("Static"));
    EXPECT_LE(both->sizeHint().width(), both->width());
    EXPECT_EQ(static_cast<QCheckBox*>(shown.form->findControl(u"repeat"))->text(), QStringLiteral("Repeat"));
    EXPECT_EQ(static_cast<QCheckBox*>(shown.form->findControl(u"bare"))->text(), QString());
    // What a box writes is its state, whatever its value or caption.
    EXPECT_TRUE(shown.form->setValue(u"repeat", u"true"));
    shown.dialog.onOK();
    EXPECT_EQ(shown.dialog.valueOf(u"static"), u"true");
    EXPECT_EQ(shown.dialog.valueOf(u"repeat"), u"true");
    EXPECT_EQ(shown.dialog.valueOf(u"bare"), u"false");
}

TEST(XmlForm, SliderLeavesItsEditInSight)
{
    FormBuilder builder(300, 200);
    Element* f = builder.form(u"main");
    builder.add(
        f, u"input", u"type:text;name:level;extension:slider;value:100;style:\"left:10;top:10;width:200;height:22\"");
    ShownForm shown(builder);
    saveShot(shown.form, "slider.png");
    QWidget* edit = shown.form->findControl(u"level");
    auto* slider = qobject_cast<QSlider*>(shown.form->findControl(u"level:slider"));
    ASSERT_TRUE(edit && slider);
    QRect row(10, 10, 200, 22);
    EXPECT_TRUE(row.contains(edit->geometry())) << edit->geometry().x() << "," << edit->geometry().width();
    EXPECT_TRUE(row.contains(slider->geometry()));
    EXPECT_FALSE(edit->geometry().intersects(slider->geometry()));
    EXPECT_EQ(seenAtMiddleOf(edit), edit);
    EXPECT_EQ(seenAtMiddleOf(slider), slider);
    // Wide enough to read the largest value, and the slider still takes most of the row.
    EXPECT_GE(edit->width(), QFontMetrics(edit->font()).horizontalAdvance(QStringLiteral("255")) + 4);
    EXPECT_GE(slider->width(), 100);
    EXPECT_EQ(slider->value(), 100);
    slider->setValue(200);
    EXPECT_EQ(shown.form->valueOf(u"level"), u"200");
}

TEST(XmlForm, ShortTextAreasShowTheirRowsAndScrollOnlyWhenNeeded)
{
    FormBuilder builder(300, 250);
    Element* f = builder.form(u"main");
    // Two rows: the height of two single-line edits.
    int twoRows = 2 * (QFontMetrics(Dialog(u"font").dialogFont()).height() + 4);
    builder.add(f, u"textarea",
        u"name:short;style:\"left:10;top:10;width:200;height:" + String::number(twoRows) + u"\"", u"First\nSecond");
    String many;
    for (int i = 0; i < 12; ++i)
        many.append(u"Line " + String::number(i) + u" of a text that is longer than the area is wide\n");
    builder.add(f, u"textarea", u"name:long;style:\"left:10;top:80;width:200;height:80\"", many);
    ShownForm shown(builder);
    saveShot(shown.form, "text-areas.png");
    auto* area = qobject_cast<QPlainTextEdit*>(shown.form->findControl(u"short"));
    ASSERT_NE(area, nullptr);
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());
    QTextCursor end(area->document());
    end.movePosition(QTextCursor::End);
    QRect lastLine = area->cursorRect(end);
    QRect seen = area->viewport()->rect();
    EXPECT_LE(lastLine.bottom(), seen.bottom())
        << "viewport " << seen.height() << ", text ends at " << lastLine.bottom();
    EXPECT_GE(area->cursorRect(QTextCursor(area->document())).top(), seen.top());
    // A text that does not fit can still be scrolled to.
    auto* longArea = qobject_cast<QPlainTextEdit*>(shown.form->findControl(u"long"));
    EXPECT_TRUE(longArea->verticalScrollBar()->isVisible());
    EXPECT_TRUE(longArea->horizontalScrollBar()->isVisible());
}

TEST(XmlForm, ControlTypesAddedToTheTableAreMadeReadWrittenAndHeard)
{
    // A kind of control the engine has never seen, given as one entry.
    ControlType dial;
    dial.create = [](XmlForm& form, const ControlType& type, Element* element, const String& name,
                      QWidget* window) -> FormControl* {
        auto* box = new QSpinBox(window);
        box->setRange(0, 100);
        int value = 0;
        element->getAttribute(u"value").readInt(value);
        box->setValue(value);
        return form.addControl(name, element, box, type, window);
    };
    dial.read
        = [](const FormControl& control) { return String::number(static_cast<QSpinBox*>(control.widget)->value()); };
    dial.write = [](FormControl& control, const String& value) {
        int number = 0;
        if (!value.readInt(number))
            return false;
        static_cast<QSpinBox*>(control.widget)->setValue(number);
        return true;
    };
    dial.connect = [](XmlForm& form, FormControl& control) {
        XmlForm* f = &form;
        FormControl* c = &control;
        QObject::connect(static_cast<QSpinBox*>(control.widget), &QSpinBox::valueChanged, f,
            [f, c](int value) { f->notifyTextChanged(*c, String::number(value)); });
    };
    dial.result = [](const XmlForm& form, const String& name, const FormControl*, Element* root) {
        addElement(root, name, u"dial " + form.valueOf(name));
    };
    ControlType::add(u"dial", dial);

    FormBuilder builder(300, 200);
    Element* f = builder.form(u"main");
    builder.add(f, u"dial", u"name:level;value:40;style:\"left:10;top:20;width:80;height:24\"");
    RecordingListener listener;
    ShownForm shown(builder, &listener);
    auto* box = qobject_cast<QSpinBox*>(shown.form->findControl(u"level"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry(), QRect(10, 20, 80, 24));
    EXPECT_EQ(shown.form->valueOf(u"level"), u"40");
    EXPECT_FALSE(shown.form->setValue(u"level", u"many"));
    EXPECT_TRUE(shown.form->setValue(u"level", u"75"));
    EXPECT_EQ(box->value(), 75);
    EXPECT_TRUE(listener.saw("textChanged level dial"));
    EXPECT_EQ(listener.texts.back(), "75");
    shown.dialog.onOK();
    EXPECT_EQ(shown.dialog.valueOf(u"level"), u"dial 75");
}
