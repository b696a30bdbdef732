#pragma once

#include <cstddef>
#include <string>

namespace lumavine {

struct FetchLimits {
    // For each blocking step: connect, handshake, every read and every write;
    // and for the head of each answer (its status line and headers, with any
    // interim answers before them) in all.
    int timeoutMs = 10000;
    size_t maxBodyBytes = size_t(256) << 20;
    int maxRedirects = 5;
    // For the whole fetch, redirects and all, however steadily the bytes
    // come; zero takes twelve times timeoutMs.
    int totalTimeoutMs = 0;

    int totalLimitMs() const;
};

// One blocking GET of an "http" or "https" location, following redirects.
// The body on success, decoded when the server sent it in gzip or deflate
// coding; on failure false and an empty body.
bool fetchUrl(const std::string& url, std::string& body, const FetchLimits& limits = FetchLimits());
// The same, with the reason of a failure in error (empty on success).
bool fetchUrl(const std::string& url, std::string& body, const FetchLimits& limits, std::string& error);

}
