#include "generate/ScriptRuntime.h"

#include "core/StringList.h"
#include "generate/RuntimeSource.h"

namespace lumavine {

namespace {

constexpr std::string_view blockMarker = "//@";
constexpr std::string_view valueOpen = "/*@";
constexpr std::string_view valueClose = "@*/";

// The runtime's text is ASCII, so each byte is one character.
String fromAscii(std::string_view text)
{
    return String::fromLatin1(text);
}

std::string_view trimmed(std::string_view line)
{
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    size_t end = line.find_last_not_of(" \t\r");
    return line.substr(start, end - start + 1);
}

bool isNumberCharacter(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == '-';
}

}

std::vector<std::u16string_view> ScriptRuntime::sectionNames()
{
    std::vector<std::u16string_view> names;
    for (size_t i = 0; i < runtimeSourceFileCount; ++i)
        names.push_back(runtimeSourceFiles[i].name);
    return names;
}

std::string_view ScriptRuntime::sectionSource(std::u16string_view name)
{
    for (size_t i = 0; i < runtimeSourceFileCount; ++i) {
        if (runtimeSourceFiles[i].name == name)
            return runtimeSourceFiles[i].text;
    }
    return {};
}

void ScriptRuntime::setValue(const String& name, long long value)
{
    m_values[name] = String::number(value);
}

void ScriptRuntime::setBlock(const String& name, const StringList& lines)
{
    std::vector<String> copy;
    for (const String* line : lines)
        copy.push_back(*line);
    m_blocks[name] = std::move(copy);
}

void ScriptRuntime::setBlock(const String& name, std::vector<String> lines)
{
    m_blocks[name] = std::move(lines);
}

void ScriptRuntime::write(const std::function<void(const String&)>& line) const
{
    for (size_t i = 0; i < runtimeSourceFileCount; ++i)
        writeSection(runtimeSourceFiles[i].name, line);
}

void ScriptRuntime::writeSection(std::u16string_view name, const std::function<void(const String&)>& line) const
{
    std::string_view source = sectionSource(name);
    while (!source.empty()) {
        size_t end = source.find('\n');
        std::string_view text = source.substr(0, end);
        source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);

        std::string_view marker = trimmed(text);
        if (marker.starts_with(blockMarker)) {
            auto block = m_blocks.find(fromAscii(marker.substr(blockMarker.size())));
            if (block != m_blocks.end()) {
                for (const String& blockLine : block->second)
                    line(blockLine);
            }
            continue;
        }
        line(substituteValues(text));
    }
}

String ScriptRuntime::substituteValues(std::string_view line) const
{
    String out;
    size_t position = 0;
    for (;;) {
        size_t open = line.find(valueOpen, position);
        size_t close = open == std::string_view::npos ? open : line.find(valueClose, open + valueOpen.size());
        if (close == std::string_view::npos) {
            out.append(fromAscii(line.substr(position)));
            return out;
        }
        out.append(fromAscii(line.substr(position, open - position)));
        String name = fromAscii(line.substr(open + valueOpen.size(), close - open - valueOpen.size()));
        size_t after = close + valueClose.size();
        size_t numberEnd = after;
        while (numberEnd < line.size() && isNumberCharacter(line[numberEnd]))
            ++numberEnd;
        auto value = m_values.find(name);
        if (value != m_values.end())
            out.append(value->second);
        else
            out.append(fromAscii(line.substr(after, numberEnd - after)));
        position = numberEnd;
    }
}

}
