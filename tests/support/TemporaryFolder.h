#pragma once

#include "core/String.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace lumavine::test {

// A fresh folder of its own under the system's temporary folder, removed with
// everything in it when it goes, even what a test made read-only or
// unreadable. Kept to this header and free of Qt, so that the tests of core,
// xml and net, and the FTP benchmark that borrows the net tests' server, can
// use it without linking anything more.
class TemporaryFolder {
public:
    // The prefix names the folder, so that one left behind by a killed test
    // says which tests made it.
    explicit TemporaryFolder(std::string_view prefix = "lumavine-test")
    {
        std::error_code error;
        std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error)
            base = "/tmp";
        std::string pattern = (base / (std::string(prefix) + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data()))
            throw std::system_error(errno, std::generic_category(), "cannot make a temporary folder " + pattern);
        m_path = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        // Tests take rights away to see failures; give the owner's back so
        // that removal can enter and empty every folder. Links are not
        // followed, which keeps what they point to outside as it was.
        std::filesystem::permissions(
            m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        for (auto entry = std::filesystem::recursive_directory_iterator(m_path, ignored);
             entry != std::filesystem::recursive_directory_iterator(); entry.increment(ignored)) {
            if (!entry->is_symlink(ignored))
                std::filesystem::permissions(
                    entry->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The path as the system's bytes, and as the program's text.
    std::string narrow() const { return m_path.string(); }
    String text() const { return String(m_path.string()); }
    // A path inside, as the system's bytes; `relative` may name subfolders.
    std::string file(std::string_view relative) const { return m_path.string() + "/" + std::string(relative); }

private:
    std::filesystem::path m_path;
};

// Writes `bytes` as the whole file; false when it cannot be written.
inline bool writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bool(out);
}

// The whole file; empty when it cannot be read.
inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}
