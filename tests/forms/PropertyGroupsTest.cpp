#include "FormTestSupport.h"

#include "forms/FormDocument.h"
#include "forms/PropertyGroups.h"
#include "forms/QtText.h"
#include "forms/SpinButton.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "forms/XmlFormBorder.h"
#include "forms/XmlFormColor.h"
#include "forms/XmlFormImage.h"
#include "picture/Alignment.h"
#include "picture/PicNode.h"
#include "picture/WinImage.h"
#include "tests/support/Readable.h"
#include "xml/Elements.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

using namespace lumavine;

namespace {

std::unique_ptr<PicNode> makeBox(ShapeKind kind = ShapeKind::Rectangle)
{
    auto node = std::make_unique<PicNode>();
    node->setKind(kind);
    node->setBounds(QRect(20, 30, 120, 60));
    return node;
}

// A dialog of one form that the test fills with groups, shown offscreen.
struct GroupForm {
    explicit GroupForm(int width = 350, int height = 400) : builder(width, height, u"Properties")
    {
        form = builder.form(u"Properties");
    }

    XmlForm* show(XmlDialogListener* listener = nullptr)
    {
        dialog = std::make_unique<XmlDialog>(nullptr, u"groups", &builder.document, listener);
        EXPECT_TRUE(dialog->showModeless());
        QApplication::processEvents();
        return dialog->formAt(0);
    }

    // Confirms and answers the result's root.
    Element* confirm()
    {
        dialog->onOK();
        return dialog->resultRoot();
    }

    FormBuilder builder;
    Element* form;
    std::unique_ptr<XmlDialog> dialog;
};

String lineText(XmlForm* form, std::u16string_view name)
{
    auto* edit = qobject_cast<QLineEdit*>(form->findControl(name));
    return edit ? fromQString(edit->text()) : String(u"<none>");
}

QImage grabbed(QWidget* widget)
{
    QApplication::processEvents();
    return widget->grab().toImage();
}

}

TEST(PropertyGroups, BorderGroupFillsFromTheShapeAndReadsBackTheSameBorder)
{
    auto node = makeBox();
    node->setProperty(u"border", u"border-color:#3366ff80;border-width:4;border-style:outset;border-join:round");
    GroupForm g;
    Element* box = PropertyGroups::addBorderGroup(g.form, node.get(), { 260, 80, 250, 145 }, u"Border", u"image-",
        PropertyGroups::BorderStyleRow | PropertyGroups::BorderJoinRow);
    EXPECT_EQ(box->getAttribute(u"name"), u"image-BorderGroup");
    EXPECT_EQ(box->getAttribute(u"value"), u"Border");
    XmlForm* form = g.show();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(lineText(form, u"image-border-color"), u"#3366ff");
    // A see-through border colour keeps its alpha through the dialog.
    EXPECT_EQ(lineText(form, u"image-border-color:alpha"), u"128");
    EXPECT_EQ(form->valueOf(u"image-border-style"), u"outset");
    EXPECT_EQ(form->valueOf(u"image-border-join"), u"round");
    EXPECT_EQ(lineText(form, u"image-border-width"), u"4");
    auto* spin = qobject_cast<SpinButton*>(form->findControl(u"image-border-width:spin"));
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->low(), 0);
    EXPECT_EQ(spin->high(), 50);
    auto* preview = qobject_cast<XmlFormBorder*>(form->findControl(u"image-border-display"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->border().width(), 4);
    EXPECT_EQ(preview->border().borderStyle(), BorderProperties::Outset);
    EXPECT_EQ(form->findControl(u"image-border-color:label")->parentWidget(), form->findControl(u"image-BorderGroup"));

    Element* result = g.confirm();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(getChildText(result, u"image-border-color"), u"#3366ff80");
    auto copy = makeBox();
    for (Node* child : result->childNodes()) {
        // The page's keys carry the prefix; a shape's do not.
        String key = child->nodeName();
        copy->setProperty(key.substring(6), getText(child));
    }
    EXPECT_EQ(copy->border().borderText(), node->border().borderText());

    // Without the optional rows there are no style and join controls.
    GroupForm plain;
    PropertyGroups::addBorderGroup(plain.form, nullptr, { 10, 10, 163, 140 }, u"Menu Border", u"menustyle-");
    XmlForm* plainForm = plain.show();
    EXPECT_EQ(plainForm->findControl(u"menustyle-border-style"), nullptr);
    EXPECT_EQ(plainForm->findControl(u"menustyle-border-join"), nullptr);
    EXPECT_EQ(lineText(plainForm, u"menustyle-border-color"), u"");
    EXPECT_NE(plainForm->findControl(u"menustyle-border-display"), nullptr);
}

