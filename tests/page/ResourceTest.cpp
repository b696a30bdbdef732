#include "tests/support/TestProject.h"

#include "core/PathInfo.h"
#include "net/NetworkServices.h"
#include "page/Action.h"
#include "page/DigestName.h"
#include "page/Page.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace lumavine;
using lumavine::test::TestProject;

namespace {

// A picture with enough detail that JPEG qualities differ in size.
void writeJpeg(const std::string& path)
{
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x * 5 + y * 29) % 256));
    }
    image.save(QString::fromStdString(path), "JPEG", 95);
}

class ResourceTest : public testing::Test {
protected:
    ResourceTest() : m_page(&m_project) { }

    String resolve(const String& location)
    {
        String sitePath(u"untouched");
        return m_page.resolveResource(location, sitePath) ? sitePath : String(u"<declined:" + sitePath + u">");
    }

    TestProject m_project;
    // Files from outside the project live in their own folder.
    TestProject m_outside;
    Page m_page;
};

// Python's web server on an ephemeral port of 127.0.0.1, logging every
// requested path to a file.
class WebServer {
public:
    explicit WebServer(const std::string& directory) : m_log(directory + "/requests.log")
    {
        std::string command = "exec /usr/bin/python3 -c '"
                              "import functools, http.server, os, sys\n"
                              "class Handler(http.server.SimpleHTTPRequestHandler):\n"
                              "    def log_message(self, *args):\n"
                              "        open(sys.argv[2], \"a\").write(self.path + \"\\n\")\n"
                              "server = http.server.ThreadingHTTPServer((\"127.0.0.1\", 0), "
                              "functools.partial(Handler, directory=sys.argv[1]))\n"
                              "print(os.getpid(), server.server_address[1], flush=True)\n"
                              "server.serve_forever()\n' '"
            + directory + "' '" + m_log + "'";
        m_pipe = popen(command.c_str(), "r");
        if (m_pipe && std::fscanf(m_pipe, "%d %d", &m_pid, &m_port) != 2)
            m_port = 0;
    }
    ~WebServer()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
        if (m_pipe)
            pclose(m_pipe);
    }
    int port() const { return m_port; }
    std::string requests() const
    {
        std::string text;
        if (FILE* file = std::fopen(m_log.c_str(), "r")) {
            char buffer[1024];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
                text.append(buffer, n);
            std::fclose(file);
        }
        return text;
    }

private:
    std::string m_log;
    FILE* m_pipe = nullptr;
    int m_pid = 0;
    int m_port = 0;
};

}

TEST(DigestNameTest, MatchesMd5InBase64WithFileNameCharacters)
{
    EXPECT_EQ(digestFileName("", u"txt"), u"1B2M2Y8AsgTpgAmY7PhCfg.txt");
    EXPECT_EQ(digestFileName("abc", u"jpg"), u"kAFQmDzST7DWlj99KOF-cg.jpg");
    EXPECT_EQ(digestFileName("x1", u"png"), u"bb_awtoJ7h096-WlGHPsbQ.png");
    EXPECT_EQ(digestFileName("abc", u""), u"kAFQmDzST7DWlj99KOF-cg");
}

TEST_F(ResourceTest, FilesInsideTheSiteKeepTheirPlaces)
{
    m_project.makeFolder("content/custom/a");
    m_project.makeFolder("content/custom/a/b");
    String custom = m_project.writeFile("content/custom/a/b/deep.gif", "GIF89a");
    EXPECT_EQ(resolve(custom), u"custom/a/b/deep.gif");
    EXPECT_EQ(resolve(String(u"custom/a/b/deep.gif")), u"custom/a/b/deep.gif");

    String inFiles = m_project.writeFile("content/files/kept.png", "png");
    EXPECT_EQ(resolve(inFiles), u"files/kept.png");
    EXPECT_EQ(resolve(String(u"files/kept.png")), u"files/kept.png");

    String direct = m_project.writeFile("content/direct.png", "png");
    EXPECT_EQ(resolve(direct), u"<declined:>");
    EXPECT_EQ(resolve(String(u"direct.png")), u"<declined:>");

    for (const char16_t* none : { u"null", u"NULL", u"", u"   ", u"mailto:a@b.org", u"ftp://host/a.png" })
        EXPECT_EQ(resolve(String(none)), u"<declined:>") << String(none).toNarrow();

    EXPECT_EQ(m_project.m_referenced.countOf(u"custom/a/b/deep.gif"), 1u);
    EXPECT_EQ(m_project.m_referenced.countOf(u"files/kept.png"), 1u);
    EXPECT_EQ(m_project.m_referenced.countOf(u"direct.png"), 0u);
    EXPECT_EQ(m_page.preloadList().countOf(u"custom/a/b/deep.gif"), 1u);
}

