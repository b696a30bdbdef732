#pragma once

#include "core/String.h"

#include <ctime>
#include <string>
#include <sys/stat.h>

namespace lumavine {

// A location (a local path, a file:// URL or a web URL) split into its parts,
// with the file information loaded on first use and the operations that act
// on the one file it names.
class PathInfo {
public:
    enum Flag {
        InfoLoaded = 1,
        Exists = 2,
        WebLocation = 4,
    };

    PathInfo() = default;
    // A relative location is resolved against the base directory, or the
    // current directory when that is empty.
    explicit PathInfo(std::u16string_view location, std::u16string_view baseDirectory = {});

    void setLocation(std::u16string_view location);

    const String& baseDirectory() const { return m_baseDirectory; }
    const String& location() const { return m_location; }
    const String& scheme() const { return m_scheme; }
    const String& directory() const { return m_directory; }
    const String& fileName() const { return m_fileName; }
    const String& baseName() const { return m_baseName; }
    const String& extension() const { return m_extension; }
    int flags() const { return m_flags; }
    bool isWebLocation() const { return m_flags & WebLocation; }

    // 0 when the file information could be loaded, else -1. Web locations
    // have none.
    int loadInfo();
    int infoResult() const { return m_infoResult; }
    bool exists();
    bool isFile();
    bool isDirectory();
    long long size();
    std::time_t modified();
    // The status record of the last successful loadInfo().
    const struct stat& status() const { return m_status; }

    bool makeDirectory();
    bool remove();
    // True when this location lies in `directory` (or is it); `rest` is then
    // the path below it, empty for the directory itself.
    bool relativeTo(std::u16string_view directory, String& rest) const;
    // Copies the file, or the fetched body of a web location, to the
    // destination. The destination is replaced only by a complete copy.
    bool copyTo(std::u16string_view destination);

    // The path handed to the system, in the locale's narrow text.
    std::string systemPath() const;

private:
    String m_baseDirectory;
    String m_location;
    String m_scheme;
    String m_directory;
    String m_fileName;
    String m_baseName;
    String m_extension;
    int m_flags = 0;
    int m_infoResult = -1;
    struct stat m_status { };
};

}
