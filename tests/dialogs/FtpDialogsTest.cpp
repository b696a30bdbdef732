#include "dialogs/FtpDialogs.h"
#include "forms/XmlForm.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/WhenShown.h"
#include "xml/Element.h"

#include <QComboBox>
#include <QMessageBox>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumavine {
namespace {

using test::WhenShown;

void press(XmlDialog& dialog, std::u16string_view name)
{
    QTest::mouseClick(dialog.findControl(name), Qt::LeftButton);
}

// Presses a button whose dialog answers with a message box, and keeps what
// the box said.
std::vector<std::string> pressTold(XmlDialog& dialog, std::u16string_view name)
{
    std::vector<std::string> told;
    WhenShown<QMessageBox> box([&](QMessageBox& shown) {
        told.push_back(shown.text().toStdString());
        shown.accept();
    });
    press(dialog, name);
    return told;
}

class FtpDialogsTest : public testing::Test {
protected:
    test::TemporaryFolder folder { "lumavine-ftp-dialogs" };
    std::string file = (folder.path() / "ftp.xml").string();
};

TEST_F(FtpDialogsTest, ConnectionsAreAddedModifiedAndDeletedWithTheirChecks)
{
    std::string startPort;
    std::vector<std::string> told;
    std::vector<std::string> listed;
    FtpDialog dialog(nullptr, file);
    WhenShown<FtpDialog> user([&](FtpDialog& shown) {
        {
            // A new connection: the port starts as 0021; a bad port and a
            // name taken are refused with the dialog left open.
            WhenShown<FtpConnectionDialog> add([&](FtpConnectionDialog& connection) {
                XmlForm& form = *connection.formAt(0);
                startPort = form.valueOf(u"port").toNarrow();
                form.setValue(u"name", String(u"home"));
                form.setValue(u"host", String(u"ftp.example.org"));
                form.setValue(u"port", String(u"21x"));
                told = pressTold(connection, u"ok");
                form.setValue(u"port", String(u"0021"));
                press(connection, u"ok");
            });
            press(shown, u"ftp:add");
        }
        {
            WhenShown<FtpConnectionDialog> again([&](FtpConnectionDialog& connection) {
                connection.formAt(0)->setValue(u"name", String(u"home"));
                for (const std::string& text : pressTold(connection, u"ok"))
                    told.push_back(text);
                press(connection, u"cancel");
            });
            press(shown, u"ftp:add");
        }
        {
            // Modifying: the name cannot change.
            WhenShown<FtpConnectionDialog> modify([&](FtpConnectionDialog& connection) {
                XmlForm& form = *connection.formAt(0);
                form.setValue(u"host", String(u"ftp.example.net"));
                EXPECT_TRUE(form.findControl(u"name")->property("readOnly").toBool());
                EXPECT_EQ(form.valueOf(u"tls"), u"false");
                press(connection, u"tls");
                press(connection, u"incremental");
                form.setValue(u"certificates", String(u" /etc/ssl/our-ca.pem "));
                press(connection, u"ok");
            });
            press(shown, u"ftp:modify");
        }
        auto* list = qobject_cast<QComboBox*>(shown.findControl(u"connection"));
        for (int row = 0; list && row < list->count(); ++row)
            listed.push_back(list->itemText(row).toStdString());
        press(shown, u"ok");
    });
    EXPECT_EQ(dialog.doModal(), Dialog::Ok);
    EXPECT_FALSE(dialog.publishChosen());
    EXPECT_EQ(startPort, "0021");
    EXPECT_EQ(told, std::vector<std::string>({ "Invalid port number", "Ftp connection home already exists" }));
    EXPECT_EQ(listed, std::vector<std::string>({ "home" }));

    FtpConnections saved(file);
    saved.load();
    ASSERT_EQ(saved.elements().size(), 1u);
    EXPECT_EQ(saved.elements()[0]->getAttribute(u"port"), u"21");
    EXPECT_EQ(saved.elements()[0]->getAttribute(u"host"), u"ftp.example.net");
    const std::optional<FtpConnection> home = saved.connection(u"home");
    ASSERT_TRUE(home);
    EXPECT_TRUE(home->tls);
    EXPECT_TRUE(home->incremental);
    EXPECT_EQ(home->certificateFile, u"/etc/ssl/our-ca.pem");

    // Delete needs a selection, and then asks nothing.
    FtpDialog deleting(nullptr, file);
    size_t afterNone = 0;
    WhenShown<FtpDialog> remover([&](FtpDialog& shown) {
        auto* list = qobject_cast<QComboBox*>(shown.findControl(u"connection"));
        list->setCurrentIndex(-1);
        press(shown, u"ftp:delete");
        FtpConnections unchanged(file);
        unchanged.load();
        afterNone = unchanged.elements().size();
        list->setCurrentIndex(0);
        press(shown, u"ftp:delete");
        press(shown, u"cancel");
    });
    deleting.doModal();
    EXPECT_EQ(afterNone, 1u);
    saved.load();
    EXPECT_TRUE(saved.elements().empty());
}

TEST_F(FtpDialogsTest, PublishNeedsAConnectionAndTakesTheProjectsOptions)
{
    FtpConnections connections(file);
    connections.load();
    connections.add({ u"home", u"ftp.example.org", 2121, u"ann", u"secret", u"/www" });
    ASSERT_TRUE(connections.save());

    connections.add({ u"work", u"ftp.example.net", 21, u"bob", u"other", u"/site" });
    ASSERT_TRUE(connections.save());

    // The list starts at the connection the project last used, else at the first.
    auto startsAt = [this](const String& last) {
        int unused = 3;
        PageFtpDialog dialog(nullptr, file, unused, last);
        QString shownFirst;
        WhenShown<PageFtpDialog> look([&](PageFtpDialog& shown) {
            shownFirst = qobject_cast<QComboBox*>(shown.findControl(u"connection"))->currentText();
            press(shown, u"cancel");
        });
        dialog.doModal();
        return shownFirst.toStdString();
    };
    EXPECT_EQ(startsAt(String()), "home");
    EXPECT_EQ(startsAt(String(u"work")), "work");
    EXPECT_EQ(startsAt(String(u"gone")), "home");

    int flags = 1;
    PageFtpDialog dialog(nullptr, file, flags);
    std::vector<std::string> told;
    bool contentShown = false;
    WhenShown<PageFtpDialog> user([&](PageFtpDialog& shown) {
        EXPECT_EQ(shown.windowTitle(), QStringLiteral("Publish Pages"));
        XmlForm& form = *shown.formAt(0);
        contentShown = form.valueOf(u"contentfiles").equals(u"true");
        auto* list = qobject_cast<QComboBox*>(shown.findControl(u"connection"));
        list->setCurrentIndex(-1);
        told = pressTold(shown, u"publish");
        EXPECT_TRUE(shown.isVisible());
        list->setCurrentIndex(0);
        form.setValue(u"contentfiles", String(u"false"));
        form.setValue(u"customfiles", String(u"true"));
        press(shown, u"publish");
    });
    EXPECT_EQ(dialog.doModal(), Dialog::Ok);
    EXPECT_TRUE(contentShown);
    EXPECT_EQ(told, std::vector<std::string>({ "You must select an FTP connection" }));
    ASSERT_TRUE(dialog.publishChosen());
    EXPECT_EQ(dialog.chosen().host, u"ftp.example.org");
    EXPECT_EQ(dialog.chosen().port, 2121);
    EXPECT_EQ(dialog.chosen().root, u"/www");
    EXPECT_EQ(flags, 2);
}

// After a connection is added, changed or deleted, the list shows the
// connection touched (or the first), and Publish takes the one it shows.
TEST_F(FtpDialogsTest, PublishTakesTheConnectionShownAfterTheListChanged)
{
    FtpConnections connections(file);
    connections.load();
    connections.add({ u"home", u"ftp.example.org", 2121, u"ann", u"secret", u"/www" });
    connections.add({ u"work", u"ftp.example.net", 21, u"bob", u"other", u"/site" });
    ASSERT_TRUE(connections.save());

    auto publishAfter = [this](const std::function<void(PageFtpDialog&)>& change) {
        int flags = 3;
        PageFtpDialog dialog(nullptr, file, flags);
        std::string shown;
        std::vector<std::string> told;
        WhenShown<PageFtpDialog> user([&](PageFtpDialog& publish) {
            change(publish);
            shown = qobject_cast<QComboBox*>(publish.findControl(u"connection"))->currentText().toStdString();
            told = pressTold(publish, u"publish");
            if (publish.isVisible())
                press(publish, u"cancel");
        });
        dialog.doModal();
        EXPECT_TRUE(told.empty()) << told.front();
        return std::pair(shown, dialog.publishChosen() ? dialog.chosen().host.toNarrow() : std::string("none"));
    };

    // Modify keeps the connection chosen, and Publish takes it as changed.
    const auto modified = publishAfter([](PageFtpDialog& publish) {
        qobject_cast<QComboBox*>(publish.findControl(u"connection"))->setCurrentIndex(1);
        WhenShown<FtpConnectionDialog> modify([&](FtpConnectionDialog& connection) {
            connection.formAt(0)->setValue(u"host", String(u"ftp.example.com"));
            press(connection, u"ok");
        });
        press(publish, u"ftp:modify");
    });
    EXPECT_EQ(modified, std::pair(std::string("work"), std::string("ftp.example.com")));

    // A new connection is the one shown, even one whose name reads as a number.
    const auto added = publishAfter([](PageFtpDialog& publish) {
        WhenShown<FtpConnectionDialog> add([&](FtpConnectionDialog& connection) {
            XmlForm& form = *connection.formAt(0);
            form.setValue(u"name", String(u"123"));
            form.setValue(u"host", String(u"ftp.example.edu"));
            press(connection, u"ok");
        });
        press(publish, u"ftp:add");
    });
    EXPECT_EQ(added, std::pair(std::string("123"), std::string("ftp.example.edu")));

    // After a delete the first one is shown.
    const auto deleted = publishAfter([](PageFtpDialog& publish) {
        qobject_cast<QComboBox*>(publish.findControl(u"connection"))->setCurrentIndex(2);
        press(publish, u"ftp:delete");
    });
    EXPECT_EQ(deleted, std::pair(std::string("home"), std::string("ftp.example.org")));
}

}
}
