#include "xml/Registry.h"
#include "XmlTestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace lumavine;
using namespace lumavine::test;

TEST(Registry, ReadsTheInstallersFileAndWritesValuesBack)
{
    TemporaryFolder folder;
    std::string path = folder.file("settings/registry.xml");
    ASSERT_EQ(setenv("LUMAVINE_REGISTRY", path.c_str(), 1), 0);

    Registry absent;
    EXPECT_FALSE(absent.open(String(u"Software\\Lumavine")));
    EXPECT_EQ(absent.getString(u"Location"), u"");
    EXPECT_FALSE(absent.getStringOrNone(u"Location").has_value());

    std::filesystem::create_directories(folder.file("settings"));
    writeFile(path,
        "<registry>\n       <Software>\n              <Lumavine>\n"
        "                     <Location>/home/ann/.local/share/lumavine</Location>\n"
        "                     <flags>0</flags>\n              </Lumavine>\n       </Software>\n"
        "</registry>\n");
    Registry registry;
    ASSERT_TRUE(registry.open(String(u"Software\\Lumavine")));
    EXPECT_EQ(registry.getString(u"Location"), u"/home/ann/.local/share/lumavine");
    EXPECT_EQ(registry.getString(u"flags"), u"0");
    EXPECT_EQ(registry.getString(u"missing"), u"");
    EXPECT_FALSE(registry.getStringOrNone(u"missing").has_value());
    EXPECT_FALSE(registry.setString(String(u"flags"), String(u"1"))) << "opened for reading only";

    Registry writer;
    ASSERT_TRUE(writer.open(String(u"Software\\Lumavine"), Registry::Read | Registry::Write));
    EXPECT_TRUE(writer.setInt(String(u"flags"), 3));
    EXPECT_TRUE(writer.setString(String(u"Location"), String(u"/opt/lumavine \u00e9\u20ac")));

    Registry again;
    ASSERT_TRUE(again.open(String(u"Software\\Lumavine")));
    EXPECT_EQ(again.getString(u"flags"), u"3");
    EXPECT_EQ(again.getString(u"Location"), u"/opt/lumavine \u00e9\u20ac");
}

TEST(Registry, WritingCreatesTheFileAndKey)
{
    TemporaryFolder folder;
    std::string path = folder.file("new/deeper/registry.xml");
    ASSERT_EQ(setenv("LUMAVINE_REGISTRY", path.c_str(), 1), 0);
    Registry registry;
    ASSERT_TRUE(registry.open(String(u"Software\\Lumavine"), Registry::Write));
    ASSERT_TRUE(registry.setString(String(u"Location"), String(u"/x")));
    std::string written = readFile(path);
    EXPECT_EQ(written,
        "<registry>\n       <Software>\n              <Lumavine>\n"
        "                     <Location>/x</Location>\n              </Lumavine>\n"
        "       </Software>\n</registry>\n");
    EXPECT_EQ(Registry::settingsPath(), path);
}

TEST(Registry, ValuesWithMarkupCharactersRoundTripAndSpoilNothing)
{
    TemporaryFolder folder;
    std::string path = folder.file("registry.xml");
    ASSERT_EQ(setenv("LUMAVINE_REGISTRY", path.c_str(), 1), 0);
    const std::u16string_view values[] = {
        u"/srv/a<b>/c",
        u"</Location><flags>9</flags>",
        u"R&D & co; &lt; &amp; &#60; &#8364; \u20ac",
        u"\"quoted\" and 'single'",
        u"<![CDATA[x]]> <!-- c --> <?pi ?>",
        u"a > b",
    };
    {
        Registry writer;
        ASSERT_TRUE(writer.open(String(u"Software\\Lumavine"), Registry::Read | Registry::Write));
        ASSERT_TRUE(writer.setString(String(u"Location"), String(values[0])));
        ASSERT_TRUE(writer.setString(String(u"flags"), String(u"5")));
        for (size_t i = 1; i < std::size(values); ++i)
            ASSERT_TRUE(writer.setString(String(u"v") + String::number((long long)i), String(values[i])));
    }
    Registry reader;
    ASSERT_TRUE(reader.open(String(u"Software\\Lumavine")));
    EXPECT_EQ(reader.getString(u"Location"), u"/srv/a<b>/c");
    EXPECT_EQ(reader.getString(u"flags"), u"5");
    for (size_t i = 1; i < std::size(values); ++i)
        EXPECT_EQ(reader.getString(String(u"v") + String::number((long long)i)), String(values[i])) << i;

    // Later writes keep every value.
    {
        Registry writer;
        ASSERT_TRUE(writer.open(String(u"Software\\Lumavine"), Registry::Write));
        ASSERT_TRUE(writer.setString(String(u"flags"), String(u"6")));
    }
    Registry again;
    ASSERT_TRUE(again.open(String(u"Software\\Lumavine")));
    EXPECT_EQ(again.getString(u"Location"), u"/srv/a<b>/c");
    EXPECT_EQ(again.getString(u"flags"), u"6");
    for (size_t i = 1; i < std::size(values); ++i)
        EXPECT_EQ(again.getString(String(u"v") + String::number((long long)i)), String(values[i])) << i;
    // Plain values are stored as they always were, and markup once escaped,
    // as the registry wrote it before its texts were escaped by the writer.
    std::string bytes = readFile(path);
    EXPECT_NE(bytes.find("<flags>6</flags>"), std::string::npos);
    EXPECT_NE(bytes.find("<v1>&lt;/Location&gt;&lt;flags&gt;9&lt;/flags&gt;</v1>"), std::string::npos);
    EXPECT_NE(bytes.find("<v2>R&amp;D &amp; co; &amp;lt; &amp;amp; &amp;#60; &amp;amp;#8364; &#8364;</v2>"),
        std::string::npos);
    EXPECT_NE(bytes.find("<v3>\"quoted\" and 'single'</v3>"), std::string::npos);
}

TEST(Registry, FilesWrittenByInstallersReadAsBefore)
{
    TemporaryFolder folder;
    std::string path = folder.file("registry.xml");
    ASSERT_EQ(setenv("LUMAVINE_REGISTRY", path.c_str(), 1), 0);
    writeFile(path,
        "<registry><Software><Lumavine><Location>/home/ann/.local/share/lumavine</Location>"
        "<flags>0</flags><Team>R&D; a&b</Team><Server>ftp.example.com</Server>"
        "<Title>Caf\xe9 &#8364;</Title></Lumavine></Software></registry>");
    Registry registry;
    ASSERT_TRUE(registry.open(String(u"Software\\Lumavine")));
    EXPECT_EQ(registry.getString(u"Location"), u"/home/ann/.local/share/lumavine");
    EXPECT_EQ(registry.getString(u"flags"), u"0");
    EXPECT_EQ(registry.getString(u"Team"), u"R&D; a&b");
    EXPECT_EQ(registry.getString(u"Server"), u"ftp.example.com");
    EXPECT_EQ(registry.getString(u"Title"), u"Caf\u00e9 \u20ac");
}
