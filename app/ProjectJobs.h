#pragma once

#include "app/CommandLine.h"

#include <iosfwd>

namespace lumavine {

// The project modes of the command line, run without a window: a new
// project, generating a project's site, and saving a project. Messages go to
// `out`, failures to `err`; the answer is the exit code.
int runProjectJob(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

}
