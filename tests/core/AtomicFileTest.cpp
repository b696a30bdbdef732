#include "core/AtomicFile.h"
#include "core/PathInfo.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumavine;
using lumavine::test::readFile;
using lumavine::test::TemporaryFolder;
using lumavine::test::writeFile;

namespace {

mode_t modeOf(const std::string& path)
{
    struct stat status { };
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

bool isLink(const std::string& path)
{
    struct stat status { };
    return ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

size_t entryCount(const std::string& directory)
{
    size_t n = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(directory))
        ++n;
    return n;
}

// The three ways core saves a whole file.
enum class Way { Bytes, Writer, Copy };

bool save(Way way, const TemporaryFolder& temp, const std::string& path, const std::string& content)
{
    switch (way) {
    case Way::Bytes:
        return writeFileAtomically(path, content);
    case Way::Writer:
        return replaceFile(
            path, [&](int fd) { return ::write(fd, content.data(), content.size()) == ssize_t(content.size()); });
    case Way::Copy: {
        std::string source = temp.file("source.in");
        if (!writeFile(source, content))
            return false;
        bool copied = PathInfo(String(source)).copyTo(String(path));
        std::filesystem::remove(source);
        return copied;
    }
    }
    return false;
}

class AtomicFile : public ::testing::TestWithParam<Way> { };

}

TEST_P(AtomicFile, ReplacingKeepsTheModeAndANewFileFollowsTheUmask)
{
    TemporaryFolder temp;
    std::string path = temp.file("secret.xml");
    ASSERT_TRUE(writeFile(path, "old"));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(save(GetParam(), temp, path, "new content"));
    EXPECT_EQ(readFile(path), "new content");
    EXPECT_EQ(modeOf(path), mode_t(0600));

    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(save(GetParam(), temp, path, "again"));
    EXPECT_EQ(modeOf(path), mode_t(0640));

    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_TRUE(save(GetParam(), temp, path, "read-only stays read-only"));
    EXPECT_EQ(readFile(path), "read-only stays read-only");
    EXPECT_EQ(modeOf(path), mode_t(0444));

    mode_t previous = ::umask(027);
    bool saved = save(GetParam(), temp, temp.file("fresh.xml"), "fresh");
    ::umask(previous);
    ASSERT_TRUE(saved);
    EXPECT_EQ(modeOf(temp.file("fresh.xml")), mode_t(0640));
    EXPECT_EQ(entryCount(temp.narrow()), 2u);
}

TEST_P(AtomicFile, ReplacingKeepsTheOwnerWhereTheProcessMay)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser may give a file to another owner";
    TemporaryFolder temp;
    std::string path = temp.file("owned.xml");
    ASSERT_TRUE(writeFile(path, "old"));
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(save(GetParam(), temp, path, "new"));
    struct stat status { };
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, uid_t(4321));
    EXPECT_EQ(status.st_gid, gid_t(4322));
    EXPECT_EQ(status.st_mode & 07777, mode_t(0600));
}

TEST_P(AtomicFile, SavingThroughALinkReplacesItsTargetAndKeepsTheLink)
{
    TemporaryFolder temp;
    std::filesystem::create_directory(temp.file("real"));
    std::string target = temp.file("real/project.xml");
    ASSERT_TRUE(writeFile(target, "old"));
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    // A relative link, reached through an absolute one.
    std::filesystem::create_symlink("real/project.xml", temp.file("relative.xml"));
    std::filesystem::create_symlink(temp.file("relative.xml"), temp.file("absolute.xml"));

    ASSERT_TRUE(save(GetParam(), temp, temp.file("absolute.xml"), "through two links"));
    EXPECT_TRUE(isLink(temp.file("absolute.xml")));
    EXPECT_TRUE(isLink(temp.file("relative.xml")));
    EXPECT_EQ(readFile(target), "through two links");
    EXPECT_EQ(modeOf(target), mode_t(0600));
    EXPECT_EQ(entryCount(temp.narrow()), 3u);
    EXPECT_EQ(entryCount(temp.file("real")), 1u);

    // A link to a file not there yet makes the file.
    std::filesystem::create_symlink("real/later.xml", temp.file("dangling.xml"));
    ASSERT_TRUE(save(GetParam(), temp, temp.file("dangling.xml"), "made"));
    EXPECT_TRUE(isLink(temp.file("dangling.xml")));
    EXPECT_EQ(readFile(temp.file("real/later.xml")), "made");

    // A loop of links is refused and leaves nothing behind.
    std::filesystem::create_symlink("loop-b", temp.file("loop-a"));
    std::filesystem::create_symlink("loop-a", temp.file("loop-b"));
    EXPECT_FALSE(save(GetParam(), temp, temp.file("loop-a"), "never"));
    EXPECT_EQ(entryCount(temp.narrow()), 6u);
    EXPECT_EQ(entryCount(temp.file("real")), 2u);
}

TEST_P(AtomicFile, TheLongestLegalFileNameCanBeSaved)
{
    TemporaryFolder temp;
    for (size_t length : { size_t(254), size_t(255) }) {
        std::string path = temp.file(std::string(length - 4, 'n') + ".xml");
        ASSERT_TRUE(save(GetParam(), temp, path, "first")) << length;
        ASSERT_TRUE(save(GetParam(), temp, path, "second")) << length;
        EXPECT_EQ(readFile(path), "second");
    }
    EXPECT_EQ(entryCount(temp.narrow()), 2u);
}

INSTANTIATE_TEST_SUITE_P(Core, AtomicFile, ::testing::Values(Way::Bytes, Way::Writer, Way::Copy));

TEST(AtomicFileWriter, AFailedSaveLeavesTheOldFileAndNoTemporaryOne)
{
    TemporaryFolder temp;
    std::string path = temp.file("kept.xml");
    ASSERT_TRUE(writeFile(path, "old"));
    EXPECT_FALSE(replaceFile(path, [](int fd) { return ::write(fd, "partial", 7) == 7 && false; }));
    EXPECT_EQ(readFile(path), "old");
    std::filesystem::create_directory(temp.file("folder"));
    EXPECT_FALSE(writeFileAtomically(temp.file("folder"), "x"));
    EXPECT_FALSE(writeFileAtomically(temp.file("missing/x.xml"), "x"));
    EXPECT_EQ(entryCount(temp.narrow()), 2u);
}
