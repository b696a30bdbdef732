#include "net/HttpUrl.h"
#include "net/Socket.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace lumavine;

// Locations come from users and from redirect answers of any server.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    static Socket socket;
    String host;
    int port = 0;
    if (socket.parseLocation(String::fromLatin1(text), host, port)) {
        if (socket.scheme().equalsIgnoreCase(u"http")
            && (port < 1 || port > 65535 || host.empty() || socket.path().empty()))
            __builtin_trap();
    }

    size_t split = text.find('\n');
    HttpUrl base;
    if (HttpUrl::parse(text.substr(0, split), base)) {
        if (base.path.empty() || base.path.front() != '/' || base.host.empty())
            __builtin_trap();
        HttpUrl next;
        if (split != std::string_view::npos && base.resolve(text.substr(split + 1), next) && next.path.empty())
            __builtin_trap();
    }
    return 0;
}
