#include "app/PublishRun.h"
#include "tests/net/TestServer.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

using namespace lumavine;
using test::TestServer;
namespace fs = std::filesystem;

namespace {

const std::string user = "ann";
const std::string password = "secret";

// A project "my site" with two pages, content files and custom files, and a
// folder beside it that the pyftpdlib server serves; "/pub" is the root
// projects are published under.
class Site {
public:
    explicit Site(const std::string& name = "my site")
        : m_project(m_temp.file(name))
        , m_content(m_project + "/content")
        , m_server(m_temp.file("server"))
    {
        fs::create_directories(m_server + "/pub");
        write("content/Home.html", "<html>home</html>\n");
        write("content/Home.png", std::string(12345, 'p'));
        write("content/About_us.html", "<html>about us</html>\n");
        write("content/files/a.png", "a picture");
        write("content/files/b.txt", "notes");
        write("content/files/.hidden", "never sent");
        write("content/files/sub/deep.png", "in a subfolder of files");
        write("content/custom/style.css", "body { }");
        write("content/custom/images/one.gif", "GIF89a one");
        write("content/custom/images/.DS_Store", "hidden");
        write("content/custom/images/thumbs/one.gif", "GIF89a small");
        write("content/custom/js/app.js", "run();");
        write("content/custom/.cache/x.txt", "hidden folder");
    }

    void write(const std::string& relative, const std::string& bytes) const
    {
        std::string path = m_project + "/" + relative;
        fs::create_directories(fs::path(path).parent_path());
        ASSERT_TRUE(test::writeFile(path, bytes));
    }
    std::string path(const std::string& relative) const { return m_project + "/" + relative; }

    std::vector<PublishPage> pages() const
    {
        return {
            { String(u"Home"), String(path("content/Home.html")), String(path("content/Home.png")) },
            { String(u"About us"), String(path("content/About_us.html")), String() },
        };
    }
    PublishProject project() const
    {
        return { String(m_project), String(m_content), String(fs::path(m_project).filename().string()) };
    }
    PublishSettings settings(
        int port, unsigned flags = PublishSettings::ContentFiles | PublishSettings::CustomFiles) const
    {
        PublishSettings settings;
        settings.connectionName = String(u"home server");
        settings.host = String(u"127.0.0.1");
        settings.port = port;
        settings.user = String(user);
        settings.password = String(password);
        settings.root = String(u"/pub");
        settings.flags = flags;
        return settings;
    }

    // The pyftpdlib server over the folder beside the project.
    std::unique_ptr<TestServer> startServer(const std::string& readOnlyFolder = {}) const
    {
        std::vector<std::string> arguments { m_server, user, password };
        if (!readOnlyFolder.empty()) {
            fs::create_directories(m_server + "/" + readOnlyFolder);
            arguments.push_back(readOnlyFolder);
        }
        return std::make_unique<TestServer>("ftp_server.py", arguments);
    }
    std::string serverFolder(const std::string& relative) const { return m_server + "/" + relative; }
    std::string logFile() const { return m_temp.file("ftplog.txt"); }

    // Every regular file below a folder, by its path relative to it.
    static std::map<std::string, std::string> tree(const std::string& folder)
    {
        std::map<std::string, std::string> files;
        if (!fs::is_directory(folder))
            return files;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file())
                files[fs::relative(entry.path(), folder).string()] = test::readFile(entry.path().string());
        }
        return files;
    }
    // What the whole site should look like on the server.
    std::map<std::string, std::string> publishedTree(bool contentFiles, bool customFiles) const
    {
        std::map<std::string, std::string> files;
        for (const char* page : { "Home.html", "Home.png", "About_us.html" })
            files[page] = test::readFile(path(std::string("content/") + page));
        if (contentFiles) {
            for (const char* file : { "a.png", "b.txt" })
                files[std::string("files/") + file] = test::readFile(path(std::string("content/files/") + file));
        }
        if (customFiles) {
            for (const char* file : { "style.css", "images/one.gif", "images/thumbs/one.gif", "js/app.js" })
                files[std::string("custom/") + file] = test::readFile(path(std::string("content/custom/") + file));
        }
        return files;
    }

private:
    test::TemporaryFolder m_temp { "lumavine-publish" };
    std::string m_project;
    std::string m_content;
    std::string m_server;
};

