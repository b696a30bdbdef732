#include "TestServer.h"

#include "net/Ftp.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace lumavine;
using namespace lumavine::test;

namespace {

String text(const std::string& narrow)
{
    return String::fromLatin1(narrow);
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A certificate authority of the tests' own and the server certificates it
// signs, made with the openssl command once for the whole run.
class TestCertificates {
public:
    TestCertificates()
    {
        m_made = makeAuthority("ca", "Lumavine Test CA") && makeAuthority("other-ca", "Lumavine Other CA")
            && makeServer("server", "IP:127.0.0.1,DNS:localhost") && makeServer("name-only", "DNS:localhost")
            && makeServer("address-only", "IP:127.0.0.1");
    }

    bool made() const { return m_made; }
    std::string authority() const { return m_folder.file("ca.pem"); }
    std::string otherAuthority() const { return m_folder.file("other-ca.pem"); }
    std::string certificate(const std::string& name) const { return m_folder.file(name + ".pem"); }
    std::string key(const std::string& name) const { return m_folder.file(name + ".key"); }

private:
    bool makeAuthority(const std::string& name, const std::string& commonName)
    {
        return runCommand("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
                          " -subj '/CN="
            + commonName + "' -addext basicConstraints=critical,CA:TRUE"
            + " -addext keyUsage=critical,keyCertSign,cRLSign -keyout " + key(name) + " -out " + certificate(name)
            + " 2>/dev/null");
    }

    bool makeServer(const std::string& name, const std::string& alternativeNames)
    {
        std::string extensions = m_folder.file(name + ".ext");
        return writeFile(extensions,
                   "subjectAltName=" + alternativeNames
                       + "\nbasicConstraints=CA:FALSE\nkeyUsage=digitalSignature\nextendedKeyUsage=serverAuth\n")
            && runCommand("openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj '/CN=" + name
                + "' -keyout " + key(name) + " -out " + m_folder.file(name + ".csr") + " 2>/dev/null")
            && runCommand("openssl x509 -req -days 2 -in " + m_folder.file(name + ".csr") + " -CA " + authority()
                + " -CAkey " + key("ca") + " -CAcreateserial -extfile " + extensions + " -out " + certificate(name)
                + " 2>/dev/null");
    }

    TemporaryFolder m_folder { "lumavine-ftps-certificates" };
    bool m_made = false;
};

const TestCertificates& certificates()
{
    static const TestCertificates made;
    return made;
}

FtpSecurity trusting(const std::string& authorityFile)
{
    return FtpSecurity { true, authorityFile };
}

// Debian's vsftpd run in the foreground on 127.0.0.1 with a configuration of
// our own, taking anonymous uploads into a folder of the test's: anonymous
// login needs no system account or PAM set up for the test.
class Vsftpd {
public:
    Vsftpd(const std::string& root, const std::string& folder, bool tls)
    {
        m_port = freePort();
        int passive = freePort();
        if (m_port <= 0 || passive <= 0)
            return;
        passive = std::min(passive, 65535 - 40);
        std::filesystem::create_directories(folder + "/empty");
        chmod((folder + "/empty").c_str(), 0755);
        m_log = folder + "/vsftpd.log";
        std::string configuration = "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port="
            + std::to_string(m_port) + "\nbackground=NO\nseccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n"
            + "anonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\nanon_upload_enable=YES\n"
            + "anon_mkdir_write_enable=YES\nno_anon_password=YES\nanon_root=" + root
            + "\npasv_enable=YES\npasv_min_port=" + std::to_string(passive)
            + "\npasv_max_port=" + std::to_string(passive + 40) + "\nsecure_chroot_dir=" + folder + "/empty\n"
            + "xferlog_enable=YES\nxferlog_std_format=NO\nlog_ftp_protocol=YES\nvsftpd_log_file=" + m_log + "\n";
        if (tls) {
            const TestCertificates& made = certificates();
            configuration += "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                             "force_anon_data_ssl=YES\nrequire_ssl_reuse=YES\nssl_ciphers=HIGH\n"
                             "ssl_request_cert=NO\ndebug_ssl=YES\nrsa_cert_file="
                + made.certificate("server") + "\nrsa_private_key_file=" + made.key("server") + "\n";
        } else {
            configuration += "ssl_enable=NO\n";
        }
        std::string file = folder + "/vsftpd.conf";
        if (!writeFile(file, configuration))
            return;
        m_pid = fork();
        if (m_pid == 0) {
            setpgid(0, 0);
            int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            execl("/usr/sbin/vsftpd", "vsftpd", file.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        m_listening = m_pid > 0 && waitUntilListening();
    }

    ~Vsftpd()
    {
        if (m_pid > 0) {
            // Each session is a child in the server's process group.
            kill(-m_pid, SIGTERM);
            int status;
            while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
        }
    }
    Vsftpd(const Vsftpd&) = delete;
    Vsftpd& operator=(const Vsftpd&) = delete;

    bool listening() const { return m_listening; }
    int port() const { return m_port; }
    std::string log() const { return readFile(m_log); }

    static int freePort()
    {
        int handle = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        int port = 0;
        if (bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        close(handle);
        return port;
    }

private:
    bool waitUntilListening() const
    {
        for (int tries = 0; tries < 100; ++tries) {
            int handle = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address {};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(m_port));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            bool connected = ::connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            close(handle);
            if (connected)
                return true;
            int status;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    pid_t m_pid = -1;
    int m_port = 0;
    bool m_listening = false;
    std::string m_log;
};

}

class FtpTlsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(certificates().made()) << "the openssl command could not make certificates"; }

    // A pyftpdlib server that insists on TLS, with one of the certificates.
    std::unique_ptr<TestServer> startServer(const std::string& certificate)
    {
        auto server = std::make_unique<TestServer>("ftps_server.py",
            std::vector<std::string> { m_root.narrow(), "ann", "secret-word", certificates().certificate(certificate),
                certificates().key(certificate) });
        EXPECT_GT(server->port(), 0);
        return server;
    }

    TemporaryFolder m_root;
    TemporaryFolder m_local;
};

TEST_F(FtpTlsTest, UploadsOverTlsAndAgainAfterReconnecting)
{
    auto server = startServer("server");
    std::string small = "<html>over TLS</html>\n";
    std::string large = randomBytes(3 * 1024 * 1024 + 5, 11);
    writeFile(m_local.file("small.html"), small);
    writeFile(m_local.file("large.bin"), large);

    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ftp.setSecurity(trusting(certificates().authority()));
    ASSERT_TRUE(ftp.connect(u"ann", u"secret-word", u"127.0.0.1", server->port())) << ftp.errorText().toNarrow();
    ASSERT_TRUE(ftp.setBinary(true));
    ASSERT_TRUE(ftp.makeDirectory(u"up"));
    ASSERT_TRUE(ftp.changeDirectory(u"up"));
    EXPECT_EQ(ftp.sendFile(text(m_local.file("small.html")), u"small.html"), Ftp::SendSuccess) << trace.str();
    EXPECT_EQ(ftp.sendFile(text(m_local.file("large.bin")), u"large.bin"), Ftp::SendSuccess) << trace.str();
    EXPECT_EQ(readFile(m_root.file("up/small.html")), small);
    EXPECT_TRUE(readFile(m_root.file("up/large.bin")) == large);

    // The reconnect secures the new control connection before the login,
    // and returns to the folder it was in.
    ASSERT_TRUE(ftp.reconnect()) << ftp.errorText().toNarrow();
    EXPECT_EQ(ftp.currentDirectory(), u"/up");
    EXPECT_EQ(ftp.sendFile(text(m_local.file("large.bin")), u"again.bin"), Ftp::SendSuccess) << trace.str();
    EXPECT_TRUE(readFile(m_root.file("up/again.bin")) == large);

    std::string log = trace.str();
    EXPECT_FALSE(contains(log, "secret-word"));
    size_t auth = log.find("starting TLS\nAUTH TLS\r\n");
    size_t user = log.find("USER ann\r\n");
    ASSERT_NE(auth, std::string::npos) << log;
    EXPECT_LT(auth, user);
    EXPECT_LT(log.find("TLS started: TLSv1."), user);
    EXPECT_LT(user, log.find("PBSZ 0\r\n"));
    EXPECT_LT(log.find("PBSZ 0\r\n"), log.find("PROT P\r\n"));
    EXPECT_NE(log.find("AUTH TLS\r\n", user), std::string::npos);
    EXPECT_TRUE(contains(log, "starting TLS on the data connection\n")) << log;
}

TEST_F(FtpTlsTest, ChecksTheCertificateAgainstTheNamedAuthorityAndHost)
{
    auto server = startServer("server");
    {
        // By name, as well as by address: the name goes out for SNI too.
        Ftp ftp(8192);
        ftp.setSecurity(trusting(certificates().authority()));
        EXPECT_TRUE(ftp.connect(u"ann", u"secret-word", u"localhost", server->port())) << ftp.errorText().toNarrow();
    }
    struct Refusal {
        const char* what;
        FtpSecurity security;
        const char16_t* host;
        const char* reason;
    };
    auto nameOnly = startServer("name-only");
    auto addressOnly = startServer("address-only");
    const Refusal refusals[] = {
        { "another authority", trusting(certificates().otherAuthority()), u"127.0.0.1",
            "certificate verify failed: unable to get local issuer certificate" },
        { "the system's authorities", trusting(""), u"127.0.0.1",
            "certificate verify failed: unable to get local issuer certificate" },
    };
    for (const Refusal& refusal : refusals) {
        std::ostringstream trace;
        Ftp ftp(8192);
        ftp.setTrace(&trace);
        ftp.setSecurity(refusal.security);
        EXPECT_FALSE(ftp.connect(u"ann", u"secret-word", refusal.host, server->port())) << refusal.what;
        EXPECT_EQ(ftp.errorText().toNarrow(),
            "TLS handshake with " + String(refusal.host).toNarrow() + " failed: " + refusal.reason)
            << refusal.what;
        EXPECT_FALSE(ftp.isConnected());
        EXPECT_FALSE(contains(trace.str(), "USER")) << refusal.what;
    }

    struct WrongHost {
        TestServer& server;
        const char16_t* host;
        const char* reason;
    };
    const WrongHost wrongHosts[] = {
        { *nameOnly, u"127.0.0.1", "certificate verify failed: IP address mismatch" },
        { *addressOnly, u"localhost", "certificate verify failed: hostname mismatch" },
    };
    for (const WrongHost& wrong : wrongHosts) {
        std::ostringstream trace;
        Ftp ftp(8192);
        ftp.setTrace(&trace);
        ftp.setSecurity(trusting(certificates().authority()));
        EXPECT_FALSE(ftp.connect(u"ann", u"secret-word", wrong.host, wrong.server.port()));
        EXPECT_EQ(ftp.errorText().toNarrow(),
            "TLS handshake with " + String(wrong.host).toNarrow() + " failed: " + wrong.reason);
        EXPECT_FALSE(contains(trace.str(), "USER"));
    }

    // An authority file that cannot be read stops the connection before it
    // is made.
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ftp.setSecurity(trusting(m_local.file("absent.pem")));
    EXPECT_FALSE(ftp.connect(u"ann", u"secret-word", u"127.0.0.1", server->port()));
    EXPECT_EQ(ftp.errorText().toNarrow(),
        "Cannot use TLS: cannot read the certificate file " + m_local.file("absent.pem")
            + ": No such file or directory");
    EXPECT_FALSE(contains(trace.str(), "AUTH"));
}

TEST_F(FtpTlsTest, NeverGoesOnInPlainTextWithoutTls)
{
    // The plain server answers AUTH TLS with an error.
    TestServer plain("ftp_server.py", { m_root.narrow(), "ann", "secret-word" });
    ASSERT_GT(plain.port(), 0);
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ftp.setSecurity(trusting(certificates().authority()));
    EXPECT_FALSE(ftp.connect(u"ann", u"secret-word", u"127.0.0.1", plain.port()));
    EXPECT_TRUE(ftp.errorText().startsWith(u"The server does not offer TLS (AUTH TLS answered: 5"))
        << ftp.errorText().toNarrow();
    EXPECT_FALSE(ftp.isConnected());
    EXPECT_TRUE(contains(trace.str(), "AUTH TLS\r\n"));
    EXPECT_FALSE(contains(trace.str(), "USER"));
    EXPECT_FALSE(ftp.reconnect());
    EXPECT_FALSE(contains(trace.str(), "USER"));

    // A server that agrees and then keeps silent fails within the limit.
    TestServer stalled("scripted_ftp.py", { "auth-stalled" });
    ASSERT_GT(stalled.port(), 0);
    Ftp waiting(8192);
    waiting.setAttempts(1);
    waiting.setSecurity(trusting(certificates().authority()));
    Stopwatch watch;
    EXPECT_FALSE(waiting.connect(u"ann", u"secret-word", u"127.0.0.1", stalled.port()));
    EXPECT_LT(watch.seconds(), 4.0);
    EXPECT_EQ(waiting.errorText(), u"TLS handshake with 127.0.0.1 failed: no answer within the time limit");
}

TEST_F(FtpTlsTest, ReportsAnUnprotectedDataConnectionAndStaysInStep)
{
    TestServer server("scripted_ftp.py",
        { "tls-plain-data", m_local.file("uploads.log"), certificates().certificate("server"),
            certificates().key("server") });
    ASSERT_GT(server.port(), 0);
    writeFile(m_local.file("page.html"), "<html></html>");
    std::ostringstream trace;
    Ftp ftp(8192);
    ftp.setTrace(&trace);
    ftp.setAttempts(2);
    ftp.setSecurity(trusting(certificates().authority()));
    ASSERT_TRUE(ftp.connect(u"ann", u"secret-word", u"127.0.0.1", server.port())) << ftp.errorText().toNarrow();
    EXPECT_EQ(ftp.sendFile(text(m_local.file("page.html")), u"page.html"), Ftp::SendFailure);
    EXPECT_TRUE(ftp.errorText().startsWith(u"TLS on the data connection failed: ")) << ftp.errorText().toNarrow();
    EXPECT_TRUE(contains(ftp.errorText().toNarrow(), "(the server says: ")) << ftp.errorText().toNarrow();
    // The server got the handshake's bytes, not the page in plain text.
    std::string uploads = readFile(m_local.file("uploads.log"));
    EXPECT_TRUE(contains(uploads, "STOR page.html ")) << uploads;
    EXPECT_FALSE(contains(uploads, "STOR page.html 13 ")) << uploads;
    // The server's answer to the failed upload was taken, so the next
    // command reads its own.
    String directory;
    EXPECT_TRUE(ftp.printDirectory(directory));
    EXPECT_EQ(directory, u"/upload");
}

TEST_F(FtpTlsTest, UploadsToVsftpdWithAndWithoutTls)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "vsftpd must be started as root to serve; these tests do not run as root";
    if (access("/usr/sbin/vsftpd", X_OK) != 0)
        GTEST_SKIP() << "vsftpd is not installed (scripts/setup.sh installs it)";
    if (!getpwnam("ftp"))
        GTEST_SKIP() << "vsftpd's anonymous user \"ftp\" is missing (installing vsftpd adds it)";

    std::string small = "<html>to vsftpd</html>\n";
    std::string large = randomBytes(2 * 1024 * 1024 + 3, 5);
    writeFile(m_local.file("small.html"), small);
    writeFile(m_local.file("large.bin"), large);

    for (bool tls : { true, false }) {
        SCOPED_TRACE(tls ? "TLS" : "plain");
        // vsftpd refuses a root its anonymous user could write to; the upload
        // folder inside is open to it.
        TemporaryFolder root("lumavine-vsftpd-root");
        TemporaryFolder work("lumavine-vsftpd");
        chmod(root.narrow().c_str(), 0755);
        std::filesystem::create_directory(root.file("up"));
        chmod(root.file("up").c_str(), 0777);
        Vsftpd server(root.narrow(), work.narrow(), tls);
        ASSERT_TRUE(server.listening()) << server.log();

        std::ostringstream trace;
        Ftp ftp(8192);
        ftp.setTrace(&trace);
        if (tls)
            ftp.setSecurity(trusting(certificates().authority()));
        ASSERT_TRUE(ftp.connect(u"anonymous", u"", u"127.0.0.1", server.port())) << ftp.errorText().toNarrow() << "\n"
                                                                                 << trace.str() << server.log();
        ASSERT_TRUE(ftp.setBinary(true));
        ASSERT_TRUE(ftp.changeDirectory(u"up"));
        EXPECT_EQ(ftp.sendFile(text(m_local.file("small.html")), u"small.html"), Ftp::SendSuccess)
            << trace.str() << server.log();
        EXPECT_EQ(ftp.sendFile(text(m_local.file("large.bin")), u"large.bin"), Ftp::SendSuccess)
            << trace.str() << server.log();
        ASSERT_TRUE(ftp.reconnect()) << ftp.errorText().toNarrow();
        EXPECT_EQ(ftp.sendFile(text(m_local.file("large.bin")), u"again.bin"), Ftp::SendSuccess)
            << trace.str() << server.log();
        EXPECT_EQ(readFile(root.file("up/small.html")), small);
        EXPECT_TRUE(readFile(root.file("up/large.bin")) == large);
        EXPECT_TRUE(readFile(root.file("up/again.bin")) == large);
        // The server refuses data connections that do not resume the control
        // connection's session, so the uploads above show it; the trace says
        // so as well.
        if (tls)
            EXPECT_TRUE(contains(trace.str(), ", session resumed\n")) << trace.str();
        else
            EXPECT_FALSE(contains(trace.str(), "TLS"));
    }
}

TEST(SocketTlsTest, ReadsWithinItsLimitsNamesTheServerAndEndsWithCloseNotify)
{
    ASSERT_TRUE(certificates().made());
    TemporaryFolder folder;
    std::string log = folder.file("endings.log");
    TestServer peer("tls_peer.py", { certificates().certificate("server"), certificates().key("server"), log });
    ASSERT_GT(peer.port(), 0);
    // The server notes each connection's end as it comes.
    auto endings = [&log](long count) {
        std::string noted = readFile(log);
        for (int tries = 0; tries < 100 && std::count(noted.begin(), noted.end(), '\n') < count; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            noted = readFile(log);
        }
        return noted;
    };
    std::string error;
    TlsContextPtr context = makeClientTlsContext(certificates().authority(), error);
    ASSERT_TRUE(context) << error;

    {
        Socket socket;
        ASSERT_TRUE(socket.connect(u"127.0.0.1", peer.port()));
        ASSERT_TRUE(socket.startTls(context.get(), "127.0.0.1", nullptr, 2000)) << socket.tlsError();
        ASSERT_TRUE(socket.sendText(u"big\n"));
        std::string line;
        ASSERT_TRUE(socket.readLine(line, 2000));
        EXPECT_EQ(line, "hello");
        // The socket takes at most a block at a time out of the record, so
        // once that block is used up, the rest waits inside OpenSSL, out of
        // poll's sight.
        char buffer[8192];
        long first = socket.receive(buffer, sizeof buffer, 0);
        ASSERT_GT(first, 0);
        ASSERT_LT(first, 5994);
        EXPECT_TRUE(socket.waitReadable(0));
        long rest = socket.receive(buffer + first, sizeof buffer - static_cast<size_t>(first), 0);
        EXPECT_EQ(first + rest, 5994);
        EXPECT_EQ(std::string(buffer, 5994), std::string(5994, 'x'));
        socket.close();
        EXPECT_EQ(endings(1), "clean\n");
    }
    {
        Socket socket;
        ASSERT_TRUE(socket.connect(u"127.0.0.1", peer.port()));
        ASSERT_TRUE(socket.startTls(context.get(), "127.0.0.1", nullptr, 2000)) << socket.tlsError();
        ASSERT_TRUE(socket.sendText(u"silent\n"));
        Stopwatch watch;
        std::string line;
        EXPECT_FALSE(socket.readLine(line, 300));
        EXPECT_TRUE(socket.timedOut());
        char buffer[16];
        EXPECT_EQ(socket.receive(buffer, sizeof buffer, 300), -1);
        EXPECT_TRUE(socket.timedOut());
        EXPECT_LT(watch.seconds(), 2.0);
        socket.abort();
        EXPECT_EQ(endings(2), "clean\ncut\n");
    }
    // A name goes out as the server name indication; an address does not.
    for (const char* host : { "localhost", "127.0.0.1" }) {
        Socket socket;
        ASSERT_TRUE(socket.connect(text(host), peer.port()));
        ASSERT_TRUE(socket.startTls(context.get(), host, nullptr, 2000)) << socket.tlsError();
        ASSERT_TRUE(socket.sendText(u"name\n"));
        std::string line;
        EXPECT_TRUE(socket.readLine(line, 2000));
        EXPECT_EQ(line, host == std::string("localhost") ? "localhost" : "None");
    }
}
