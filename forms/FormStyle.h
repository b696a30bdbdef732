#pragma once

#include "core/String.h"

namespace lumavine {

// The rectangle of a control as its "style" text gives it: "left:..;top:..;
// width:..;height:.." in pixels of the enclosing form or group box.
struct FormStyle {
    int left = 0;
    int top = 0;
    int width = 100;
    int height = 0;
    // A missing height is worked out from the control's font and rows.
    bool hasHeight = false;

    // Keys are read in any case; a missing or unreadable number keeps its default.
    static FormStyle parse(std::u16string_view text);
    // The same style text with "top" set to a new value and every other item
    // kept in its place.
    static String withTop(std::u16string_view text, int top);
    // "left:L;top:T;width:W", with ";height:H" when a height is given.
    static String format(int left, int top, int width, int height = -1);
};

}