// A run with short limits whose status lines are kept.
struct Publish {
    Publish(const Site& site, const PublishSettings& settings) : Publish(site, settings, site.pages()) { }
    Publish(const Site& site, const PublishSettings& settings, std::vector<PublishPage> pages)
        : run(settings, site.project(), std::move(pages), site.logFile())
    {
        run.setReplyAttempts(2);
        run.setRetryPauseMs(10);
        run.setStatusSink([this](const String& line) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(line.toNarrow());
            changed.notify_all();
        });
    }
    int count(const std::string& line) const { return static_cast<int>(std::count(lines.begin(), lines.end(), line)); }

    PublishRun run;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> lines;
};

void sent(std::vector<std::string>& lines, const std::string& extension, const std::string& size)
{
    lines.push_back("Send " + extension + " file, " + size + " bytes");
    lines.push_back("Send " + extension + " file succeeded");
}

std::vector<std::string> pageLines()
{
    std::vector<std::string> lines { "Publishing to 127.0.0.1", "Publishing page: Home" };
    sent(lines, "html", "18");
    sent(lines, "png", "12,345");
    lines.insert(lines.end(), { "Done publishing page: Home", "Publishing page: About us" });
    sent(lines, "html", "22");
    lines.push_back("Done publishing page: About us");
    return lines;
}

void contentFileLines(std::vector<std::string>& lines)
{
    sent(lines, "png", "9");
    sent(lines, "txt", "5");
}

void customFileLines(std::vector<std::string>& lines)
{
    lines.insert(lines.end(), { "Publishing custom files", "Publishing directory: custom" });
    sent(lines, "css", "8");
    lines.insert(lines.end(), { "Done publishing directory: custom", "Publishing directory: custom/images" });
    sent(lines, "gif", "10");
    lines.insert(
        lines.end(), { "Done publishing directory: custom/images", "Publishing directory: custom/images/thumbs" });
    sent(lines, "gif", "12");
    lines.insert(lines.end(), { "Done publishing directory: custom/images/thumbs", "Publishing directory: custom/js" });
    sent(lines, "js", "6");
    lines.push_back("Done publishing directory: custom/js");
}

}

TEST(PublishRun, NamesAndNumbersAsTheStatusLinesShowThem)
{
    EXPECT_EQ(PublishRun::groupedNumber(0), u"0");
    EXPECT_EQ(PublishRun::groupedNumber(999), u"999");
    EXPECT_EQ(PublishRun::groupedNumber(1000), u"1,000");
    EXPECT_EQ(PublishRun::groupedNumber(12345), u"12,345");
    EXPECT_EQ(PublishRun::groupedNumber(1234567890123LL), u"1,234,567,890,123");
    EXPECT_EQ(PublishRun::remoteProjectDirectory(String(u"/www"), String(u"my site")), u"/www/my_site");
    EXPECT_EQ(PublishRun::remoteProjectDirectory(String(u"/my www"), String(u"a b  c")), u"/my_www/a_b__c");
}

TEST(PublishRun, PublishesTheWholeSiteByteForByteWithItsStatusLines)
{
    Site site;
    auto server = site.startServer();
    ASSERT_NE(server->port(), 0);
    Publish run(site, site.settings(server->port()));
    ASSERT_TRUE(run.run.run()) << run.run.failure().toNarrow();
    EXPECT_TRUE(run.run.failure().empty());

    std::vector<std::string> expected = pageLines();
    contentFileLines(expected);
    customFileLines(expected);
    expected.push_back("Done publishing to 127.0.0.1");
    EXPECT_EQ(run.lines, expected);
    EXPECT_EQ(run.run.uploadedFiles(), 9);
    EXPECT_EQ(run.run.skippedFiles(), 0);
    // Hidden files, hidden folders and subfolders of content/files stay home.
    EXPECT_EQ(Site::tree(site.serverFolder("pub/my_site")), site.publishedTree(true, true));

    // The log is this run's trace, without the password.
    std::string log = test::readFile(site.logFile());
    EXPECT_NE(log.find("STOR custom/images/thumbs/one.gif"), std::string::npos);
    EXPECT_EQ(log.find(password), std::string::npos);
    EXPECT_FALSE(fs::exists(run.run.manifestPath().toNarrow()));

    // Both options cleared: the pages only, into the folder already there;
    // the log starts afresh.
    fs::remove_all(site.serverFolder("pub/my_site/files"));
    fs::remove_all(site.serverFolder("pub/my_site/custom"));
    Publish pagesOnly(site, site.settings(server->port(), 0));
    ASSERT_TRUE(pagesOnly.run.run()) << pagesOnly.run.failure().toNarrow();
    expected = pageLines();
    expected.push_back("Done publishing to 127.0.0.1");
    EXPECT_EQ(pagesOnly.lines, expected);
    EXPECT_EQ(Site::tree(site.serverFolder("pub/my_site")), site.publishedTree(false, false));
    EXPECT_EQ(test::readFile(site.logFile()).find("STOR custom"), std::string::npos);
}