TEST(PropertyGroups, FontGroupShowsTheFontAndComposesTheSameFontText)
{
    auto node = makeBox();
    ASSERT_TRUE(node->setFont(u"font-family:Arial;font-size:10.5;font-color:#ff0000;font-style:bold,italic,underline"));
    GroupForm g;
    Element* box = PropertyGroups::addFontGroup(g.form, node.get(), { 10, 235, 240, 150 }, u"Font", u"");
    EXPECT_EQ(box->getAttribute(u"name"), u"FontGroup");
    RecordingListener listener;
    XmlForm* form = g.show(&listener);
    EXPECT_EQ(lineText(form, u"font-family"), u"Arial");
    EXPECT_EQ(lineText(form, u"font-size"), u"10.5");
    EXPECT_EQ(form->valueOf(u"font-style"), u"Bold Italic");
    EXPECT_EQ(lineText(form, u"font-color"), u"#ff0000");
    EXPECT_EQ(form->valueOf(u"underline"), u"true");
    EXPECT_EQ(form->valueOf(u"strikeout"), u"false");
    // The chooser button is the owner's to answer.
    auto* chooser = qobject_cast<QPushButton*>(form->findControl(u"FontDialog"));
    ASSERT_NE(chooser, nullptr);
    chooser->click();
    EXPECT_TRUE(listener.saw("buttonClicked FontDialog button"));
    auto* styles = qobject_cast<QComboBox*>(form->findControl(u"font-style"));
    ASSERT_NE(styles, nullptr);
    ASSERT_EQ(styles->count(), 4);
    EXPECT_EQ(styles->itemText(0), QStringLiteral("Regular"));

    Element* result = g.confirm();
    PropertyGroups::appendComposedTexts(result, u"");
    auto copy = makeBox();
    copy->readProperties(result);
    ASSERT_NE(copy->font(), nullptr);
    EXPECT_EQ(copy->font()->text(), node->font()->text());
    EXPECT_EQ(PropertyGroups::fontText(result, u""),
        u"font-family:Arial;font-size:10.5;font-color:#ff0000;font-style:underline,bold,italic");

    // A shape on the shared default font shows empty fields and composes nothing.
    auto plain = makeBox();
    GroupForm empty;
    PropertyGroups::addFontGroup(empty.form, plain.get(), { 10, 10, 240, 150 }, u"Caption Font", u"caption-");
    XmlForm* emptyForm = empty.show();
    EXPECT_EQ(lineText(emptyForm, u"caption-font-family"), u"");
    EXPECT_EQ(emptyForm->valueOf(u"caption-font-style"), u"Regular");
    Element* emptyResult = empty.confirm();
    EXPECT_EQ(PropertyGroups::fontText(emptyResult, u"caption-"), u"");
}

