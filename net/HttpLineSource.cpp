#include "net/HttpLineSource.h"

namespace lumavine {

std::unique_ptr<LineSource> HttpLineSource::open(const String& location)
{
    return open(location, defaultTimeoutMs);
}

std::unique_ptr<HttpLineSource> HttpLineSource::open(const String& location, int timeoutMs)
{
    std::unique_ptr<HttpLineSource> source(new HttpLineSource(timeoutMs));
    if (!source->request(location))
        return nullptr;
    return source;
}

bool HttpLineSource::nextLine(std::string& line)
{
    // A server that stops sending must not hang the loader.
    return m_socket.waitReadable(m_timeoutMs) && m_socket.readLineJoiningCrLf(line);
}

bool HttpLineSource::request(const String& location)
{
    m_socket.setConnectTimeout(m_timeoutMs);
    if (!m_socket.openLocation(location))
        return false;
    String host = m_socket.host();
    if (m_socket.port() != 80)
        host = host + u":" + String::number(m_socket.port());
    String target = m_socket.path();
    if (!m_socket.query().empty())
        target = target + u"?" + m_socket.query();
    if (!m_socket.sendText(u"GET " + target + u" HTTP/1.0\r\nHost: " + host + u"\r\n\r\n"))
        return false;

    // The reader wants the page alone: an error page is no document, and the
    // headers are not HTML.
    std::string status;
    if (!nextLine(status))
        return false;
    size_t blank = status.find(' ');
    if (!status.starts_with("HTTP/") || blank == std::string::npos || status.size() < blank + 4
        || status[blank + 1] != '2')
        return false;
    std::string header;
    do {
        if (!nextLine(header))
            return false;
    } while (!header.empty());
    return true;
}

bool HttpLineSource::readLine(std::string& line)
{
    if (!m_socket.isConnected())
        return false;
    if (nextLine(line))
        return true;
    m_socket.close();
    return false;
}

}
