#pragma once

#include "core/String.h"

namespace lumavine {

// Escaping of what the user typed for the place it lands in a generated
// page. A text without the characters concerned comes back unchanged.
class HtmlText {
public:
    // Element content (titles, captions, menu entry names): "&", "<", ">".
    static String content(std::u16string_view text);
    // An attribute value that is no action (tooltips, locations, styles):
    // "&" and the quote that delimits the value.
    static String attribute(std::u16string_view text, char16_t quote = u'"');
    // An action in an attribute: only the delimiting quote, so that the
    // character references actions carry in their captions keep working.
    static String action(std::u16string_view text, char16_t quote = u'"');
    // Hyperlinks are actions when they run script, locations otherwise.
    static String hyperlink(std::u16string_view text, char16_t quote = u'"');
    // A name inside a single-quoted script string: the backslash, both
    // quotes, line ends and "<" (which could close the script element).
    static String scriptString(std::u16string_view text);
    // A name as an identifier in a style sheet selector, where a blank (as
    // in the default shape names) or any other punctuation would end it.
    static String cssIdentifier(std::u16string_view text);
    // The mailto location of a mail action, as an attribute value. The
    // subject is a query value, where "&" or "#" would cut it short and "%"
    // would be read as an escape, so those (and line ends) are percent-encoded;
    // everything else stays as typed.
    static String mailto(std::u16string_view address, std::u16string_view subject);
};

}
