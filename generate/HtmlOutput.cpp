#include "generate/HtmlOutput.h"

namespace lumavine {

HtmlOutput& HtmlOutput::text(std::u16string_view text)
{
    m_out << String(text).toNarrow();
    return *this;
}

HtmlOutput& HtmlOutput::line(std::u16string_view text)
{
    m_out << String(text).toNarrow() << "\r\n";
    return *this;
}

}
