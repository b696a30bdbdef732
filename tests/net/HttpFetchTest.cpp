#include "TestServer.h"

#include "net/HttpFetch.h"
#include "net/HttpResponseParser.h"
#include "net/HttpUrl.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace lumavine;
using namespace lumavine::test;

namespace {

HttpResponseParser::State feedInPieces(HttpResponseParser& parser, const std::string& bytes, size_t piece)
{
    for (size_t at = 0; at < bytes.size() && parser.state() == HttpResponseParser::Incomplete; at += piece)
        parser.feed(bytes.substr(at, piece));
    return parser.state();
}

}

TEST(HttpResponseParser, ReadsBodiesByLengthChunksOrClose)
{
    std::string chunked
        = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nWiki\r\n5;x=y\r\npedia\r\n0\r\nT: v\r\n\r\n";
    for (size_t piece : { size_t(1), size_t(3), size_t(1000) }) {
        HttpResponseParser parser;
        EXPECT_EQ(feedInPieces(parser, chunked, piece), HttpResponseParser::Complete);
        EXPECT_EQ(parser.body(), "Wikipedia");
        EXPECT_EQ(parser.status(), 200);
    }

    HttpResponseParser sized;
    EXPECT_EQ(
        sized.feed("HTTP/1.0 404 Not Found\nContent-Length: 3\nX-A:  b \n\nabcdef"), HttpResponseParser::Complete);
    EXPECT_EQ(sized.status(), 404);
    EXPECT_EQ(sized.body(), "abc");
    ASSERT_NE(sized.header("x-a"), nullptr);
    EXPECT_EQ(*sized.header("x-a"), "b");
    EXPECT_EQ(sized.header("Location"), nullptr);

    HttpResponseParser toClose;
    EXPECT_EQ(toClose.feed("HTTP/1.0 200 OK\r\n\r\npart one "), HttpResponseParser::Incomplete);
    toClose.feed("part two");
    EXPECT_EQ(toClose.finish(), HttpResponseParser::Complete);
    EXPECT_EQ(toClose.body(), "part one part two");

    HttpResponseParser interim;
    EXPECT_EQ(
        interim.feed("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 304 Not Modified\r\n\r\n"), HttpResponseParser::Complete);
    EXPECT_EQ(interim.status(), 304);
}

TEST(HttpResponseParser, RefusesMalformedAndOversizedResponses)
{
    auto outcome = [](const std::string& bytes, size_t cap = 1024) {
        HttpResponseParser parser(cap);
        parser.feed(bytes);
        return parser.finish();
    };
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort"), HttpResponseParser::Failed);
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\nContent-Length: 2000\r\n\r\n"), HttpResponseParser::Failed);
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\n\r\n" + std::string(1025, 'a')), HttpResponseParser::Failed);
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nfffffffffffffffffff\r\n"),
        HttpResponseParser::Failed);
    EXPECT_EQ(
        outcome("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcX\r\n"), HttpResponseParser::Failed);
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n"), HttpResponseParser::Failed);
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n"), HttpResponseParser::Failed);
    EXPECT_EQ(
        outcome("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab"), HttpResponseParser::Failed);
    EXPECT_EQ(outcome("HTTP/1.1 20 OK\r\n\r\n"), HttpResponseParser::Failed);
    EXPECT_EQ(outcome("ICY 200 OK\r\n\r\n"), HttpResponseParser::Failed);
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\nno colon\r\n\r\n"), HttpResponseParser::Failed);
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\nX: " + std::string(20000, 'v') + "\r\n\r\n"), HttpResponseParser::Failed);
    EXPECT_EQ(outcome(""), HttpResponseParser::Failed);
}

