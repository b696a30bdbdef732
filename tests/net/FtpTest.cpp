#include "TestServer.h"

#include "net/Ftp.h"
#include "net/FtpReply.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

using namespace lumavine;
using namespace lumavine::test;

namespace {

size_t countOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

String text(const std::string& narrow)
{
    return String::fromLatin1(narrow);
}

// The scripted servers stall for six seconds, then close; a client that
// keeps to a limit of one second is done long before.
constexpr double withinLimit = 3.0;

// Reading the local file fails at the given read, as a failing disk would.
class FailingReadFtp : public Ftp {
public:
    FailingReadFtp(int bufferSize, int failingRead) : Ftp(bufferSize), m_failingRead(failingRead) { }

protected:
    long readLocalFile(int handle, char* buffer, size_t size) override
    {
        if (++m_reads == m_failingRead) {
            errno = EIO;
            return -1;
        }
        return Ftp::readLocalFile(handle, buffer, size);
    }

private:
    int m_failingRead;
    int m_reads = 0;
};

}

TEST(FtpReply, FindsTheCodeOfFinalLines)
{
    EXPECT_EQ(parseFtpReplyLine("220 ready"), 220);
    EXPECT_EQ(parseFtpReplyLine("226 "), 226);
    EXPECT_EQ(parseFtpReplyLine("999 x"), 999);
    EXPECT_EQ(parseFtpReplyLine("220-continued"), 0);
    EXPECT_EQ(parseFtpReplyLine("220"), 0);
    EXPECT_EQ(parseFtpReplyLine("099 too small"), 0);
    EXPECT_EQ(parseFtpReplyLine("2x0 no"), 0);
    EXPECT_EQ(parseFtpReplyLine(" 220 indented"), 0);
    EXPECT_EQ(parseFtpReplyLine(""), 0);
}

TEST(FtpReply, ReadsPassiveAddresses)
{
    std::string host;
    int port = 0;
    ASSERT_TRUE(parsePassiveReply("227 Entering Passive Mode (10,0,0,5,0,21).\n", host, port));
    EXPECT_EQ(host, "10.0.0.5");
    EXPECT_EQ(port, 21);
    ASSERT_TRUE(parsePassiveReply("227 =(10, 0, 0, 5, 4, 1)", host, port));
    EXPECT_EQ(port, 1025);

    EXPECT_FALSE(parsePassiveReply("227 Entering Passive Mode 10,0,0,5,4,1", host, port));
    EXPECT_FALSE(parsePassiveReply("227 (10,0,0,5,4,1", host, port));
    EXPECT_FALSE(parsePassiveReply("227 (10,0,0,5,4)", host, port));
    EXPECT_FALSE(parsePassiveReply("227 (10,0,0,5,4,1,7)", host, port));
    EXPECT_FALSE(parsePassiveReply("227 (10,0,0,256,4,1)", host, port));
    EXPECT_FALSE(parsePassiveReply("227 (10,0,0,-5,4,1)", host, port));
    EXPECT_FALSE(parsePassiveReply("227 (a,b,c,d,e,f)", host, port));
    EXPECT_FALSE(parsePassiveReply("227 (10,0,0,5,0,0)", host, port));
    // The search starts at the fifth character.
    EXPECT_FALSE(parsePassiveReply("(1,2,3,4,5,6)", host, port));
}

class FtpServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_root.narrow().empty());
        m_server = std::make_unique<TestServer>(
            "ftp_server.py", std::vector<std::string> { m_root.narrow(), "ann", "secret" });
        ASSERT_GT(m_server->port(), 0);
    }

    TemporaryFolder m_root;
    TemporaryFolder m_local;
    std::unique_ptr<TestServer> m_server;
};

