#include "xml/LineSource.h"

#include <atomic>

namespace lumavine {

namespace {
std::atomic<HttpLineOpener> installedOpener { nullptr };
}

void setHttpLineOpener(HttpLineOpener opener)
{
    installedOpener = opener;
}

HttpLineOpener httpLineOpener()
{
    return installedOpener;
}

}
