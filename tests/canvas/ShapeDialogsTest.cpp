#include "picture/canvas/ShapeDialogs.h"
#include "dialogs/ActionDialogs.h"
#include "forms/FormChooser.h"
#include "forms/QtText.h"
#include "forms/ValueDialog.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "forms/XmlPanel.h"
#include "page/Page.h"
#include "page/PageMenu.h"
#include "page/PageNode.h"
#include "picture/WinFont.h"
#include "picture/WinImage.h"
#include "picture/canvas/PageView.h"
#include "picture/canvas/ShapeProperties.h"
#include "tests/support/Readable.h"
#include "tests/support/TestProject.h"
#include "tests/support/WhenShown.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace lumavine {
namespace {

using test::WhenShown;

void press(XmlDialog& dialog, std::u16string_view button)
{
    QWidget* control = dialog.findControl(button);
    ASSERT_NE(control, nullptr) << String(button).toNarrow();
    QTest::mouseClick(control, Qt::LeftButton);
}

std::string valueIn(XmlDialog& dialog, std::u16string_view name)
{
    return dialog.formAt(0)->valueOf(name).toNarrow();
}

void set(XmlDialog& dialog, std::u16string_view name, std::u16string_view value)
{
    EXPECT_TRUE(dialog.formAt(0)->setValue(name, String(value))) << String(name).toNarrow();
}

using Written = std::map<std::string, std::string>;

// A shape as its XML says it: each child element's text by name.
Written written(PicNode& shape)
{
    Document document(String(u"node"));
    shape.writeXml(document.documentElement());
    Written out;
    for (Node* node : document.documentElement()->childNodes())
        if (const Element* child = node->asElement())
            out[child->tagName().toNarrow()] += getText(child).toNarrow();
    return out;
}

std::string xmlOf(Page& page)
{
    Document document(String(u"page"));
    page.writeXml(document.documentElement());
    return document.documentElement()->toXml().toNarrow();
}

// The names of the group boxes of a form document's "Properties" form.
std::vector<std::string> groupsOf(Document& formDocument)
{
    std::vector<std::string> names;
    Element* form = findChildByAttribute(formDocument.documentElement(), u"name", ShapeProperties::formName);
    std::unique_ptr<NodeList> buttons = form->getElementsByTagName(u"button");
    for (Node* node : *buttons)
        if (node->asElement()->getAttribute(u"type").equals(u"groupbox"))
            names.push_back(node->asElement()->getAttribute(u"name").toNarrow());
    return names;
}

class CountingDialogs : public ShapeDialogs {
public:
    void modified() override { ++modifiedCount; }
    int modifiedCount = 0;
};

class ShapeDialogsTest : public testing::Test {
protected:
    ShapeDialogsTest()
    {
        view.setDoubleClickInterval(0);
        page.setSnapGrid(false);
        view.resize(500, 400);
        view.show();
    }

    // A picture file in the content folder; answers its name there.
    String addPictureFile(const std::string& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(QString::fromStdString(project.path("content/" + name)));
        return String::fromNarrow(name);
    }

    test::TestProject project;
    Page& page = project.addPage(String(u"Dialogs"));
    CountingDialogs dialogs;
    PageView view { page, &dialogs };
};

TEST_F(ShapeDialogsTest, RectangleDialogShowsTheShapeAndWritesBackExactlyWhatTheUserChanged)
{
    PicNode* box = page.addRectangle(QRect(40, 40, 100, 60));
    box->setProperties(u"text:Hello;border-width:3;border-color:#102030;halign:center", u";", u":");
    const Written before = written(*box);
    const String boxId = box->id();

    std::vector<std::string> shown;
    WhenShown<XmlDialog> user([&](XmlDialog& dialog) {
        shown = { valueIn(dialog, u"name"), valueIn(dialog, u"text"), valueIn(dialog, u"border-width"),
            valueIn(dialog, u"width"), valueIn(dialog, u"halign"), valueIn(dialog, u"layer") };
        set(dialog, u"name", u"Greeting");
        auto* text = qobject_cast<QWidget*>(dialog.findControl(u"text"));
        ASSERT_NE(text, nullptr);
        set(dialog, u"text", u"");
        QTest::keyClicks(text, "Welcome");
        set(dialog, u"border-width", u"7");
        set(dialog, u"width", u"120");
        set(dialog, u"halign", u"right");
        set(dialog, u"background-start", u"#ff0000");
        set(dialog, u"background-end", u"#0000ff");
        set(dialog, u"gradient-mode", u"vertical");
        set(dialog, u"font-family", u"DejaVu Sans");
        set(dialog, u"font-size", u"14");
        set(dialog, u"font-style", u"Bold");
        set(dialog, u"underline", u"true");
        press(dialog, u"ok");
    });
    // A double click on the shape opens its dialog.
    QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(60, 60));
    ASSERT_TRUE(user.done());
    EXPECT_EQ(shown, std::vector<std::string>({ "Rectangle_1", "Hello", "3", "100", "center", "0" }));

