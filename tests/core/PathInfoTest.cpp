#include "core/PathInfo.h"
#include "core/WebFetch.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <unistd.h>

using namespace lumavine;
using lumavine::test::readFile;
using lumavine::test::TemporaryFolder;
using lumavine::test::writeFile;

namespace {

size_t fileCount(const std::string& directory)
{
    size_t n = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(directory))
        ++n;
    return n;
}

// Stands in for the networking layer's fetcher; removed again by the test.
std::string fetchedUrl;
bool fetchFromMemory(const std::string& url, std::string& body)
{
    fetchedUrl = url;
    if (url.find("missing") != std::string::npos)
        return false;
    body = "body of " + url;
    return true;
}

}

TEST(PathInfo, ParsesDriveLettersUrlsAndRelativeNames)
{
    PathInfo drive(u"C:\\site\\content\\a.jpg");
    EXPECT_EQ(drive.location(), u"C:/site/content/a.jpg");
    EXPECT_EQ(drive.directory(), u"C:/site/content");
    EXPECT_EQ(drive.fileName(), u"a.jpg");
    EXPECT_EQ(drive.baseName(), u"a");
    EXPECT_EQ(drive.extension(), u"jpg");
    EXPECT_TRUE(drive.scheme().empty());
    EXPECT_FALSE(drive.isWebLocation());

    PathInfo web(u"http://host/pics/b.png");
    EXPECT_EQ(web.scheme(), u"http");
    EXPECT_EQ(web.location(), u"host/pics/b.png");
    EXPECT_EQ(web.directory(), u"host/pics");
    EXPECT_EQ(web.fileName(), u"b.png");
    EXPECT_EQ(web.flags() & PathInfo::WebLocation, PathInfo::WebLocation);
    EXPECT_TRUE(PathInfo(u"HTTPS://host/x").isWebLocation());
    EXPECT_FALSE(PathInfo(u"ftp://host/x").isWebLocation());

    PathInfo relative(u"x.gif", u"/p/content");
    EXPECT_EQ(relative.location(), u"/p/content/x.gif");
    EXPECT_EQ(relative.directory(), u"/p/content");
    PathInfo trailing(u"img/x.gif", u"/p/content/");
    EXPECT_EQ(trailing.location(), u"/p/content/img/x.gif");
    EXPECT_EQ(trailing.directory(), u"/p/content/img");
    PathInfo backslashBase(u"x.gif", u"\\p\\content");
    EXPECT_EQ(backslashBase.location(), u"/p/content/x.gif");

    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    PathInfo fromCwd(u"y.txt");
    EXPECT_EQ(fromCwd.location(), String(cwd) + u"/y.txt");

    PathInfo absolute(u"/home/ann/a.png", u"/p/content");
    EXPECT_EQ(absolute.location(), u"/home/ann/a.png");

    PathInfo noDot(u"/p/README");
    EXPECT_EQ(noDot.fileName(), u"README");
    EXPECT_TRUE(noDot.baseName().empty());
    EXPECT_TRUE(noDot.extension().empty());
    PathInfo twoDots(u"/p/a.tar.gz");
    EXPECT_EQ(twoDots.baseName(), u"a.tar");
    EXPECT_EQ(twoDots.extension(), u"gz");
    PathInfo root(u"/x");
    EXPECT_EQ(root.directory(), u"");
    EXPECT_EQ(root.fileName(), u"x");

    PathInfo empty(u"");
    EXPECT_TRUE(empty.location().empty());
    EXPECT_TRUE(empty.fileName().empty());
    EXPECT_FALSE(empty.exists());

    PathInfo noSlash(u"mailto:ann");
    EXPECT_EQ(noSlash.directory(), u"ann");
    EXPECT_TRUE(noSlash.fileName().empty());

    web.setLocation(u"/a/b.c");
    EXPECT_FALSE(web.isWebLocation());
    EXPECT_TRUE(web.scheme().empty());
    EXPECT_EQ(web.fileName(), u"b.c");
}

