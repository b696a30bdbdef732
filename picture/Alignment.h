#pragma once

#include "picture/KeywordList.h"

namespace lumavine {

// Caption alignment keywords: "halign" left, center, right and "valign" top,
// center, bottom; unknown values give the first.
class Alignment {
public:
    enum Horizontal { Left = 0, HCenter = 1, Right = 2 };
    enum Vertical { Top = 0, VCenter = 1, Bottom = 2 };

    static const KeywordList horizontal;
    static const KeywordList vertical;
};

}
