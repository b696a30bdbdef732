#include "TestServer.h"

#include "core/PathInfo.h"
#include "core/WebFetch.h"
#include "net/HttpFetch.h"
#include "net/HttpResponseParser.h"
#include "net/HttpUrl.h"
#include "net/NetworkServices.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace lumavine;
using namespace lumavine::test;

namespace {

HttpResponseParser::State feedInPieces(HttpResponseParser& parser, const std::string& bytes, size_t piece)
{
    for (size_t at = 0; at < bytes.size() && parser.state() == HttpResponseParser::Incomplete; at += piece)
        parser.feed(bytes.substr(at, piece));
    return parser.state();
}

// The bytes compressed in the gzip format (window bits 31), the zlib format
// (15) or raw deflate (-15).
std::string compressed(const std::string& bytes, int windowBits)
{
    z_stream stream {};
    EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, bytes.size()) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string gzipped(const std::string& bytes)
{
    return compressed(bytes, 31);
}

std::string chunk(const std::string& bytes)
{
    char size[32];
    snprintf(size, sizeof size, "%zx\r\n", bytes.size());
    return size + bytes + "\r\n";
}

// What the test server's coded answers decode to.
std::string zippedText()
{
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "compressed text ";
    return text;
}

std::string pictureBytes()
{
    std::string bytes;
    for (int i = 0; i < 40; ++i) {
        for (int c = 0; c < 256; ++c)
            bytes.push_back(static_cast<char>(c));
    }
    return bytes;
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

TEST(HttpResponseParser, LimitsInterimAnswers)
{
    std::string interim = "HTTP/1.1 100 Continue\r\n\r\n";
    std::string final = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
    std::string allowed;
    for (int i = 0; i < HttpResponseParser::maxInterimAnswers; ++i)
        allowed += interim;
    HttpResponseParser some;
    EXPECT_EQ(some.feed(allowed + final), HttpResponseParser::Complete);
    EXPECT_EQ(some.body(), "ok");

    HttpResponseParser endless;
    EXPECT_EQ(endless.feed(allowed + interim), HttpResponseParser::Failed);
    EXPECT_EQ(endless.error(), "more than 10 interim answers");

    // Headers count together over the interim answers and the final one.
    std::string headers;
    for (int i = 0; i < 100; ++i)
        headers += "X-H: " + std::to_string(i) + "\r\n";
    HttpResponseParser counted;
    counted.feed("HTTP/1.1 103 Early Hints\r\n" + headers + "\r\nHTTP/1.1 103 Early Hints\r\n" + headers
        + "\r\nHTTP/1.1 200 OK\r\n" + headers);
    EXPECT_EQ(counted.state(), HttpResponseParser::Failed);
    EXPECT_EQ(counted.error(), "the response has more than 256 headers");

    // And so do their bytes, each line short enough on its own.
    std::string wide = "X-Wide: " + std::string(10000, 'w') + "\r\n";
    std::string head = "HTTP/1.1 200 OK\r\n";
    while (head.size() < HttpResponseParser::maxHeadBytes)
        head += wide;
    HttpResponseParser heavy;
    EXPECT_EQ(heavy.feed(head + "\r\n"), HttpResponseParser::Failed);
    EXPECT_EQ(heavy.error(), "the head of the response is longer than 262144 bytes");

    // Trailers that keep coming end too.
    std::string trailers = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n";
    for (int i = 0; i < 300; ++i)
        trailers += "T: x\r\n";
    HttpResponseParser trailing;
    EXPECT_EQ(trailing.feed(trailers), HttpResponseParser::Failed);
}

TEST(HttpResponseParser, DecodesGzipAndDeflateBodies)
{
    std::string text = zippedText();
    std::string gzip = gzipped(text);
    ASSERT_LT(gzip.size(), text.size());

    std::string byLength = "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " + std::to_string(gzip.size())
        + "\r\n\r\n" + gzip;
    std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n" + chunk(gzip.substr(0, 10))
        + chunk(gzip.substr(10)) + "0\r\n\r\n";
    std::string toClose = "HTTP/1.0 200 OK\r\nContent-Encoding: x-gzip\r\n\r\n" + gzip;
    std::string zlib = compressed(text, 15);
    std::string deflated = "HTTP/1.1 200 OK\r\nContent-Encoding: Deflate\r\nContent-Length: "
        + std::to_string(zlib.size()) + "\r\n\r\n" + zlib;
    std::string raw = compressed(text, -15);
    std::string rawDeflated = "HTTP/1.0 200 OK\r\nContent-Encoding: deflate\r\nContent-Length: "
        + std::to_string(raw.size()) + "\r\n\r\n" + raw;
    // Codings undone in the reverse of the order they were applied.
    std::string twice = gzipped(compressed(text, 15));
    std::string layered = "HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\nTransfer-Encoding: gzip, chunked\r\n\r\n"
        + chunk(twice) + "0\r\n\r\n";
    std::string members = gzipped(text.substr(0, 100)) + gzipped(text.substr(100));
    std::string twoMembers = "HTTP/1.1 200 OK\r\nContent-Encoding: identity, gzip\r\nContent-Length: "
        + std::to_string(members.size()) + "\r\n\r\n" + members;
    for (const std::string* response :
        { &byLength, &chunked, &toClose, &deflated, &rawDeflated, &layered, &twoMembers }) {
        for (size_t piece : { size_t(1), size_t(7), size_t(100000) }) {
            HttpResponseParser parser;
            feedInPieces(parser, *response, piece);
            EXPECT_EQ(parser.finish(), HttpResponseParser::Complete) << parser.error();
            EXPECT_TRUE(parser.body() == text) << response->substr(0, 60);
        }
    }

    // No body, nothing to decode.
    HttpResponseParser notModified;
    EXPECT_EQ(
        notModified.feed("HTTP/1.1 304 Not Modified\r\nContent-Encoding: gzip\r\n\r\n"), HttpResponseParser::Complete);
    EXPECT_TRUE(notModified.body().empty());
    HttpResponseParser identity;
    EXPECT_EQ(identity.feed("HTTP/1.1 200 OK\r\nContent-Encoding: identity\r\nContent-Length: 2\r\n\r\nab"),
        HttpResponseParser::Complete);
    EXPECT_EQ(identity.body(), "ab");
}

TEST(HttpResponseParser, NeverPassesCodedBytesForTheBody)
{
    std::string text = zippedText();
    std::string gzip = gzipped(text);
    auto outcome = [](const std::string& bytes, size_t cap = HttpResponseParser::defaultMaxBodyBytes) {
        HttpResponseParser parser(cap);
        parser.feed(bytes);
        if (parser.finish() != HttpResponseParser::Failed)
            return std::string("complete");
        EXPECT_TRUE(parser.body().empty());
        return parser.error();
    };
    auto withLength = [](const std::string& coding, const std::string& body) {
        return "HTTP/1.1 200 OK\r\nContent-Encoding: " + coding + "\r\nContent-Length: " + std::to_string(body.size())
            + "\r\n\r\n" + body;
    };
    // Codings that cannot be decoded fail as soon as the head is read.
    HttpResponseParser early;
    EXPECT_EQ(early.feed("HTTP/1.1 200 OK\r\nContent-Encoding: br\r\nContent-Length: 99\r\n\r\n"),
        HttpResponseParser::Failed);
    EXPECT_EQ(early.error(), "the body is in the coding \"br\", which cannot be decoded");
    EXPECT_EQ(
        outcome(withLength("gzip, compress", gzip)), "the body is in the coding \"compress\", which cannot be decoded");
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\nTransfer-Encoding: br, chunked\r\n\r\n" + chunk("x") + "0\r\n\r\n"),
        "the body is in the coding \"br\", which cannot be decoded");
    EXPECT_EQ(outcome("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, gzip\r\n\r\n" + gzip),
        "the body's transfer coding does not end in chunked");

    EXPECT_EQ(outcome(withLength("gzip", "plain text, not gzip")),
        "the body's gzip coding cannot be decoded: the compressed data is corrupt");
    EXPECT_EQ(outcome(withLength("gzip", gzip.substr(0, gzip.size() - 12))),
        "the body's gzip coding cannot be decoded: the compressed data is cut short");
    EXPECT_EQ(outcome(withLength("gzip", gzip + "junk")),
        "the body's gzip coding cannot be decoded: bytes follow the end of the compressed data");
    EXPECT_EQ(outcome(withLength("deflate", compressed(text, 15) + "junk")),
        "the body's deflate coding cannot be decoded: bytes follow the end of the compressed data");
    // The cap holds for the decoded body, however small the coded one.
    EXPECT_EQ(outcome(withLength("gzip", gzip), text.size() - 1),
        "the body's gzip coding cannot be decoded: the decoded body is larger than 15999 bytes");
    EXPECT_EQ(outcome(withLength("gzip", gzip), text.size()), "complete");
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
        ASSERT_FALSE(m_dir.narrow().empty());
        std::string d = m_dir.narrow();
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

    TemporaryFolder m_dir;
};

TEST_F(HttpsFetchTest, TrustsOnlyTheAuthorityAndTheName)
{
    std::string d = m_dir.narrow();
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

TEST_F(HttpFetchTest, FailsWithinTheLimitWhenAnswersStall)
{
    FetchLimits limits;
    limits.timeoutMs = 300;
    for (const char* path : { "/stall-status", "/stall-header", "/stall-body", "/cut-header" }) {
        std::string body = "stale";
        std::string error;
        Stopwatch watch;
        EXPECT_FALSE(fetchUrl(url(path), body, limits, error)) << path;
        EXPECT_LT(watch.seconds(), 2.0) << path;
        EXPECT_TRUE(body.empty()) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
    std::string body;
    std::string error;
    EXPECT_FALSE(fetchUrl(url("/stall-body"), body, limits, error));
    EXPECT_EQ(error, "no bytes came within 300 ms, or the connection failed");
    EXPECT_FALSE(fetchUrl(url("/cut-header"), body, limits, error));
    EXPECT_EQ(error, "the connection closed before the response was whole");
}

TEST_F(HttpFetchTest, EndsInterimAnswersThatKeepComing)
{
    // Each read succeeds, so no read's limit fires; the default limits are
    // the generous ones.
    std::string body = "stale";
    std::string error;
    Stopwatch watch;
    EXPECT_FALSE(fetchUrl(url("/continue-forever"), body, FetchLimits(), error));
    EXPECT_LT(watch.seconds(), 3.0);
    EXPECT_TRUE(body.empty());
    EXPECT_EQ(error, "more than 10 interim answers");
    EXPECT_FALSE(fetchUrl(url("/continue-forever"), body));

    // Header lines that keep coming have one step's time in all.
    FetchLimits limits;
    limits.timeoutMs = 500;
    Stopwatch headers;
    EXPECT_FALSE(fetchUrl(url("/headers-forever"), body, limits, error));
    EXPECT_LT(headers.seconds(), 3.0);
    EXPECT_EQ(error, "the head of the answer did not come whole within 500 ms");
}

TEST_F(HttpFetchTest, LimitsTheTimeOfTheWholeFetch)
{
    EXPECT_EQ(FetchLimits().totalLimitMs(), 120000);
    FetchLimits limits;
    limits.timeoutMs = 200;
    EXPECT_EQ(limits.totalLimitMs(), 2400);
    std::string body = "stale";
    std::string error;
    Stopwatch watch;
    EXPECT_FALSE(fetchUrl(url("/trickle-body"), body, limits, error));
    EXPECT_LT(watch.seconds(), 4.5);
    EXPECT_TRUE(body.empty());
    EXPECT_EQ(error, "the fetch took longer than 2400 ms");

    limits.timeoutMs = 1000;
    limits.totalTimeoutMs = 700;
    Stopwatch set;
    EXPECT_FALSE(fetchUrl(url("/trickle-body"), body, limits, error));
    EXPECT_LT(set.seconds(), 2.5);
    EXPECT_EQ(error, "the fetch took longer than 700 ms");
    // Quick fetches are untouched.
    EXPECT_TRUE(fetchUrl(url("/chain/5"), body, limits, error));
    EXPECT_EQ(body, "chain end");
    EXPECT_TRUE(error.empty());
}

TEST_F(HttpFetchTest, DecodesCodedBodiesOrFails)
{
    std::string text = zippedText();
    for (const char* path : { "/gzip", "/x-gzip", "/gzip-chunked", "/deflate", "/deflate-raw" }) {
        std::string body;
        std::string error;
        EXPECT_TRUE(fetchUrl(url(path), body, FetchLimits(), error)) << path << ": " << error;
        EXPECT_TRUE(body == text) << path;
    }
    for (const char* path : { "/brotli", "/gzip-corrupt", "/gzip-cut" }) {
        std::string body = "stale";
        std::string error;
        EXPECT_FALSE(fetchUrl(url(path), body, FetchLimits(), error)) << path;
        EXPECT_TRUE(body.empty()) << path;
        EXPECT_NE(error.find("cannot be decoded"), std::string::npos) << path << ": " << error;
    }
    FetchLimits small;
    small.maxBodyBytes = 1000;
    std::string body;
    EXPECT_FALSE(fetchUrl(url("/gzip"), body, small));

    // A picture stored from a web location is the picture, not its gzip.
    installNetworkServices();
    TemporaryFolder temp;
    std::string location = url("/gzip-picture.png");
    EXPECT_TRUE(PathInfo(String::fromLatin1(location)).copyTo(String::fromLatin1(temp.file("picture.png"))));
    EXPECT_TRUE(readFile(temp.file("picture.png")) == pictureBytes());
    EXPECT_FALSE(PathInfo(String::fromLatin1(url("/brotli"))).copyTo(String::fromLatin1(temp.file("b.png"))));
    EXPECT_FALSE(std::filesystem::exists(temp.file("b.png")));
}
