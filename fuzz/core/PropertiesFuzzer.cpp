#include "core/Properties.h"

#include "fuzz/core/FuzzInput.h"

#include <cstdlib>

using namespace lumavine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    int keyCase = input.byte() % 3;
    String items = input.characters(3);
    String keys = input.characters(3);
    String text = input.rest();

    Properties properties(text, items, keys, keyCase);
    size_t counted = 0;
    for (const PtrMap::Entry* entry : properties) {
        ++counted;
        if (entry->key().empty())
            std::abort();
        if (&properties.get(entry->key()) != &StringMap::valueOf(entry))
            std::abort();
        if (keyCase == Properties::KeysLower && String(entry->key()).toLower() != entry->key())
            std::abort();
    }
    if (counted != properties.count())
        std::abort();

    // Parsing the same text again gives the same map.
    size_t before = properties.count();
    String leading = properties.leadingValue();
    properties.parse(text);
    if (properties.count() != before || properties.leadingValue() != leading)
        std::abort();
    return 0;
}
