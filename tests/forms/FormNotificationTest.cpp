#include "FormTestSupport.h"

#include "forms/FormDocument.h"
#include "forms/QtText.h"
#include "forms/SpinButton.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "forms/XmlFormColor.h"
#include "forms/XmlFormImage.h"
#include "xml/Elements.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace lumavine;

namespace {

FormBuilder& notifyingForm(FormBuilder& builder)
{
    Element* f = builder.form(u"main");
    f->setAttribute(u"drop", u"true");
    builder.add(f, u"input", u"type:text;name:title;style:\"left:10;top:10;width:200\"");
    builder.add(f, u"button", u"name:apply;style:\"left:220;top:10;width:80;height:25\"", u"Apply");
    builder.add(f, u"input", u"type:checkbox;name:flag;style:\"left:10;top:40;width:100\"", u"Flag");
    Element* combo = builder.add(f, u"select", u"name:mode;style:\"left:10;top:70;width:120;height:100\"");
    builder.option(combo, u"a", u"Alpha", true);
    builder.option(combo, u"b", u"Beta");
    Element* list = builder.add(f, u"list", u"name:pages;style:\"left:10;top:100;width:120;height:60\"");
    builder.option(list, u"p1", u"Page 1");
    builder.option(list, u"p2", u"Page 2");
    builder.add(f, u"textarea", u"name:notes;style:\"left:150;top:100;width:120;height:60\"");
    Element* help = builder.add(f, u"button", u"name:help;style:\"left:220;top:170;width:80;height:25\"", u"Help");
    addElement(help, u"helpfile", String(u"/opt/lumavine/guide/UserGuide.html"));
    FormDocument::addStandardButtons(f, 170);
    return builder;
}

}

TEST(FormNotifications, ListenerHearsEachControlWithItsNameAndElement)
{
    FormBuilder builder(400, 300);
    RecordingListener listener;
    ScriptedChooser chooser;
    XmlDialog dialog(nullptr, u"notify", &notifyingForm(builder).document, &listener);
    ASSERT_TRUE(dialog.showModeless());
    EXPECT_EQ(listener.calls.front(), "formCreated main");
    listener.calls.clear();

    QTest::keyClicks(static_cast<QLineEdit*>(dialog.findControl(u"title")), QStringLiteral("Hi"));
    EXPECT_EQ(listener.calls.size(), 2u);
    EXPECT_TRUE(listener.saw("textChanged title input"));
    EXPECT_EQ(listener.texts.back(), "Hi");

    QTest::mouseClick(static_cast<QPushButton*>(dialog.findControl(u"apply")), Qt::LeftButton);
    EXPECT_TRUE(listener.saw("buttonClicked apply button"));
    // On the box itself: the caption may end short of the control's middle.
    auto* flag = static_cast<QCheckBox*>(dialog.findControl(u"flag"));
    QTest::mouseClick(flag, Qt::LeftButton, {}, QPoint(6, flag->height() / 2));
    EXPECT_TRUE(listener.saw("buttonClicked flag input"));

    auto* combo = static_cast<QComboBox*>(dialog.findControl(u"mode"));
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_TRUE(listener.saw("comboSelected mode select"));
    EXPECT_EQ(listener.indexes.back(), 1);
    EXPECT_EQ(dialog.formAt(0)->valueOf(u"mode"), u"b");

    auto* list = static_cast<QListWidget*>(dialog.findControl(u"pages"));
    QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_TRUE(listener.saw("listSelectionChanged pages list"));
    EXPECT_EQ(listener.indexes.back(), 1);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_TRUE(listener.saw("listDoubleClicked pages list"));
    EXPECT_EQ(listener.indexes.back(), 1);

    auto* notes = dialog.findControl(u"notes");
    QTest::keyClicks(notes, QStringLiteral("x"));
    EXPECT_TRUE(listener.saw("textChanged notes textarea"));

    // Help opens its file and is reported like any button; the dialog stays open.
    QTest::mouseClick(static_cast<QPushButton*>(dialog.findControl(u"help")), Qt::LeftButton);
    ASSERT_EQ(chooser.opened.size(), 1u);
    EXPECT_EQ(chooser.opened[0], "/opt/lumavine/guide/UserGuide.html");
    EXPECT_TRUE(listener.saw("buttonClicked help button"));
    EXPECT_TRUE(dialog.isVisible());

    // Files dropped on a control of a form that accepts drops.
    QMimeData data;
    data.setUrls(
        { QUrl::fromLocalFile(QStringLiteral("/tmp/a one.png")), QUrl::fromLocalFile(QStringLiteral("/tmp/b.jpg")) });
    QWidget* target = dialog.findControl(u"title");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    EXPECT_TRUE(listener.saw("filesDropped title input"));
    EXPECT_EQ(listener.texts[listener.texts.size() - 2], "/tmp/a one.png");
    EXPECT_EQ(listener.texts.back(), "/tmp/b.jpg");

    // Enter confirms through the default button.
    QTest::keyClick(static_cast<QLineEdit*>(dialog.findControl(u"title")), Qt::Key_Return);
    EXPECT_TRUE(listener.saw("acceptResult"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.valueOf(u"title"), u"Hi");
    EXPECT_EQ(dialog.valueOf(u"flag"), u"true");
}

TEST(FormNotifications, FormsWithoutDropsIgnoreFiles)
{
    FormBuilder builder;
    Element* f = builder.form(u"main");
    builder.add(f, u"input", u"type:text;name:title;style:\"left:10;top:10;width:200\"");
    RecordingListener listener;
    XmlDialog dialog(nullptr, u"nodrop", &builder.document, &listener);
    ASSERT_TRUE(dialog.showModeless());
    EXPECT_FALSE(dialog.formAt(0)->acceptDrops());
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(QStringLiteral("/tmp/a.png")) });
    QWidget* title = dialog.findControl(u"title");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(title, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(title, &drop);
    EXPECT_FALSE(listener.saw("filesDropped title input"));
    dialog.onCancel();
}

