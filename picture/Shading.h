#pragma once

#include <algorithm>
#include <cstdint>

namespace lumavine {

// The lighter and darker tones of 3-D borders: each step adds 32 to red,
// green and blue (clamped), and the result is opaque.
constexpr uint32_t shade(uint32_t argb, int step)
{
    auto channel = [step](uint32_t value) -> uint32_t {
        return static_cast<uint32_t>(std::clamp(static_cast<int>(value & 0xFF) + 32 * step, 0, 255));
    };
    return 0xFF000000u | (channel(argb >> 16) << 16) | (channel(argb >> 8) << 8) | channel(argb);
}

}
