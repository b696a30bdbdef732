#include "app/NewProject.h"
#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace lumavine;
using lumavine::test::TemporaryFolder;
namespace fs = std::filesystem;

TEST(NewProject, MakesTheFoldersAndAnEmptyProjectFile)
{
    TemporaryFolder folder;
    String file;
    String message;
    ASSERT_TRUE(createProject(folder.text(), String(u"site"), file, message)) << message.toNarrow();
    EXPECT_EQ(file, folder.text() + u"/site/site.xml");
    EXPECT_TRUE(fs::is_directory(folder.narrow() + "/site/content/files"));
    EXPECT_TRUE(fs::is_regular_file(folder.narrow() + "/site/site.xml"));
    EXPECT_EQ(fs::file_size(folder.narrow() + "/site/site.xml"), 0u);
    EXPECT_TRUE(message.empty());

    // The same project again: nothing is touched.
    fs::path marker = folder.narrow() + "/site/content/files/keep.png";
    {
        std::ofstream(marker) << "x";
    }
    EXPECT_FALSE(createProject(folder.text(), String(u"site"), file, message));
    EXPECT_EQ(message, String(u"directory already exists: ") + folder.text() + u"/site");
    EXPECT_TRUE(fs::exists(marker));
}

TEST(NewProject, RefusesWhatCannotBeAProject)
{
    TemporaryFolder folder;
    String file;
    String message;
    EXPECT_FALSE(createProject(folder.text(), String(), file, message));
    EXPECT_EQ(message, u"Must supply name");
    EXPECT_FALSE(createProject(String(), String(u"site"), file, message));
    EXPECT_EQ(message, u"Must supply directory");
    String missing = folder.text() + u"/absent";
    EXPECT_FALSE(createProject(missing, String(u"site"), file, message));
    EXPECT_EQ(message, String(u"directory does not exist: ") + missing);
    EXPECT_FALSE(createProject(folder.text(), String(u"a/b"), file, message));
    EXPECT_TRUE(message.startsWith(u"cannot create directory: "));
    EXPECT_FALSE(fs::exists(folder.narrow() + "/a"));
}