TEST(PropertyGroups, BackgroundGroupOffersGradientRowsOrOneColourWithAlpha)
{
    auto node = makeBox();
    ASSERT_TRUE(node->setBackgroundColor(u"#000000,#ffffff,vertical"));
    GroupForm g;
    PropertyGroups::addBackgroundGroup(
        g.form, node.get(), { 10, 10, 250, 120 }, u"Menu Background", u"itemstyle-", PropertyGroups::GradientRows);
    XmlForm* form = g.show();
    EXPECT_EQ(form->findControl(u"itemstyle-background-color"), nullptr);
    EXPECT_EQ(form->findControl(u"itemstyle-background-image"), nullptr);
    EXPECT_EQ(lineText(form, u"itemstyle-background-start"), u"#000000");
    EXPECT_EQ(lineText(form, u"itemstyle-background-end"), u"#ffffff");
    EXPECT_EQ(form->valueOf(u"itemstyle-gradient-mode"), u"vertical");
    Element* result = g.confirm();
    EXPECT_EQ(PropertyGroups::gradientText(result, u"itemstyle-"), u"#000000,#ffffff,vertical");

    // A diagonal gradient is not turned horizontal by opening and confirming the dialog.
    auto diagonal = makeBox();
    ASSERT_TRUE(diagonal->setBackgroundColor(u"#000000,#ffffff,backward"));
    GroupForm d;
    PropertyGroups::addBackgroundGroup(
        d.form, diagonal.get(), { 10, 395, 500, 150 }, u"Background", u"", PropertyGroups::GradientRows);
    d.show();
    Element* diagonalResult = d.confirm();
    PropertyGroups::appendComposedTexts(diagonalResult, u"");
    auto copy = makeBox();
    copy->readProperties(diagonalResult);
    EXPECT_EQ(copy->backgroundColorText(), u"#000000,#ffffff,backward");

    // The page background: one colour with its alpha, and the picture.
    auto page = makeBox();
    ASSERT_TRUE(page->setBackgroundColor(u"#11223344"));
    page->setBackgroundImage(u"tile.png");
    GroupForm p;
    PropertyGroups::addBackgroundGroup(
        p.form, page.get(), { 10, 10, 330, 120 }, u"Background", u"", PropertyGroups::PictureRow);
    XmlForm* pageForm = p.show();
    EXPECT_EQ(lineText(pageForm, u"background-color"), u"#112233");
    EXPECT_EQ(lineText(pageForm, u"background-color:alpha"), u"68");
    EXPECT_EQ(lineText(pageForm, u"background-image"), u"tile.png");
    EXPECT_NE(pageForm->findControl(u"background-image:image"), nullptr);
    Element* pageResult = p.confirm();
    auto pageCopy = makeBox();
    pageCopy->readProperties(pageResult);
    EXPECT_EQ(pageCopy->backgroundColorText(), u"#11223344");
    EXPECT_EQ(pageCopy->backgroundImageSource(), u"tile.png");

    // No start colour clears the background.
    GroupForm none;
    PropertyGroups::addBackgroundGroup(
        none.form, nullptr, { 10, 10, 250, 120 }, u"Background", u"", PropertyGroups::GradientRows);
    none.show();
    Element* noneResult = none.confirm();
    PropertyGroups::appendComposedTexts(noneResult, u"");
    ASSERT_NE(findChildElement(noneResult, u"background-color", true), nullptr);
    EXPECT_EQ(getChildText(noneResult, u"background-color"), u"");
}

TEST(PropertyGroups, ShapeGroupsFillFromTheShapeAndReadBack)
{
    auto node = makeBox();
    node->setName(u"logo");
    node->setText(u"First\nSecond");
    node->setProperty(u"layer", u"-12");
    node->setProperty(u"halign", u"right");
    node->setProperty(u"valign", u"center");
    GroupForm g(350, 450);
    PropertyGroups::addNameBox(g.form, node.get(), { 10, 20, 240, 50 });
    PropertyGroups::addTextGroup(g.form, node.get(), { 10, 80, 240, 145 });
    PropertyGroups::addAlignmentGroup(g.form, node.get(), { 260, 235, 150, 85 });
    PropertyGroups::addSizeGroup(g.form, node.get(), { 415, 235, 95, 85 });
    Element* layerBox = PropertyGroups::addLayerBox(g.form, node.get(), { 260, 330, 250, 55 });
    EXPECT_EQ(layerBox->getAttribute(u"name"), u"LayerBox");
    EXPECT_EQ(layerBox->getAttribute(u"value"), u"Layer");
    EXPECT_EQ(findChildElement(layerBox, u"input")->getAttribute(u"style"), u"left:10;top:25;width:230");
    XmlForm* form = g.show();
    EXPECT_EQ(lineText(form, u"name"), u"logo");
    EXPECT_EQ(form->valueOf(u"halign"), u"right");
    EXPECT_EQ(form->valueOf(u"valign"), u"center");
    EXPECT_EQ(lineText(form, u"width"), u"120");
    EXPECT_EQ(lineText(form, u"height"), u"60");
    EXPECT_EQ(lineText(form, u"layer"), u"-12");
    auto* spin = qobject_cast<SpinButton*>(form->findControl(u"layer:spin"));
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->low(), -5000);
    EXPECT_EQ(spin->high(), 5000);
    auto* area = qobject_cast<QPlainTextEdit*>(form->findControl(u"text"));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->toPlainText(), QStringLiteral("First\nSecond"));
    qobject_cast<QLineEdit*>(form->findControl(u"width"))->setText(QStringLiteral("200"));

    Element* result = g.confirm();
    auto copy = makeBox();
    copy->readProperties(result);
    EXPECT_EQ(copy->getName(), u"logo");
    EXPECT_EQ(copy->getText(), u"First\nSecond");
    EXPECT_EQ(copy->layer(), -12);
    EXPECT_EQ(copy->horizontalAlignment(), Alignment::Right);
    EXPECT_EQ(copy->verticalAlignment(), Alignment::VCenter);
    EXPECT_EQ(copy->getBounds().width(), 200);
    EXPECT_EQ(copy->getBounds().height(), 60);
}

