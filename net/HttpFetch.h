#pragma once

#include <cstddef>
#include <string>

namespace lumavine {

struct FetchLimits {
    // For each blocking step: connect, handshake, every read and every write.
    int timeoutMs = 10000;
    size_t maxBodyBytes = size_t(256) << 20;
    int maxRedirects = 5;
};

// One blocking GET of an "http" or "https" location, following redirects.
// The body on success; on failure false and an empty body.
bool fetchUrl(const std::string& url, std::string& body, const FetchLimits& limits = FetchLimits());

}