TEST(HttpUrl, SplitsAndResolvesLocations)
{
    HttpUrl url;
    ASSERT_TRUE(HttpUrl::parse("http://example.com", url));
    EXPECT_EQ(url.host, "example.com");
    EXPECT_EQ(url.port, 80);
    EXPECT_EQ(url.path, "/");
    EXPECT_EQ(url.hostHeader(), "example.com");
    ASSERT_TRUE(HttpUrl::parse("HTTPS://h:8443/a/b?q=1#frag", url));
    EXPECT_TRUE(url.isTls());
    EXPECT_EQ(url.port, 8443);
    EXPECT_EQ(url.path, "/a/b?q=1");
    EXPECT_EQ(url.hostHeader(), "h:8443");
    ASSERT_TRUE(HttpUrl::parse("https://h", url));
    EXPECT_EQ(url.port, 443);

    EXPECT_FALSE(HttpUrl::parse("ftp://h/", url));
    EXPECT_FALSE(HttpUrl::parse("http://h:0/", url));
    EXPECT_FALSE(HttpUrl::parse("http:///x", url));
    EXPECT_FALSE(HttpUrl::parse("http://h/a b", url));
    EXPECT_FALSE(HttpUrl::parse("http://h/a\r\nX: y", url));
    EXPECT_FALSE(HttpUrl::parse("http://[::1]/", url));

    HttpUrl base;
    ASSERT_TRUE(HttpUrl::parse("http://h:81/dir/sub/page.html?x", base));
    HttpUrl next;
    ASSERT_TRUE(base.resolve("other.html", next));
    EXPECT_EQ(next.text(), "http://h:81/dir/sub/other.html");
    ASSERT_TRUE(base.resolve("../../up.html", next));
    EXPECT_EQ(next.text(), "http://h:81/up.html");
    ASSERT_TRUE(base.resolve("../../../../far", next));
    EXPECT_EQ(next.path, "/far");
    ASSERT_TRUE(base.resolve("/root?y", next));
    EXPECT_EQ(next.path, "/root?y");
    ASSERT_TRUE(base.resolve("//elsewhere/p", next));
    EXPECT_EQ(next.text(), "http://elsewhere/p");
    ASSERT_TRUE(base.resolve("https://secure/", next));
    EXPECT_EQ(next.text(), "https://secure/");
    EXPECT_FALSE(base.resolve("", next));
}

class HttpFetchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server = std::make_unique<TestServer>("http_server.py", std::vector<std::string>());
        ASSERT_GT(m_server->port(), 0);
    }
    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_server->port()) + path;
    }

    std::unique_ptr<TestServer> m_server;
};

TEST_F(HttpFetchTest, FetchesBodiesOfEveryKind)
{
    std::string body;
    EXPECT_TRUE(fetchUrl(url("/hello"), body));
    EXPECT_EQ(body, "hello world");
    EXPECT_TRUE(fetchUrl(url("/chunked"), body));
    EXPECT_EQ(body, "hello chunked world");
    EXPECT_TRUE(fetchUrl(url("/close"), body));
    EXPECT_EQ(body, "until the end");
    EXPECT_TRUE(fetchUrl(url("/big/3000000"), body));
    EXPECT_EQ(body.size(), 3000000u);
    EXPECT_TRUE(fetchUrl(url("/bigchunked/1500000"), body));
    EXPECT_EQ(body, std::string(1500000, 'y'));

    body = "stale";
    EXPECT_FALSE(fetchUrl(url("/missing"), body));
    EXPECT_TRUE(body.empty());
    EXPECT_FALSE(fetchUrl(url("/short"), body));
    EXPECT_FALSE(fetchUrl("", body));
    EXPECT_FALSE(fetchUrl("ftp://127.0.0.1/", body));
}

TEST_F(HttpFetchTest, FollowsRedirectsUpToALimit)
{
    std::string body;
    EXPECT_TRUE(fetchUrl(url("/redirect"), body));
    EXPECT_EQ(body, "hello world");
    EXPECT_TRUE(fetchUrl(url("/see-other"), body));
    EXPECT_EQ(body, "hello world");
    EXPECT_TRUE(fetchUrl(url("/temporary"), body));
    EXPECT_EQ(body, "hello world");
    EXPECT_TRUE(fetchUrl(url("/dir/sub/up"), body));
    EXPECT_EQ(body, "resolved");

    EXPECT_TRUE(fetchUrl(url("/chain/5"), body));
    EXPECT_EQ(body, "chain end");
    EXPECT_FALSE(fetchUrl(url("/chain/6"), body));
    EXPECT_FALSE(fetchUrl(url("/loop"), body));
    FetchLimits none;
    none.maxRedirects = 0;
    EXPECT_FALSE(fetchUrl(url("/redirect"), body, none));
}