TEST(PathInfo, FileLocationsAndLazyInformation)
{
    TemporaryFolder temp;
    ASSERT_FALSE(temp.narrow().empty());
    ASSERT_TRUE(writeFile(temp.file("a.txt"), "12345"));
    String path(temp.file("a.txt"));

    PathInfo file(path);
    EXPECT_EQ(file.flags() & PathInfo::InfoLoaded, 0);
    EXPECT_EQ(file.infoResult(), -1);
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(file.flags() & (PathInfo::InfoLoaded | PathInfo::Exists), PathInfo::InfoLoaded | PathInfo::Exists);
    EXPECT_EQ(file.infoResult(), 0);
    EXPECT_TRUE(file.isFile());
    EXPECT_FALSE(file.isDirectory());
    EXPECT_EQ(file.size(), 5);
    EXPECT_GT(file.modified(), 0);

    PathInfo url(u"file://" + path);
    EXPECT_EQ(url.scheme(), u"file");
    EXPECT_EQ(url.location(), path);
    EXPECT_EQ(url.fileName(), u"a.txt");
    EXPECT_EQ(url.size(), 5);

    PathInfo oneSlash(u"file:" + path);
    EXPECT_EQ(oneSlash.directory(), String(temp.narrow()));
    EXPECT_EQ(oneSlash.fileName(), u"a.txt");
    EXPECT_TRUE(oneSlash.isFile());

    PathInfo directory { String(temp.narrow()) };
    EXPECT_TRUE(directory.isDirectory());
    EXPECT_FALSE(directory.isFile());

    // A missing file is queried again until it appears.
    PathInfo later(String(temp.file("later.txt")));
    EXPECT_FALSE(later.exists());
    EXPECT_EQ(later.size(), 0);
    EXPECT_EQ(later.loadInfo(), -1);
    EXPECT_EQ(later.flags(), 0);
    ASSERT_TRUE(writeFile(temp.file("later.txt"), "abc"));
    EXPECT_TRUE(later.exists());
    EXPECT_EQ(later.size(), 3);

    // A web location never names a local file, even one of the same name.
    std::string previous = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(temp.narrow().c_str()), 0);
    std::filesystem::create_directory(temp.file("host"));
    ASSERT_TRUE(writeFile(temp.file("host/a.txt"), "local"));
    PathInfo web(u"http://host/a.txt");
    EXPECT_FALSE(web.exists());
    EXPECT_EQ(web.loadInfo(), -1);
    EXPECT_EQ(chdir(previous.c_str()), 0);
}

TEST(PathInfo, MakeDirectoryAndRemove)
{
    TemporaryFolder temp;
    PathInfo made(String(temp.file("made")));
    EXPECT_FALSE(made.exists());
    EXPECT_TRUE(made.makeDirectory());
    EXPECT_TRUE(made.isDirectory());
    EXPECT_EQ(std::filesystem::status(temp.file("made")).permissions() & std::filesystem::perms::owner_all,
        std::filesystem::perms::owner_all);
    EXPECT_FALSE(made.makeDirectory());
    PathInfo deep(String(temp.file("x/y")));
    EXPECT_FALSE(deep.makeDirectory());

    ASSERT_TRUE(writeFile(temp.file("gone.txt"), "x"));
    PathInfo gone(String(temp.file("gone.txt")));
    EXPECT_TRUE(gone.exists());
    EXPECT_TRUE(gone.remove());
    EXPECT_FALSE(gone.exists());
    EXPECT_FALSE(std::filesystem::exists(temp.file("gone.txt")));
    EXPECT_FALSE(gone.remove());
    EXPECT_FALSE(PathInfo(u"http://host/x").remove());
    EXPECT_FALSE(PathInfo(u"http://host/x").makeDirectory());
}

