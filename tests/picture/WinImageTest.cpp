#include "picture/WinImage.h"

#include "core/WebFetch.h"
#include "net/NetworkServices.h"
#include "tests/support/TemporaryFolder.h"

#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumavine;

namespace {

class WinImageTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mkdir((m_directory + "/pics").c_str(), 0700), 0);
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(QColor(10, 200, 30));
        ASSERT_TRUE(image.save(QString::fromStdString(m_directory + "/pics/a.png")));
    }
    void writeFile(const std::string& name, const std::string& bytes)
    {
        std::ofstream out(m_directory + "/" + name, std::ios::binary);
        out << bytes;
    }
    String dir() const { return String(m_directory); }

    test::TemporaryFolder m_folder { "lumavine-winimage" };
    std::string m_directory = m_folder.narrow();
};

uint32_t crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// A python process on 127.0.0.1 that the test starts and stops: it prints
// the port it bound (port 0) and serves `script`.
class PythonServer {
public:
    explicit PythonServer(const std::string& script, const std::string& directory)
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            if (chdir(directory.c_str()) != 0)
                _exit(1);
            execl("/usr/bin/python3", "python3", "-u", "-c", script.c_str(), nullptr);
            _exit(127);
        }
        close(out[1]);
        FILE* in = fdopen(out[0], "r");
        if (in && fscanf(in, "%d", &m_port) != 1)
            m_port = 0;
        if (in)
            fclose(in);
    }
    ~PythonServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    int port() const { return m_port; }

private:
    pid_t m_pid = -1;
    int m_port = 0;
};

const char* fileServer = R"(
import http.server, socketserver, sys
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args): pass
server = socketserver.TCPServer(('127.0.0.1', 0), Quiet)
print(server.server_address[1], flush=True)
sys.stdout.close()
server.serve_forever()
)";

// Accepts connections and never answers them.
const char* silentServer = R"(
import socket, sys, time
s = socket.socket(); s.bind(('127.0.0.1', 0)); s.listen(8)
print(s.getsockname()[1], flush=True)
sys.stdout.close()
held = []
while True:
    c, _ = s.accept(); held.append(c)
)";

}

TEST_F(WinImageTest, SourcesResolveAgainstTheBaseDirectory)
{
    WinImage image(dir());
    image.setSource(u"pics/a.png");
    EXPECT_EQ(image.location(), dir() + u"/pics/a.png");
    EXPECT_TRUE(image.load());
    EXPECT_EQ(image.naturalWidth(), 30);
    EXPECT_EQ(image.naturalHeight(), 20);
    EXPECT_EQ(image.displayWidth(), 30);
    EXPECT_EQ(image.flags() & WinImage::HasBaseDirectory, WinImage::HasBaseDirectory);
    EXPECT_EQ(image.flags() & WinImage::SourceHasScheme, 0);

    WinImage absolute(u"/somewhere/else");
    EXPECT_TRUE(absolute.load(dir() + u"/pics/a.png"));
    WinImage fileUrl(u"/somewhere/else");
    fileUrl.setSource(u"file://" + dir() + u"/pics/a.png");
    EXPECT_EQ(fileUrl.location(), dir() + u"/pics/a.png");
    EXPECT_EQ(fileUrl.flags() & (WinImage::HasScheme | WinImage::SourceHasScheme),
        WinImage::HasScheme | WinImage::SourceHasScheme);
    EXPECT_TRUE(fileUrl.load());

    // The same source, in another case, keeps the loaded image.
    EXPECT_FALSE(image.setSource(u"PICS/A.PNG"));
    EXPECT_TRUE(image.isLoaded());
    EXPECT_TRUE(image.setSource(u"pics/b.png"));
    EXPECT_FALSE(image.isLoaded());
    EXPECT_EQ(image.naturalWidth(), 0);
}