TEST(FormNotifications, ChooserButtonsFillTheirEdits)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(folder.filePath(QStringLiteral("pic.png"))));

    FormBuilder builder(400, 300);
    Element* f = builder.form(u"main");
    builder.add(f, u"input",
        u"type:text;name:fill;extension:color;alpha:true;value:#00000040;style:\"left:10;top:10;width:300\"");
    builder
        .add(f, u"input",
            u"type:text;name:doc;extension:file;default:txt;files:Text|*.txt||;style:\"left:10;top:40;width:300\"")
        ->setAttribute(u"startdirectory", u"/home/ann/media");
    builder.add(f, u"input", u"type:text;name:dir;extension:directory;style:\"left:10;top:70;width:300\"");
    Element* image
        = builder.add(f, u"input", u"type:text;name:pic;extension:image;style:\"left:10;top:100;width:300\"");
    image->setAttribute(u"imageroot", fromQString(folder.path()));
    RecordingListener listener;
    ScriptedChooser chooser;
    XmlDialog dialog(nullptr, u"choose", &builder.document, &listener);
    ASSERT_TRUE(dialog.showModeless());
    XmlForm* form = dialog.formAt(0);

    // Cancelled choosers change nothing.
    chooser.answer = false;
    QTest::mouseClick(form->findControl(u"fill:color"), Qt::LeftButton);
    QTest::mouseClick(static_cast<QPushButton*>(form->findControl(u"doc:file")), Qt::LeftButton);
    EXPECT_EQ(form->valueOf(u"fill"), u"#000000");
    EXPECT_EQ(form->valueOf(u"doc"), u"");

    chooser.answer = true;
    chooser.color = 0xFF336699;
    QTest::mouseClick(form->findControl(u"fill:color"), Qt::LeftButton);
    EXPECT_EQ(chooser.startColors.back(), 0xFF000000u);
    EXPECT_EQ(form->valueOf(u"fill"), u"#336699");
    // The alpha edit is kept, and the swatch shows colour and alpha together.
    EXPECT_EQ(form->colorValueOf(u"fill"), u"#33669940");
    EXPECT_EQ(static_cast<XmlFormColor*>(form->findControl(u"fill:color"))->color(), 0x40336699u);
    QTest::keyClick(static_cast<QLineEdit*>(form->findControl(u"fill:alpha")), Qt::Key_Up);
    EXPECT_EQ(static_cast<XmlFormColor*>(form->findControl(u"fill:color"))->color(), 0x41336699u);

    // A file not yet chosen is looked for in the start folder; once one is
    // chosen, the chooser starts at it.
    chooser.file = u"/home/ann/notes.txt";
    QTest::mouseClick(static_cast<QPushButton*>(form->findControl(u"doc:file")), Qt::LeftButton);
    EXPECT_EQ(chooser.lastStart, u"/home/ann/media");
    EXPECT_EQ(form->valueOf(u"doc"), u"/home/ann/notes.txt");
    EXPECT_EQ(chooser.lastFilters, u"Text|*.txt||");
    EXPECT_EQ(chooser.lastDefaultExtension, u"txt");
    QTest::mouseClick(static_cast<QPushButton*>(form->findControl(u"doc:file")), Qt::LeftButton);
    EXPECT_EQ(chooser.lastStart, u"/home/ann/notes.txt");

    chooser.directory = u"/home/ann/site";
    QTest::mouseClick(static_cast<QPushButton*>(form->findControl(u"dir:directory")), Qt::LeftButton);
    EXPECT_EQ(form->valueOf(u"dir"), u"/home/ann/site");
    EXPECT_EQ(chooser.lastTitle, u"Enter Directory");

    // The thumbnail's browse strip offers pictures and shows the one chosen.
    auto* thumbnail = static_cast<XmlFormImage*>(form->findControl(u"pic:image"));
    EXPECT_FALSE(thumbnail->hasPicture());
    chooser.file = u"pic.png";
    QTest::mouseClick(thumbnail, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form->valueOf(u"pic"), u"");
    QTest::mouseClick(thumbnail, Qt::LeftButton, {}, thumbnail->browseStrip().center());
    EXPECT_EQ(form->valueOf(u"pic"), u"pic.png");
    EXPECT_TRUE(chooser.lastFilters.startsWith(u"All Picture Files|*.jpg;*.jpeg;*.png;*.gif;*.bmp|"));
    EXPECT_TRUE(thumbnail->hasPicture());
    EXPECT_DOUBLE_EQ(thumbnail->displayRatio(), 60.0 / 40.0);
    // Pictures are chosen in the picture folder, and one chosen there is
    // kept relative to it; one from elsewhere keeps its whole path.
    const String root = fromQString(folder.path());
    EXPECT_EQ(chooser.lastStart, root + u"/");
    chooser.file = root + u"/pic.png";
    QTest::mouseClick(thumbnail, Qt::LeftButton, {}, thumbnail->browseStrip().center());
    EXPECT_EQ(chooser.lastStart, root + u"/pic.png");
    EXPECT_EQ(form->valueOf(u"pic"), u"pic.png");
    chooser.file = u"/srv/pictures/other.png";
    QTest::mouseClick(thumbnail, Qt::LeftButton, {}, thumbnail->browseStrip().center());
    EXPECT_EQ(form->valueOf(u"pic"), u"/srv/pictures/other.png");

    // None of the companion presses reached the listener.
    for (const std::string& call : listener.calls)
        EXPECT_EQ(call.find("buttonClicked"), std::string::npos) << call;
    EXPECT_EQ(
        FormChooser::toFileDialogFilter(u"Text|*.txt;*.text|All Files|*.*||"), u"Text (*.txt *.text);;All Files (*.*)");
    dialog.onCancel();
}