    Written expected = before;
    expected["name"] = "Greeting";
    expected["text"] = "Welcome";
    expected["halign"] = "right";
    expected["background-color"] = "#ff0000,#0000ff,vertical";
    expected["font"] = written(*box)["font"];
    Written after = written(*box);
    // The box and border texts hold the new width and border width.
    EXPECT_NE(after["border"].find("width:7"), std::string::npos) << after["border"];
    EXPECT_EQ(box->getBounds(), QRect(40, 40, 120, 60));
    expected["border"] = after["border"];
    expected["points"] = after["points"];
    EXPECT_EQ(after, expected);
    EXPECT_NE(after["font"].find("DejaVu Sans"), std::string::npos) << after["font"];
    EXPECT_NE(after["font"].find("14"), std::string::npos);
    ASSERT_NE(box->font(), nullptr);
    EXPECT_EQ(box->font()->style(), WinFont::Bold | WinFont::Underline);

    // One confirmed dialog: the page is modified, and it is one undo step.
    EXPECT_EQ(dialogs.modifiedCount, 1);
    ASSERT_EQ(view.undoStack().count(), 1);
    view.undoStack().undo();
    EXPECT_EQ(written(*page.findNode(boxId)), before);
}

// The dialog of each kind of shape, and of several shapes, on each of its
// tabs: nothing a person reads is cut off or lies outside its box.
TEST_F(ShapeDialogsTest, EveryKindsDialogShowsItsTextsWhole)
{
    PicNode* box = page.addRectangle(QRect(20, 20, 60, 40));
    PicNode* line = page.addLine({ QPoint(20, 100), QPoint(120, 100) });
    PicNode* ellipse = page.addEllipse(QRect(20, 120, 50, 50));
    PicNode* picture = page.addPicture(200, 40, addPictureFile("look.png", 30, 20));
    for (const auto& shapes : std::vector<std::vector<PicNode*>> {
             { box }, { line }, { ellipse }, { picture }, { box, ellipse }, { box, line } }) {
        SCOPED_TRACE(shapes.size() == 1 ? shapes.front()->getName().toNarrow() : std::string("several"));
        int checked = 0;
        WhenShown<XmlDialog> look([&](XmlDialog& dialog) {
            checked = test::expectEveryTabReadable(dialog);
            press(dialog, u"cancel");
        });
        PtrListOf<PicNode> selected;
        for (PicNode* shape : shapes)
            selected.append(shape);
        EXPECT_FALSE(dialogs.editShapes(view, selected));
        EXPECT_TRUE(look.done());
        EXPECT_GT(checked, 5);
    }
}