TEST_F(WinImageTest, BadFilesLeaveNoImage)
{
    WinImage image(dir());
    EXPECT_FALSE(image.load(u"pics/missing.png"));
    EXPECT_FALSE(image.isLoaded());

    writeFile("garbage.png", std::string(500, 'x'));
    EXPECT_FALSE(image.load(u"garbage.png"));

    // A PNG header that claims 60000 x 60000 pixels: refused before any
    // pixel memory is asked for.
    std::string chunk("IHDR\0\0\xea\x60\0\0\xea\x60\x08\x06\0\0\0", 17);
    uint32_t crc = crc32(chunk);
    std::string header = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0d", 12) + chunk;
    for (int shift = 24; shift >= 0; shift -= 8)
        header.push_back(char((crc >> shift) & 0xFF));
    header += std::string("\0\0\0\0IDAT\0\0\0\0", 12);
    writeFile("huge.png", header);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(image.load(u"huge.png"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(image.loadFromMemory(header));

    // A truncated file decodes what it can or nothing, never more.
    std::ifstream in(m_directory + "/pics/a.png", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    writeFile("cut.png", bytes.substr(0, bytes.size() / 2));
    if (image.load(u"cut.png")) {
        EXPECT_LE(image.naturalWidth(), 30);
    }
    EXPECT_TRUE(image.loadFromMemory(bytes));
    EXPECT_EQ(image.naturalWidth(), 30);
}

TEST_F(WinImageTest, ImageStringLoadsTheSourceAndKeysOutTheTransparentColour)
{
    QImage picture(4, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, 0xFFFF00FF);
    picture.setPixel(1, 0, 0xFF0000FF);
    picture.setPixel(2, 0, 0xFFFF00FF);
    picture.setPixel(3, 0, 0xFF0000FF);
    ASSERT_TRUE(picture.save(QString::fromStdString(m_directory + "/key.png")));
    WinImage image(dir());
    image.setImageString(u"Source=key.png;transparency=#ff00ff;opacity=40");
    ASSERT_TRUE(image.isLoaded());
    ASSERT_TRUE(image.transparentColor().has_value());
    EXPECT_EQ(*image.transparentColor(), 0xFFFF00FFu);
    EXPECT_EQ(image.opacity(), 1.0);

    QImage canvas(4, 1, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    image.draw(painter, QPoint(0, 0));
    painter.end();
    EXPECT_EQ(canvas.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.pixel(1, 0), 0xFF0000FFu);

    // Display size scales the drawing at a point.
    image.setDisplaySize(8, 2);
    QImage larger(10, 4, QImage::Format_ARGB32_Premultiplied);
    larger.fill(Qt::white);
    QPainter largePainter(&larger);
    image.draw(largePainter, QPoint(1, 1));
    largePainter.end();
    EXPECT_EQ(larger.pixel(8, 2), 0xFF0000FFu);
    EXPECT_EQ(larger.pixel(9, 2), 0xFFFFFFFFu);
    EXPECT_EQ(larger.pixel(8, 3), 0xFFFFFFFFu);
}

TEST_F(WinImageTest, WebPicturesAreFetchedAndSilentServersGiveUp)
{
    installNetworkServices();
    PythonServer server(fileServer, m_directory);
    ASSERT_GT(server.port(), 0);
    String url = u"http://127.0.0.1:" + String::number(server.port()) + u"/pics/a.png";
    WinImage image(u"/unused");
    image.setSource(url);
    EXPECT_TRUE(image.isWebLocation());
    EXPECT_TRUE(image.load());
    EXPECT_EQ(image.naturalWidth(), 30);
    EXPECT_FALSE(image.load(u"http://127.0.0.1:" + String::number(server.port()) + u"/pics/none.png"));

    // A relative source under a web base directory is a web location too.
    WinImage relative(u"http://127.0.0.1:" + String::number(server.port()));
    relative.setSource(u"pics/a.png");
    EXPECT_TRUE(relative.isWebLocation());
    EXPECT_TRUE(relative.load());

    PythonServer silent(silentServer, m_directory);
    ASSERT_GT(silent.port(), 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(image.load(u"http://127.0.0.1:" + String::number(silent.port()) + u"/a.png"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(40));
    EXPECT_FALSE(image.isLoaded());
}
