#pragma once

#include "core/String.h"
#include "net/Socket.h"
#include "xml/LineSource.h"

#include <memory>
#include <string>

namespace lumavine {

// The lines of a web page, for the document loader: a plain HTTP/1.0 GET
// over a Socket, with the status line and headers left out.
class HttpLineSource : public LineSource {
public:
    static constexpr int defaultTimeoutMs = 10000;

    // Null when the location is not "http", the server cannot be reached, or
    // its answer is not a success.
    static std::unique_ptr<LineSource> open(const String& location);
    static std::unique_ptr<HttpLineSource> open(const String& location, int timeoutMs);

    bool readLine(std::string& line) override;

private:
    explicit HttpLineSource(int timeoutMs)
        : m_timeoutMs(timeoutMs)
    {
    }
    bool request(const String& location);
    bool nextLine(std::string& line);

    Socket m_socket;
    int m_timeoutMs;
};

}
