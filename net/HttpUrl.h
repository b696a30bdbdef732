#pragma once

#include <string>
#include <string_view>

namespace lumavine {

// An "http" or "https" location split for a request.
class HttpUrl {
public:
    // False for other schemes, an empty host, a bad port, or characters that
    // cannot appear in a request line (blanks, controls).
    static bool parse(std::string_view url, HttpUrl& out);

    // A "Location" answer, absolute or relative to this location.
    bool resolve(std::string_view location, HttpUrl& out) const;

    bool isTls() const { return scheme == "https"; }
    // The host, with ":" and the port when the location named one.
    std::string hostHeader() const;
    std::string text() const;

    std::string scheme;
    std::string host;
    int port = 80;
    bool portGiven = false;
    // The path with its query; never empty.
    std::string path = "/";
};

}
