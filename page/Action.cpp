#include "page/Action.h"

#include "core/Tokenizer.h"

#include <string>

namespace lumavine {

namespace {

bool isQuote(char16_t c)
{
    return c == u'\'' || c == u'"';
}

// The position of the ")" that closes the "(" at `open`, skipping quoted
// text, so that a caption holding ")" does not end the arguments early.
size_t closingParenthesis(std::u16string_view text, size_t open)
{
    int depth = 0;
    char16_t quote = 0;
    for (size_t i = open; i < text.size(); ++i) {
        char16_t c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        if (isQuote(c))
            quote = c;
        else if (c == u'(')
            ++depth;
        else if (c == u')' && --depth == 0)
            return i;
    }
    return std::u16string_view::npos;
}

bool functionIsOneOf(const String& function, std::initializer_list<std::u16string_view> names)
{
    for (std::u16string_view name : names) {
        if (function.equalsIgnoreCase(name))
            return true;
    }
    return false;
}

}

bool parseAction(std::u16string_view action, String& function, StringList& arguments, bool keepQuotes)
{
    function.clear();
    arguments.clear();
    String text(action);
    text.trim();
    size_t open = text.find(u'(');
    if (open == String::npos)
        return false;
    String head = text.substring(0, open);
    head.trim();
    size_t colon = head.find(u':');
    if (colon == String::npos)
        return false;
    String prefix = head.substring(0, colon);
    prefix.trim();
    if (!prefix.equalsIgnoreCase(u"javascript"))
        return false;
    String name = head.substring(colon + 1);
    name.trim();
    size_t close = closingParenthesis(text, open);
    if (name.empty() || close == String::npos)
        return false;

    String inside = text.substring(open + 1, close);
    // Quotes are always kept while splitting so that an empty text argument
    // ('') still counts as an argument; they are taken off afterwards.
    Tokenizer tokenizer(inside, u",");
    tokenizer.setQuotes(u"'\"", u"'\"");
    tokenizer.setFlag(Tokenizer::KeepQuotes, true);
    tokenizer.setFlag(Tokenizer::SkipEmpty, false);
    bool endedWithComma = false;
    bool any = false;
    while (const String* token = tokenizer.next()) {
        any = true;
        String argument(*token);
        argument.trim();
        if (!keepQuotes)
            std::erase_if(argument, isQuote);
        arguments.append(argument);
        endedWithComma = tokenizer.lastDelimiter() == u',';
    }
    // "f(a,)" has an empty last argument that the tokenizer cannot report.
    if (any && endedWithComma)
        arguments.append(String());
    function = name;
    return true;
}

String buildAction(std::u16string_view function, const StringList& arguments)
{
    String joined;
    arguments.join(u",", joined);
    return u"javascript:" + String(function) + u"(" + joined + u")";
}

String actionFunction(std::u16string_view action)
{
    String function;
    StringList arguments;
    parseAction(action, function, arguments, true);
    return function;
}

bool actionCalls(std::u16string_view action, std::u16string_view function)
{
    return actionFunction(action).equalsIgnoreCase(function);
}

bool retargetAction(String& action, const String& newFrame, const String& oldFrame)
{
    String function;
    StringList arguments;
    if (!parseAction(action, function, arguments, true) || arguments.isEmpty())
        return false;
    if (!functionIsOneOf(function, { u"show_picture", u"play_video", u"play_audio", u"show_page", u"clear_frame" }))
        return false;
    String frame = unquoteArgument(arguments.get(0));
    if (frame.equals(newFrame))
        return true;
    if (!frame.equals(oldFrame))
        return false;
    arguments.set(0, quoteArgument(newFrame));
    action = buildAction(function, arguments);
    return true;
}

bool setActionScale(String& action, int ratio, bool aspect)
{
    String function;
    StringList arguments;
    if (!parseAction(action, function, arguments, true))
        return false;
    String ratioText = String::number(ratio);
    String aspectText(aspect ? u"true" : u"false");
    if (function.equalsIgnoreCase(u"show_picture")) {
        // A short action is padded with null so the values land in their
        // places.
        while (arguments.count() < 8)
            arguments.append(String(u"null"));
        if (arguments.get(6).equals(ratioText) && arguments.get(7).equalsIgnoreCase(aspectText))
            return false;
        arguments.set(6, ratioText);
        arguments.set(7, aspectText);
    } else if (function.equalsIgnoreCase(u"show_page")) {
        while (arguments.count() < 4)
            arguments.append(String(u"null"));
        if (arguments.get(3).equals(ratioText))
            return false;
        arguments.set(3, ratioText);
    } else {
        return false;
    }
    action = buildAction(function, arguments);
    return true;
}

std::vector<int> fileArgumentPositions(std::u16string_view function)
{
    String name(function);
    if (name.equalsIgnoreCase(u"show_picture"))
        return { 2, 6 };
    if (name.equalsIgnoreCase(u"show_page"))
        return { 2, 3 };
    if (name.equalsIgnoreCase(u"play_video") || name.equalsIgnoreCase(u"play_audio"))
        return { 2 };
    return {};
}

String unquoteArgument(std::u16string_view argument)
{
    if (argument.size() >= 2 && isQuote(argument.front()) && argument.back() == argument.front())
        return String(argument.substr(1, argument.size() - 2));
    return String(argument);
}

String quoteArgument(std::u16string_view argument)
{
    return u"'" + String(argument) + u"'";
}

String escapeScriptString(std::u16string_view text)
{
    String out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
        case u'\\':
            out.append(u"\\\\");
            break;
        case u'\'':
            out.append(u"\\'");
            break;
        case u'"':
            out.append(u"\\\"");
            break;
        case u'<':
            out.append(u"\\x3c");
            break;
        case u'\r':
            out.append(u"\\r");
            break;
        case u'\n':
            out.append(u"\\n");
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

}