TEST(PathInfo, RelativeToNeedsAWholeDirectoryPrefix)
{
    PathInfo file(u"/p/content/custom/a.gif");
    String rest(u"stale");
    EXPECT_TRUE(file.relativeTo(u"/p/content", rest));
    EXPECT_EQ(rest, u"custom/a.gif");
    EXPECT_TRUE(file.relativeTo(u"/p/content/", rest));
    EXPECT_EQ(rest, u"custom/a.gif");
    EXPECT_TRUE(file.relativeTo(u"\\P\\Content", rest));
    EXPECT_EQ(rest, u"custom/a.gif");
    EXPECT_TRUE(file.relativeTo(u"/", rest));
    EXPECT_EQ(rest, u"p/content/custom/a.gif");
    EXPECT_TRUE(file.relativeTo(u"/p/content/custom/a.gif", rest));
    EXPECT_EQ(rest, u"");

    rest = u"stale";
    EXPECT_FALSE(file.relativeTo(u"/q/content", rest));
    EXPECT_EQ(rest, u"");
    rest = u"stale";
    EXPECT_FALSE(file.relativeTo(u"/p/con", rest));
    EXPECT_EQ(rest, u"");
    EXPECT_FALSE(file.relativeTo(u"/p/content/custom/a.gif/more", rest));

    PathInfo based(u"custom/a.gif", u"/p/content");
    EXPECT_TRUE(based.relativeTo(u"/p/content", rest));
    EXPECT_EQ(rest, u"custom/a.gif");
}

TEST(PathInfo, RelativeToTakesDotStepsBeforeDecidingWhatIsInside)
{
    String rest(u"stale");
    EXPECT_FALSE(PathInfo(u"../secret.txt", u"/p/content").relativeTo(u"/p/content", rest));
    EXPECT_EQ(rest, u"");
    EXPECT_FALSE(PathInfo(u"/p/content/custom/../../x.gif").relativeTo(u"/p/content", rest));
    EXPECT_FALSE(PathInfo(u"custom/../../x.gif", u"/p/content").relativeTo(u"/p/content/custom", rest));
    EXPECT_FALSE(PathInfo(u"/p/content/custom/../../x.gif").relativeTo(u"/p/content/custom", rest));
    EXPECT_FALSE(PathInfo(u"/p/content/./../content2/x.gif").relativeTo(u"/p/content", rest));
    EXPECT_FALSE(PathInfo(u"/p/content/x/../../../../etc/passwd").relativeTo(u"/p/content", rest));
    EXPECT_FALSE(PathInfo(u"file:///p/content/custom/../../x.gif").relativeTo(u"/p/content", rest));
    EXPECT_EQ(rest, u"");

    EXPECT_TRUE(PathInfo(u"/p/content/custom/./a/../x.gif").relativeTo(u"/p/content", rest));
    EXPECT_EQ(rest, u"custom/x.gif");
    EXPECT_TRUE(PathInfo(u"./custom//x.gif", u"/p/content").relativeTo(u"/p/content/", rest));
    EXPECT_EQ(rest, u"custom/x.gif");
    EXPECT_TRUE(PathInfo(u"/p/content/custom/..").relativeTo(u"/p/content", rest));
    EXPECT_EQ(rest, u"");
    EXPECT_TRUE(PathInfo(u"/p/other/../content/a.gif").relativeTo(u"/p/x/../content/.", rest));
    EXPECT_EQ(rest, u"a.gif");
    EXPECT_TRUE(PathInfo(u"/../p/content/a.gif").relativeTo(u"/p/content", rest));
    EXPECT_EQ(rest, u"a.gif");
    EXPECT_TRUE(PathInfo(u"file:///p/content/custom/./b.gif").relativeTo(u"/p/content", rest));
    EXPECT_EQ(rest, u"custom/b.gif");
    // The location itself is left as given.
    PathInfo kept(u"/p/content/custom/../x.gif");
    EXPECT_EQ(kept.location(), u"/p/content/custom/../x.gif");

    // Web locations are compared as before.
    EXPECT_TRUE(PathInfo(u"http://host/pics/b.png").relativeTo(u"http://host/pics", rest));
    EXPECT_EQ(rest, u"b.png");
    EXPECT_FALSE(PathInfo(u"http://host/pics/b.png").relativeTo(u"/p/content", rest));
}

