#include "net/HttpUrl.h"

#include <vector>

namespace lumavine {

namespace {

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool isRequestSafe(std::string_view text)
{
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7f)
            return false;
    }
    return true;
}

// Whether the text begins with a scheme and "://".
bool hasScheme(std::string_view text)
{
    size_t colon = text.find("://");
    if (colon == std::string_view::npos || colon == 0)
        return false;
    for (size_t i = 0; i < colon; ++i) {
        char c = text[i];
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return true;
}

// Drops "." and ".." segments of an absolute path, keeping the query as it is.
std::string removeDotSegments(std::string_view path)
{
    size_t question = path.find('?');
    std::string_view query = question == std::string_view::npos ? std::string_view() : path.substr(question);
    std::string_view segments = path.substr(0, question);

    std::vector<std::string_view> kept;
    size_t start = 1;
    bool trailingSlash = false;
    while (start <= segments.size()) {
        size_t slash = segments.find('/', start);
        std::string_view segment
            = segments.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        trailingSlash = false;
        if (segment == ".") {
            trailingSlash = true;
        } else if (segment == "..") {
            if (!kept.empty())
                kept.pop_back();
            trailingSlash = true;
        } else {
            kept.push_back(segment);
        }
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    std::string result;
    for (std::string_view segment : kept) {
        result += '/';
        result += segment;
    }
    if (result.empty() || trailingSlash)
        result += '/';
    result += query;
    return result;
}

}

bool HttpUrl::parse(std::string_view url, HttpUrl& out)
{
    size_t separator = url.find("://");
    if (separator == std::string_view::npos)
        return false;
    std::string_view scheme = url.substr(0, separator);
    HttpUrl result;
    if (equalsIgnoringCase(scheme, "http")) {
        result.scheme = "http";
        result.port = 80;
    } else if (equalsIgnoringCase(scheme, "https")) {
        result.scheme = "https";
        result.port = 443;
    } else {
        return false;
    }
    std::string_view rest = url.substr(separator + 3);
    size_t fragment = rest.find('#');
    if (fragment != std::string_view::npos)
        rest = rest.substr(0, fragment);
    if (!isRequestSafe(rest))
        return false;

    size_t authorityEnd = rest.find_first_of("/?");
    std::string_view authority = rest.substr(0, authorityEnd);
    std::string_view path = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    size_t at = authority.rfind('@');
    if (at != std::string_view::npos)
        authority = authority.substr(at + 1);
    size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos) {
        std::string_view portText = authority.substr(colon + 1);
        authority = authority.substr(0, colon);
        if (portText.empty() || portText.size() > 5)
            return false;
        int port = 0;
        for (char c : portText) {
            if (c < '0' || c > '9')
                return false;
            port = port * 10 + (c - '0');
        }
        if (port < 1 || port > 65535)
            return false;
        result.port = port;
        result.portGiven = true;
    }
    // Only IPv4 and names: the connection layer has no IPv6.
    if (authority.empty() || authority.find_first_of("[]:") != std::string_view::npos)
        return false;
    result.host = authority;
    // Built by appending: gcc 12 warns falsely (-Wrestrict) on the
    // assignment and concatenation forms at -O3.
    result.path.clear();
    if (path.empty() || path.front() == '?')
        result.path.push_back('/');
    result.path.append(path);
    out = std::move(result);
    return true;
}

bool HttpUrl::resolve(std::string_view location, HttpUrl& out) const
{
    while (!location.empty() && (location.front() == ' ' || location.front() == '\t'))
        location.remove_prefix(1);
    while (!location.empty() && (location.back() == ' ' || location.back() == '\t'))
        location.remove_suffix(1);
    if (location.empty())
        return false;
    if (hasScheme(location))
        return parse(location, out);
    if (location.starts_with("//"))
        return parse(scheme + ":" + std::string(location), out);
    size_t fragment = location.find('#');
    if (fragment != std::string_view::npos)
        location = location.substr(0, fragment);
    if (!isRequestSafe(location))
        return false;

    HttpUrl result = *this;
    if (location.empty()) {
        out = std::move(result);
        return true;
    }
    if (location.front() == '/') {
        result.path = removeDotSegments(location);
    } else if (location.front() == '?') {
        result.path = path.substr(0, path.find('?')) + std::string(location);
    } else {
        std::string base = path.substr(0, path.find('?'));
        base = base.substr(0, base.rfind('/') + 1);
        result.path = removeDotSegments(base + std::string(location));
    }
    out = std::move(result);
    return true;
}

std::string HttpUrl::hostHeader() const
{
    return portGiven ? host + ":" + std::to_string(port) : host;
}

std::string HttpUrl::text() const
{
    return scheme + "://" + hostHeader() + path;
}

}
