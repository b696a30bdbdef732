#pragma once

#include "core/String.h"

#include <QColor>
#include <cstdint>
#include <string_view>

namespace lumavine {

// A 32-bit ARGB colour with its text forms: "#rrggbb" or "#rrggbbaa" in the
// project file, "#rrggbb" plus an opacity filter in generated pages, and the
// 0x00BBGGRR value of native colour controls.
struct Color {
    std::uint32_t argb = 0xFF000000;

    constexpr Color() = default;
    constexpr explicit Color(std::uint32_t value) : argb(value) { }
    constexpr Color(int red, int green, int blue, int alpha = 255)
        : argb((std::uint32_t(alpha & 0xFF) << 24) | (std::uint32_t(red & 0xFF) << 16)
            | (std::uint32_t(green & 0xFF) << 8) | std::uint32_t(blue & 0xFF))
    {
    }

    constexpr int alpha() const { return int(argb >> 24); }
    constexpr int red() const { return int((argb >> 16) & 0xFF); }
    constexpr int green() const { return int((argb >> 8) & 0xFF); }
    constexpr int blue() const { return int(argb & 0xFF); }
    constexpr bool isOpaque() const { return alpha() == 255; }
    constexpr bool operator==(const Color&) const = default;

    // False (and `out` untouched) unless the text starts with "#"; missing
    // channels read as 0, a missing alpha as 255, a non-hexadecimal pair as 0.
    static bool fromText(std::u16string_view text, Color& out);
    String toText() const;
    // Alpha dropped; see opacityPercent.
    String toCss() const;
    // trunc(alpha * 100 / 255), the figure of the "alpha(opacity=...)" filter.
    int opacityPercent() const { return alpha() * 100 / 255; }
    // 0x00BBGGRR, or -1 when the text does not start with "#".
    static long toPlatform(std::u16string_view text);

    QColor toQColor() const { return QColor::fromRgba(argb); }
};

inline constexpr Color opaqueBlack { 0xFF000000u };
inline constexpr Color opaqueWhite { 0xFFFFFFFFu };

}