TEST(PathInfo, CopyToReplacesTheDestinationOnlyWithACompleteCopy)
{
    TemporaryFolder temp;
    std::string binary(100 * 1024 + 17, '\0');
    std::mt19937 random(42);
    for (char& c : binary)
        c = char(random() & 0xFF);
    ASSERT_TRUE(writeFile(temp.file("source.bin"), binary));

    PathInfo source(String(temp.file("source.bin")));
    EXPECT_TRUE(source.copyTo(String(temp.file("copy.bin"))));
    EXPECT_EQ(readFile(temp.file("copy.bin")), binary);
    ASSERT_TRUE(writeFile(temp.file("copy.bin"), "older and longer content than the next source"));
    ASSERT_TRUE(writeFile(temp.file("short.txt"), "short"));
    EXPECT_TRUE(PathInfo(String(temp.file("short.txt"))).copyTo(String(temp.file("copy.bin"))));
    EXPECT_EQ(readFile(temp.file("copy.bin")), "short");
    // Copying a file onto itself keeps it whole.
    EXPECT_TRUE(source.copyTo(String(temp.file("source.bin"))));
    EXPECT_EQ(readFile(temp.file("source.bin")), binary);
    size_t filesBefore = fileCount(temp.narrow());

    // Failures: missing source, missing destination folder, a directory in
    // the way, a source that cannot be read. None leaves anything behind.
    EXPECT_FALSE(PathInfo(String(temp.file("missing"))).copyTo(String(temp.file("out"))));
    EXPECT_FALSE(source.copyTo(String(temp.file("no/such/dir/out.bin"))));
    std::filesystem::create_directory(temp.file("occupied"));
    ASSERT_TRUE(writeFile(temp.file("occupied/inside"), "x"));
    EXPECT_FALSE(source.copyTo(String(temp.file("occupied"))));
    EXPECT_EQ(readFile(temp.file("occupied/inside")), "x");
    PathInfo folder(String(temp.file("occupied")));
    EXPECT_FALSE(folder.copyTo(String(temp.file("short.txt"))));
    EXPECT_EQ(readFile(temp.file("short.txt")), "short");
    EXPECT_FALSE(source.copyTo(u""));
    EXPECT_EQ(fileCount(temp.narrow()), filesBefore + 1);
    EXPECT_FALSE(std::filesystem::exists(temp.file("out")));
}

TEST(PathInfo, CopyOfAWebLocationGoesThroughTheInstalledFetcher)
{
    TemporaryFolder temp;
    ASSERT_EQ(webFetcher(), nullptr);
    PathInfo web(u"http://127.0.0.1/pics/b.png");
    EXPECT_FALSE(web.copyTo(String(temp.file("b.png"))));
    EXPECT_FALSE(std::filesystem::exists(temp.file("b.png")));

    setWebFetcher(fetchFromMemory);
    EXPECT_TRUE(web.copyTo(String(temp.file("b.png"))));
    EXPECT_EQ(fetchedUrl, "http://127.0.0.1/pics/b.png");
    EXPECT_EQ(readFile(temp.file("b.png")), "body of http://127.0.0.1/pics/b.png");

    // A failed fetch leaves an existing destination as it was.
    PathInfo missing(u"https://127.0.0.1/missing.png");
    EXPECT_FALSE(missing.copyTo(String(temp.file("b.png"))));
    EXPECT_EQ(fetchedUrl, "https://127.0.0.1/missing.png");
    EXPECT_EQ(readFile(temp.file("b.png")), "body of http://127.0.0.1/pics/b.png");
    EXPECT_EQ(fileCount(temp.narrow()), 1u);
    setWebFetcher(nullptr);
}
