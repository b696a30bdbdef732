#include "app/NewProject.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lumavine;
namespace fs = std::filesystem;

namespace {

class Folder {
public:
    Folder()
    {
        std::string pattern = (fs::temp_directory_path() / "lumavine-app-XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~Folder() { fs::remove_all(m_path); }
    String path() const { return String(m_path); }
    std::string narrow() const { return m_path; }

private:
    std::string m_path;
};

}

TEST(NewProject, MakesTheFoldersAndAnEmptyProjectFile)
{
    Folder folder;
    String file;
    String message;
    ASSERT_TRUE(createProject(folder.path(), String(u"site"), file, message)) << message.toNarrow();
    EXPECT_EQ(file, folder.path() + u"/site/site.xml");
    EXPECT_TRUE(fs::is_directory(folder.narrow() + "/site/content/files"));
    EXPECT_TRUE(fs::is_regular_file(folder.narrow() + "/site/site.xml"));
    EXPECT_EQ(fs::file_size(folder.narrow() + "/site/site.xml"), 0u);
    EXPECT_TRUE(message.empty());

    // The same project again: nothing is touched.
    fs::path marker = folder.narrow() + "/site/content/files/keep.png";
    { std::ofstream(marker) << "x"; }
    EXPECT_FALSE(createProject(folder.path(), String(u"site"), file, message));
    EXPECT_EQ(message, String(u"directory already exists: ") + folder.path() + u"/site");
    EXPECT_TRUE(fs::exists(marker));
}

TEST(NewProject, RefusesWhatCannotBeAProject)
{
    Folder folder;
    String file;
    String message;
    EXPECT_FALSE(createProject(folder.path(), String(), file, message));
    EXPECT_EQ(message, u"Must supply name");
    EXPECT_FALSE(createProject(String(), String(u"site"), file, message));
    EXPECT_EQ(message, u"Must supply directory");
    String missing = folder.path() + u"/absent";
    EXPECT_FALSE(createProject(missing, String(u"site"), file, message));
    EXPECT_EQ(message, String(u"directory does not exist: ") + missing);
    EXPECT_FALSE(createProject(folder.path(), String(u"a/b"), file, message));
    EXPECT_TRUE(message.startsWith(u"cannot create directory: "));
    EXPECT_FALSE(fs::exists(folder.narrow() + "/a"));
}