TEST(PropertyGroups, LineBoxAndPictureGroupsFillFromTheirShapes)
{
    auto line = makeBox(ShapeKind::Line);
    line->setProperty(u"line", u"type:curve;width:3;color:#00ff00;style:dashdot;join:bevel");
    GroupForm g(350, 450);
    Element* lineBox = PropertyGroups::addLineBox(g.form, line.get(), { 10, 80, 435, 150 });
    EXPECT_EQ(lineBox->getAttribute(u"name"), u"LineBox");
    EXPECT_EQ(lineBox->getAttribute(u"value"), u"Line Properties");
    XmlForm* form = g.show();
    EXPECT_EQ(form->valueOf(u"line-type"), u"curve");
    EXPECT_EQ(lineText(form, u"line-color"), u"#00ff00");
    EXPECT_EQ(form->valueOf(u"line-style"), u"dashdot");
    EXPECT_EQ(form->valueOf(u"line-join"), u"bevel");
    EXPECT_EQ(lineText(form, u"line-width"), u"3");
    auto* types = qobject_cast<QComboBox*>(form->findControl(u"line-type"));
    ASSERT_EQ(types->count(), 4);
    EXPECT_EQ(types->itemText(0), QString());
    EXPECT_EQ(types->itemText(3), QStringLiteral("Spline"));
    Element* result = g.confirm();
    auto copy = makeBox(ShapeKind::Line);
    copy->readProperties(result);
    EXPECT_EQ(copy->lineStyle().lineText(), line->lineStyle().lineText());

    auto picture = makeBox(ShapeKind::Image);
    picture->setProperty(u"image-source", u"photo.jpg");
    picture->setProperty(u"image-aspect", u"true");
    GroupForm p(350, 300);
    PropertyGroups::addAspectBox(p.form, picture.get(), { 260, 20, 250, 50 });
    Element* pictureGroup = PropertyGroups::addPictureGroup(p.form, picture.get(), { 10, 80, 500, 90 }, u"/srv/site");
    Element* source = findChildElement(pictureGroup, u"input");
    EXPECT_EQ(source->getAttribute(u"imageroot"), u"/srv/site");
    EXPECT_EQ(source->getAttribute(u"default"), u"jpg");
    XmlForm* pictureForm = p.show();
    EXPECT_EQ(pictureForm->valueOf(u"image-aspect"), u"true");
    EXPECT_EQ(lineText(pictureForm, u"source"), u"photo.jpg");
    EXPECT_NE(pictureForm->findControl(u"source:image"), nullptr);

    // Without a shape every list starts at its first entry and every input is empty.
    GroupForm e(350, 450);
    PropertyGroups::addLineBox(e.form, nullptr, { 10, 80, 435, 150 });
    PropertyGroups::addAspectBox(e.form, nullptr, { 10, 240, 250, 50 });
    XmlForm* emptyForm = e.show();
    EXPECT_EQ(emptyForm->valueOf(u"line-type"), u"");
    EXPECT_EQ(emptyForm->valueOf(u"line-style"), u"solid");
    EXPECT_EQ(lineText(emptyForm, u"line-width"), u"");
    EXPECT_EQ(emptyForm->valueOf(u"image-aspect"), u"false");
}