TEST(PublishRun, RetriesAFailedUploadAndGivesUpAfterTheFifthAttempt)
{
    Site site;
    {
        // The first upload is cut off after a few bytes; the retry sends it
        // whole and the run goes on.
        TestServer server("scripted_ftp.py", { "drop-once", site.path("uploads.log") });
        ASSERT_NE(server.port(), 0);
        const std::string big(4 << 20, 'h');
        site.write("content/Home.html", big);
        Publish run(site, site.settings(server.port(), 0));
        ASSERT_TRUE(run.run.run()) << run.run.failure().toNarrow();
        std::vector<std::string> expected { "Publishing to 127.0.0.1", "Publishing page: Home",
            "Send html file, 4,194,304 bytes", "Send html file failed, retrying...", "Send html file succeeded" };
        sent(expected, "png", "12,345");
        EXPECT_EQ(std::vector<std::string>(run.lines.begin(), run.lines.begin() + 7), expected);
        EXPECT_EQ(run.run.uploadedFiles(), 3);
        std::string uploads = test::readFile(site.path("uploads.log"));
        EXPECT_EQ(uploads.substr(0, 15), "STOR Home.html ");
        EXPECT_NE(uploads.find(" reset\nSTOR Home.html 4194304 end\nSTOR Home.png 12345 end\n"), std::string::npos)
            << uploads;
    }
    {
        // Every upload refused: five attempts, then the run ends, still
        // saying it is done with the host.
        site.write("content/Home.html", "<html>home</html>\n");
        TestServer server("scripted_ftp.py", { "stor-refused" });
        ASSERT_NE(server.port(), 0);
        Publish run(site, site.settings(server.port()));
        EXPECT_FALSE(run.run.run());
        std::vector<std::string> expected { "Publishing to 127.0.0.1", "Publishing page: Home",
            "Send html file, 18 bytes" };
        for (int i = 0; i < 4; ++i)
            expected.push_back("Send html file failed, retrying...");
        expected.push_back("Send html file failed, giving up");
        expected.push_back("Done publishing to 127.0.0.1");
        EXPECT_EQ(run.lines, expected);
        EXPECT_EQ(run.run.uploadedFiles(), 0);
        EXPECT_NE(run.run.failure().toNarrow().find("Send html file failed, giving up"), std::string::npos);
    }
}

TEST(PublishRun, ConnectionFailuresEndTheRunWithOneLine)
{
    Site site;
    {
        auto server = site.startServer();
        ASSERT_NE(server->port(), 0);
        PublishSettings settings = site.settings(server->port());
        settings.password = String(u"wrong");
        Publish run(site, settings);
        EXPECT_FALSE(run.run.run());
        ASSERT_EQ(run.lines.size(), 1u);
        const std::string prefix = "Cannot connect to: 127.0.0.1:" + std::to_string(server->port()) + ", 530 ";
        EXPECT_EQ(run.lines[0].substr(0, prefix.size()), prefix) << run.lines[0];
        EXPECT_EQ(run.run.failure().toNarrow(), run.lines[0]);
        EXPECT_EQ(test::readFile(site.logFile()).find("wrong"), std::string::npos);
    }
    {
        // A server that never greets: the reply time limit ends the wait.
        TestServer server("scripted_ftp.py", { "silent" });
        ASSERT_NE(server.port(), 0);
        Publish run(site, site.settings(server.port()));
        run.run.setReplyAttempts(1);
        test::Stopwatch stopwatch;
        EXPECT_FALSE(run.run.run());
        EXPECT_LT(stopwatch.seconds(), 5.0);
        EXPECT_EQ(run.lines,
            std::vector<std::string> {
                "Cannot connect to: 127.0.0.1:" + std::to_string(server.port()) + ", no answer from the server" });
    }
}

