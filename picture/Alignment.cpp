#include "picture/Alignment.h"

namespace lumavine {

namespace {

constexpr std::u16string_view horizontalNames[] = { u"left", u"center", u"right" };
constexpr std::u16string_view horizontalDisplayNames[] = { u"Left", u"Center", u"Right" };
constexpr std::u16string_view verticalNames[] = { u"top", u"center", u"bottom" };
constexpr std::u16string_view verticalDisplayNames[] = { u"Top", u"Center", u"Bottom" };

}

const KeywordList Alignment::horizontal { horizontalNames, horizontalDisplayNames };
const KeywordList Alignment::vertical { verticalNames, verticalDisplayNames };

}