TEST_F(FtpServerTest, LogsInAndMovesAround)
{
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ASSERT_TRUE(ftp.connect(u"ann", u"secret", u"127.0.0.1", m_server->port())) << ftp.errorText().toNarrow();
    EXPECT_EQ(ftp.currentDirectory(), u"/");

    EXPECT_TRUE(ftp.makeDirectory(u"site"));
    EXPECT_EQ(ftp.lastCode(), 257);
    EXPECT_FALSE(ftp.makeDirectory(u"site"));
    EXPECT_EQ(ftp.lastCode(), 550);
    EXPECT_TRUE(ftp.changeDirectory(u"site"));
    EXPECT_EQ(ftp.currentDirectory(), u"/site");
    EXPECT_FALSE(ftp.changeDirectory(u"nowhere"));
    EXPECT_EQ(ftp.currentDirectory(), u"/site");
    String directory;
    EXPECT_TRUE(ftp.printDirectory(directory));
    EXPECT_EQ(directory, u"/site");
    EXPECT_TRUE(ftp.setType(false));
    EXPECT_TRUE(ftp.setBinary(true));

    std::string log = trace.str();
    std::string port = std::to_string(m_server->port());
    EXPECT_NE(log.find("connect user=ann host=127.0.0.1 port=" + port + "\n"), std::string::npos);
    EXPECT_NE(log.find("connect to: 127.0.0.1:" + port + "\n"), std::string::npos);
    EXPECT_NE(log.find("send user: ann\nUSER ann\r\nget response\n"), std::string::npos);
    EXPECT_NE(log.find("send password\nget response\n"), std::string::npos);
    EXPECT_EQ(log.find("secret"), std::string::npos);
    EXPECT_NE(
        log.find("read line...got line\ngot line [257 \"/site\" is the current directory.]\n"), std::string::npos);
    EXPECT_NE(log.find("get response return: 250\n"), std::string::npos);
    EXPECT_NE(log.find("MKD site\r\n"), std::string::npos);
}

TEST_F(FtpServerTest, RefusesAWrongPassword)
{
    Ftp ftp(8192);
    EXPECT_FALSE(ftp.connect(u"ann", u"wrong", u"127.0.0.1", m_server->port()));
    EXPECT_EQ(ftp.lastCode(), 530);
    EXPECT_TRUE(ftp.errorText().startsWith(u"530"));
}

TEST_F(FtpServerTest, UploadsFilesWhole)
{
    std::string small = "<html>small page</html>\n";
    std::string large = randomBytes(6 * 1024 * 1024 + 17, 7);
    writeFile(m_local.file("small.html"), small);
    writeFile(m_local.file("large.bin"), large);

    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ASSERT_TRUE(ftp.setBinary(true) == false);
    ASSERT_TRUE(ftp.connect(u"ann", u"secret", u"127.0.0.1", m_server->port()));
    ASSERT_TRUE(ftp.makeDirectory(u"up"));
    ASSERT_TRUE(ftp.changeDirectory(u"up"));

    EXPECT_EQ(ftp.sendFile(text(m_local.file("small.html")), u"small.html"), Ftp::SendSuccess);
    EXPECT_EQ(ftp.lastCode(), 226);
    EXPECT_EQ(ftp.sendFile(text(m_local.file("large.bin")), u"large.bin"), Ftp::SendSuccess);
    EXPECT_EQ(readFile(m_root.file("up/small.html")), small);
    EXPECT_TRUE(readFile(m_root.file("up/large.bin")) == large);

    std::string log = trace.str();
    EXPECT_NE(log.find("send file: " + m_local.file("small.html") + " to small.html\n"), std::string::npos);
    EXPECT_NE(log.find("send file success: " + m_local.file("large.bin") + "\n"), std::string::npos);
    // Traced after buffers 10, 20, ... of 8192 bytes.
    EXPECT_NE(log.find("total bytes sent: 90112\n"), std::string::npos);
    EXPECT_EQ(countOf(log, "total bytes sent: "), (large.size() / 8192) / 10);

    EXPECT_EQ(ftp.sendFile(text(m_local.file("absent.bin")), u"absent.bin"), Ftp::SendCannotOpenFile);
    EXPECT_EQ(ftp.errorText(), text("Cannot open local file: " + m_local.file("absent.bin")));
    EXPECT_NE(log.size(), trace.str().size());
    EXPECT_NE(trace.str().find("error opening file: " + m_local.file("absent.bin") + "\n"), std::string::npos);
}

TEST_F(FtpServerTest, ReconnectsWhereItWas)
{
    writeFile(m_local.file("a.txt"), "first");
    Ftp ftp(4096);
    ASSERT_TRUE(ftp.connect(u"ann", u"secret", u"127.0.0.1", m_server->port()));
    ASSERT_TRUE(ftp.setBinary(true));
    ASSERT_TRUE(ftp.makeDirectory(u"deep"));
    ASSERT_TRUE(ftp.changeDirectory(u"deep"));

    ASSERT_TRUE(ftp.reconnect());
    EXPECT_EQ(ftp.currentDirectory(), u"/deep");
    EXPECT_EQ(ftp.sendFile(text(m_local.file("a.txt")), u"a.txt"), Ftp::SendSuccess);
    EXPECT_EQ(readFile(m_root.file("deep/a.txt")), "first");

    ASSERT_TRUE(ftp.reconnect());
    EXPECT_EQ(ftp.currentDirectory(), u"/deep");
}

