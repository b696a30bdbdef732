#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

using lumavine::test::readFile;
using lumavine::test::TemporaryFolder;
using lumavine::test::writeFile;
namespace fs = std::filesystem;

TEST(TemporaryFolder, EachIsFreshAndGoesWithWhatItHolds)
{
    fs::path first;
    fs::path second;
    {
        TemporaryFolder one("lumavine-support");
        TemporaryFolder two("lumavine-support");
        first = one.path();
        second = two.path();
        EXPECT_NE(first, second);
        EXPECT_TRUE(fs::is_directory(first));
        EXPECT_TRUE(fs::is_empty(first));
        EXPECT_EQ(first.filename().string().rfind("lumavine-support-", 0), 0u) << first;
        EXPECT_EQ(one.file("a/b.txt"), one.narrow() + "/a/b.txt");
        EXPECT_EQ(one.text().toNarrow(), one.narrow());

        fs::create_directories(one.file("a"));
        ASSERT_TRUE(writeFile(one.file("a/b.txt"), "bytes"));
        EXPECT_EQ(readFile(one.file("a/b.txt")), "bytes");
        EXPECT_FALSE(writeFile(one.file("missing/b.txt"), "x"));
        EXPECT_EQ(readFile(one.file("missing/b.txt")), "");
    }
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
}

// Root removes locked folders whatever their mode, so the locks only count
// when the tests run as another user; the link half counts for everyone.
TEST(TemporaryFolder, RemovesWhatATestLockedButNotWhatALinkReaches)
{
    TemporaryFolder outside;
    ASSERT_TRUE(writeFile(outside.file("theirs.txt"), "theirs"));
    fs::permissions(outside.file("theirs.txt"), fs::perms::owner_read);
    fs::path removed;
    {
        TemporaryFolder folder;
        removed = folder.path();
        fs::create_directories(folder.file("locked/read-only"));
        ASSERT_TRUE(writeFile(folder.file("locked/read-only/file.txt"), "x"));
        fs::permissions(folder.file("locked/read-only/file.txt"), fs::perms::none);
        fs::permissions(folder.file("locked/read-only"), fs::perms::owner_read | fs::perms::owner_exec);
        fs::permissions(folder.file("locked"), fs::perms::none);
        fs::create_symlink(outside.file("theirs.txt"), folder.file("link.txt"));
        fs::create_directory_symlink(outside.path(), folder.file("link-folder"));
        fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    }
    EXPECT_FALSE(fs::exists(removed));
    EXPECT_EQ(readFile(outside.file("theirs.txt")), "theirs");
    EXPECT_EQ(fs::status(outside.file("theirs.txt")).permissions() & fs::perms::all, fs::perms::owner_read);
}
