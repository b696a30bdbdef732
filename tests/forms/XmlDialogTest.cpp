#include "FormTestSupport.h"

#include "forms/FormDocument.h"
#include "forms/QtText.h"
#include "forms/ValueDialog.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "xml/Elements.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lumavine;

TEST(FormDocument, AttributeListsAndStandardButtons)
{
    Document document(u"menu");
    Element* entry = addElement(document.documentElement(), u"entry");
    FormDocument::setAttributeList(entry, u"type:item;name:edit;text:Edit...;id:");
    ASSERT_EQ(entry->attributes()->length(), 4u);
    EXPECT_EQ(entry->getAttribute(u"text"), u"Edit...");
    EXPECT_TRUE(entry->hasAttribute(u"id"));
    EXPECT_EQ(entry->getAttribute(u"id"), u"");
    // Case is kept, and a repeated key keeps its last value.
    Element* box = addElement(document.documentElement(), u"button");
    FormDocument::setAttributeList(box, u"type:groupbox;Name:AspectRatioBox;value:Aspect Ratio;value:Ratio");
    EXPECT_EQ(box->getAttribute(u"Name"), u"AspectRatioBox");
    EXPECT_EQ(box->getAttribute(u"value"), u"Ratio");

    Element* form = addElement(document.documentElement(), u"form");
    FormDocument::addStandardButtons(form, 150, u"/opt/guide/help.html");
    PtrList buttons;
    ASSERT_EQ(getChildElements(form, u"button", buttons), 3u);
    auto* ok = static_cast<Element*>(buttons.get(0));
    auto* help = static_cast<Element*>(buttons.get(2));
    EXPECT_EQ(ok->getAttribute(u"name"), u"ok");
    EXPECT_EQ(getText(ok), u"Ok");
    EXPECT_EQ(ok->getAttribute(u"style"), u"left:10;top:150;width:100;height:25");
    EXPECT_EQ(static_cast<Element*>(buttons.get(1))->getAttribute(u"style"), u"left:120;top:150;width:100;height:25");
    EXPECT_EQ(help->getAttribute(u"style"), u"left:230;top:150;width:100;height:25");
    EXPECT_EQ(getChildText(help, u"helpfile"), u"/opt/guide/help.html");

    Element* single = addElement(document.documentElement(), u"form");
    FormDocument::addStandardButtons(single, 40);
    EXPECT_EQ(getChildElements(single, u"button", buttons), 2u);
    Element* one = addElement(document.documentElement(), u"form");
    FormDocument::addStandardButton(one, 70);
    PtrList only;
    ASSERT_EQ(getChildElements(one, u"button", only), 1u);
    EXPECT_EQ(static_cast<Element*>(only.first())->getAttribute(u"style"), u"left:10;top:70;width:100;height:25");
}

TEST(XmlDialog, OneFormFillsTheClientAreaInTemplateUnits)
{
    FormBuilder builder(200, 100, u"Single");
    Element* form = builder.form(u"main");
    builder.add(form, u"input", u"type:text;name:first;style:\"left:10;top:10;width:200\"");
    XmlDialog dialog(nullptr, u"single", &builder.document, nullptr);
    ASSERT_TRUE(dialog.showModeless());

    QFontMetrics metrics(dialog.dialogFont());
    int average
        = (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1)
        / 2;
    EXPECT_EQ(dialog.width(), 200 * average / 4);
    EXPECT_EQ(dialog.height(), 100 * metrics.height() / 8);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Single"));
    EXPECT_EQ(dialog.tabBar(), nullptr);
    XmlForm* only = dialog.form(u"main");
    ASSERT_NE(only, nullptr);
    EXPECT_TRUE(only->isVisible());
    EXPECT_EQ(only->geometry(), dialog.rect());
    EXPECT_EQ(dialog.initialForm(), u"main");
    EXPECT_FALSE(dialog.selectForm(u"main"));
    dialog.onCancel();
}

