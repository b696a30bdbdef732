#pragma once

namespace lumavine {

// Hands the document loader its reader of "http" locations and core its
// fetcher of web resources. Called once at start-up.
void installNetworkServices();

}