TEST(XmlFormBorder, PreviewPixelsFollowTheBorderControls)
{
    auto node = makeBox();
    node->setProperty(u"border", u"border-color:#ff0000;border-width:3;border-style:solid");
    GroupForm g;
    PropertyGroups::addBorderGroup(
        g.form, node.get(), { 10, 10, 250, 145 }, u"Border", u"", PropertyGroups::BorderStyleRow);
    XmlForm* form = g.show();
    QWidget* preview = form->findControl(u"border-display");
    ASSERT_NE(preview, nullptr);
    QImage solid = grabbed(preview);
    ASSERT_FALSE(solid.isNull());
    QPoint centre(solid.width() / 2, solid.height() / 2);
    EXPECT_EQ(solid.pixelColor(1, 1), QColor(255, 0, 0));
    EXPECT_EQ(solid.pixelColor(centre), QColor(Qt::white));
    EXPECT_EQ(solid.pixelColor(5, 5), QColor(Qt::white));

    // Wider and blue: the ring grows and changes colour.
    form->setValue(u"border-width", u"6");
    form->setValue(u"border-color", u"#0000ff");
    QImage wide = grabbed(preview);
    EXPECT_EQ(wide.pixelColor(5, 5), QColor(0, 0, 255));
    EXPECT_EQ(wide.pixelColor(centre), QColor(Qt::white));

    // A 3-D style shades the two sides differently.
    form->setValue(u"border-style", u"inset");
    QImage inset = grabbed(preview);
    EXPECT_NE(inset.pixelColor(1, centre.y()), inset.pixelColor(inset.width() - 2, centre.y()));
    EXPECT_NE(inset, wide);

    // "none" shows no border at all.
    form->setValue(u"border-style", u"none");
    QImage none = grabbed(preview);
    EXPECT_EQ(none.pixelColor(1, 1), QColor(Qt::white));

    // A standalone preview draws the border its description gives.
    XmlFormBorder standalone;
    standalone.resize(40, 30);
    standalone.setDescription(u"border-color:#00ff00;border-width:2");
    QImage green = grabbed(&standalone);
    EXPECT_EQ(green.pixelColor(0, 0), QColor(0, 255, 0));
    EXPECT_EQ(green.pixelColor(39, 29), QColor(0, 255, 0));
    EXPECT_EQ(green.pixelColor(20, 15), QColor(Qt::white));
}

TEST(PropertyGroups, PropertyFormScreenshotHasNothingClipped)
{
    auto node = makeBox();
    node->setName(u"banner");
    node->setText(u"Welcome");
    node->setProperty(u"border", u"border-color:#204080;border-width:3;border-style:ridge");
    ASSERT_TRUE(node->setFont(u"font-family:Tahoma;font-size:12;font-color:#802000;font-style:bold"));
    ASSERT_TRUE(node->setBackgroundColor(u"#ffffcc,#ffcc66,vertical"));
    GroupForm g(300, 330);
    PropertyGroups::addNameBox(g.form, node.get(), { 10, 20, 240, 50 });
    PropertyGroups::addTextGroup(g.form, node.get(), { 10, 80, 240, 145 });
    PropertyGroups::addBorderGroup(g.form, node.get(), { 260, 80, 250, 145 }, u"Border", u"",
        PropertyGroups::BorderStyleRow | PropertyGroups::BorderJoinRow);
    PropertyGroups::addFontGroup(g.form, node.get(), { 10, 235, 240, 150 }, u"Font", u"");
    PropertyGroups::addAlignmentGroup(g.form, node.get(), { 260, 235, 150, 85 });
    PropertyGroups::addSizeGroup(g.form, node.get(), { 415, 235, 95, 85 });
    PropertyGroups::addLayerBox(g.form, node.get(), { 260, 330, 250, 55 });
    PropertyGroups::addBackgroundGroup(g.form, node.get(), { 10, 395, 500, 150 }, u"Background", u"",
        PropertyGroups::GradientRows | PropertyGroups::PictureRow);
    FormDocument::addStandardButtons(g.form, 555);
    XmlForm* form = g.show();
    ASSERT_NE(form, nullptr);
    EXPECT_GT(test::expectReadable(form), 40);
    QDir().mkpath(QStringLiteral("/tmp/lumavine-forms"));
    EXPECT_TRUE(saveFormSnapshot(&g.builder.document, u"/tmp/lumavine-forms/property-groups.png"));
}

