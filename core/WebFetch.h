#pragma once

#include <string>

namespace lumavine {

// Fetches a whole web resource (http or https) into `body`; answers false on
// any failure. The networking layer installs the real one at start-up; until
// then every web location counts as missing.
using WebFetcher = bool (*)(const std::string& url, std::string& body);

void setWebFetcher(WebFetcher fetcher);
WebFetcher webFetcher();

}
