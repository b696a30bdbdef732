#include "app/PublishSession.h"
#include "app/ProjectWindow.h"
#include "dialogs/FtpDialogs.h"
#include "forms/XmlDialog.h"
#include "net/FtpConnections.h"
#include "picture/canvas/PageView.h"
#include "tests/net/TestServer.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/WhenShown.h"

#include <QComboBox>
#include <QInputDialog>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace lumavine {
namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& path)
{
    return test::readFile(path.string());
}

// The designer publishing a copy of the sample project to a pyftpdlib server
// on this machine, through the publish dialog and the status window.
class PublishSessionTest : public testing::Test {
protected:
    PublishSessionTest()
    {
        fs::copy(LUMAVINE_SAMPLE_DIR, sample, fs::copy_options::recursive);
        fs::create_directories(installation);
        fs::create_directories(remote / "www");
        server = std::make_unique<test::TestServer>(
            "ftp_server.py", std::vector<std::string> { remote.string(), "ann", "secret" });
        window.setInstallationDirectory(String::fromNarrowLossless(installation.string()));
        window.setStatusReporter([this](const QString& text) { statuses << text; });
        window.resize(900, 700);
        window.show();
    }

    void addConnection(const String& password)
    {
        FtpConnections connections((installation / "ftp.xml").string());
        connections.load();
        ASSERT_TRUE(connections.add({ u"local", u"127.0.0.1", server->port(), u"ann", password, u"/www" }));
        ASSERT_TRUE(connections.save());
    }

    // Chooses the connection in the publish dialog, with the project's
    // content and custom files, and starts the run.
    PublishSession* startPublishing()
    {
        test::WhenShown<PageFtpDialog> dialog([](PageFtpDialog& shown) {
            auto* list = qobject_cast<QComboBox*>(shown.findControl(u"connection"));
            list->setCurrentIndex(list->findText(QStringLiteral("local")));
            QTest::mouseClick(shown.findControl(u"publish"), Qt::LeftButton);
        });
        EXPECT_TRUE(window.command(PageView::Publish));
        EXPECT_TRUE(dialog.done());
        return window.publishSession();
    }

    // Waits for the run to end; false when it does not within the limit,
    // which is above the worst case of a stalled server: a connect, a send
    // and the replies each have their own limit, and a cancelled run ends
    // only when the current upload does.
    static bool waitForEnd(PublishSession& session, QSignalSpy& ended)
    {
        return !session.isRunning() || ended.wait(90000);
    }

    // What the run said and what the client traced, for a failure's message.
    std::string story(const PublishSession& session) const
    {
        const std::string log = contentsOf(installation / "ftplog.txt");
        return "status lines:\n" + session.lines().join('\n').toStdString() + "\nthe log's end:\n"
            + log.substr(log.size() > 6000 ? log.size() - 6000 : 0);
    }

    test::TemporaryFolder folder { "lumavine-publish-session" };
    fs::path sample = folder.path() / "lumavine sample";
    fs::path installation = folder.path() / "installation";
    fs::path remote = folder.path() / "remote";
    std::unique_ptr<test::TestServer> server;
    QStringList statuses;
    ProjectWindow window;
};

