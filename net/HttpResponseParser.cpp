#include "net/HttpResponseParser.h"

#include <algorithm>
#include <cstring>

namespace lumavine {

namespace {

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A decimal length no larger than the limit.
bool readLength(std::string_view text, size_t limit, size_t& out)
{
    if (text.empty())
        return false;
    size_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + size_t(c - '0');
        if (value > limit)
            return false;
    }
    out = value;
    return true;
}

// A hexadecimal chunk size, its extensions after ";" ignored.
bool readChunkSize(std::string_view line, size_t limit, size_t& out)
{
    line = trimmed(line.substr(0, line.find(';')));
    if (line.empty())
        return false;
    size_t value = 0;
    for (char c : line) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (lower(c) >= 'a' && lower(c) <= 'f')
            digit = lower(c) - 'a' + 10;
        else
            return false;
        value = value * 16 + size_t(digit);
        if (value > limit)
            return false;
    }
    out = value;
    return true;
}

}

HttpResponseParser::HttpResponseParser(size_t maxBodyBytes)
    : m_maxBodyBytes(maxBodyBytes)
{
}

HttpResponseParser::State HttpResponseParser::fail()
{
    m_state = Failed;
    m_body.clear();
    return m_state;
}

const std::string* HttpResponseParser::header(std::string_view name) const
{
    for (const auto& [key, value] : m_headers) {
        if (equalsIgnoringCase(key, name))
            return &value;
    }
    return nullptr;
}

bool HttpResponseParser::appendBody(const char* data, size_t length)
{
    if (length > m_maxBodyBytes - m_body.size()) {
        fail();
        return false;
    }
    m_body.append(data, length);
    return true;
}

HttpResponseParser::State HttpResponseParser::feed(const char* data, size_t length)
{
    size_t i = 0;
    while (i < length && m_state == Incomplete) {
        switch (m_phase) {
        case FixedBody:
        case ChunkData: {
            size_t take = std::min(m_remaining, length - i);
            if (!appendBody(data + i, take))
                return m_state;
            i += take;
            m_remaining -= take;
            if (m_remaining == 0) {
                if (m_phase == FixedBody) {
                    m_phase = Done;
                    m_state = Complete;
                } else {
                    m_phase = ChunkEnd;
                }
            }
            break;
        }
        case BodyToClose:
            if (!appendBody(data + i, length - i))
                return m_state;
            i = length;
            break;
        case Done:
            m_state = Complete;
            break;
        default: {
            const char* end = static_cast<const char*>(memchr(data + i, '\n', length - i));
            size_t take = end ? size_t(end - (data + i)) : length - i;
            if (m_line.size() + take > maxLineBytes)
                return fail();
            m_line.append(data + i, take);
            i += take;
            if (!end)
                break;
            ++i;
            std::string line = std::move(m_line);
            m_line.clear();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            takeLine(line);
            break;
        }
        }
    }
    return m_state;
}

void HttpResponseParser::takeLine(std::string_view line)
{
    switch (m_phase) {
    case StatusLine:
        takeStatusLine(line);
        break;
    case Headers: {
        if (line.empty()) {
            startBody();
            break;
        }
        size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0 || m_headers.size() >= maxHeaderCount) {
            fail();
            break;
        }
        m_headers.emplace_back(
            std::string(trimmed(line.substr(0, colon))), std::string(trimmed(line.substr(colon + 1))));
        break;
    }
    case ChunkSize: {
        size_t size = 0;
        if (!readChunkSize(line, m_maxBodyBytes, size)) {
            fail();
            break;
        }
        if (size == 0) {
            m_phase = Trailers;
        } else {
            m_remaining = size;
            m_phase = ChunkData;
        }
        break;
    }
    case ChunkEnd:
        if (!line.empty())
            fail();
        else
            m_phase = ChunkSize;
        break;
    case Trailers:
        if (line.empty()) {
            m_phase = Done;
            m_state = Complete;
        }
        break;
    default:
        break;
    }
}

void HttpResponseParser::takeStatusLine(std::string_view line)
{
    // "HTTP/1.1 200 OK": the version, a blank, three digits, then a blank or
    // the end of the line.
    if (line.size() < 12 || !line.starts_with("HTTP/1.") || line[8] != ' ') {
        fail();
        return;
    }
    int status = 0;
    for (size_t i = 9; i < 12; ++i) {
        if (line[i] < '0' || line[i] > '9') {
            fail();
            return;
        }
        status = status * 10 + (line[i] - '0');
    }
    if (status < 100 || (line.size() > 12 && line[12] != ' ')) {
        fail();
        return;
    }
    m_status = status;
    m_phase = Headers;
}

void HttpResponseParser::startBody()
{
    // An interim answer is followed by the real one.
    if (m_status >= 100 && m_status < 200) {
        if (m_status == 101) {
            fail();
            return;
        }
        m_headers.clear();
        m_status = 0;
        m_phase = StatusLine;
        return;
    }
    if (m_status == 204 || m_status == 304) {
        m_phase = Done;
        m_state = Complete;
        return;
    }
    const std::string* encoding = header("Transfer-Encoding");
    if (encoding) {
        std::string_view codings = *encoding;
        size_t comma = codings.rfind(',');
        std::string_view last = trimmed(comma == std::string_view::npos ? codings : codings.substr(comma + 1));
        if (!equalsIgnoringCase(last, "chunked")) {
            fail();
            return;
        }
        m_phase = ChunkSize;
        return;
    }
    const std::string* lengthText = nullptr;
    for (const auto& [key, value] : m_headers) {
        if (!equalsIgnoringCase(key, "Content-Length"))
            continue;
        // Two different lengths leave no way to know where the body ends.
        if (lengthText && *lengthText != value) {
            fail();
            return;
        }
        lengthText = &value;
    }
    if (lengthText) {
        size_t length = 0;
        if (!readLength(*lengthText, m_maxBodyBytes, length)) {
            fail();
            return;
        }
        m_remaining = length;
        m_phase = length ? FixedBody : Done;
        if (!length)
            m_state = Complete;
        return;
    }
    m_phase = BodyToClose;
}

HttpResponseParser::State HttpResponseParser::finish()
{
    if (m_state != Incomplete)
        return m_state;
    if (m_phase == BodyToClose) {
        m_phase = Done;
        m_state = Complete;
        return m_state;
    }
    return fail();
}

}
