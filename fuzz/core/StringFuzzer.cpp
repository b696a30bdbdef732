#include "core/String.h"

#include "fuzz/core/FuzzInput.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

using namespace lumavine;

namespace {

// The integer readInt must give: the digits without their commas, read by
// the C library, within the range of int.
bool referenceInt(const String& text, int& out)
{
    std::string kept;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'0' && c <= u'9')
            kept.push_back(char(c));
        else if (c == u'-' && i == 0)
            kept.push_back('-');
        else if (c != u',')
            return false;
    }
    if (kept.empty() || kept == "-")
        return false;
    errno = 0;
    long long value = std::strtoll(kept.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return false;
    out = int(value);
    return true;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::FuzzInput input(data, size);
    String text = input.rest();

    String unescaped = text;
    unescaped.unescapeXml();
    if (unescaped.size() > text.size())
        std::abort();
    String escaped = text;
    escaped.escapeXml();
    if (escaped.unescapeXml() != text)
        std::abort();

    String grouped = text;
    grouped.formatThousands();
    if (grouped.size() > 1047 || (text.empty() != grouped.empty()))
        std::abort();
    if (grouped != u"NaN") {
        String withoutCommas = grouped;
        withoutCommas.replaceAll(u",", u"");
        String original = text;
        original.replaceAll(u",", u"");
        if (withoutCommas != original)
            std::abort();
    }

    int value = 12345;
    int expected = 0;
    bool read = text.readInt(value);
    if (read != referenceInt(text, expected) || (read && value != expected) || (!read && value != 12345))
        std::abort();

    double number = 0.5;
    int digits = -1;
    if (text.readDouble(number, &digits)) {
        size_t point = text.find(u'.');
        int fraction = point == String::npos ? 0 : int(text.size() - point - 1);
        if (digits != fraction)
            std::abort();
    } else if (number != 0.5 || digits != -1) {
        std::abort();
    }

    // Narrow text that converts at all comes back byte for byte.
    String wide(u"unchanged");
    wide.assignNarrow(bytes);
    if (wide != u"unchanged" || bytes == "unchanged") {
        if (wide.toNarrow() != bytes)
            std::abort();
    }
    return 0;
}
