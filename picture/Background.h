#pragma once

#include "picture/Color.h"

namespace lumavine {

// The "background-color" value of an element: one colour, or a two-colour
// gradient with its direction, and its text and CSS forms.
struct Background {
    enum GradientMode { Horizontal = 0, Vertical = 1, ForwardDiagonal = 2, BackwardDiagonal = 3 };

    Color start;
    Color end;
    int gradientMode = Horizontal;
    bool gradient = false;

    // "#c" or "#a,#b" optionally followed by ",vertical", ",forward" or
    // ",backward". False for an empty text or one whose colours do not read.
    static bool fromText(std::u16string_view text, Background& out);
    String toText() const;
    String toCss() const;
    static String imageCss(const String& source);
};

}