TEST_F(ShapeDialogsTest, CancelledDialogsChangeNothing)
{
    PicNode* box = page.addRectangle(QRect(40, 40, 100, 60));
    box->setProperties(u"text:Hello;background-color:#00ff00", u";", u":");
    PicNode* line = page.addLine({ QPoint(200, 50), QPoint(300, 80) });
    const std::string before = xmlOf(page);

    for (PicNode* shape : { box, line }) {
        WhenShown<XmlDialog> user([](XmlDialog& dialog) {
            set(dialog, u"name", u"Changed");
            press(dialog, u"cancel");
        });
        PtrListOf<PicNode> shapes;
        shapes.append(shape);
        EXPECT_FALSE(dialogs.editShapes(view, shapes));
        EXPECT_TRUE(user.done());
    }
    WhenShown<XmlDialog> user([](XmlDialog& dialog) {
        set(dialog, u"border-width", u"9");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    PtrListOf<PicNode> both;
    both.append(box);
    both.append(line);
    EXPECT_FALSE(dialogs.editShapes(view, both));
    EXPECT_TRUE(user.done());
    EXPECT_EQ(xmlOf(page), before);
    EXPECT_EQ(dialogs.modifiedCount, 0);
}

TEST_F(ShapeDialogsTest, EachKindGetsItsGroupsAndLinesAndPicturesApplyTheirOwn)
{
    PicNode* line = page.addLine({ QPoint(20, 20), QPoint(120, 20) });
    PicNode* ellipse = page.addEllipse(QRect(20, 60, 50, 50));
    const String first = addPictureFile("first.png", 30, 20);
    const String second = addPictureFile("second.png", 64, 48);
    PicNode* picture = page.addPicture(200, 40, first);
    ASSERT_TRUE(picture->image() && picture->image()->isLoaded());

    auto groupsFor = [&](PicNode* shape) {
        Document formDocument(String(u"dialog"));
        ShapeProperties::buildSingle(formDocument, page, *shape, project.contentDirectory());
        return groupsOf(formDocument);
    };
    EXPECT_EQ(groupsFor(line), std::vector<std::string>({ "NameBox", "LineBox" }));
    EXPECT_EQ(groupsFor(ellipse),
        std::vector<std::string>(
            { "NameBox", "TextGroup", "BorderGroup", "FontGroup", "AlignGroup", "LayerBox", "BackgroundGroup" }));
    EXPECT_EQ(groupsFor(picture),
        std::vector<std::string>({ "NameBox", "AspectRatioBox", "TextGroup", "BorderGroup", "FontGroup", "AlignGroup",
            "SizeGroup", "LayerBox", "ImageGroup" }));

    const Written lineBefore = written(*line);
    WhenShown<XmlDialog> lineUser([](XmlDialog& dialog) {
        set(dialog, u"line-color", u"#ff8000");
        set(dialog, u"line-width", u"5");
        set(dialog, u"line-style", u"dash");
        press(dialog, u"ok");
    });
    PtrListOf<PicNode> lines;
    lines.append(line);
    ASSERT_TRUE(dialogs.editShapes(view, lines));
    const Written lineAfter = written(*line);
    EXPECT_NE(lineAfter.at("line"), lineBefore.at("line"));
    for (const char* part : { "#ff8000", "width:5", "dash" })
        EXPECT_NE(lineAfter.at("line").find(part), std::string::npos) << lineAfter.at("line");

    std::string shownSource;
    WhenShown<XmlDialog> pictureUser([&](XmlDialog& dialog) {
        shownSource = valueIn(dialog, u"source");
        set(dialog, u"source", second);
        set(dialog, u"image-aspect", u"true");
        press(dialog, u"ok");
    });
    PtrListOf<PicNode> pictures;
    pictures.append(picture);
    ASSERT_TRUE(dialogs.editShapes(view, pictures));
    EXPECT_EQ(shownSource, "first.png");
    EXPECT_EQ(written(*picture)["source"], "second.png");
    EXPECT_EQ(written(*picture)["image-aspect"], "true");
    ASSERT_TRUE(picture->image()->isLoaded());
    EXPECT_EQ(picture->image()->naturalWidth(), 64);
    EXPECT_TRUE(picture->isSelected());
}

TEST_F(ShapeDialogsTest, TheClickAndMoveTabsSetTheShapesActionsThroughTheirDialogs)
{
    PicNode* frame = page.addRectangle(QRect(200, 20, 200, 200));
    Page::asPageNode(frame)->setFrame(true);
    frame->setName(String(u"stage"));
    PicNode* box = page.addRectangle(QRect(20, 20, 100, 40));
    PicNode* line = page.addLine({ QPoint(20, 300), QPoint(120, 300) });

    // Lines and frames have no actions of their own.
    for (PicNode* plain : { frame, line }) {
        Document formDocument(String(u"dialog"));
        ShapeProperties::buildSingle(formDocument, page, *plain, project.contentDirectory());
        EXPECT_EQ(findChildByAttribute(formDocument.documentElement(), u"name", u"Click"), nullptr);
    }

    std::string captionAfter;
    test::WhenShown<ImageDialog> picture([](ImageDialog& dialog) {
        dialog.formAt(0)->setValue(u"picturetarget", String(u"stage"));
        dialog.formAt(0)->setValue(u"imageurl", String(u"files/sunrise.jpg"));
        QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
    });
    WhenShown<XmlDialog> user([&](XmlDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Object Properties"));
        ASSERT_TRUE(dialog.selectForm(String(u"Click")));
        XmlForm* click = dialog.form(u"Click");
        ASSERT_NE(click, nullptr);
        QTest::mouseClick(click->findControl(u"onmousedown:showimage"), Qt::LeftButton);
        auto* panel = qobject_cast<XmlPanel*>(click->findControl(u"onmousedown-panel"));
        ASSERT_NE(panel, nullptr);
        captionAfter = panel->caption().toNarrow();
        QTest::mouseClick(click->findControl(u"onmouseup:stopaudio"), Qt::LeftButton);
        ASSERT_TRUE(dialog.selectForm(String(u"Move")));
        XmlForm* move = dialog.form(u"Move");
        move->setValue(u"title", String(u"Look at the lake"));
        QTest::mouseClick(move->findControl(u"ok"), Qt::LeftButton);
    });
    PtrListOf<PicNode> shapes;
    shapes.append(box);
    ASSERT_TRUE(dialogs.editShapes(view, shapes));
    ASSERT_TRUE(picture.done());
    EXPECT_EQ(captionAfter, "Mouse is Clicked (show_picture)");
    const Written after = written(*box);
    EXPECT_EQ(
        after.at("onmousedown"), "javascript:show_picture('stage','files/sunrise.jpg',null,null,null,null,100,true)");
    EXPECT_EQ(after.at("onmouseup"), "javascript:clear_audio()");
    EXPECT_EQ(after.at("title"), "Look at the lake");
}

TEST_F(ShapeDialogsTest, AFrameNameThatActionsCannotQuoteIsRefused)
{
    PicNode* frame = page.addRectangle(QRect(20, 20, 200, 200));
    Page::asPageNode(frame)->setFrame(true);
    frame->setName(String(u"stage"));
    std::vector<QString> told;
    WhenShown<XmlDialog> user([&](XmlDialog& dialog) {
        set(dialog, u"name", u"Ann's frame");
        {
            WhenShown<QMessageBox> box([&](QMessageBox& shown) {
                told.push_back(shown.text());
                shown.accept();
            });
            press(dialog, u"ok");
        }
        EXPECT_TRUE(dialog.isVisible());
        set(dialog, u"name", u"Anns frame");
        press(dialog, u"ok");
    });
    PtrListOf<PicNode> shapes;
    shapes.append(frame);
    ASSERT_TRUE(dialogs.editShapes(view, shapes));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].contains("quotes")) << told[0].toStdString();
    EXPECT_EQ(frame->getName().toNarrow(), "Anns frame");
}

