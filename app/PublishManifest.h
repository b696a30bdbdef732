#pragma once

#include "core/String.h"

#include <map>
#include <optional>
#include <string>

namespace lumavine {

// What a file holds, as far as deciding whether it needs sending again.
struct FileFingerprint {
    long long size = 0;
    // SHA-256, lower-case hexadecimal.
    std::string digest;

    bool operator==(const FileFingerprint&) const = default;
};

// Nothing when the file cannot be read whole.
std::optional<FileFingerprint> fingerprintFile(const String& path);

// The record of what one connection last received of one project: per
// remote path (relative to the remote project folder) the fingerprint of the
// file sent there. It lives beside the project file, outside the content
// folder, so it is never published nor swept away with unused files. It
// applies only to the server, user and folder it names; a record for another
// target is ignored, and so is one that cannot be read, which makes the
// next run send everything.
class PublishManifest {
public:
    struct Target {
        String host;
        int port = 21;
        String user;
        String directory;
    };

    // A hidden file in the project folder, named after the connection
    // (characters other than letters, digits, "-" and "_" written as "%"
    // and two hexadecimal digits, so that two names never share a file).
    static String pathFor(const String& projectDirectory, const String& connectionName);

    PublishManifest(String path, Target target);

    // Reads the file; anything but a whole record for this target leaves
    // the record empty.
    void load();
    // Through a temporary file renamed into place; false when it cannot be
    // written.
    bool save() const;

    bool matches(const String& remotePath, const FileFingerprint& fingerprint) const;
    void record(const String& remotePath, const FileFingerprint& fingerprint);
    // Said before a file is sent: if the upload fails, what is there is
    // no longer known.
    void forget(const String& remotePath);
    size_t count() const { return m_files.size(); }
    const String& path() const { return m_path; }

private:
    String m_path;
    Target m_target;
    std::map<std::string, FileFingerprint> m_files;
};

}
