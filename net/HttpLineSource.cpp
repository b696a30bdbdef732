#include "net/HttpLineSource.h"

#include "net/HttpResponseParser.h"

#include <algorithm>
#include <atomic>
#include <chrono>

namespace lumavine {

namespace {

std::atomic<int> sourceTimeoutMs { HttpLineSource::defaultTimeoutMs };

using Clock = std::chrono::steady_clock;

long long millisecondsLeft(Clock::time_point deadline)
{
    return std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
}

}

void HttpLineSource::setTimeout(int milliseconds)
{
    sourceTimeoutMs = milliseconds;
}

int HttpLineSource::timeout()
{
    return sourceTimeoutMs;
}

std::unique_ptr<LineSource> HttpLineSource::open(const String& location)
{
    return open(location, timeout());
}

std::unique_ptr<HttpLineSource> HttpLineSource::open(const String& location, int timeoutMs)
{
    std::unique_ptr<HttpLineSource> source(new HttpLineSource(std::max(timeoutMs, 1)));
    if (!source->request(location))
        return nullptr;
    return source;
}

bool HttpLineSource::request(const String& location)
{
    m_socket.setConnectTimeout(m_timeoutMs);
    m_socket.setSendTimeout(m_timeoutMs);
    if (!m_socket.openLocation(location))
        return false;
    String host = m_socket.host();
    if (m_socket.port() != 80)
        host = host + u":" + String::number(m_socket.port());
    String target = m_socket.path();
    if (!m_socket.query().empty())
        target = target + u"?" + m_socket.query();
    if (!m_socket.sendText(u"GET " + target + u" HTTP/1.0\r\nHost: " + host + u"\r\nAccept-Encoding: identity\r\n\r\n"))
        return false;

    // Each read has the time limit; header lines that keep coming have it
    // in all, and a page that keeps trickling has twelve times it.
    Clock::time_point start = Clock::now();
    Clock::time_point headDeadline = start + std::chrono::milliseconds(m_timeoutMs);
    Clock::time_point deadline = start + std::chrono::milliseconds(12LL * m_timeoutMs);
    HttpResponseParser parser;
    char block[4096];
    while (parser.state() == HttpResponseParser::Incomplete) {
        long long left = millisecondsLeft(parser.readingHead() ? headDeadline : deadline);
        if (left <= 0)
            return false;
        long got = m_socket.receive(block, sizeof block, static_cast<int>(std::min<long long>(left, m_timeoutMs)));
        if (got < 0)
            return false;
        if (got == 0)
            parser.finish();
        else
            parser.feed(block, static_cast<size_t>(got));
    }
    m_socket.close();
    // The reader wants the page alone: an error page is no document, and the
    // headers are not HTML.
    if (parser.state() != HttpResponseParser::Complete || parser.status() < 200 || parser.status() > 299)
        return false;
    m_page = parser.takeBody();
    return true;
}

bool HttpLineSource::readLine(std::string& line)
{
    // A carriage return, a line feed or the pair ends a line; text after the
    // last line end is a line too.
    if (m_skipLineFeed && m_position < m_page.size() && m_page[m_position] == '\n')
        ++m_position;
    m_skipLineFeed = false;
    if (m_position >= m_page.size())
        return false;
    size_t end = m_page.find_first_of("\r\n", m_position);
    if (end == std::string::npos) {
        line = m_page.substr(m_position);
        m_position = m_page.size();
        return true;
    }
    line = m_page.substr(m_position, end - m_position);
    m_skipLineFeed = m_page[end] == '\r';
    m_position = end + 1;
    return true;
}

}
