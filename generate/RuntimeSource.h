#pragma once

#include <cstddef>
#include <string_view>

namespace lumavine {

// One file of the script runtime as the build embedded it: the section's
// name and its JavaScript text with "\n" line ends.
struct RuntimeSourceFile {
    std::u16string_view name;
    std::string_view text;
};

// In the order pages carry them; defined in the source the build generates
// from generate/runtime/*.js.
extern const RuntimeSourceFile runtimeSourceFiles[];
extern const size_t runtimeSourceFileCount;

}
