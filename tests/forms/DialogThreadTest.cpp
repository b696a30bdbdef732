#include "FormTestSupport.h"

#include "forms/FormDocument.h"
#include "forms/QtText.h"
#include "forms/ValueDialog.h"
#include "forms/XmlDialog.h"
#include "forms/XmlDialogThread.h"
#include "forms/XmlForm.h"
#include "forms/XmlFormImage.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

using namespace lumavine;

TEST(XmlDialogThread, RunsBesideAWorkerAndEndsByItself)
{
    FormBuilder builder(200, 80, u"Publishing");
    Element* form = builder.form(u"status");
    builder.add(form, u"input", u"type:text;name:status;readonly:true;style:\"left:10;top:10;width:250\"");
    builder.add(form, u"button", u"name:cancel;style:\"left:10;top:40;width:80;height:25\"", u"Cancel");
    XmlDialogThread thread(nullptr, u"publish", &builder.document, nullptr);
    EXPECT_EQ(thread.dialog(), nullptr);
    int closed = -1;
    QObject::connect(&thread, &XmlDialogThread::finished, [&closed](int code) { closed = code; });
    ASSERT_TRUE(thread.start());
    EXPECT_FALSE(thread.start());
    ASSERT_NE(thread.dialog(), nullptr);
    EXPECT_TRUE(thread.dialog()->isVisible());
    auto* status = static_cast<QLineEdit*>(thread.dialog()->findControl(u"status"));
    ASSERT_NE(status, nullptr);

    // A worker writes progress lines through queued calls, in order.
    std::thread worker([&thread] {
        for (int i = 1; i <= 20; ++i) {
            thread.post([i](XmlDialog& dialog) {
                dialog.formAt(0)->setValue(u"status", u"Uploading file " + String::number(i));
            });
        }
        thread.finish();
    });
    worker.join();
    EXPECT_TRUE(QTest::qWaitFor([&closed] { return closed >= 0; }, 5000));
    EXPECT_EQ(closed, Dialog::Ok);
    EXPECT_EQ(thread.dialog(), nullptr);

    // The user can end it too; posts that arrive after the end do nothing.
    ASSERT_TRUE(thread.start());
    QTest::mouseClick(static_cast<QPushButton*>(thread.dialog()->findControl(u"cancel")), Qt::LeftButton);
    EXPECT_EQ(closed, Dialog::Cancel);
    EXPECT_EQ(thread.dialog(), nullptr);
    bool ran = false;
    thread.post([&ran](XmlDialog&) { ran = true; });
    QTest::qWait(10);
    EXPECT_FALSE(ran);
}

TEST(ValueDialog, AsksForOneTextInABox)
{
    ValueDialog plain(nullptr, u"Rename Page", u"Page Name", u"Home");
    EXPECT_EQ(plain.templateRect(), QRect(10, 10, 250, 80));
    EXPECT_EQ(plain.title(), u"Rename Page");
    ASSERT_TRUE(plain.showModeless());
    QWidget* box = plain.findControl(u"ValueBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry(), QRect(10, 10, 360, 70));
    EXPECT_EQ(plain.findControl(u"value")->parentWidget(), box);
    EXPECT_EQ(plain.findControl(u"value")->geometry().x(), 12);
    EXPECT_EQ(plain.findControl(u"value")->geometry().width(), 340 - 3);
    EXPECT_EQ(plain.findControl(u"cancel")->geometry(), QRect(100, 90, 80, 25));
    auto* edit = static_cast<QLineEdit*>(plain.findControl(u"value"));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("About us"));
    QTest::mouseClick(static_cast<QPushButton*>(plain.findControl(u"ok")), Qt::LeftButton);
    EXPECT_EQ(plain.value(), u"About us");

    ValueDialog image(nullptr, u"Picture", u"Source", u"files/a.png", u"image");
    EXPECT_EQ(image.templateRect(), QRect(10, 10, 300, 100));
    ASSERT_TRUE(image.showModeless());
    EXPECT_EQ(image.findControl(u"ValueBox")->geometry(), QRect(10, 10, 400, 100));
    EXPECT_NE(qobject_cast<XmlFormImage*>(image.findControl(u"value:image")), nullptr);
    EXPECT_EQ(image.findControl(u"ok")->geometry(), QRect(10, 120, 80, 25));
    QTest::mouseClick(static_cast<QPushButton*>(image.findControl(u"cancel")), Qt::LeftButton);
    EXPECT_EQ(image.value(), u"");
}