TEST_F(ShapeDialogsTest, TheMenuTabMakesAShapesPopUpMenu)
{
    PicNode* frame = page.addRectangle(QRect(200, 20, 200, 200));
    Page::asPageNode(frame)->setFrame(true);
    frame->setName(String(u"stage"));
    PicNode* box = page.addRectangle(QRect(20, 20, 100, 40));
    const String picture = addPictureFile("lake_view.png", 30, 20);
    // The files a user picks for the menu.
    class ChosenFiles : public FormChooser {
    public:
        explicit ChosenFiles(String file) : m_file(std::move(file)) { setCurrent(this); }
        ~ChosenFiles() override { setCurrent(nullptr); }
        bool chooseFiles(QWidget*, const String&, std::vector<String>& paths) override
        {
            paths = { m_file };
            return true;
        }

    private:
        String m_file;
    } chooser(project.contentDirectory() + u"/" + picture);

    QStringList listed;
    WhenShown<XmlDialog> user([&](XmlDialog& dialog) {
        ASSERT_TRUE(dialog.selectForm(String(u"Menu")));
        XmlForm* menu = dialog.form(u"Menu");
        {
            // "Other...": an entry whose action is a script of the user's.
            WhenShown<XmlDialog> item([](XmlDialog& entry) {
                XmlForm& form = *entry.formAt(0);
                WhenShown<ValueDialog> script([](ValueDialog& value) {
                    value.formAt(0)->setValue(u"value", String(u"javascript:alert('hi')"));
                    QTest::mouseClick(value.findControl(u"ok"), Qt::LeftButton);
                });
                QTest::mouseClick(form.findControl(u"url:custom"), Qt::LeftButton);
                form.setValue(u"name", String(u"Say hi"));
                QTest::mouseClick(entry.findControl(u"ok"), Qt::LeftButton);
            });
            QTest::mouseClick(menu->findControl(u"add"), Qt::LeftButton);
        }
        {
            // "Files...": a picture through its dialog, shown in a frame.
            WhenShown<ImageDialog> image([](ImageDialog& shown) {
                shown.formAt(0)->setValue(u"picturetarget", String(u"stage"));
                QTest::mouseClick(shown.findControl(u"ok"), Qt::LeftButton);
            });
            QTest::mouseClick(menu->findControl(u"menufiles"), Qt::LeftButton);
        }
        QTest::mouseClick(menu->findControl(u"moveup"), Qt::LeftButton);
        auto* list = qobject_cast<QListWidget*>(menu->findControl(u"itemlist"));
        for (int row = 0; list && row < list->count(); ++row)
            listed << list->item(row)->text();
        menu->setValue(u"menu-trigger", String(u"onmousedown"));
        menu->setValue(u"menu-static", String(u"true"));
        QTest::mouseClick(menu->findControl(u"ok"), Qt::LeftButton);
    });
    PtrListOf<PicNode> shapes;
    shapes.append(box);
    ASSERT_TRUE(dialogs.editShapes(view, shapes));
    EXPECT_EQ(listed, QStringList({ "Lake View", "Say hi" }));
    const PageMenu* menu = Page::asPageNode(box)->menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->itemCount(), 2u);
    EXPECT_EQ(menu->item(0)->name().toNarrow(), "Lake View");
    EXPECT_EQ(menu->item(0)->url().toNarrow().rfind("javascript:show_picture('stage','file://", 0), 0u)
        << menu->item(0)->url().toNarrow();
    EXPECT_EQ(menu->item(1)->url().toNarrow(), "javascript:alert('hi')");
    EXPECT_EQ(menu->trigger().toNarrow(), "onmousedown");
    EXPECT_TRUE(menu->isStatic());
    EXPECT_EQ(written(*box).count("menu"), 1u);

    // Cancelled, the menu stays as it was.
    WhenShown<XmlDialog> cancel([](XmlDialog& dialog) {
        dialog.selectForm(String(u"Menu"));
        XmlForm* form = dialog.form(u"Menu");
        qobject_cast<QListWidget*>(form->findControl(u"itemlist"))->setCurrentRow(0);
        QTest::mouseClick(form->findControl(u"delete"), Qt::LeftButton);
        EXPECT_EQ(qobject_cast<QListWidget*>(form->findControl(u"itemlist"))->count(), 1);
        QTest::mouseClick(form->findControl(u"cancel"), Qt::LeftButton);
    });
    EXPECT_FALSE(dialogs.editShapes(view, shapes));
    EXPECT_EQ(Page::asPageNode(box)->menu()->itemCount(), 2u);
}