TEST(XmlDialog, TabPagesShowTheInitialFormAndFollowTheUser)
{
    FormBuilder builder(300, 200);
    builder.add(builder.form(u"general", u"General"), u"input", u"type:text;name:a");
    builder.add(builder.form(u"advanced", u"Advanced"), u"input", u"type:text;name:b");
    XmlDialog dialog(nullptr, u"tabs", &builder.document, nullptr, u"advanced");
    ASSERT_TRUE(dialog.showModeless());

    QTabBar* tabs = dialog.tabBar();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("General"));
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_FALSE(dialog.form(u"general")->isVisible());
    EXPECT_TRUE(dialog.form(u"advanced")->isVisible());
    EXPECT_EQ(dialog.currentForm(), u"advanced");
    // The pages sit inside the tab control, 5 pixels in from the client edge, below the tabs.
    QRect page = dialog.form(u"general")->geometry();
    int top = QFontMetrics(dialog.dialogFont()).height() + 10;
    EXPECT_EQ(page, QRect(0, top, dialog.width() - 10, dialog.height() - 10 - top));

    // A user's click on a tab records the tab's caption.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(dialog.form(u"general")->isVisible());
    EXPECT_FALSE(dialog.form(u"advanced")->isVisible());
    EXPECT_EQ(dialog.currentForm(), u"General");

    EXPECT_TRUE(dialog.selectForm(u"advanced"));
    EXPECT_TRUE(dialog.form(u"advanced")->isVisible());
    EXPECT_EQ(dialog.currentForm(), u"advanced");
    EXPECT_FALSE(dialog.selectForm(u"missing"));
    EXPECT_EQ(dialog.currentForm(), u"");

    // Controls of every page are found by name.
    EXPECT_NE(dialog.findControl(u"a"), nullptr);
    EXPECT_NE(dialog.findControl(u"b"), nullptr);
    EXPECT_EQ(dialog.findControl(u"c"), nullptr);
    dialog.onCancel();
}

