#include "core/Directory.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <vector>

using namespace lumavine;
using lumavine::test::TemporaryFolder;
using lumavine::test::writeFile;

namespace {

std::set<String> namesOf(const Directory& directory)
{
    std::set<String> names;
    for (PathInfo* entry : directory.entries())
        names.insert(entry->fileName());
    return names;
}

std::vector<String> orderedNamesOf(const Directory& directory)
{
    std::vector<String> names;
    for (PathInfo* entry : directory.entries())
        names.push_back(entry->fileName());
    return names;
}

class TextFilesOnly : public DirectoryFilter {
public:
    bool accept(const String& name, PathInfo& entry) const override { return name.endsWith(u".txt") && entry.isFile(); }
};

class DirectoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(temp.narrow().empty());
        for (auto name : { "b.txt", "a.txt", "B.txt", "notes.md", ".hidden" })
            ASSERT_TRUE(writeFile(temp.file(name), name));
        std::filesystem::create_directory(temp.file("sub"));
        std::filesystem::create_directory(temp.file(".git"));
        std::filesystem::create_directory(temp.file("dir.txt"));
    }

    String path() const { return String(temp.narrow()); }

    TemporaryFolder temp;
};

}

TEST_F(DirectoryTest, MissingDirectoryListsNothing)
{
    Directory missing(String(temp.file("nowhere")));
    EXPECT_EQ(missing.entries().count(), 0u);
    Directory notADirectory(String(temp.file("a.txt")));
    EXPECT_EQ(notADirectory.entries().count(), 0u);
    std::vector<std::unique_ptr<Directory>> below;
    EXPECT_EQ(missing.subdirectories(below, false), 0u);
}

TEST_F(DirectoryTest, FlagsChooseKindsAndHiddenNames)
{
    Directory all(path());
    EXPECT_EQ(namesOf(all), (std::set<String> { u"a.txt", u"b.txt", u"B.txt", u"notes.md", u"sub", u"dir.txt" }));
    for (PathInfo* entry : all.entries()) {
        EXPECT_TRUE(entry->flags() & PathInfo::InfoLoaded);
        EXPECT_EQ(entry->directory(), path());
    }

    Directory files(path(), nullptr, Directory::FilesOnly);
    EXPECT_EQ(namesOf(files), (std::set<String> { u"a.txt", u"b.txt", u"B.txt", u"notes.md" }));
    Directory directories(path(), nullptr, Directory::DirectoriesOnly);
    EXPECT_EQ(namesOf(directories), (std::set<String> { u"sub", u"dir.txt" }));
    Directory hidden(path(), nullptr, Directory::DirectoriesOnly | Directory::IncludeHidden);
    EXPECT_EQ(namesOf(hidden), (std::set<String> { u"sub", u"dir.txt", u".git" }));
    Directory hiddenFiles(path(), nullptr, Directory::FilesOnly | Directory::IncludeHidden);
    EXPECT_EQ(hiddenFiles.entries().count(), 5u);

    TextFilesOnly filter;
    Directory text(path(), &filter, 0);
    EXPECT_EQ(namesOf(text), (std::set<String> { u"a.txt", u"b.txt", u"B.txt" }));

    Directory fromPathInfo(PathInfo(String(temp.narrow() + "/")), nullptr, Directory::FilesOnly);
    EXPECT_EQ(fromPathInfo.entries().count(), 4u);
    EXPECT_EQ(fromPathInfo.entries().first()->location().find(u"//"), String::npos);
}

TEST_F(DirectoryTest, SortedListingAndRelist)
{
    Directory sorted(path(), nullptr, Directory::Sorted);
    EXPECT_EQ(orderedNamesOf(sorted),
        (std::vector<String> { u"B.txt", u"a.txt", u"b.txt", u"dir.txt", u"notes.md", u"sub" }));

    ASSERT_TRUE(writeFile(temp.file("sub/inner.txt"), "x"));
    sorted.relist(String(temp.file("sub")), nullptr, Directory::Sorted | Directory::FilesOnly);
    EXPECT_EQ(orderedNamesOf(sorted), std::vector<String> { u"inner.txt" });
    EXPECT_EQ(sorted.path(), String(temp.file("sub")));
    sorted.relist(String(temp.file("gone")), nullptr, 0);
    EXPECT_EQ(sorted.entries().count(), 0u);
}

