#pragma once

#include "core/String.h"

#include <cstdint>

namespace lumavine {

// The colour texts that colour inputs accept. The picture's Color reads
// anything that starts with "#"; an input is stricter, so that a half-typed
// colour is handed on as typed rather than read as a different colour.
// Writing is Color's: toText for values, toCss for the edit's "#rrggbb".
struct ColorText {
    // False, with `argb` untouched, unless the text is "#" and six or eight
    // hexadecimal digits; six digits read as opaque.
    static bool read(std::u16string_view text, std::uint32_t& argb);
};

}
