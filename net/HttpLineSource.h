#pragma once

#include "core/String.h"
#include "net/Socket.h"
#include "xml/LineSource.h"

#include <memory>
#include <string>

namespace lumavine {

// The lines of a web page, for the document loader: a plain HTTP/1.0 GET
// over a Socket, with the status line and headers left out. The whole page
// is read when the source opens, so that a page that stops short, or stalls,
// opens nothing rather than passing for the whole page.
class HttpLineSource : public LineSource {
public:
    static constexpr int defaultTimeoutMs = 10000;

    // Null when the location is not "http", the server cannot be reached,
    // its answer is not a success, or the page does not come whole in time.
    // Uses the time limit of setTimeout, defaultTimeoutMs unless changed.
    static std::unique_ptr<LineSource> open(const String& location);
    // The limit holds for each step (connect, send, every read) and for the
    // status line and headers in all; the whole page has twelve times it.
    static std::unique_ptr<HttpLineSource> open(const String& location, int timeoutMs);
    // The time limit of the source the document loader opens.
    static void setTimeout(int milliseconds);
    static int timeout();

    bool readLine(std::string& line) override;

private:
    explicit HttpLineSource(int timeoutMs) : m_timeoutMs(timeoutMs) { }
    bool request(const String& location);

    Socket m_socket;
    int m_timeoutMs;
    // The page, handed out a line at a time.
    std::string m_page;
    size_t m_position = 0;
    bool m_skipLineFeed = false;
};

}