TEST_F(DirectoryTest, SubdirectoriesDepthFirstWithoutLoops)
{
    namespace fs = std::filesystem;
    fs::create_directories(temp.file("sub/x/deep"));
    fs::create_directories(temp.file("sub/a"));
    fs::create_directories(temp.file(".git/objects"));
    ASSERT_TRUE(writeFile(temp.file("sub/x/deep/file.txt"), "x"));
    ASSERT_TRUE(writeFile(temp.file("sub/x/f.txt"), "x"));
    // A link back up the tree must not be followed for ever.
    fs::create_directory_symlink(temp.narrow(), temp.file("sub/x/up"));

    Directory root(path(), nullptr, Directory::Sorted | Directory::FilesOnly);
    std::vector<std::unique_ptr<Directory>> below;
    below.push_back(std::make_unique<Directory>(path()));
    ASSERT_EQ(root.subdirectories(below, true), 6u);
    std::vector<String> order;
    for (auto& directory : below) {
        String rest = directory->path().substring(path().size());
        order.push_back(rest);
        EXPECT_EQ(directory->flags(), root.flags());
    }
    EXPECT_EQ(order, (std::vector<String> { u"", u"/dir.txt", u"/sub", u"/sub/a", u"/sub/x", u"/sub/x/deep" }));
    EXPECT_EQ(orderedNamesOf(*below[4]), std::vector<String> { u"f.txt" });
    EXPECT_EQ(orderedNamesOf(*below[5]), std::vector<String> { u"file.txt" });

    EXPECT_EQ(root.subdirectories(below, false), 5u);
    EXPECT_EQ(below.front()->path(), String(temp.file("dir.txt")));

    Directory withHidden(path(), nullptr, Directory::Sorted | Directory::IncludeHidden);
    EXPECT_EQ(withHidden.subdirectories(below, false), 7u);
    EXPECT_EQ(below[0]->path(), String(temp.file(".git")));
    EXPECT_EQ(below[1]->path(), String(temp.file(".git/objects")));
}

TEST(DirectoryNames, ANameThatIsNotUtf8IsListedAndReachesItsFile)
{
    TemporaryFolder temp;
    ASSERT_FALSE(temp.narrow().empty());
    // "caf\xe9.txt" in Latin-1, beside an ordinary UTF-8 name.
    const std::string latin1 = "caf\xe9.txt";
    ASSERT_TRUE(writeFile(temp.file(latin1), "latin-1"));
    ASSERT_TRUE(writeFile(temp.file("caf\xc3\xa9.txt"), "utf-8"));
    ASSERT_TRUE(writeFile(temp.file("bad \xff\xfe\xc3(.txt"), "odd"));

    Directory listing(String(temp.narrow()), nullptr, Directory::FilesOnly | Directory::Sorted);
    ASSERT_EQ(listing.entries().count(), 3u);
    PathInfo* latin = nullptr;
    for (PathInfo* entry : listing.entries()) {
        EXPECT_TRUE(entry->isFile()) << entry->systemPath();
        if (entry->fileName().startsWith(u"caf") && entry->fileName() != u"caf\u00e9.txt")
            latin = entry;
    }
    ASSERT_NE(latin, nullptr);
    EXPECT_EQ(latin->fileName(), String(u"caf\xDCE9.txt"));
    EXPECT_EQ(latin->extension(), u"txt");
    EXPECT_EQ(latin->fileName().toNarrow(), latin1);
    EXPECT_EQ(latin->systemPath(), temp.file(latin1));
    EXPECT_EQ(latin->size(), 7);
    EXPECT_EQ(lumavine::test::readFile(latin->systemPath()), "latin-1");

    // The listed name, handed back to the system, opens and copies the file.
    PathInfo again(latin->location());
    EXPECT_TRUE(again.isFile());
    ASSERT_TRUE(again.copyTo(String(temp.narrow()) + u"/copy of " + latin->fileName()));
    EXPECT_EQ(lumavine::test::readFile(temp.file("copy of " + latin1)), "latin-1");
    ASSERT_TRUE(PathInfo(String(temp.narrow()) + u"/copy of " + latin->fileName()).remove());

    // Listing without a filter, and the walk into subfolders, see it too.
    std::filesystem::create_directory(temp.file("sub\xe9"));
    ASSERT_TRUE(writeFile(temp.file("sub\xe9/inner\xe9"), "inner"));
    std::vector<std::unique_ptr<Directory>> folders;
    ASSERT_EQ(listing.subdirectories(folders, false), 1u);
    ASSERT_EQ(folders[0]->entries().count(), 1u);
    EXPECT_EQ(folders[0]->entries().first()->fileName().toNarrow(), "inner\xe9");
    EXPECT_EQ(lumavine::test::readFile(folders[0]->entries().first()->systemPath()), "inner");
}