TEST(PropertyGroups, PageStyleFormScreenshotHasNothingClipped)
{
    // The menu and page styles: narrow border boxes, gradient backgrounds
    // without pictures, and the page background with its picture.
    auto item = makeBox();
    item->setProperty(u"border", u"border-color:#808080;border-width:2;border-style:groove");
    ASSERT_TRUE(item->setFont(u"font-family:Verdana;font-size:9;font-color:#000080;font-style:italic"));
    ASSERT_TRUE(item->setBackgroundColor(u"#e0e0ff,#a0a0ff"));
    auto page = makeBox();
    ASSERT_TRUE(page->setBackgroundColor(u"#f0f0f080"));
    page->setBackgroundImage(u"paper.jpg");
    GroupForm g(300, 260);
    PropertyGroups::addFontGroup(g.form, item.get(), { 10, 10, 250, 140 }, u"Menu Font", u"itemstyle-");
    PropertyGroups::addFontGroup(g.form, nullptr, { 270, 10, 250, 140 }, u"Menu Hover Font", u"hoverstyle-");
    PropertyGroups::addBackgroundGroup(
        g.form, item.get(), { 10, 160, 250, 120 }, u"Menu Background", u"itemstyle-", PropertyGroups::GradientRows);
    PropertyGroups::addBackgroundGroup(
        g.form, page.get(), { 270, 160, 250, 120 }, u"Page Background", u"", PropertyGroups::PictureRow);
    PropertyGroups::addBorderGroup(
        g.form, nullptr, { 10, 290, 163, 140 }, u"Menu Border", u"menustyle-", PropertyGroups::BorderStyleRow);
    PropertyGroups::addBorderGroup(
        g.form, item.get(), { 183, 290, 163, 140 }, u"Menu Item Border", u"itemstyle-", PropertyGroups::BorderStyleRow);
    PropertyGroups::addBorderGroup(g.form, item.get(), { 356, 290, 163, 140 }, u"Menu Item Hover Border",
        u"hoverstyle-", PropertyGroups::BorderStyleRow);
    FormDocument::addStandardButtons(g.form, 440);
    XmlForm* form = g.show();
    ASSERT_NE(form, nullptr);
    EXPECT_GT(test::expectReadable(form), 40);
    QDir().mkpath(QStringLiteral("/tmp/lumavine-forms"));
    EXPECT_TRUE(saveFormSnapshot(&g.builder.document, u"/tmp/lumavine-forms/page-style-groups.png"));
}

TEST(PropertyGroups, BackgroundGroupKeepsItsRowsApartInShortBoxes)
{
    // The boxes the dialogs give: the shape dialog's gradient and picture,
    // the page's colour and picture in its wide box and in shorter ones, and
    // the gradient alone of captions and menus.
    struct Case {
        int width;
        int height;
        int rows;
    } cases[] = {
        { 500, 150, PropertyGroups::GradientRows | PropertyGroups::PictureRow },
        { 520, 120, PropertyGroups::PictureRow },
        { 520, 85, PropertyGroups::PictureRow },
        { 400, 85, PropertyGroups::PictureRow },
        { 330, 120, PropertyGroups::PictureRow },
        { 330, 85, PropertyGroups::PictureRow },
        { 250, 85, PropertyGroups::PictureRow },
        { 250, 120, PropertyGroups::GradientRows },
    };
    auto page = makeBox();
    ASSERT_TRUE(page->setBackgroundColor(u"#f0f0f080"));
    page->setBackgroundImage(u"paper.jpg");
    QDir().mkpath(QStringLiteral("/tmp/lumavine-forms"));
    for (const Case& c : cases) {
        std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
        GroupForm g(300, 200);
        PropertyGroups::addBackgroundGroup(
            g.form, page.get(), { 10, 10, c.width, c.height }, u"Background", u"", c.rows);
        XmlForm* form = g.show();
        ASSERT_NE(form, nullptr) << size;
        QWidget* box = form->findControl(u"BackgroundGroup");
        box->grab().save(
            QStringLiteral("/tmp/lumavine-forms/background-%1-%2.png").arg(QString::fromStdString(size)).arg(c.rows));
        // What each control takes, with the sunken frame drawn round the framed ones.
        std::vector<std::pair<std::string, QRect>> taken;
        for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isVisible())
                continue;
            std::string name = child->objectName().toStdString();
            bool framed = qobject_cast<QLineEdit*>(child) || qobject_cast<XmlFormColor*>(child)
                || qobject_cast<XmlFormImage*>(child);
            QRect rect = framed ? child->geometry().adjusted(-2, -2, 1, 1) : child->geometry();
            EXPECT_TRUE(box->rect().contains(rect)) << size << " " << name;
            if (auto* label = qobject_cast<QLabel*>(child)) {
                EXPECT_LE(label->sizeHint().width(), label->width()) << size << " " << name;
                EXPECT_GE(label->height(), label->fontMetrics().height()) << size << " " << name;
            }
            for (const auto& [other, otherRect] : taken)
                EXPECT_FALSE(rect.intersects(otherRect)) << size << " " << name << " overlaps " << other;
            taken.emplace_back(name, rect);
        }
        // The picture row really is there when asked for, with a thumbnail big
        // enough to see and a path edit that shows a file name.
        if (c.rows & PropertyGroups::PictureRow) {
            QWidget* thumbnail = form->findControl(u"background-image:image");
            ASSERT_NE(thumbnail, nullptr) << size;
            EXPECT_GE(thumbnail->height(), 30) << size;
            EXPECT_GE(form->findControl(u"background-image")->width(), 80) << size;
        }
        EXPECT_GE(taken.size(), 4u) << size;
    }
}
