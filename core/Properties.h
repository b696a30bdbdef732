#pragma once

#include "core/PtrMap.h"

namespace lumavine {

// Keys and values from a separated text such as "a:1;b:2" or the attribute
// text of a tag, kept in the order they were read.
class Properties : public StringMap {
public:
    enum KeyCase { KeysAsRead = 0, KeysLower = 1, KeysUpper = 2 };

    Properties(std::u16string_view itemSeparators = u" ", std::u16string_view keySeparators = u"=");
    Properties(std::u16string_view text, std::u16string_view itemSeparators, std::u16string_view keySeparators,
        int keyCase = KeysAsRead);

    void parse(std::u16string_view text);
    // The value, or the empty text for a missing key.
    const String& get(std::u16string_view key) const { return StringMap::get(key); }
    const String& leadingValue() const { return m_leadingValue; }
    void setKeyCase(int keyCase) { m_keyCase = keyCase; }

private:
    String m_leadingValue;
    String m_itemSeparators;
    String m_keySeparators;
    int m_keyCase = KeysAsRead;
};

}