TEST_F(ShapeDialogsTest, ANewLayerPutsTheShapeWhereItsLayerDraws)
{
    PicNode* low = page.addRectangle(QRect(20, 20, 50, 50));
    PicNode* high = page.addRectangle(QRect(40, 40, 50, 50));
    ASSERT_EQ(page.shapes().last(), high);
    WhenShown<XmlDialog> user([](XmlDialog& dialog) {
        set(dialog, u"layer", u"2");
        press(dialog, u"ok");
    });
    PtrListOf<PicNode> shapes;
    shapes.append(low);
    ASSERT_TRUE(dialogs.editShapes(view, shapes));
    EXPECT_EQ(low->layer(), 2);
    EXPECT_EQ(page.shapes().last(), low);
}

TEST_F(ShapeDialogsTest, SeveralShapesTakeOnlyWhatTheUserFilledIn)
{
    PicNode* a = page.addRectangle(QRect(20, 20, 60, 40));
    a->setProperties(u"text:One;halign:center;border-width:2;background-color:#00ff00", u";", u":");
    PicNode* b = page.addEllipse(QRect(120, 20, 60, 40));
    b->setProperties(u"text:Two;valign:bottom;border-width:4", u";", u":");
    a->setLayer(3);
    const Written aBefore = written(*a);
    const Written bBefore = written(*b);

    std::vector<std::string> groups;
    std::string halign;
    std::string layer;
    WhenShown<XmlDialog> user([&](XmlDialog& dialog) {
        halign = valueIn(dialog, u"halign");
        layer = valueIn(dialog, u"layer");
        EXPECT_EQ(dialog.findControl(u"name"), nullptr);
        EXPECT_EQ(dialog.findControl(u"width"), nullptr);
        set(dialog, u"border-width", u"9");
        set(dialog, u"background-start", u"#123456");
        press(dialog, u"ok");
    });
    PtrListOf<PicNode> both;
    both.append(a);
    both.append(b);
    ASSERT_TRUE(dialogs.editShapes(view, both));
    ASSERT_TRUE(user.done());
    // Lists and numbers start empty: leaving them alone keeps each shape's own.
    EXPECT_EQ(halign, "");
    EXPECT_EQ(layer, "");
    for (auto [shape, before] : { std::pair(a, aBefore), std::pair(b, bBefore) }) {
        Written after = written(*shape);
        EXPECT_NE(after["border"].find("width:9"), std::string::npos) << after["border"];
        EXPECT_EQ(after["background-color"], "#123456");
        before.erase("border");
        before.erase("background-color");
        after.erase("border");
        after.erase("background-color");
        EXPECT_EQ(after, before);
    }
}

