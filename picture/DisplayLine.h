#pragma once

#include "core/String.h"

namespace lumavine {

// One line of a caption as it was last measured, in picture pixels.
struct DisplayLine {
    String text;
    int width = 0;
    int height = 0;
};

}
