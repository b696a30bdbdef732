#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumavine {

// Reads one HTTP/1.x response from the bytes it is fed, in pieces of any
// size: the status line, the headers, and a body delimited by its
// "Content-Length", by chunks, or by the end of the connection. A body sent
// in gzip or deflate coding (as a content or a transfer coding) is decoded;
// one in any other coding fails, so the body is always the resource itself.
class HttpResponseParser {
public:
    enum State { Incomplete, Complete, Failed };

    static constexpr size_t defaultMaxBodyBytes = size_t(256) << 20;
    static constexpr size_t maxLineBytes = 16 * 1024;
    // For the whole head: every interim answer ("100 Continue") and the
    // final one together. The trailers of a chunked body have the same caps.
    static constexpr size_t maxHeaderCount = 256;
    static constexpr size_t maxHeadBytes = 256 * 1024;
    static constexpr int maxInterimAnswers = 10;

    explicit HttpResponseParser(size_t maxBodyBytes = defaultMaxBodyBytes);

    // Takes the bytes; bytes after a complete response are ignored.
    State feed(const char* data, size_t length);
    State feed(std::string_view bytes) { return feed(bytes.data(), bytes.size()); }
    // The peer closed: completes a body that runs to the end of the
    // connection; anything else cut short fails.
    State finish();

    State state() const { return m_state; }
    // Why the response failed, for error reports; empty while it has not.
    const std::string& error() const { return m_error; }
    // Whether the status line and headers of the final answer are still to
    // come; interim answers are part of the head.
    bool readingHead() const { return m_phase == StatusLine || m_phase == Headers; }
    int status() const { return m_status; }
    // The first header of that name (ignoring case), or nothing.
    const std::string* header(std::string_view name) const;
    const std::string& body() const { return m_body; }
    std::string takeBody() { return std::move(m_body); }

private:
    enum Phase { StatusLine, Headers, FixedBody, BodyToClose, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

    State fail(std::string reason);
    // Handles one complete line of the status, header, chunk-size or
    // trailer phases.
    void takeLine(std::string_view line);
    void takeStatusLine(std::string_view line);
    void startBody();
    bool appendBody(const char* data, size_t length);
    // The body is all there: decodes it and completes the response.
    void complete();
    bool decodeBody();

    size_t m_maxBodyBytes;
    State m_state = Incomplete;
    Phase m_phase = StatusLine;
    std::string m_line;
    int m_status = 0;
    std::vector<std::pair<std::string, std::string>> m_headers;
    std::string m_body;
    size_t m_remaining = 0;
    // The codings of the body after the chunks, in the order applied.
    std::vector<std::string> m_codings;
    size_t m_headBytes = 0;
    size_t m_headerCount = 0;
    int m_interimAnswers = 0;
    std::string m_error;
};

}