TEST_F(FtpServerTest, AsksForThePasswordOnlyWhenTheServerWantsOne)
{
    writeFile(m_local.file("page.html"), "twelve bytes");
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    int asked = 0;
    ftp.setPasswordPrompt([&asked]() -> std::optional<String> {
        ++asked;
        return String(u"secret");
    });
    ftp.setBinary(true);
    ASSERT_TRUE(ftp.connect(u"ann", u"", u"127.0.0.1", m_server->port())) << ftp.errorText().toNarrow();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(trace.str().find("secret"), std::string::npos);
    // The answer is kept: a reconnect logs in without asking again.
    ASSERT_TRUE(ftp.reconnect());
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(ftp.sendFile(text(m_local.file("page.html")), u"page.html"), Ftp::SendSuccess);
    EXPECT_EQ(ftp.remoteSize(u"page.html"), 12);
    EXPECT_EQ(ftp.remoteSize(u"absent.html"), std::nullopt);

    Ftp declined(8192);
    declined.setPasswordPrompt([]() -> std::optional<String> { return std::nullopt; });
    EXPECT_FALSE(declined.connect(u"ann", u"", u"127.0.0.1", m_server->port()));
    EXPECT_EQ(declined.errorText(), u"Login cancelled: no password was given for ann");
}

TEST(Ftp, ReportsWhatCannotConnect)
{
    int port;
    {
        TestServer server("scripted_ftp.py", { "plain" });
        port = server.port();
    }
    Ftp ftp(8192);
    std::ostringstream trace;
    ftp.setTrace(&trace);
    EXPECT_FALSE(ftp.connect(u"ann", u"x", u"127.0.0.1", port));
    String expected = u"Cannot connect to 127.0.0.1:" + String::number(port);
    EXPECT_EQ(ftp.errorText(), expected);
    EXPECT_NE(trace.str().find(expected.toNarrow() + "\n"), std::string::npos);

    EXPECT_EQ(ftp.sendFile(u"/dev/null", u"x"), Ftp::SendNoDataConnection);
    EXPECT_FALSE(ftp.setBinary(true));
}

TEST(Ftp, TakesAGreetingOfSeveralLinesAsOneReply)
{
    TestServer server("scripted_ftp.py", { "greeting" });
    ASSERT_GT(server.port(), 0);
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ASSERT_TRUE(ftp.connect(String(), String(), u"127.0.0.1", server.port()));
    std::string log = trace.str();
    size_t firstReply = log.find("get response return: ");
    ASSERT_NE(firstReply, std::string::npos);
    EXPECT_EQ(log.substr(firstReply, 25), "get response return: 220\n");
    std::string greeting = log.substr(0, firstReply);
    EXPECT_EQ(countOf(greeting, "got line [220"), 3u);
    EXPECT_NE(greeting.find("got line [220-Second line]"), std::string::npos);
    EXPECT_EQ(ftp.currentDirectory(), u"/upload");
}

TEST(Ftp, GivesUpOnASilentServer)
{
    TestServer server("scripted_ftp.py", { "silent" });
    ASSERT_GT(server.port(), 0);
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ftp.setAttempts(2);
    EXPECT_FALSE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_EQ(ftp.lastCode(), 0);
    EXPECT_TRUE(ftp.errorText().empty());
    EXPECT_NE(trace.str().find("read line...no data, attempt: 1\nno data, attempt: 2\nfailing after 2 attempts\n"),
        std::string::npos);
}

TEST(Ftp, LeavesTheDirectoryEmptyWithoutAQuotedPath)
{
    TestServer server("scripted_ftp.py", { "pwd-bare" });
    Ftp ftp(8192);
    ASSERT_TRUE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_TRUE(ftp.currentDirectory().empty());
    String directory = u"old";
    EXPECT_FALSE(ftp.printDirectory(directory));
    EXPECT_TRUE(directory.empty());
    EXPECT_EQ(ftp.lastCode(), 257);
}

TEST(Ftp, SendsDataToTheControlPeerWhateverPasvNames)
{
    TemporaryFolder local;
    std::string bytes = randomBytes(100000, 3);
    writeFile(local.file("f.bin"), bytes);
    TestServer server("scripted_ftp.py", { "pasv-other" });
    Ftp ftp(8192);
    ASSERT_TRUE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_EQ(ftp.sendFile(text(local.file("f.bin")), u"f.bin"), Ftp::SendSuccess);
    EXPECT_EQ(ftp.replyText(), u"226 received 100000 bytes\n");
}

