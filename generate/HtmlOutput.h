#pragma once

#include "core/String.h"

#include <ostream>
#include <string>

namespace lumavine {

// The narrow stream a page is written to. Pages are made as wide text and
// every line ends in CR LF, as the text-mode streams of the platform the
// pages were first written on produced them.
//
// A page declares no character set, so every byte written is ASCII: a wider
// character becomes the escape of the language it lands in (a character
// reference in HTML, \uXXXX in a script, \XXXXXX in a style sheet), and the
// page reads the same whatever encoding a browser assumes. Text that is all
// ASCII is written unchanged.
class HtmlOutput {
public:
    explicit HtmlOutput(std::ostream& out) : m_out(out) { }

    // Text without a line end.
    HtmlOutput& text(std::u16string_view text);
    // Text followed by the line end.
    HtmlOutput& line(std::u16string_view text = {});

    bool good() const { return m_out.good(); }

private:
    enum class Context { Html, Script, Style };

    // Follows the script and style elements the text opens and closes.
    void write(std::u16string_view text);
    void writeEscaped(std::u16string_view text);

    std::ostream& m_out;
    Context m_context = Context::Html;
    // An opening script or style tag switches at its ">", so that its
    // attributes are still HTML.
    Context m_afterTag = Context::Html;
    bool m_inOpeningTag = false;
    std::string m_buffer;
};

}