TEST(PublishRun, AnUploadWithoutFinalReplyCountsOnlyWhenTheSizeAgrees)
{
    // Each such upload waits out the reply time limit, so one small page.
    Site site;
    const std::vector<PublishPage> onePage { { String(u"About us"), String(site.path("content/About_us.html")), {} } };
    struct Case {
        const char* scenario;
        bool arrives;
        // Whether the record keeps it, so that the next run skips it.
        bool recorded;
    };
    for (Case c : { Case { "no-final-short", false, false }, Case { "no-final-size", true, true },
             Case { "no-final", true, false } }) {
        SCOPED_TRACE(c.scenario);
        TestServer server("scripted_ftp.py", { c.scenario });
        ASSERT_NE(server.port(), 0);
        PublishSettings settings = site.settings(server.port(), 0);
        settings.incremental = true;
        Publish run(site, settings, onePage);
        run.run.setReplyAttempts(1);
        run.run.setUploadAttempts(2);
        EXPECT_EQ(run.run.run(), c.arrives);
        EXPECT_EQ(run.count("Send html file succeeded"), c.arrives ? 1 : 0);
        EXPECT_EQ(run.count("Send html file failed, retrying..."), c.arrives ? 0 : 1);
        EXPECT_EQ(run.count("Send html file failed, giving up"), c.arrives ? 0 : 1);
        if (!c.arrives)
            continue;
        Publish again(site, settings, onePage);
        again.run.setReplyAttempts(1);
        EXPECT_TRUE(again.run.run());
        EXPECT_EQ(again.run.skippedFiles(), c.recorded ? 1 : 0);
        EXPECT_EQ(again.run.uploadedFiles(), c.recorded ? 0 : 1);
    }
}

TEST(PublishRun, ACancelDuringAnUploadTakesEffectWhenItEnds)
{
    Site site;
    TestServer server("scripted_ftp.py", { "slow", site.path("uploads.log") });
    ASSERT_NE(server.port(), 0);
    // About a second and a half at the server's pace.
    site.write("content/Home.png", std::string(2 << 20, 'p'));
    Publish run(site, site.settings(server.port()));
    bool result = true;
    std::thread worker([&] { result = run.run.run(); });
    {
        std::unique_lock<std::mutex> lock(run.mutex);
        ASSERT_TRUE(run.changed.wait_for(
            lock, std::chrono::seconds(10), [&] { return run.count("Send png file, 2,097,152 bytes") == 1; }));
    }
    run.run.cancel();
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_TRUE(run.run.cancelRequested());
    std::vector<std::string> expected { "Publishing to 127.0.0.1", "Publishing page: Home" };
    sent(expected, "html", "18");
    expected.insert(
        expected.end(), { "Send png file, 2,097,152 bytes", "Publish cancelled", "Done publishing to 127.0.0.1" });
    EXPECT_EQ(run.lines, expected);
    EXPECT_EQ(run.run.failure(), u"Publish cancelled");
    // The file went whole; nothing after it. On a busy machine the slow
    // server may still be taking in the last bytes after the client has
    // stopped waiting for its answer.
    const std::string whole = "STOR Home.html 18 end\nSTOR Home.png 2097152 end\n";
    for (int wait = 0; wait < 100 && test::readFile(site.path("uploads.log")) != whole; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(test::readFile(site.path("uploads.log")), whole);
}

TEST(PublishRun, AsksForThePasswordOnceWhenTheServerWantsOne)
{
    Site site;
    auto server = site.startServer();
    ASSERT_NE(server->port(), 0);
    PublishSettings settings = site.settings(server->port());
    settings.password.clear();
    {
        Publish run(site, settings);
        int asked = 0;
        run.run.setPasswordPrompt([&asked]() -> std::optional<String> {
            ++asked;
            return String(password);
        });
        ASSERT_TRUE(run.run.run()) << run.run.failure().toNarrow();
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(Site::tree(site.serverFolder("pub/my_site")), site.publishedTree(true, true));
        EXPECT_EQ(test::readFile(site.logFile()).find(password), std::string::npos);
    }
    {
        Publish run(site, settings);
        run.run.setPasswordPrompt([]() -> std::optional<String> { return std::nullopt; });
        EXPECT_FALSE(run.run.run());
        ASSERT_EQ(run.lines.size(), 1u);
        EXPECT_NE(run.lines[0].find("Login cancelled"), std::string::npos) << run.lines[0];
    }
}

TEST(PublishRun, IncrementalRunsSendOnlyWhatChanged)
{
    Site site;
    auto server = site.startServer();
    ASSERT_NE(server->port(), 0);
    PublishSettings settings = site.settings(server->port());
    settings.incremental = true;
    auto publish = [&](int uploaded, int skipped) {
        Publish run(site, settings);
        EXPECT_TRUE(run.run.run()) << run.run.failure().toNarrow();
        EXPECT_EQ(run.run.uploadedFiles(), uploaded);
        EXPECT_EQ(run.run.skippedFiles(), skipped);
        EXPECT_EQ(Site::tree(site.serverFolder("pub/my_site")), site.publishedTree(true, true));
        return run.lines;
    };

    publish(9, 0);
    const std::string manifest = Publish(site, settings).run.manifestPath().toNarrow();
    EXPECT_EQ(fs::path(manifest).parent_path(), fs::path(site.path("")).parent_path());
    EXPECT_EQ(fs::path(manifest).filename().string().substr(0, 1), ".");
    ASSERT_TRUE(fs::exists(manifest));

    std::vector<std::string> lines = publish(0, 9);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Unchanged png file, skipped: Home.png"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Unchanged gif file, skipped: custom/images/thumbs/one.gif"), 1);
    EXPECT_EQ(lines.back(), "Done publishing to 127.0.0.1");

    // Same size, other bytes: the digest tells them apart.
    site.write("content/About_us.html", "<html>ABOUT US</html>\n");
    site.write("content/custom/images/one.gif", "GIF89a two!");
    lines = publish(2, 7);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Send html file, 22 bytes"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Send gif file, 11 bytes"), 1);

    // The record belongs to this server, user and folder.
    PublishSettings elsewhere = settings;
    elsewhere.root = String(u"/pub/other");
    fs::create_directories(site.serverFolder("pub/other"));
    {
        Publish run(site, elsewhere);
        EXPECT_TRUE(run.run.run());
        EXPECT_EQ(run.run.uploadedFiles(), 9);
    }
    publish(9, 0);

    fs::remove(manifest);
    publish(9, 0);
    publish(0, 9);
    // A run that does not keep the record makes the old one void.
    {
        PublishSettings full = settings;
        full.incremental = false;
        Publish run(site, full);
        EXPECT_TRUE(run.run.run());
        EXPECT_FALSE(fs::exists(manifest));
    }
    publish(9, 0);
}

