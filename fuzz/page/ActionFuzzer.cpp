// Action texts come from project files that users exchange, from menus and
// slides imported with them and from custom actions typed by hand; every
// rewrite of an action (localizing its files, renaming its frame, setting its
// ratio) parses it and builds it again.
#include "page/Action.h"

#include "fuzz/core/FuzzInput.h"

#include <cstdlib>

using namespace lumavine;

namespace {

bool isQuote(char16_t c)
{
    return c == u'\'' || c == u'"';
}

bool sameArguments(const StringList& a, const StringList& b)
{
    if (a.count() != b.count())
        return false;
    for (size_t i = 0; i < a.count(); ++i) {
        if (!a.get(i).equals(b.get(i)))
            return false;
    }
    return true;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    String action = input.rest();

    String function;
    StringList quoted;
    bool parsed = parseAction(action, function, quoted, true);
    if (!parsed) {
        // Not an action: both outputs are empty.
        if (!function.empty() || quoted.count() != 0)
            std::abort();
        if (!actionFunction(action).empty())
            std::abort();
        return 0;
    }
    if (function.empty())
        std::abort();

    // Without quotes the same arguments, only their quotes taken off.
    String bareFunction;
    StringList bare;
    if (!parseAction(action, bareFunction, bare, false) || !bareFunction.equals(function)
        || bare.count() != quoted.count())
        std::abort();
    for (size_t i = 0; i < quoted.count(); ++i) {
        String expected = quoted.get(i);
        std::erase_if(expected, isQuote);
        if (!bare.get(i).equals(expected))
            std::abort();
        // quoteArgument and unquoteArgument undo each other.
        if (!unquoteArgument(quoteArgument(bare.get(i))).equals(bare.get(i)))
            std::abort();
    }
    if (!actionCalls(action, function))
        std::abort();

    // A rebuilt action reads back as the same function and arguments, and
    // rebuilding it again changes nothing: rewrites must not drift.
    String rebuilt = buildAction(function, quoted);
    String againFunction;
    StringList again;
    if (!parseAction(rebuilt, againFunction, again, true) || !againFunction.equals(function)
        || !sameArguments(again, quoted))
        std::abort();
    if (!buildAction(againFunction, again).equals(rebuilt))
        std::abort();

    for (int position : fileArgumentPositions(function)) {
        if (position < 1)
            std::abort();
    }

    // Renaming the frame of the first argument changes that argument and
    // leaves the action byte for byte as it was otherwise. Only that: the
    // closing parenthesis is found by matching quotes of a kind, the
    // arguments by letting any quote toggle, so a first argument with an
    // unmatched "(" or mixed quotes can change where the arguments end, and
    // the renamed action may split differently or not at all.
    if (quoted.count() > 0) {
        String oldFrame = unquoteArgument(quoted.get(0));
        String newFrame(u"renamed_frame");
        String renamed = rebuilt;
        if (retargetAction(renamed, newFrame, oldFrame) && !oldFrame.equals(newFrame)) {
            String head = u"javascript:" + function + u"(";
            String expected = head + quoteArgument(newFrame) + rebuilt.substring(head.size() + quoted.get(0).size());
            String renamedFunction;
            StringList renamedArguments;
            if (!renamed.equals(expected))
                std::abort();
            if (parseAction(renamed, renamedFunction, renamedArguments, true)
                && (!renamedFunction.equals(function) || renamedArguments.count() == 0
                    || !unquoteArgument(renamedArguments.get(0)).equals(newFrame)))
                std::abort();
        }
    }

    // Setting a ratio pads and rebuilds the arguments. Its result is not
    // checked: a last argument with an odd number of quote characters takes
    // the padding into its quotes, as the grammar's tokenizer reads them.
    String scaled = rebuilt;
    if (setActionScale(scaled, 75, false))
        (void)setActionScale(scaled, 100, true);
    return 0;
}
