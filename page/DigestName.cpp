#include "page/DigestName.h"

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/base64.h>
#include <cryptopp/filters.h>
#include <cryptopp/md5.h>

namespace lumavine {

String digestFileName(std::string_view origin, std::u16string_view extension)
{
    std::string encoded;
    CryptoPP::Weak1::MD5 hash;
    // The pipeline owns its filters: the hash filter feeds a Base64 encoder
    // (without line breaks) into the string.
    CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(origin.data()), origin.size(), true,
        new CryptoPP::HashFilter(hash, new CryptoPP::Base64Encoder(new CryptoPP::StringSink(encoded), false)));
    while (!encoded.empty() && encoded.back() == '=')
        encoded.pop_back();
    String name = String::fromLatin1(encoded);
    name.replaceChar(u'/', u'-');
    name.replaceChar(u'+', u'_');
    if (!extension.empty())
        name += u"." + String(extension);
    return name;
}

}