TEST_F(ResourceTest, OutsideFilesAreCopiedUnderTheirDigestName)
{
    String source = m_outside.writeFile("song.wav", "RIFF-not-really");
    PathInfo info(source);
    String origin = info.directory() + u"/song.wav-" + String::number(info.modified());
    String expected = u"files/" + digestFileName(origin.toNarrow(), u"wav");
    EXPECT_EQ(resolve(source), expected);
    EXPECT_EQ(m_project.readFile("content/" + expected.toNarrow()), "RIFF-not-really");
    EXPECT_EQ(m_project.m_referenced.countOf(expected), 1u);
    // Sounds are not preloaded pictures.
    EXPECT_EQ(m_page.preloadList().count(), 0u);

    // An existing copy is reused as it is.
    m_project.writeFile("content/" + expected.toNarrow(), "changed in the site");
    EXPECT_EQ(resolve(source), expected);
    EXPECT_EQ(m_project.readFile("content/" + expected.toNarrow()), "changed in the site");

    // A missing file still gets its site path; the site simply lacks it.
    String missing = String(m_outside.path("gone.png"));
    String site = resolve(missing);
    EXPECT_TRUE(site.startsWith(u"files/") && site.endsWith(u".png")) << site.toNarrow();
    EXPECT_FALSE(m_project.exists("content/" + site.toNarrow()));
}

TEST_F(ResourceTest, TheSameJpegAtTwoQualitiesGivesTwoReencodedFiles)
{
    writeJpeg(m_outside.path("photo.jpg"));
    String source(m_outside.path("photo.jpg"));
    ASSERT_TRUE(m_page.setProperty(u"imagequality", String(u"20")));
    String low = resolve(source);
    ASSERT_TRUE(m_page.setProperty(u"imagequality", String(u"95")));
    String high = resolve(source);
    ASSERT_TRUE(low.startsWith(u"files/") && high.startsWith(u"files/"));
    EXPECT_NE(low, high);
    EXPECT_EQ(low.size(), high.size());
    EXPECT_EQ(low.size(), std::u16string_view(u"files/").size() + 22 + 4);
    std::string lowBytes = m_project.readFile("content/" + low.toNarrow());
    std::string highBytes = m_project.readFile("content/" + high.toNarrow());
    EXPECT_LT(lowBytes.size(), highBytes.size());
    QImageReader reader(QString::fromStdString(m_project.path("content/" + low.toNarrow())));
    EXPECT_EQ(reader.format(), "jpeg");
    EXPECT_EQ(reader.size(), QSize(64, 48));
}

TEST_F(ResourceTest, LocalizingRewritesOnlyQuotedFileArguments)
{
    String picture = m_outside.writeFile("sun.png", "png bytes");
    String action = u"javascript:show_picture('main','" + picture + u"','Sun &#146;s',null,null,null,100,true)";
    ASSERT_TRUE(m_page.localizeAction(action));
    String function;
    StringList arguments;
    ASSERT_TRUE(parseAction(action, function, arguments, true));
    EXPECT_TRUE(arguments.get(1).startsWith(u"'files/"));
    EXPECT_EQ(arguments.get(2), u"'Sun &#146;s'");
    EXPECT_EQ(arguments.get(5), u"null");
    EXPECT_EQ(m_page.preloadList().get(0), unquoteArgument(arguments.get(1)));

    String custom(u"javascript:alert('" + picture + u"')");
    EXPECT_FALSE(m_page.localizeAction(custom));
    String broken(u"javascript:show_page('f','" + picture);
    String before = broken;
    EXPECT_FALSE(m_page.localizeAction(broken));
    EXPECT_EQ(broken, before);
}

TEST_F(ResourceTest, WebPicturesAreFetchedAndWebPagesAreNot)
{
    installNetworkServices();
    writeJpeg(m_outside.path("remote.jpg"));
    m_outside.writeFile("remote.png", "not decoded, only copied");
    m_outside.writeFile("remote.html", "<html></html>");
    WebServer server(m_outside.path(""));
    ASSERT_GT(server.port(), 0);
    String base = u"http://127.0.0.1:" + String::number(server.port()) + u"/";

    String jpeg = resolve(base + u"remote.jpg");
    ASSERT_TRUE(jpeg.startsWith(u"files/") && jpeg.endsWith(u".jpg")) << jpeg.toNarrow();
    QImageReader reader(QString::fromStdString(m_project.path("content/" + jpeg.toNarrow())));
    EXPECT_EQ(reader.size(), QSize(64, 48));

    String png = resolve(base + u"remote.png");
    ASSERT_TRUE(png.startsWith(u"files/")) << png.toNarrow();
    EXPECT_EQ(m_project.readFile("content/" + png.toNarrow()), "not decoded, only copied");

    EXPECT_EQ(resolve(base + u"remote.html"), u"<declined:>");
    String pageAction = u"javascript:show_page('f','" + base + u"remote.html',null,100)";
    String before = pageAction;
    EXPECT_FALSE(m_page.localizeAction(pageAction));
    EXPECT_EQ(pageAction, before);
    std::string requests = server.requests();
    EXPECT_NE(requests.find("/remote.jpg"), std::string::npos);
    EXPECT_NE(requests.find("/remote.png"), std::string::npos);
    EXPECT_EQ(requests.find("/remote.html"), std::string::npos);
}