TEST(Ftp, UploadsAfterEitherPreliminaryStorReply)
{
    TemporaryFolder local;
    writeFile(local.file("f.txt"), "content");
    TestServer server("scripted_ftp.py", { "stor-125" });
    Ftp ftp(8192);
    ASSERT_TRUE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_EQ(ftp.sendFile(text(local.file("f.txt")), u"f.txt"), Ftp::SendSuccess);
    EXPECT_EQ(ftp.replyText(), u"226 received 7 bytes\n");
}

TEST(Ftp, TreatsARefusedStorAsFailure)
{
    TemporaryFolder local;
    writeFile(local.file("f.txt"), "content");
    TestServer server("scripted_ftp.py", { "stor-refused" });
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ASSERT_TRUE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_EQ(ftp.sendFile(text(local.file("f.txt")), u"f.txt"), Ftp::SendFailure);
    EXPECT_EQ(ftp.lastCode(), 550);
    EXPECT_NE(trace.str().find("send file failure: " + local.file("f.txt") + "\n"), std::string::npos);
}

TEST(Ftp, CountsAMissingFinalReplyAsSent)
{
    TemporaryFolder local;
    writeFile(local.file("f.txt"), "content");
    TestServer server("scripted_ftp.py", { "no-final" });
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ftp.setAttempts(1);
    ASSERT_TRUE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_EQ(ftp.sendFile(text(local.file("f.txt")), u"f.txt"), Ftp::SendNoFinalReply);
    EXPECT_EQ(ftp.lastCode(), 0);
    EXPECT_NE(trace.str().find("send file no response: " + local.file("f.txt") + "\n"), std::string::npos);
}

TEST(Ftp, GivesUpAnUploadTheServerStopsTaking)
{
    TemporaryFolder local;
    writeFile(local.file("big.bin"), randomBytes(32 * 1024 * 1024, 5));
    TestServer server("scripted_ftp.py", { "stalled" });
    std::ostringstream trace;
    Ftp ftp(65536);
    ftp.setTrace(&trace);
    ftp.setTransferTimeout(300);
    ASSERT_TRUE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_EQ(ftp.sendFile(text(local.file("big.bin")), u"big.bin"), Ftp::SendFailure);
    EXPECT_TRUE(ftp.errorText().startsWith(u"Upload interrupted after "));
    EXPECT_NE(trace.str().find("send file failure: " + local.file("big.bin") + "\n"), std::string::npos);
}

TEST(Ftp, GivesUpOnRepliesThatStopMidLine)
{
    TemporaryFolder local;
    writeFile(local.file("f.txt"), "content");
    // The greeting, the answer to PASS, the one to STOR and the one after
    // the upload each stop without their line end, and the server stalls.
    struct Case {
        const char* scenario;
        const char* line;
        bool connects;
        int sent;
    };
    for (const Case& c :
        { Case { "greeting-cut", "220 Ready", false, -1 }, Case { "pass-cut", "230 Logged in", false, -1 },
            Case { "stor-cut", "150 Opening data connection", true, Ftp::SendFailure },
            Case { "final-cut", "226 received 7 bytes", true, Ftp::SendNoFinalReply } }) {
        TestServer server("scripted_ftp.py", { c.scenario });
        ASSERT_GT(server.port(), 0);
        std::ostringstream trace;
        Ftp ftp(8192);
        ftp.setTrace(&trace);
        ftp.setAttempts(1);
        Stopwatch watch;
        bool connected = ftp.connect(u"ann", u"x", u"127.0.0.1", server.port());
        int sent = connected ? ftp.sendFile(text(local.file("f.txt")), u"f.txt") : -1;
        EXPECT_LT(watch.seconds(), withinLimit) << c.scenario;
        EXPECT_EQ(connected, c.connects) << c.scenario;
        EXPECT_EQ(sent, c.sent) << c.scenario;
        EXPECT_EQ(ftp.lastCode(), 0) << c.scenario;
        EXPECT_EQ(ftp.errorText(),
            text(std::string("Incomplete reply from the server (no line end within 1 s): \"") + c.line + "\""));
        EXPECT_TRUE(ftp.replyText().empty()) << c.scenario;
        // What follows on the connection would no longer match the commands.
        EXPECT_FALSE(ftp.isConnected()) << c.scenario;
        EXPECT_NE(trace.str().find(std::string("incomplete line [") + c.line + "]\n"), std::string::npos);
    }
}

