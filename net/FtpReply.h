#pragma once

#include <string>
#include <string_view>

namespace lumavine {

// The code of a final reply line: three decimal digits and a space, giving a
// code from 100 to 999. Continuation lines ("220-...") and anything else
// answer 0.
int parseFtpReplyLine(std::string_view line);

// The address of a passive-mode reply ("227 Entering Passive Mode
// (h1,h2,h3,h4,p1,p2)"), looked for from the reply's fifth character on.
// False when the parentheses, the six fields or their ranges are wrong.
bool parsePassiveReply(std::string_view reply, std::string& host, int& port);

}
