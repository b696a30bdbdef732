#pragma once

#include "core/String.h"

#include <ostream>

namespace lumavine {

// The narrow stream a page is written to. Pages are made as wide text and
// every line ends in CR LF, as the text-mode streams of the platform the
// pages were first written on produced them.
class HtmlOutput {
public:
    explicit HtmlOutput(std::ostream& out) : m_out(out) { }

    // Text without a line end.
    HtmlOutput& text(std::u16string_view text);
    // Text followed by the line end.
    HtmlOutput& line(std::u16string_view text = {});

    bool good() const { return m_out.good(); }

private:
    std::ostream& m_out;
};

}
