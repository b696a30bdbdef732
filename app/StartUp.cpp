#include "app/StartUp.h"

#include "picture/WinFont.h"
#include "xml/Registry.h"

namespace lumavine {

std::optional<Installation> StartUp::readInstallation(String& message)
{
    const String key(settingsKey);
    // Read first: a store that is missing or unreadable gets no key made in
    // it, and a user's damaged file is not replaced.
    Registry reader;
    if (!reader.open(key, Registry::Read)) {
        message = String(noInstallationMessage);
        return std::nullopt;
    }
    Installation installation;
    installation.directory = reader.getString(u"Location");
    if (installation.directory.empty()) {
        message = String(noInstallationMessage);
        return std::nullopt;
    }
    std::optional<String> flags = reader.getStringOrNone(u"flags");
    reader.close();
    if (!flags) {
        Registry writer;
        if (writer.open(key, Registry::Read | Registry::Write) && writer.setString(String(u"flags"), String(u"0")))
            flags = writer.getStringOrNone(u"flags");
    }
    int value = 0;
    if (!flags || !flags->trim().readInt(value)) {
        message = String(noInformationMessage);
        return std::nullopt;
    }
    installation.flags = value;
    installation.connectionsFile = installation.directory + u"/ftp.xml";
    return installation;
}

void StartUp::applySharedDefaults()
{
    WinFont::setFallbackFamilies(String(defaultFontFamilies));
}

}
