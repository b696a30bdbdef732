#pragma once

#include "core/String.h"

namespace lumavine {

// A fresh UUID in its lower-case text form with every "-" replaced, so that
// the result can serve as an identifier in scripts and element ids.
void makeUniqueId(String& out, char16_t replacement);

}
