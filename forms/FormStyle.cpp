#include "forms/FormStyle.h"

#include "core/Properties.h"

namespace lumavine {

static void readNumber(const Properties& items, std::u16string_view key, int& out, bool* found = nullptr)
{
    if (!items.contains(key))
        return;
    int value = 0;
    if (items.get(key).readInt(value)) {
        out = value;
        if (found)
            *found = true;
    }
}

FormStyle FormStyle::parse(std::u16string_view text)
{
    Properties items(text, u";", u":", Properties::KeysLower);
    FormStyle style;
    readNumber(items, u"left", style.left);
    readNumber(items, u"top", style.top);
    readNumber(items, u"width", style.width);
    readNumber(items, u"height", style.height, &style.hasHeight);
    return style;
}

String FormStyle::withTop(std::u16string_view text, int top)
{
    Properties items(text, u";", u":", Properties::KeysLower);
    items.set(u"top", String::number(top));
    String out;
    for (const PtrMap::Entry* entry : items) {
        if (!out.empty())
            out.push_back(u';');
        out.append(entry->key());
        out.push_back(u':');
        out.append(StringMap::valueOf(entry));
    }
    return out;
}

String FormStyle::format(int left, int top, int width, int height)
{
    String out(u"left:");
    out.appendInt(left);
    out.append(u";top:");
    out.appendInt(top);
    out.append(u";width:");
    out.appendInt(width);
    if (height >= 0) {
        out.append(u";height:");
        out.appendInt(height);
    }
    return out;
}

}
