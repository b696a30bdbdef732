#pragma once

#include "core/String.h"

#include <cstddef>
#include <cstdint>

namespace lumavine::fuzz {

// Reads the fuzzer's bytes as a few small choices followed by text.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) { }

    uint8_t byte() { return m_position < m_size ? m_data[m_position++] : 0; }

    // Up to `most` characters, each one byte, so that separators and quotes
    // come from a small alphabet that the text below also uses.
    String characters(size_t most)
    {
        String text;
        size_t count = byte() % (most + 1);
        for (size_t i = 0; i < count && m_position < m_size; ++i)
            text.push_back(char16_t(byte()));
        return text;
    }

    // The rest as text: one byte a character, except that a 0xFF byte
    // introduces a 16-bit character from the next two bytes.
    String rest()
    {
        String text;
        while (m_position < m_size) {
            uint8_t b = byte();
            if (b == 0xFF && m_position + 1 < m_size) {
                uint8_t high = byte();
                text.push_back(char16_t(high << 8 | byte()));
            } else {
                text.push_back(char16_t(b));
            }
        }
        return text;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

}
