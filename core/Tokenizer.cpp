#include "core/Tokenizer.h"

namespace lumavine {

Tokenizer::Tokenizer(std::u16string_view text, std::u16string_view delimiters) : m_text(text), m_delimiters(delimiters) { }

void Tokenizer::setQuotes(std::u16string_view opening, std::u16string_view closing)
{
    m_opening = String(opening);
    m_closing = String(closing);
    setFlag(ToggleQuotes, m_opening == m_closing);
}

void Tokenizer::setFlag(unsigned flag, bool on)
{
    if (on)
        m_flags |= flag;
    else
        m_flags &= ~flag;
}

const String* Tokenizer::next(int skip)
{
    int depth = 0;
    m_token.clear();
    m_lastDelimiter = 0;
    while (m_position < m_text.size()) {
        char16_t c = m_text[m_position++];
        bool opening = m_opening.contains(c);
        bool closing = m_closing.contains(c);
        if (opening || closing) {
            if (m_flags & ToggleQuotes)
                depth = depth ? 0 : 1;
            else if (opening)
                ++depth;
            else if (depth > 0)
                --depth;
            if (m_flags & KeepQuotes)
                m_token.push_back(c);
            continue;
        }
        if (depth == 0 && m_delimiters.contains(c)) {
            if (m_token.empty() && (m_flags & SkipEmpty))
                continue;
            m_lastDelimiter = c;
            if (skip > 0) {
                --skip;
                m_token.clear();
                continue;
            }
            return &m_token;
        }
        if ((m_flags & SkipLeadingBlanks) && m_token.empty() && (c == u' ' || c == u'\t'))
            continue;
        m_token.push_back(c);
    }
    if (m_token.empty() || skip > 0)
        return nullptr;
    return &m_token;
}

int Tokenizer::nextInt()
{
    int value = 0;
    if (const String* token = next())
        token->readInt(value);
    return value;
}

size_t Tokenizer::splitAll(StringList& list)
{
    while (const String* token = next())
        list.append(*token);
    return list.count();
}

bool Tokenizer::readBalanced(char16_t open, char16_t close)
{
    m_token.clear();
    if (m_position < m_text.size() && m_text[m_position] == open)
        ++m_position;
    int depth = 1;
    while (m_position < m_text.size()) {
        char16_t c = m_text[m_position++];
        // Close first: with the same character for both, it ends the text
        // rather than nesting for ever.
        if (c == close) {
            if (--depth == 0)
                break;
        } else if (c == open) {
            ++depth;
        }
        m_token.push_back(c);
    }
    return !m_token.empty();
}

}
