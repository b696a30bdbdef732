#include "core/WebFetch.h"

#include <atomic>

namespace lumavine {

namespace {
std::atomic<WebFetcher> installedFetcher { nullptr };
}

void setWebFetcher(WebFetcher fetcher)
{
    installedFetcher.store(fetcher);
}

WebFetcher webFetcher()
{
    return installedFetcher.load();
}

}
