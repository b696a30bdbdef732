#include "app/StartUp.h"
#include "picture/WinFont.h"
#include "tests/support/TemporaryFolder.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>

namespace lumavine {
namespace {

// Points the settings store at a file of the test's own for as long as it
// lives.
class SettingsFile {
public:
    SettingsFile() : m_path((m_folder.path() / "registry.xml").string())
    {
        if (const char* old = std::getenv("LUMAVINE_REGISTRY"))
            m_old = old;
        setenv("LUMAVINE_REGISTRY", m_path.c_str(), 1);
    }
    ~SettingsFile()
    {
        if (m_old)
            setenv("LUMAVINE_REGISTRY", m_old->c_str(), 1);
        else
            unsetenv("LUMAVINE_REGISTRY");
    }
    void write(const std::string& text) const { std::ofstream(m_path, std::ios::binary) << text; }
    std::string read() const
    {
        std::ifstream in(m_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool exists() const { return std::ifstream(m_path).good(); }

private:
    test::TemporaryFolder m_folder { "lumavine-startup" };
    std::string m_path;
    std::optional<std::string> m_old;
};

std::string keyWith(const std::string& values)
{
    return "<registry><Software><Lumavine>" + values + "</Lumavine></Software></registry>\n";
}

TEST(StartUp, RefusesToStartWithoutAnInstallationAndNeverWritesOverTheStore)
{
    SettingsFile settings;
    String message;
    EXPECT_FALSE(StartUp::readInstallation(message));
    EXPECT_EQ(message, u"Cannot location program installation");
    // Asking made no store.
    EXPECT_FALSE(settings.exists());

    for (const std::string& text : { keyWith(""), keyWith("<Location></Location><flags>0</flags>"),
             std::string("<registry><Software><Other/></Software></registry>\n"),
             std::string("this is not a settings file\n") }) {
        settings.write(text);
        message.clear();
        EXPECT_FALSE(StartUp::readInstallation(message)) << text;
        EXPECT_EQ(message, u"Cannot location program installation") << text;
        EXPECT_EQ(settings.read(), text);
    }

    const std::string unreadableFlags = keyWith("<Location>/opt/lumavine</Location><flags>many</flags>");
    settings.write(unreadableFlags);
    EXPECT_FALSE(StartUp::readInstallation(message));
    EXPECT_EQ(message, u"Cannot get program information");
    EXPECT_EQ(settings.read(), unreadableFlags);
}

TEST(StartUp, ReadsTheInstallationAndWritesMissingFlagsAsZero)
{
    SettingsFile settings;
    settings.write(keyWith("<Location>/opt/lumavine</Location>"));
    String message;
    std::optional<Installation> installation = StartUp::readInstallation(message);
    ASSERT_TRUE(installation) << message.toNarrow();
    EXPECT_EQ(installation->directory, u"/opt/lumavine");
    EXPECT_EQ(installation->connectionsFile, u"/opt/lumavine/ftp.xml");
    EXPECT_EQ(installation->flags, 0);
    EXPECT_NE(settings.read().find("<flags>0</flags>"), std::string::npos) << settings.read();
    EXPECT_NE(settings.read().find("<Location>/opt/lumavine</Location>"), std::string::npos);

    settings.write(keyWith("<Location>/home/ann/lumavine</Location><flags>3</flags>"));
    installation = StartUp::readInstallation(message);
    ASSERT_TRUE(installation);
    EXPECT_EQ(installation->flags, 3);
}

TEST(StartUp, SharedDefaultsGiveFontsTheirFallbackFamilies)
{
    WinFont::setFallbackFamilies(String());
    StartUp::applySharedDefaults();
    EXPECT_EQ(WinFont::fallbackFamilies(), u"verdana,tahoma");
    WinFont font(u"font-family:arial;font-size:12");
    EXPECT_NE(font.css().find(u"arial,verdana,tahoma"), String::npos) << font.css().toNarrow();
}

}
}
