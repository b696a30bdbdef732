#include "net/FtpConnections.h"
#include "tests/support/TemporaryFolder.h"
#include "xml/Element.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lumavine {
namespace {

mode_t modeOf(const std::string& path)
{
    struct stat status { };
    ::stat(path.c_str(), &status);
    return status.st_mode & 0777;
}

TEST(FtpConnections, KeepsNamedConnectionsInOrderInAPrivateFile)
{
    test::TemporaryFolder folder { "lumavine-ftp" };
    const std::string path = (folder.path() / "ftp.xml").string();
    FtpConnections connections(path);
    // No file yet: an empty list, and the file comes with the first save.
    connections.load();
    EXPECT_TRUE(connections.elements().empty());
    EXPECT_TRUE(connections.add({ u"home", u"ftp.example.org", 21, u"ann", u"secret", u"/www" }));
    EXPECT_TRUE(connections.add({ u"work", u"10.0.0.2", 2121, String(), String(), String() }));
    EXPECT_FALSE(connections.add({ u"home", u"elsewhere", 21, {}, {}, {} }));
    EXPECT_FALSE(connections.add({ String(), u"nameless", 21, {}, {}, {} }));
    ASSERT_TRUE(connections.save());
    EXPECT_EQ(modeOf(path), 0600u);

    // Modifying keeps the name and the place; removing takes one out.
    EXPECT_TRUE(connections.modify({ u"home", u"ftp.example.net", 990, u"ann", u"new", u"/site" }));
    EXPECT_FALSE(connections.modify({ u"absent", u"x", 21, {}, {}, {} }));
    EXPECT_FALSE(connections.remove(u"absent"));
    EXPECT_TRUE(connections.add({ u"spare", u"spare.example.org", 21, {}, {}, {} }));
    EXPECT_TRUE(connections.remove(u"work"));
    ASSERT_TRUE(connections.save());

    FtpConnections read(path);
    read.load();
    ASSERT_EQ(read.elements().size(), 2u);
    EXPECT_EQ(read.elements()[0]->getAttribute(u"name"), u"home");
    EXPECT_EQ(read.elements()[1]->getAttribute(u"name"), u"spare");
    const std::optional<FtpConnection> home = read.connection(u"home");
    ASSERT_TRUE(home);
    EXPECT_EQ(home->host, u"ftp.example.net");
    EXPECT_EQ(home->port, 990);
    EXPECT_EQ(home->password, u"new");
    EXPECT_EQ(home->root, u"/site");
    EXPECT_FALSE(read.tightened());
}

TEST(FtpConnections, MarkupCharactersInNamesAndPasswordsComeBackAsTyped)
{
    test::TemporaryFolder folder { "lumavine-ftp" };
    const std::string path = (folder.path() / "ftp.xml").string();
    FtpConnections connections(path);
    connections.load();
    const FtpConnection typed { u"Tom & \"Jerry\" <site>", u"ftp.example.org", 21, u"ann\"o'brien",
        u"<&\"p>w&amp;&#146;", u"/www/a&b", false, u"/etc/certs/a<b>.pem" };
    EXPECT_TRUE(connections.add(typed));
    EXPECT_TRUE(connections.add({ u"next", u"ftp.example.net", 2121, u"bob", u"plain", u"/" }));
    ASSERT_TRUE(connections.save());

    FtpConnections read(path);
    read.load();
    ASSERT_EQ(read.elements().size(), 2u);
    const std::optional<FtpConnection> back = read.connection(typed.name);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, typed.name);
    EXPECT_EQ(back->host, typed.host);
    EXPECT_EQ(back->user, typed.user);
    EXPECT_EQ(back->password, typed.password);
    EXPECT_EQ(back->root, typed.root);
    EXPECT_EQ(back->certificateFile, typed.certificateFile);
    // The connection after it is whole.
    const std::optional<FtpConnection> next = read.connection(u"next");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->port, 2121);
    EXPECT_EQ(next->password, u"plain");

    // Characters beyond ASCII are kept too, in the file's own encoding.
    const FtpConnection wide { u"Caf\u00e9 \u20ac", u"ftp.example.org", 21, u"J\u00fcrgen",
        u"p\u00e4ss\u20ac\U0001F600", u"/\u00e9" };
    EXPECT_TRUE(read.add(wide));
    ASSERT_TRUE(read.save());
    FtpConnections again(path);
    again.load();
    const std::optional<FtpConnection> wideBack = again.connection(wide.name);
    ASSERT_TRUE(wideBack);
    EXPECT_EQ(wideBack->user, wide.user);
    EXPECT_EQ(wideBack->password, wide.password);
    EXPECT_EQ(wideBack->root, wide.root);
    EXPECT_EQ(again.connection(typed.name)->password, typed.password);
}