TEST(Ftp, TakesNoReplyFromALineTheCloseCutOff)
{
    TestServer server("scripted_ftp.py", { "greeting-closed" });
    ASSERT_GT(server.port(), 0);
    Ftp ftp(8192);
    ftp.setAttempts(1);
    EXPECT_FALSE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_EQ(ftp.lastCode(), 0);
    EXPECT_EQ(ftp.errorText(),
        u"Incomplete reply from the server (the connection closed before the line end): \"220 Ready\"");
}

TEST(Ftp, LimitsTheTimeOfAWholeReply)
{
    // Continuation lines that keep coming make every wait a short one.
    TestServer server("scripted_ftp.py", { "greeting-endless" });
    ASSERT_GT(server.port(), 0);
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ftp.setAttempts(1);
    Stopwatch watch;
    EXPECT_FALSE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_LT(watch.seconds(), withinLimit);
    EXPECT_EQ(ftp.lastCode(), 0);
    EXPECT_GE(countOf(trace.str(), "got line [220-Still greeting]"), 3u);
}

TEST_F(FtpServerTest, RefusesToUploadADirectory)
{
    std::filesystem::create_directory(m_local.file("folder"));
    writeFile(m_local.file("page.html"), "<p>page</p>");
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ASSERT_TRUE(ftp.connect(u"ann", u"secret", u"127.0.0.1", m_server->port()));

    EXPECT_EQ(ftp.sendFile(text(m_local.file("folder")), u"folder.html"), Ftp::SendCannotOpenFile);
    EXPECT_EQ(ftp.errorText(), text("Cannot open local file: " + m_local.file("folder") + " (Is a directory)"));
    // Checked before the STOR: nothing is left on the server.
    EXPECT_FALSE(std::filesystem::exists(m_root.file("folder.html")));
    EXPECT_NE(trace.str().find("error reading file: " + m_local.file("folder") + "\n"), std::string::npos);

    EXPECT_EQ(ftp.sendFile(text(m_local.file("page.html")), u"page.html"), Ftp::SendSuccess);
    EXPECT_EQ(readFile(m_root.file("page.html")), "<p>page</p>");
}

TEST_F(FtpServerTest, FailsAnUploadWhoseFileCannotBeRead)
{
    std::string bytes = randomBytes(100000, 11);
    writeFile(m_local.file("f.bin"), bytes);
    {
        // The first read fails: the server hears nothing of the file.
        FailingReadFtp ftp(4096, 1);
        ASSERT_TRUE(ftp.connect(u"ann", u"secret", u"127.0.0.1", m_server->port()));
        EXPECT_EQ(ftp.sendFile(text(m_local.file("f.bin")), u"first.bin"), Ftp::SendCannotOpenFile);
        EXPECT_EQ(ftp.errorText(), text("Cannot open local file: " + m_local.file("f.bin") + " (Input/output error)"));
        EXPECT_FALSE(std::filesystem::exists(m_root.file("first.bin")));
        EXPECT_TRUE(ftp.isConnected());
    }
    // The third read fails, after two blocks went out.
    std::ostringstream trace;
    FailingReadFtp ftp(4096, 3);
    ftp.setTrace(&trace);
    ftp.setBinary(true);
    ASSERT_TRUE(ftp.connect(u"ann", u"secret", u"127.0.0.1", m_server->port()));
    Stopwatch watch;
    EXPECT_EQ(ftp.sendFile(text(m_local.file("f.bin")), u"f.bin"), Ftp::SendFailure);
    EXPECT_LT(watch.seconds(), withinLimit);
    EXPECT_EQ(ftp.errorText(),
        text("Upload stopped after 8192 bytes, cannot read local file: " + m_local.file("f.bin")
            + " (Input/output error)"));
    EXPECT_EQ(ftp.lastCode(), 0);
    EXPECT_NE(trace.str().find("send file failure: " + m_local.file("f.bin") + "\n"), std::string::npos);
    // No answer of the server's to the cut upload is left to be taken for
    // the next command's: the connection is closed, to be opened anew.
    EXPECT_FALSE(ftp.isConnected());
    ASSERT_TRUE(ftp.reconnect());
    EXPECT_EQ(ftp.sendFile(text(m_local.file("f.bin")), u"again.bin"), Ftp::SendSuccess);
    EXPECT_TRUE(readFile(m_root.file("again.bin")) == bytes);
}

