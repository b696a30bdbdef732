#pragma once

#include "core/String.h"

#include <functional>
#include <map>
#include <string_view>
#include <vector>

namespace lumavine {

class StringList;

// The script library every generated page carries, with the page's own
// values put in. The library's text lives in generate/runtime/*.js; there a
// line "//@name" stands for a block of lines the page supplies and a comment
// "/*@name@*/" stands, with the number that follows it, for a page number.
// Places the page leaves unset keep the number of the source and lose the
// block line.
class ScriptRuntime {
public:
    // The sections in the order pages carry them.
    static std::vector<std::u16string_view> sectionNames();
    // The embedded text of a section, or the empty text for an unknown one.
    static std::string_view sectionSource(std::u16string_view name);

    void setValue(const String& name, long long value);
    void setBlock(const String& name, const StringList& lines);
    void setBlock(const String& name, std::vector<String> lines);

    // Hands every line of every section to `line`, without line ends.
    void write(const std::function<void(const String&)>& line) const;
    // The same lines for one section.
    void writeSection(std::u16string_view name, const std::function<void(const String&)>& line) const;

private:
    String substituteValues(std::string_view line) const;

    std::map<String, String> m_values;
    std::map<String, std::vector<String>> m_blocks;
};

}
