#include "net/HttpResponseParser.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

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

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

// The entries of a comma-separated list of codings, lowered, blanks and
// empty entries left out.
void appendCodings(std::string_view list, std::vector<std::string>& out)
{
    for (;;) {
        size_t comma = list.find(',');
        std::string_view entry = trimmed(list.substr(0, comma));
        if (!entry.empty())
            out.push_back(lowered(entry));
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
    }
}

bool isIdentity(const std::string& coding)
{
    return coding == "identity";
}

bool isGzip(const std::string& coding)
{
    return coding == "gzip" || coding == "x-gzip";
}

bool isDeflate(const std::string& coding)
{
    return coding == "deflate";
}

// The zlib format starts with a method and window byte and a check byte that
// make a multiple of 31; "deflate" answers that lack it are raw deflate.
bool startsWithZlibHeader(std::string_view bytes)
{
    if (bytes.size() < 2)
        return false;
    unsigned first = static_cast<unsigned char>(bytes[0]);
    unsigned second = static_cast<unsigned char>(bytes[1]);
    return (first & 0x0f) == 8 && (first >> 4) <= 7 && ((first << 8) | second) % 31 == 0;
}

// Inflates the bytes, in the gzip (one member or several), zlib or raw
// deflate format as the window bits say, into no more than limit bytes.
bool inflateBytes(std::string_view in, int windowBits, bool members, size_t limit, std::string& out, std::string& error)
{
    z_stream stream {};
    if (inflateInit2(&stream, windowBits) != Z_OK) {
        error = "cannot start the decoder";
        return false;
    }
    out.clear();
    size_t offset = 0;
    char block[64 * 1024];
    bool ok = true;
    for (;;) {
        if (stream.avail_in == 0 && offset < in.size()) {
            size_t take = std::min<size_t>(in.size() - offset, size_t(1) << 30);
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + offset));
            stream.avail_in = static_cast<uInt>(take);
            offset += take;
        }
        stream.next_out = reinterpret_cast<Bytef*>(block);
        stream.avail_out = sizeof block;
        int result = inflate(&stream, Z_NO_FLUSH);
        size_t produced = sizeof block - stream.avail_out;
        if (produced > limit - out.size()) {
            error = "the decoded body is larger than " + std::to_string(limit) + " bytes";
            ok = false;
            break;
        }
        out.append(block, produced);
        bool inputLeft = stream.avail_in > 0 || offset < in.size();
        if (result == Z_STREAM_END) {
            if (!inputLeft)
                break;
            // Gzip members one after another make one body.
            size_t at = offset - stream.avail_in;
            bool member = in.size() - at >= 2 && static_cast<unsigned char>(in[at]) == 0x1f
                && static_cast<unsigned char>(in[at + 1]) == 0x8b;
            if (!members || !member || inflateReset(&stream) != Z_OK) {
                error = "bytes follow the end of the compressed data";
                ok = false;
                break;
            }
            continue;
        }
        if ((result == Z_OK || result == Z_BUF_ERROR) && !inputLeft && stream.avail_out != 0) {
            error = "the compressed data is cut short";
            ok = false;
            break;
        }
        if (result != Z_OK && result != Z_BUF_ERROR) {
            error = "the compressed data is corrupt";
            ok = false;
            break;
        }
    }
    inflateEnd(&stream);
    if (!ok)
        out.clear();
    return ok;
}

}

HttpResponseParser::HttpResponseParser(size_t maxBodyBytes) : m_maxBodyBytes(maxBodyBytes)
{
}

