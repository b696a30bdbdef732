#pragma once

#include "core/String.h"

#include <cstdint>

namespace lumavine {

// The colour texts of forms: "#rrggbb", with two more digits for the alpha
// when the colour is not opaque. Values are 32-bit ARGB.
struct ColorText {
    // False, with `argb` untouched, unless the text is "#" and six or eight
    // hexadecimal digits; six digits read as opaque.
    static bool read(std::u16string_view text, std::uint32_t& argb);
    // "#rrggbb", plus "aa" only when the alpha is below 255.
    static String format(std::uint32_t argb);
    // "#rrggbb" whatever the alpha.
    static String formatRgb(std::uint32_t argb);
};

}
