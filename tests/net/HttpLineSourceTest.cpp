#include "TestServer.h"

#include "core/WebFetch.h"
#include "net/HttpLineSource.h"
#include "net/NetworkServices.h"
#include "xml/Document.h"
#include "xml/Element.h"
#include "xml/LineSource.h"

#include <gtest/gtest.h>

using namespace lumavine;
using namespace lumavine::test;

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
