#include "core/UniqueId.h"

#include <uuid/uuid.h>

namespace lumavine {

void makeUniqueId(String& out, char16_t replacement)
{
    uuid_t id;
    uuid_generate(id);
    char text[37];
    uuid_unparse_lower(id, text);
    out = String::fromLatin1(text);
    out.replaceChar(u'-', replacement);
}

}
