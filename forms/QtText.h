#pragma once

#include "core/String.h"

#include <QString>

namespace lumavine {

// Both text types hold UTF-16, so the crossings copy without converting.
inline QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

inline String fromQString(const QString& text)
{
    return String(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
}

}
