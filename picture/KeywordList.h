#pragma once

#include "core/String.h"

#include <span>
#include <string_view>

namespace lumavine {

// The keyword values of one style key, in code order, with the names shown
// in dialogs and menus. Keywords are matched ignoring case.
struct KeywordList {
    std::span<const std::u16string_view> names;
    std::span<const std::u16string_view> displayNames;

    // 0 (the first entry) for a keyword that matches none.
    int codeOf(std::u16string_view keyword) const
    {
        for (size_t i = 0; i < names.size(); ++i) {
            if (String(names[i]).equalsIgnoreCase(keyword))
                return int(i);
        }
        return 0;
    }
    // The first entry's name for a code out of range.
    std::u16string_view name(int code) const
    {
        return code >= 0 && size_t(code) < names.size() ? names[size_t(code)] : names[0];
    }
    std::u16string_view displayName(int code) const
    {
        return code >= 0 && size_t(code) < displayNames.size() ? displayNames[size_t(code)] : displayNames[0];
    }
    int count() const { return int(names.size()); }
};

}
