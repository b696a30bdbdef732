#include "core/Properties.h"

#include "core/Tokenizer.h"

namespace lumavine {

Properties::Properties(std::u16string_view itemSeparators, std::u16string_view keySeparators)
    : StringMap(true)
    , m_itemSeparators(itemSeparators)
    , m_keySeparators(keySeparators)
{
}

Properties::Properties(std::u16string_view text, std::u16string_view itemSeparators, std::u16string_view keySeparators,
    int keyCase)
    : StringMap(true)
    , m_itemSeparators(itemSeparators)
    , m_keySeparators(keySeparators)
    , m_keyCase(keyCase)
{
    parse(text);
}

void Properties::parse(std::u16string_view text)
{
    clear();
    m_leadingValue.clear();
    Tokenizer items(text, m_itemSeparators);
    items.setQuotes(u"\"", u"\"");
    bool firstItem = true;
    while (const String* item = items.next()) {
        Tokenizer parts(*item, m_keySeparators);
        parts.setQuotes(u"\"", u"\"");
        parts.setFlag(Tokenizer::KeepQuotes, false);
        const String* keyToken = parts.next();
        if (!keyToken)
            break;
        String key = *keyToken;
        if (m_keyCase == KeysLower)
            key.toLower();
        else if (m_keyCase == KeysUpper)
            key.toUpper();
        bool hadSeparator = parts.lastDelimiter() != 0;
        const String* valueToken = parts.next();
        if (!valueToken && firstItem && !hadSeparator) {
            m_leadingValue = key;
            firstItem = false;
            continue;
        }
        firstItem = false;
        set(key, valueToken ? *valueToken : emptyString, true);
    }
}

}