TEST(Ftp, ResetsTheDataConnectionOfAnUploadItCannotFinish)
{
    TemporaryFolder local;
    writeFile(local.file("f.bin"), randomBytes(50000, 13));
    std::string log = local.file("server.log");
    TestServer server("scripted_ftp.py", { "plain", log });
    ASSERT_GT(server.port(), 0);
    FailingReadFtp ftp(4096, 2);
    ASSERT_TRUE(ftp.connect(u"ann", u"x", u"127.0.0.1", server.port()));
    EXPECT_EQ(ftp.sendFile(text(local.file("f.bin")), u"f.bin"), Ftp::SendFailure);
    EXPECT_TRUE(ftp.errorText().startsWith(u"Upload stopped after 4096 bytes, cannot read local file: "));
    // A reset, not an orderly end that would pass for the whole file.
    Stopwatch watch;
    while (readFile(log).empty() && watch.seconds() < 5)
        usleep(20000);
    EXPECT_TRUE(readFile(log).starts_with("STOR f.bin ")) << readFile(log);
    EXPECT_TRUE(readFile(log).ends_with(" reset\n")) << readFile(log);
}

TEST_F(FtpServerTest, RefusesNamesThatHoldLineBreaks)
{
    writeFile(m_root.file("victim.html"), "keep me");
    writeFile(m_local.file("page.html"), "<p>page</p>");
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ASSERT_TRUE(ftp.connect(u"ann", u"secret", u"127.0.0.1", m_server->port()));

    EXPECT_FALSE(ftp.makeDirectory(u"x\r\nDELE victim.html"));
    EXPECT_EQ(ftp.lastCode(), 0);
    EXPECT_EQ(ftp.errorText(),
        u"Refused to send MKD \"x\\r\\nDELE victim.html\": a carriage return, line feed or NUL would end the "
        u"command early");
    EXPECT_FALSE(ftp.makeDirectory(u"y\nDELE victim.html"));
    EXPECT_FALSE(ftp.makeDirectory(u"z\rDELE victim.html"));
    EXPECT_FALSE(ftp.changeDirectory(u"x\r\nDELE victim.html"));
    EXPECT_TRUE(ftp.errorText().startsWith(u"Refused to send CWD "));
    EXPECT_EQ(ftp.currentDirectory(), u"/");
    EXPECT_EQ(ftp.sendFile(text(m_local.file("page.html")), u"page.html\r\nDELE victim.html"), Ftp::SendFailure);
    EXPECT_TRUE(ftp.errorText().startsWith(u"Refused to send STOR "));
    EXPECT_EQ(ftp.sendFile(text(m_local.file("page.html")), String(u"page.html\0.txt", 14)), Ftp::SendFailure);

    EXPECT_EQ(readFile(m_root.file("victim.html")), "keep me");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_root.narrow()), {}), 1);
    EXPECT_EQ(trace.str().find("DELE victim.html\r\n"), std::string::npos);

    // Names without line breaks still go, blanks and all.
    EXPECT_TRUE(ftp.makeDirectory(u"with blank"));
    EXPECT_TRUE(ftp.changeDirectory(u"with blank"));
    EXPECT_EQ(ftp.sendFile(text(m_local.file("page.html")), u"page.html"), Ftp::SendSuccess);
    EXPECT_EQ(readFile(m_root.file("with blank/page.html")), "<p>page</p>");
}

TEST(Ftp, RefusesUserNamesAndPasswordsThatHoldLineBreaks)
{
    TestServer server("scripted_ftp.py", { "plain" });
    ASSERT_GT(server.port(), 0);
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    EXPECT_FALSE(ftp.connect(u"ann\r\nDELE victim.html", u"x", u"127.0.0.1", server.port()));
    EXPECT_TRUE(ftp.errorText().startsWith(u"Refused to send USER \"ann\\r\\nDELE victim.html\""));
    EXPECT_FALSE(ftp.isConnected());

    EXPECT_FALSE(ftp.connect(u"ann", u"secret\nDELE victim.html", u"127.0.0.1", server.port()));
    EXPECT_EQ(
        ftp.errorText(), u"Refused to send PASS: a carriage return, line feed or NUL would end the command early");
    EXPECT_FALSE(ftp.isConnected());
    // A password is not written out, not even in the trace.
    EXPECT_EQ(trace.str().find("secret"), std::string::npos);

    EXPECT_TRUE(ftp.connect(u"ann", u"secret", u"127.0.0.1", server.port()));
    EXPECT_TRUE(ftp.errorText().empty());
}
