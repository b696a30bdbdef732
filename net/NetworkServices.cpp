#include "net/NetworkServices.h"

#include "core/WebFetch.h"
#include "net/HttpFetch.h"
#include "net/HttpLineSource.h"
#include "xml/LineSource.h"

namespace lumavine {

namespace {

std::unique_ptr<LineSource> openHttpLines(const String& location)
{
    return HttpLineSource::open(location);
}

bool fetchWebResource(const std::string& url, std::string& body)
{
    return fetchUrl(url, body);
}

}

void installNetworkServices()
{
    setHttpLineOpener(openHttpLines);
    setWebFetcher(fetchWebResource);
}

}