HttpResponseParser::State HttpResponseParser::fail(std::string reason)
{
    m_state = Failed;
    m_error = std::move(reason);
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
        fail("the body is larger than " + std::to_string(m_maxBodyBytes) + " bytes");
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
                if (m_phase == FixedBody)
                    complete();
                else
                    m_phase = ChunkEnd;
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
                return fail("a line of the head, a chunk size or a trailer is longer than "
                    + std::to_string(maxLineBytes) + " bytes");
            m_line.append(data + i, take);
            i += take;
            if (!end)
                break;
            ++i;
            if (m_phase == StatusLine || m_phase == Headers || m_phase == Trailers) {
                // Answers that keep coming, each read of them a success, must
                // still come to an end.
                m_headBytes += m_line.size() + 1;
                if (m_headBytes > maxHeadBytes)
                    return fail("the head of the response is longer than " + std::to_string(maxHeadBytes) + " bytes");
            }
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
        if (colon == std::string_view::npos || colon == 0) {
            fail("a header line has no name");
            break;
        }
        if (++m_headerCount > maxHeaderCount) {
            fail("the response has more than " + std::to_string(maxHeaderCount) + " headers");
            break;
        }
        m_headers.emplace_back(
            std::string(trimmed(line.substr(0, colon))), std::string(trimmed(line.substr(colon + 1))));
        break;
    }
    case ChunkSize: {
        size_t size = 0;
        if (!readChunkSize(line, m_maxBodyBytes, size)) {
            fail("a chunk size is malformed or larger than " + std::to_string(m_maxBodyBytes) + " bytes");
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
            fail("a chunk is longer than its size");
        else
            m_phase = ChunkSize;
        break;
    case Trailers:
        if (line.empty())
            complete();
        else if (++m_headerCount > maxHeaderCount)
            fail("the response has more than " + std::to_string(maxHeaderCount) + " headers and trailers");
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
        fail("the status line is malformed");
        return;
    }
    int status = 0;
    for (size_t i = 9; i < 12; ++i) {
        if (line[i] < '0' || line[i] > '9') {
            fail("the status line is malformed");
            return;
        }
        status = status * 10 + (line[i] - '0');
    }
    if (status < 100 || (line.size() > 12 && line[12] != ' ')) {
        fail("the status line is malformed");
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
            fail("the server switched protocols");
            return;
        }
        if (++m_interimAnswers > maxInterimAnswers) {
            fail("more than " + std::to_string(maxInterimAnswers) + " interim answers");
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
    // Content codings were applied first, transfer codings after them.
    m_codings.clear();
    std::vector<std::string> transferCodings;
    for (const auto& [key, value] : m_headers) {
        if (equalsIgnoringCase(key, "Content-Encoding"))
            appendCodings(value, m_codings);
        else if (equalsIgnoringCase(key, "Transfer-Encoding"))
            appendCodings(value, transferCodings);
    }
    if (header("Transfer-Encoding")) {
        if (transferCodings.empty() || transferCodings.back() != "chunked") {
            fail("the body's transfer coding does not end in chunked");
            return;
        }
        transferCodings.pop_back();
        m_codings.insert(m_codings.end(), transferCodings.begin(), transferCodings.end());
    }
    for (const std::string& coding : m_codings) {
        if (!isIdentity(coding) && !isGzip(coding) && !isDeflate(coding)) {
            fail("the body is in the coding \"" + coding + "\", which cannot be decoded");
            return;
        }
    }
    if (header("Transfer-Encoding")) {
        m_phase = ChunkSize;
        return;
    }
    const std::string* lengthText = nullptr;
    for (const auto& [key, value] : m_headers) {
        if (!equalsIgnoringCase(key, "Content-Length"))
            continue;
        // Two different lengths leave no way to know where the body ends.
        if (lengthText && *lengthText != value) {
            fail("the response has two different lengths");
            return;
        }
        lengthText = &value;
    }
    if (lengthText) {
        size_t length = 0;
        if (!readLength(*lengthText, m_maxBodyBytes, length)) {
            fail("the length is malformed or larger than " + std::to_string(m_maxBodyBytes) + " bytes");
            return;
        }
        m_remaining = length;
        if (length)
            m_phase = FixedBody;
        else
            complete();
        return;
    }
    m_phase = BodyToClose;
}

void HttpResponseParser::complete()
{
    m_phase = Done;
    if (decodeBody())
        m_state = Complete;
}

bool HttpResponseParser::decodeBody()
{
    // The last coding applied is the first to undo. An empty body, as
    // answers without content send, has nothing to decode.
    for (auto coding = m_codings.rbegin(); coding != m_codings.rend() && !m_body.empty(); ++coding) {
        if (isIdentity(*coding))
            continue;
        bool gzip = isGzip(*coding);
        int windowBits = gzip ? 15 + 16 : (startsWithZlibHeader(m_body) ? 15 : -15);
        std::string decoded;
        std::string error;
        if (!inflateBytes(m_body, windowBits, gzip, m_maxBodyBytes, decoded, error)) {
            fail("the body's " + *coding + " coding cannot be decoded: " + error);
            return false;
        }
        m_body = std::move(decoded);
    }
    return true;
}

HttpResponseParser::State HttpResponseParser::finish()
{
    if (m_state != Incomplete)
        return m_state;
    if (m_phase == BodyToClose) {
        complete();
        return m_state;
    }
    return fail(m_phase == StatusLine && m_headBytes == 0 && m_line.empty()
            ? "the connection closed without an answer"
            : "the connection closed before the response was whole");
}

}
