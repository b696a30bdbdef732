// Feeds arbitrary bytes to the XML reader in arbitrary chunks, in XML and in
// HTML mode, then walks, copies and writes whatever tree came out.

#include "xml/Document.h"
#include "xml/XmlFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace lumavine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    bool html = data[0] & 1;
    size_t chunk = 1 + data[1] % 64;
    std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    String text = decodeFileText(bytes);

    Document document;
    document.setHtmlMode(html);
    for (size_t at = 0; at < text.size(); at += chunk) {
        if (document.parse(std::u16string_view(text).substr(at, chunk)))
            break;
    }
    document.finish();
    String written = document.toString();
    std::string encoded = encodeFileText(written, true);

    // Texts and values are escaped, but names are written as they are, so
    // markup inside a name need not survive; reading the output again must
    // still be safe.
    Document again;
    again.parse(decodeFileText(encoded));
    again.finish();

    Document copy;
    if (Element* root = document.documentElement()) {
        copy.appendChild(copy.importNode(root, true));
        copy.getElementsByTagName(u"*");
    }
    return 0;
}