TEST_F(PublishSessionTest, PublishesThroughTheStatusWindowWhileTheWindowStaysUsable)
{
    ASSERT_GT(server->port(), 0);
    addConnection(u"secret");
    ASSERT_TRUE(window.open(String::fromNarrowLossless((sample / "lumavine-sample.xml").string())));

    PublishSession* session = startPublishing();
    ASSERT_NE(session, nullptr);
    QSignalSpy ended(session, &PublishSession::finished);
    XmlDialog* status = session->statusWindow();
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(status->isModal());
    ASSERT_TRUE(waitForEnd(*session, ended));
    ASSERT_EQ(ended.size(), 1);
    EXPECT_TRUE(ended[0][0].toBool()) << session->lines().join('\n').toStdString();

    // The lines went to the window's list, the last one selected.
    auto* list = qobject_cast<QListWidget*>(status->findControl(u"status"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), session->lines().size());
    EXPECT_EQ(list->currentRow(), list->count() - 1);
    EXPECT_EQ(session->lines().front(), QStringLiteral("Publishing to 127.0.0.1"));
    EXPECT_EQ(session->lines().back(), QStringLiteral("Done publishing to 127.0.0.1"));
    EXPECT_TRUE(statuses.contains(QStringLiteral("Published to 127.0.0.1.")));

    // The project folder's blank becomes "_" on the server, and what arrived
    // is what the project holds.
    const fs::path published = remote / "www" / "lumavine_sample";
    ASSERT_TRUE(fs::is_directory(published));
    int compared = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(sample / "content" / "files")) {
        if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.')
            continue;
        EXPECT_EQ(contentsOf(published / "files" / entry.path().filename()), contentsOf(entry.path())) << entry.path();
        ++compared;
    }
    EXPECT_GT(compared, 0);
    EXPECT_EQ(contentsOf(published / "Welcome.html"), contentsOf(sample / "content" / "Welcome.html"));
    EXPECT_TRUE(fs::exists(installation / "ftplog.txt"));

    // Once the run is over, the window's Cancel closes it.
    QTest::mouseClick(status->findControl(u"cancelpublish"), Qt::LeftButton);
    QTRY_VERIFY(session->statusWindow() == nullptr);
}

TEST_F(PublishSessionTest, AsksForAMissingPasswordAndCancelStopsTheRun)
{
    ASSERT_GT(server->port(), 0);
    addConnection(String());
    // Many files, so that the run is still sending when Cancel is pressed.
    const fs::path custom = sample / "content" / "custom";
    fs::create_directories(custom);
    for (int i = 0; i < 2000; ++i)
        std::ofstream(custom / ("file" + std::to_string(i) + ".txt")) << std::string(1000, 'x');
    ASSERT_TRUE(window.open(String::fromNarrowLossless((sample / "lumavine-sample.xml").string())));

    QString asked;
    test::WhenShown<QInputDialog> password([&asked](QInputDialog& shown) {
        asked = shown.labelText();
        EXPECT_EQ(shown.textEchoMode(), QLineEdit::Password);
        shown.setTextValue(QStringLiteral("secret"));
        shown.accept();
    });
    PublishSession* session = startPublishing();
    ASSERT_NE(session, nullptr);
    QSignalSpy ended(session, &PublishSession::finished);

    // Cancel once the first custom file has gone.
    QTRY_VERIFY_WITH_TIMEOUT(
        session->lines().contains(QStringLiteral("Send txt file succeeded")) || !session->isRunning(), 20000);
    ASSERT_FALSE(session->lines().contains(QStringLiteral("Done publishing to 127.0.0.1")));
    QTest::mouseClick(session->statusWindow()->findControl(u"cancelpublish"), Qt::LeftButton);
    EXPECT_FALSE(session->statusWindow()->findControl(u"cancelpublish")->isEnabled());
    ASSERT_TRUE(waitForEnd(*session, ended)) << story(*session);

    EXPECT_EQ(asked, QStringLiteral("Password for ann@127.0.0.1:"));
    ASSERT_EQ(ended.size(), 1);
    EXPECT_FALSE(ended[0][0].toBool());
    EXPECT_TRUE(session->lines().contains(QStringLiteral("Publish cancelled")));
    EXPECT_EQ(session->lines().back(), QStringLiteral("Done publishing to 127.0.0.1"));
    int sent = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(remote / "www" / "lumavine_sample" / "custom")) {
        (void)entry;
        ++sent;
    }
    EXPECT_LT(sent, 2000);
    // The button shows again once the run is over, and closes the window.
    EXPECT_TRUE(session->statusWindow()->findControl(u"cancelpublish")->isEnabled());
}

}
}
