#pragma once

#include "core/String.h"

#include <optional>

namespace lumavine {

// Where the program is installed and what it keeps there, as the settings
// store tells it.
struct Installation {
    String directory;
    // The FTP connections, beside the installation's other files.
    String connectionsFile;
    int flags = 0;
};

// What the program reads and sets before anything is shown or written,
// shared by the designer and the command-line modes.
class StartUp {
public:
    static constexpr std::u16string_view settingsKey = u"Software\\Lumavine";
    static constexpr std::u16string_view noInstallationMessage = u"Cannot location program installation";
    static constexpr std::u16string_view noInformationMessage = u"Cannot get program information";
    static constexpr std::u16string_view defaultFontFamilies = u"verdana,tahoma";

    // The installation from the settings store: "Location" must be present
    // and not empty; "flags" is written as "0" when missing. Nothing, with
    // the message to show, when the store cannot tell. A store that cannot
    // be read is never written over.
    static std::optional<Installation> readInstallation(String& message);

    // The defaults that shape what the program writes, the same in every
    // mode, so that the command line writes the pages the designer would:
    // the font families after each font's own.
    static void applySharedDefaults();
};

}
