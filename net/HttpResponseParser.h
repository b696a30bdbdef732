#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumavine {

// Reads one HTTP/1.x response from the bytes it is fed, in pieces of any
// size: the status line, the headers, and a body delimited by its
// "Content-Length", by chunks, or by the end of the connection.
class HttpResponseParser {
public:
    enum State { Incomplete, Complete, Failed };

    static constexpr size_t defaultMaxBodyBytes = size_t(256) << 20;
    static constexpr size_t maxLineBytes = 16 * 1024;
    static constexpr size_t maxHeaderCount = 256;

    explicit HttpResponseParser(size_t maxBodyBytes = defaultMaxBodyBytes);

    // Takes the bytes; bytes after a complete response are ignored.
    State feed(const char* data, size_t length);
    State feed(std::string_view bytes) { return feed(bytes.data(), bytes.size()); }
    // The peer closed: completes a body that runs to the end of the
    // connection; anything else cut short fails.
    State finish();

    State state() const { return m_state; }
    int status() const { return m_status; }
    // The first header of that name (ignoring case), or nothing.
    const std::string* header(std::string_view name) const;
    const std::string& body() const { return m_body; }
    std::string takeBody() { return std::move(m_body); }

private:
    enum Phase { StatusLine, Headers, FixedBody, BodyToClose, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

    State fail();
    // Handles one complete line of the status, header, chunk-size or
    // trailer phases.
    void takeLine(std::string_view line);
    void takeStatusLine(std::string_view line);
    void startBody();
    bool appendBody(const char* data, size_t length);

    size_t m_maxBodyBytes;
    State m_state = Incomplete;
    Phase m_phase = StatusLine;
    std::string m_line;
    int m_status = 0;
    std::vector<std::pair<std::string, std::string>> m_headers;
    std::string m_body;
    size_t m_remaining = 0;
};

}
