#include "net/FtpReply.h"

#include <charconv>
#include <vector>

namespace lumavine {

int parseFtpReplyLine(std::string_view line)
{
    if (line.size() < 4 || line[3] != ' ')
        return 0;
    int code = 0;
    for (int i = 0; i < 3; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return 0;
        code = code * 10 + (line[i] - '0');
    }
    return code >= 100 ? code : 0;
}

bool parsePassiveReply(std::string_view reply, std::string& host, int& port)
{
    if (reply.size() < 5)
        return false;
    size_t open = reply.find('(', 4);
    if (open == std::string_view::npos)
        return false;
    size_t close = reply.find(')', open + 1);
    if (close == std::string_view::npos)
        return false;
    std::string_view inside = reply.substr(open + 1, close - open - 1);

    std::vector<int> fields;
    while (true) {
        size_t comma = inside.find(',');
        std::string_view field = inside.substr(0, comma);
        while (!field.empty() && field.front() == ' ')
            field.remove_prefix(1);
        while (!field.empty() && field.back() == ' ')
            field.remove_suffix(1);
        int value = -1;
        auto parsed = std::from_chars(field.data(), field.data() + field.size(), value);
        if (field.empty() || parsed.ec != std::errc() || parsed.ptr != field.data() + field.size() || value < 0
            || value > 255)
            return false;
        fields.push_back(value);
        if (comma == std::string_view::npos || fields.size() > 6)
            break;
        inside.remove_prefix(comma + 1);
    }
    if (fields.size() != 6)
        return false;
    host = std::to_string(fields[0]) + '.' + std::to_string(fields[1]) + '.' + std::to_string(fields[2]) + '.'
        + std::to_string(fields[3]);
    port = fields[4] * 256 + fields[5];
    return port > 0;
}

}
