#include "net/HttpResponseParser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace lumavine;

// The first byte picks the size of the pieces, so that every split of the
// response across reads gets tried.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    size_t piece = (data[0] % 64) + 1;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    size_t length = size - 1;

    HttpResponseParser parser(4096);
    for (size_t at = 0; at < length && parser.state() == HttpResponseParser::Incomplete; at += piece)
        parser.feed(bytes + at, std::min(piece, length - at));
    HttpResponseParser::State state = parser.finish();
    if (parser.body().size() > 4096)
        __builtin_trap();
    if (state == HttpResponseParser::Complete && (parser.status() < 100 || parser.status() > 999))
        __builtin_trap();
    if (state == HttpResponseParser::Failed && !parser.body().empty())
        __builtin_trap();
    return 0;
}
