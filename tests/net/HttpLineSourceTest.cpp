#include "TestServer.h"

#include "core/WebFetch.h"
#include "net/HttpLineSource.h"
#include "net/NetworkServices.h"
#include "xml/Document.h"
#include "xml/Element.h"
#include "xml/LineSource.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace lumavine;
using namespace lumavine::test;

namespace {

std::vector<std::string> linesOf(LineSource& source)
{
    std::vector<std::string> lines;
    std::string line;
    while (source.readLine(line))
        lines.push_back(line);
    return lines;
}

}

class HttpLineSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server = std::make_unique<TestServer>("http_server.py", std::vector<std::string>());
        ASSERT_GT(m_server->port(), 0);
    }
    String location(const std::string& path) const
    {
        return String::fromLatin1("http://127.0.0.1:" + std::to_string(m_server->port()) + path);
    }

    std::unique_ptr<TestServer> m_server;
};

TEST_F(HttpLineSourceTest, HandsOutThePageWithoutItsHeaders)
{
    std::unique_ptr<LineSource> source = HttpLineSource::open(location("/page.html"));
    ASSERT_TRUE(source);
    std::vector<std::string> lines;
    std::string line;
    while (source->readLine(line))
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines.front(), "<html>");
    EXPECT_EQ(lines[4], "<li>first");
    EXPECT_EQ(lines.back(), "</html>");
    EXPECT_FALSE(source->readLine(line));

    // Text after the headers that ends without a line end still counts.
    source = HttpLineSource::open(location("/close"));
    ASSERT_TRUE(source);
    ASSERT_TRUE(source->readLine(line));
    EXPECT_EQ(line, "until the end");
    EXPECT_FALSE(source->readLine(line));
}

TEST_F(HttpLineSourceTest, OpensNothingThatIsNoPage)
{
    EXPECT_FALSE(HttpLineSource::open(location("/missing")));
    EXPECT_FALSE(HttpLineSource::open(location("/redirect")));
    EXPECT_FALSE(HttpLineSource::open(u"file:/etc/hostname"));
    EXPECT_FALSE(HttpLineSource::open(location("/silent"), 300));
}

TEST_F(HttpLineSourceTest, LoadsDocumentsFromWebLocations)
{
    installNetworkServices();
    ASSERT_NE(httpLineOpener(), nullptr);
    ASSERT_NE(webFetcher(), nullptr);

    Document document;
    ASSERT_TRUE(document.load(location("/page.html")));
    EXPECT_TRUE(document.isHtmlMode());
    ASSERT_NE(document.documentElement(), nullptr);
    EXPECT_TRUE(document.documentElement()->tagName().equalsIgnoreCase(u"html"));
    auto items = document.documentElement()->getElementsByTagName(u"li");
    ASSERT_EQ(items->length(), 3u);
    auto lists = document.documentElement()->getElementsByTagName(u"ul");
    ASSERT_EQ(lists->length(), 1u);

    std::string body;
    ASSERT_TRUE(webFetcher()(("http://127.0.0.1:" + std::to_string(m_server->port()) + "/hello"), body));
    EXPECT_EQ(body, "hello world");
}

TEST_F(HttpLineSourceTest, OpensNothingOfAPageThatStallsOrStopsShort)
{
    // The status line, a header line or the page itself stops without its
    // end: within the limit, nothing opens, rather than part of a page.
    for (const char* path : { "/stall-status", "/stall-header", "/stall-body", "/cut-header", "/short" }) {
        Stopwatch watch;
        EXPECT_FALSE(HttpLineSource::open(location(path), 300)) << path;
        EXPECT_LT(watch.seconds(), 2.0) << path;
    }
    // Interim answers that keep coming end at their cap, header lines that
    // keep coming within the limit, and a page that trickles within twelve
    // times it.
    Stopwatch interim;
    EXPECT_FALSE(HttpLineSource::open(location("/continue-forever"), 10000));
    EXPECT_LT(interim.seconds(), 3.0);
    Stopwatch headers;
    EXPECT_FALSE(HttpLineSource::open(location("/headers-forever"), 500));
    EXPECT_LT(headers.seconds(), 3.0);
    Stopwatch trickle;
    EXPECT_FALSE(HttpLineSource::open(location("/trickle-body"), 200));
    EXPECT_LT(trickle.seconds(), 4.5);
}

TEST_F(HttpLineSourceTest, DoesNotLoadADocumentThatStalls)
{
    installNetworkServices();
    EXPECT_EQ(HttpLineSource::timeout(), HttpLineSource::defaultTimeoutMs);
    HttpLineSource::setTimeout(300);
    for (const char* path : { "/stall-body", "/stall-header" }) {
        Document document;
        Stopwatch watch;
        EXPECT_FALSE(document.load(location(path))) << path;
        EXPECT_LT(watch.seconds(), 2.0) << path;
    }
    Document whole;
    EXPECT_TRUE(whole.load(location("/page.html")));
    HttpLineSource::setTimeout(HttpLineSource::defaultTimeoutMs);
}

TEST_F(HttpLineSourceTest, DecodesAGzipPage)
{
    std::unique_ptr<HttpLineSource> plain = HttpLineSource::open(location("/page.html"), 2000);
    std::unique_ptr<HttpLineSource> zipped = HttpLineSource::open(location("/gzip-page.html"), 2000);
    ASSERT_TRUE(plain);
    ASSERT_TRUE(zipped);
    std::vector<std::string> lines = linesOf(*zipped);
    EXPECT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines, linesOf(*plain));
    // A coding that cannot be decoded opens nothing.
    EXPECT_FALSE(HttpLineSource::open(location("/brotli"), 2000));
    EXPECT_FALSE(HttpLineSource::open(location("/gzip-corrupt"), 2000));

    installNetworkServices();
    Document document;
    ASSERT_TRUE(document.load(location("/gzip-page.html")));
    ASSERT_NE(document.documentElement(), nullptr);
    EXPECT_EQ(document.documentElement()->getElementsByTagName(u"li")->length(), 3u);
}

TEST_F(HttpLineSourceTest, SplitsLinesAtEveryKindOfLineEnd)
{
    // "\r\n" ends one line; a lone "\r" or "\n" ends one too.
    std::unique_ptr<HttpLineSource> source = HttpLineSource::open(location("/lines"), 2000);
    ASSERT_TRUE(source);
    EXPECT_EQ(linesOf(*source), (std::vector<std::string> { "one", "", "two", "three", "", "four" }));
    std::string line;
    EXPECT_FALSE(source->readLine(line));
    // A chunked page is put together from its chunks.
    source = HttpLineSource::open(location("/chunked"), 2000);
    ASSERT_TRUE(source);
    EXPECT_EQ(linesOf(*source), (std::vector<std::string> { "hello chunked world" }));
}
