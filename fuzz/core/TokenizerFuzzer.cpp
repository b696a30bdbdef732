#include "core/Tokenizer.h"

#include "fuzz/core/FuzzInput.h"

#include <cstdlib>

using namespace lumavine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    uint8_t flags = input.byte();
    uint8_t mode = input.byte();
    String delimiters = input.characters(4);
    String opening = input.characters(2);
    String closing = (mode & 1) ? opening : input.characters(2);
    String text = input.rest();

    Tokenizer tokenizer(text, delimiters);
    tokenizer.setQuotes(opening, closing);
    if ((opening == closing) != bool(tokenizer.flags() & Tokenizer::ToggleQuotes))
        std::abort();
    tokenizer.setFlag(Tokenizer::KeepQuotes, flags & 1);
    tokenizer.setFlag(Tokenizer::SkipEmpty, flags & 4);
    tokenizer.setFlag(Tokenizer::SkipLeadingBlanks, flags & 8);

    size_t lastPosition = 0;
    // Every call either moves on through the text or reports the end, so the
    // loop ends; a bound catches a tokenizer that stops moving.
    for (size_t round = 0; round <= text.size() + 1; ++round) {
        const String* token;
        switch ((mode >> 1) % 4) {
        case 0:
            token = tokenizer.next();
            break;
        case 1:
            token = tokenizer.next(round % 3);
            break;
        case 2:
            tokenizer.readBalanced(opening.empty() ? u'(' : opening[0], closing.empty() ? u')' : closing[0]);
            token = tokenizer.position() < text.size() ? &tokenizer.token() : nullptr;
            break;
        default: {
            StringList list;
            tokenizer.splitAll(list);
            token = nullptr;
            break;
        }
        }
        if (tokenizer.position() > text.size() || tokenizer.position() < lastPosition)
            std::abort();
        if (token && token->size() > text.size())
            std::abort();
        if (token && tokenizer.lastDelimiter() && !delimiters.contains(tokenizer.lastDelimiter()))
            std::abort();
        if (!token)
            return 0;
        if (tokenizer.position() == lastPosition && !text.empty() && (mode >> 1) % 4 != 2)
            std::abort();
        lastPosition = tokenizer.position();
    }
    std::abort();
}