TEST(XmlDialog, ResultRootAndValuesAfterConfirmAndCancel)
{
    FormBuilder builder;
    Element* form = builder.form(u"main");
    builder.add(form, u"input", u"type:text;name:title;value:Home");
    FormDocument::addStandardButtons(form, 100);
    XmlDialog dialog(nullptr, u"direct", &builder.document, nullptr);
    EXPECT_EQ(dialog.result(), nullptr);
    EXPECT_EQ(dialog.valueOf(u"title"), u"");

    ASSERT_TRUE(dialog.showModeless());
    QTest::mouseClick(static_cast<QPushButton*>(dialog.findControl(u"cancel")), Qt::LeftButton);
    EXPECT_EQ(dialog.closeCode(), Dialog::Cancel);
    EXPECT_EQ(dialog.resultRoot(), nullptr);

    ASSERT_TRUE(dialog.showModeless());
    QTest::mouseClick(static_cast<QPushButton*>(dialog.findControl(u"ok")), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_NE(dialog.resultRoot(), nullptr);
    EXPECT_EQ(dialog.resultRoot()->tagName(), u"dialog");
    EXPECT_EQ(dialog.valueOf(u"title"), u"Home");
    EXPECT_EQ(dialog.valueOf(u"missing"), u"");

    // A dialog class's own form document answers under "document".
    ValueDialog value(nullptr, u"Rename", u"New name", u"page one");
    ASSERT_TRUE(value.showModeless());
    QTest::mouseClick(static_cast<QPushButton*>(value.findControl(u"ok")), Qt::LeftButton);
    ASSERT_NE(value.resultRoot(), nullptr);
    EXPECT_EQ(value.resultRoot()->tagName(), u"document");
    EXPECT_EQ(value.value(), u"page one");
}

TEST(XmlDialog, AcceptResultCanKeepTheDialogOpen)
{
    FormBuilder builder;
    Element* form = builder.form(u"main");
    builder.add(form, u"input", u"type:text;name:port;value:x21");
    FormDocument::addStandardButtons(form, 100);
    RecordingListener listener;
    listener.accept = false;
    XmlDialog dialog(nullptr, u"guarded", &builder.document, &listener);
    ASSERT_TRUE(dialog.showModeless());
    auto* ok = static_cast<QPushButton*>(dialog.findControl(u"ok"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(listener.saw("acceptResult"));
    EXPECT_NE(listener.lastResult.find("<port>x21</port>"), std::string::npos);

    // The user corrects the input; the next OK builds a fresh result and closes.
    static_cast<QLineEdit*>(dialog.findControl(u"port"))->setText(QStringLiteral("21"));
    listener.accept = true;
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.closeCode(), Dialog::Ok);
    EXPECT_EQ(dialog.valueOf(u"port"), u"21");
}

// Shows a dialog again after a result and calls beforeModal with it.
class RememberingDialog : public XmlDialog {
public:
    using XmlDialog::XmlDialog;
    void beforeModal(Document* previous) override { seen = previous; }
    Document* seen = nullptr;
};

TEST(XmlDialog, ModalRunsEndThroughTheirButtons)
{
    Dialog bare(u"bare");
    EXPECT_EQ(bare.doModal(), Dialog::NotShown);

    FormBuilder builder;
    Element* form = builder.form(u"main");
    builder.add(form, u"input", u"type:checkbox;name:flag;selected:true", u"Flag");
    FormDocument::addStandardButtons(form, 100);
    RememberingDialog dialog(nullptr, u"modal", &builder.document, nullptr);
    QTimer::singleShot(0, &dialog,
        [&dialog] { QTest::mouseClick(static_cast<QPushButton*>(dialog.findControl(u"ok")), Qt::LeftButton); });
    EXPECT_EQ(dialog.doModal(), Dialog::Ok);
    EXPECT_EQ(dialog.valueOf(u"flag"), u"true");
    EXPECT_EQ(dialog.seen, nullptr);

    // Escape cancels; the earlier result is offered to beforeModal and kept.
    Document* first = dialog.result();
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialog.doModal(), Dialog::Cancel);
    EXPECT_EQ(dialog.seen, first);
}

TEST(XmlDialog, BadFormDocumentsCreateNothingTheyCannot)
{
    // No forms at all: nothing to show but the frame, and OK answers an empty result.
    FormBuilder empty;
    XmlDialog none(nullptr, u"none", &empty.document, nullptr);
    EXPECT_EQ(none.formCount(), 0u);
    ASSERT_TRUE(none.showModeless());
    none.onOK();
    ASSERT_NE(none.resultRoot(), nullptr);
    EXPECT_FALSE(none.resultRoot()->hasChildNodes());

    // A document without a root, unreadable sizes, forms without names.
    Document nothing;
    XmlDialog rootless(nullptr, u"rootless", &nothing, nullptr);
    EXPECT_EQ(rootless.formCount(), 0u);
    EXPECT_EQ(rootless.templateRect(), QRect(0, 0, 0, 0));

    Document odd(u"dialog");
    addElement(odd.documentElement(), u"width", String(u"wide"));
    addElement(odd.documentElement(), u"form");
    Element* named = addElement(odd.documentElement(), u"form");
    named->setAttribute(u"name", u"one");
    Element* twin = addElement(odd.documentElement(), u"form");
    twin->setAttribute(u"name", u"one");
    XmlDialog oddDialog(nullptr, u"odd", &odd, nullptr);
    EXPECT_EQ(oddDialog.formCount(), 1u);
    EXPECT_EQ(oddDialog.templateRect().width(), 0);
    EXPECT_TRUE(oddDialog.showModeless());
    EXPECT_EQ(oddDialog.tabBar(), nullptr);
    oddDialog.onCancel();
}

TEST(XmlDialog, IdentifiersAscendFromAThousandWithOkAndCancelReserved)
{
    FormBuilder builder;
    Element* form = builder.form(u"main");
    builder.add(form, u"input", u"type:text;name:path;extension:file");
    builder.add(form, u"button", u"name:apply", u"Apply");
    FormDocument::addStandardButtons(form, 100);
    XmlDialog dialog(nullptr, u"ids", &builder.document, nullptr);
    ASSERT_TRUE(dialog.showModeless());
    XmlForm* main = dialog.form(u"main");
    EXPECT_EQ(main->control(u"path")->id, 1000);
    EXPECT_EQ(main->control(u"path:file")->id, 1001);
    EXPECT_EQ(main->control(u"apply")->id, 1002);
    EXPECT_EQ(main->control(u"ok")->id, 1);
    EXPECT_EQ(main->control(u"cancel")->id, 2);
    EXPECT_EQ(dialog.controlName(1001), u"path:file");
    // Showing again rebuilds the controls with the same identifiers.
    dialog.onCancel();
    ASSERT_TRUE(dialog.showModeless());
    EXPECT_EQ(dialog.form(u"main")->control(u"apply")->id, 1002);
    dialog.onCancel();
}