TEST(PublishRun, IncrementalRecordKeepsOnlyFilesThatArrived)
{
    Site site;
    site.write("content/custom/locked/z.txt", "refused");
    site.write("content/custom/zz/after.txt", "never reached");
    // The server refuses uploads into custom/locked.
    auto server = site.startServer("pub/my_site/custom/locked");
    ASSERT_NE(server->port(), 0);
    PublishSettings settings = site.settings(server->port());
    settings.incremental = true;
    {
        Publish run(site, settings);
        EXPECT_FALSE(run.run.run());
        EXPECT_EQ(run.count("Send txt file failed, giving up"), 1);
        // Pages, content files, custom, custom/images, thumbs and js went.
        EXPECT_EQ(run.run.uploadedFiles(), 9);
    }
    {
        Publish run(site, settings);
        EXPECT_FALSE(run.run.run());
        EXPECT_EQ(run.run.skippedFiles(), 9);
        EXPECT_EQ(run.run.uploadedFiles(), 0);
        EXPECT_EQ(run.count("Send txt file, 7 bytes"), 1);
    }

    // A file whose new content failed to arrive is no longer known to be
    // there in its old form, even when the old form comes back.
    TestServer scripted("scripted_ftp.py", { "drop-marked" });
    ASSERT_NE(scripted.port(), 0);
    PublishSettings dropping = site.settings(scripted.port(), 0);
    dropping.incremental = true;
    const std::vector<PublishPage> onePage { { String(u"About us"), String(site.path("content/About_us.html")), {} } };
    auto publish = [&](int uploaded, int skipped, bool arrives) {
        Publish run(site, dropping, onePage);
        run.run.setUploadAttempts(1);
        EXPECT_EQ(run.run.run(), arrives);
        EXPECT_EQ(run.run.uploadedFiles(), uploaded);
        EXPECT_EQ(run.run.skippedFiles(), skipped);
    };
    const std::string original = test::readFile(site.path("content/About_us.html"));
    publish(1, 0, true);
    publish(0, 1, true);
    site.write("content/About_us.html", "DROP" + std::string(1 << 20, 'x'));
    publish(0, 0, false);
    site.write("content/About_us.html", original);
    publish(1, 0, true);
}
