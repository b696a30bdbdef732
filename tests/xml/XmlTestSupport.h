#pragma once

#include "tests/support/TemporaryFolder.h"
#include "xml/Document.h"

namespace lumavine::test {

inline String text(const Node* node)
{
    return node && node->firstChild() ? node->firstChild()->nodeValue() : String();
}

}
