#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace lumavine::test {

// A fresh directory under the test's temporary path, removed with everything
// in it when the test ends.
class TempDirectory {
public:
    TempDirectory()
    {
        std::string pattern = (std::filesystem::path(::testing::TempDir()) / "lumavine-core-XXXXXX").string();
        if (char* made = mkdtemp(pattern.data()))
            m_path = made;
    }
    ~TempDirectory()
    {
        std::error_code ignored;
        if (!m_path.empty()) {
            // Undo chmod done by a test so that removal can enter everything.
            for (auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
                std::filesystem::permissions(
                    entry.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
            std::filesystem::remove_all(m_path, ignored);
        }
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline bool writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
    return bool(out);
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}