TEST_F(HttpFetchTest, FailsPastItsLimits)
{
    FetchLimits limits;
    limits.maxBodyBytes = 1000;
    std::string body;
    EXPECT_TRUE(fetchUrl(url("/big/1000"), body, limits));
    EXPECT_FALSE(fetchUrl(url("/big/1001"), body, limits));
    EXPECT_FALSE(fetchUrl(url("/bigchunked/5000"), body, limits));
    EXPECT_TRUE(body.empty());

    limits.timeoutMs = 300;
    EXPECT_FALSE(fetchUrl(url("/silent"), body, limits));
    // The default limit stays the generous one.
    EXPECT_EQ(FetchLimits().timeoutMs, 10000);
    EXPECT_EQ(FetchLimits().maxBodyBytes, size_t(256) << 20);

    int freePort;
    {
        TestServer gone("http_server.py", {});
        freePort = gone.port();
    }
    EXPECT_FALSE(fetchUrl("http://127.0.0.1:" + std::to_string(freePort) + "/hello", body));
}

// A test authority, a server certificate it signs for "localhost", and one
// from a stranger, all made for this run.
class HttpsFetchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.path().empty());
        std::string d = m_dir.path();
        auto authority = [&](const std::string& name) {
            return runCommand("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
                              " -subj '/CN=Lumavine "
                + name + " authority' -keyout " + d + "/" + name + ".key -out " + d + "/" + name
                + ".pem -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign"
                  " 2>/dev/null");
        };
        auto server = [&](const std::string& name, const std::string& signer) {
            writeFile(d + "/ext.cnf", "subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\n");
            return runCommand("openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj /CN=localhost "
                              "-keyout "
                       + d + "/" + name + ".key -out " + d + "/" + name + ".csr 2>/dev/null")
                && runCommand("openssl x509 -req -days 2 -in " + d + "/" + name + ".csr -CA " + d + "/" + signer
                    + ".pem -CAkey " + d + "/" + signer + ".key -CAcreateserial -extfile " + d + "/ext.cnf -out " + d
                    + "/" + name + ".pem 2>/dev/null");
        };
        ASSERT_TRUE(authority("trusted"));
        ASSERT_TRUE(authority("stranger"));
        ASSERT_TRUE(server("good", "trusted"));
        ASSERT_TRUE(server("bad", "stranger"));
        setenv("SSL_CERT_FILE", (d + "/trusted.pem").c_str(), 1);
    }
    void TearDown() override { unsetenv("SSL_CERT_FILE"); }

    TempDir m_dir;
};

TEST_F(HttpsFetchTest, TrustsOnlyTheAuthorityAndTheName)
{
    std::string d = m_dir.path();
    TestServer good("http_server.py", { "--tls", d + "/good.pem", d + "/good.key" });
    ASSERT_GT(good.port(), 0);
    std::string port = std::to_string(good.port());
    std::string body;
    EXPECT_TRUE(fetchUrl("https://localhost:" + port + "/hello", body));
    EXPECT_EQ(body, "hello world");
    EXPECT_TRUE(fetchUrl("https://localhost:" + port + "/chunked", body));
    EXPECT_EQ(body, "hello chunked world");
    // The certificate names localhost, not the address.
    EXPECT_FALSE(fetchUrl("https://127.0.0.1:" + port + "/hello", body));
    // Plain HTTP to a TLS port is no answer.
    EXPECT_FALSE(fetchUrl("http://localhost:" + port + "/hello", body, FetchLimits { 2000 }));

    TestServer bad("http_server.py", { "--tls", d + "/bad.pem", d + "/bad.key" });
    ASSERT_GT(bad.port(), 0);
    EXPECT_FALSE(fetchUrl("https://localhost:" + std::to_string(bad.port()) + "/hello", body));
    EXPECT_TRUE(body.empty());
}
