#pragma once

#include "core/StringList.h"

namespace lumavine {

class Tokenizer {
public:
    enum Flag : unsigned {
        KeepQuotes = 1,
        ToggleQuotes = 2,
        SkipEmpty = 4,
        SkipLeadingBlanks = 8,
    };

    explicit Tokenizer(std::u16string_view text, std::u16string_view delimiters = u" ");

    void setQuotes(std::u16string_view opening, std::u16string_view closing);
    void setFlag(unsigned flag, bool on);
    unsigned flags() const { return m_flags; }

    // The token after skipping `skip` tokens, or null at the end. The answer
    // stays valid until the next call.
    const String* next(int skip = 0);
    int nextInt();
    size_t splitAll(StringList& list);
    // Collects up to the close character that balances the nesting; an open
    // character at the read position is taken as the opening one.
    bool readBalanced(char16_t open, char16_t close);
    char16_t lastDelimiter() const { return m_lastDelimiter; }
    const String& token() const { return m_token; }
    size_t position() const { return m_position; }

private:
    unsigned m_flags = KeepQuotes | SkipEmpty | SkipLeadingBlanks;
    String m_opening;
    String m_closing;
    String m_text;
    String m_delimiters;
    String m_token;
    size_t m_position = 0;
    char16_t m_lastDelimiter = 0;
};

}
