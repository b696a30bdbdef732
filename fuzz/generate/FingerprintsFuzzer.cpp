// Each input is the fingerprint file beside a project. Reading it must never
// fail other than by answering false; a file that reads must write out and
// read back to the same records, or a later generation would trust records
// that are not the ones it wrote.
#include "generate/PageFingerprints.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace lumavine;

namespace {

const String build(u"fuzz build");
const String content(u"/fuzz/content");

std::string folder;

std::string contentsOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void removeFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lumavine-fingerprints-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    folder = pattern;
    std::atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = folder + "/.lumavine-pages";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    PageFingerprints read(String::fromNarrowLossless(path), build, content);
    if (!read.load()) {
        if (read.count() != 0)
            std::abort();
        return 0;
    }
    if (!read.save())
        std::abort();
    const std::string written = contentsOf(path);
    PageFingerprints again(String::fromNarrowLossless(path), build, content);
    if (!again.load() || again.count() != read.count() || !again.save() || contentsOf(path) != written)
        std::abort();
    return 0;
}