TEST_F(ShapeDialogsTest, TheFontButtonFillsTheFontControlsFromTheChooser)
{
    PicNode* box = page.addRectangle(QRect(40, 40, 100, 60));
    box->setProperty(u"font", String(u"font-family:Serif;font-size:10;font-color:#204060"));
    // The chooser names families that several foundries make with the
    // foundry in brackets; the page keeps the family alone.
    const QString listed = QFontDatabase::families().value(0);
    ASSERT_FALSE(listed.isEmpty());
    const QString family = listed.section(QStringLiteral(" ["), 0, 0);

    QFont preset;
    WhenShown<QFontDialog> chooser([&](QFontDialog& fonts) {
        preset = fonts.currentFont();
        QFont chosen(listed);
        chosen.setPointSize(17);
        chosen.setBold(true);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        fonts.setCurrentFont(chosen);
        fonts.accept();
    });
    std::vector<std::string> filled;
    WhenShown<XmlDialog> user([&](XmlDialog& dialog) {
        press(dialog, u"FontDialog");
        filled = { valueIn(dialog, u"font-family"), valueIn(dialog, u"font-size"), valueIn(dialog, u"font-style"),
            valueIn(dialog, u"underline"), valueIn(dialog, u"strikeout"), valueIn(dialog, u"font-color") };
        press(dialog, u"ok");
    });
    PtrListOf<PicNode> shapes;
    shapes.append(box);
    ASSERT_TRUE(dialogs.editShapes(view, shapes));
    ASSERT_TRUE(chooser.done());
    EXPECT_EQ(preset.pointSize(), 10);
    EXPECT_EQ(
        filled, std::vector<std::string>({ family.toStdString(), "17", "Bold Italic", "true", "false", "#204060" }));
    ASSERT_NE(box->font(), nullptr);
    EXPECT_EQ(box->font()->family(), fromQString(family));
    EXPECT_EQ(box->font()->size(), 17.0f);
    EXPECT_EQ(box->font()->style(), WinFont::Bold | WinFont::Italic | WinFont::Underline);
}

TEST_F(ShapeDialogsTest, NewPicturesAreChosenThroughTheAddPictureDialog)
{
    const String file = addPictureFile("photo.png", 40, 30);
    String title;
    WhenShown<ValueDialog> user([&](ValueDialog& dialog) {
        title = fromQString(dialog.windowTitle());
        set(dialog, u"value", file);
        press(dialog, u"ok");
    });
    view.setContextPoint(QPoint(100, 100));
    ASSERT_TRUE(view.command(PageView::NewPicture));
    ASSERT_TRUE(user.done());
    EXPECT_EQ(title, String(u"Add Picture"));
    ASSERT_EQ(page.shapes().count(), 1u);
    PicNode* picture = page.shapes().first();
    EXPECT_EQ(picture->getBounds(), QRect(100, 100, 40, 30));

    // Cancelled: nothing is added.
    WhenShown<ValueDialog> cancel([](ValueDialog& dialog) { press(dialog, u"cancel"); });
    view.setContextPoint(QPoint(200, 100));
    view.command(PageView::NewThumbnail);
    EXPECT_TRUE(cancel.done());
    EXPECT_EQ(page.shapes().count(), 1u);
}

TEST_F(ShapeDialogsTest, ScaleAndRotateTakeOnlyNumbers)
{
    PicNode* box = page.addRectangle(QRect(40, 40, 100, 60));
    page.select(box, false, false);
    const std::string before = xmlOf(page);
    for (const char* answer : { "twice", "", "1e400x" }) {
        WhenShown<ValueDialog> user([answer](ValueDialog& dialog) {
            set(dialog, u"value", String::fromNarrow(answer));
            press(dialog, u"ok");
        });
        view.command(PageView::Scale);
        EXPECT_TRUE(user.done());
        EXPECT_EQ(xmlOf(page), before) << answer;
    }
    WhenShown<ValueDialog> user([](ValueDialog& dialog) {
        set(dialog, u"value", u"2");
        press(dialog, u"ok");
    });
    view.command(PageView::Scale);
    EXPECT_EQ(box->getBounds().size(), QSize(200, 120));
}

}
}
