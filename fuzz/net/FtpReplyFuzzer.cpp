#include "net/FtpReply.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace lumavine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string_view line
            = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        int code = parseFtpReplyLine(line);
        if (code != 0 && (code < 100 || code > 999))
            __builtin_trap();
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    std::string host;
    int port = 0;
    if (parsePassiveReply(text, host, port) && (port < 1 || port > 65535 || host.size() < 7 || host.size() > 15))
        __builtin_trap();
    return 0;
}