// Builds before names and passwords beyond ASCII were kept wrote the file
// in UTF-8: such a file reads as it was meant, and is saved in the file
// encoding from then on.
TEST(FtpConnections, AFileAnOlderBuildWroteInUtf8ReadsAsTyped)
{
    test::TemporaryFolder folder { "lumavine-ftp" };
    const std::string path = (folder.path() / "ftp.xml").string();
    {
        std::ofstream older(path, std::ios::binary);
        older << "<ftp>\n<connection name=\"Caf\xc3\xa9\" host=\"ftp.example.org\" port=\"21\" "
                 "user=\"J\xc3\xbcrgen\" password=\"p\xc3\xa4ss\xe2\x82\xac\" root=\"/www\" />\n</ftp>\n";
    }
    FtpConnections connections(path);
    connections.load();
    std::optional<FtpConnection> read = connections.connection(u"Caf\u00e9");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->user, u"J\u00fcrgen");
    EXPECT_EQ(read->password, u"p\u00e4ss\u20ac");
    ASSERT_TRUE(connections.save());

    FtpConnections again(path);
    again.load();
    read = again.connection(u"Caf\u00e9");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->password, u"p\u00e4ss\u20ac");

    // A file in the file encoding whose bytes are no UTF-8 reads as before.
    {
        std::ofstream latin(path, std::ios::binary);
        latin << "<ftp>\n<connection name=\"Caf\xe9\" host=\"h\" port=\"21\" user=\"u\" password=\"\xe9t\xe9\" "
                 "root=\"/\" />\n</ftp>\n";
    }
    FtpConnections latin(path);
    latin.load();
    read = latin.connection(u"Caf\u00e9");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->password, u"\u00e9t\u00e9");
}

TEST(FtpConnections, TlsAndIncrementalAreWrittenOnlyWhereSet)
{
    test::TemporaryFolder folder { "lumavine-ftp" };
    const std::string path = (folder.path() / "ftp.xml").string();
    FtpConnections connections(path);
    connections.load();
    FtpConnection secure { u"secure", u"ftp.example.org", 21, u"ann", u"secret", u"/www" };
    secure.tls = true;
    secure.certificateFile = u"/etc/ssl/our-ca.pem";
    secure.incremental = true;
    ASSERT_TRUE(connections.add(secure));
    ASSERT_TRUE(connections.add({ u"plain", u"10.0.0.2", 21, {}, {}, {} }));
    ASSERT_TRUE(connections.save());

    FtpConnections read(path);
    read.load();
    const std::optional<FtpConnection> got = read.connection(u"secure");
    ASSERT_TRUE(got);
    EXPECT_TRUE(got->tls);
    EXPECT_EQ(got->certificateFile, u"/etc/ssl/our-ca.pem");
    EXPECT_TRUE(got->incremental);
    // A connection without them is written as connections always were.
    const Element* plain = read.find(u"plain");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->hasAttribute(u"tls"));
    EXPECT_FALSE(plain->hasAttribute(u"certificates"));
    EXPECT_FALSE(plain->hasAttribute(u"incremental"));

    // Turning them off takes the attributes away again.
    secure.tls = false;
    secure.certificateFile.clear();
    secure.incremental = false;
    ASSERT_TRUE(read.modify(secure));
    const Element* modified = read.find(u"secure");
    EXPECT_FALSE(modified->hasAttribute(u"tls"));
    EXPECT_FALSE(modified->hasAttribute(u"certificates"));
    EXPECT_FALSE(modified->hasAttribute(u"incremental"));
}

TEST(FtpConnections, AFileOthersCanReadIsMadePrivateAndPortsAreReadStrictly)
{
    test::TemporaryFolder folder { "lumavine-ftp" };
    const std::string path = (folder.path() / "ftp.xml").string();
    ASSERT_TRUE(test::writeFile(
        path, "<ftp><connection name=\"home\" host=\"h\" port=\"21\" user=\"u\" password=\"p\" root=\"/\"/></ftp>\n"));
    ::chmod(path.c_str(), 0644);
    FtpConnections connections(path);
    connections.load();
    EXPECT_TRUE(connections.tightened());
    EXPECT_EQ(modeOf(path), 0600u);
    ASSERT_EQ(connections.elements().size(), 1u);

    // A file that is not a connections file reads as none, and is not
    // written over until the user saves.
    ASSERT_TRUE(test::writeFile(path, "not xml"));
    connections.load();
    EXPECT_TRUE(connections.elements().empty());
    EXPECT_EQ(test::readFile(path), "not xml");

    EXPECT_EQ(FtpConnections::readPort(u"0021"), 21);
    EXPECT_EQ(FtpConnections::readPort(u" 990 "), 990);
    for (const char16_t* bad : { u"", u"21a", u"-21", u"0", u"65536", u"99999999999" })
        EXPECT_FALSE(FtpConnections::readPort(bad)) << String(bad).toNarrow();
}

}
}
