#pragma once

#include "core/String.h"
#include "picture/ReadLog.h"

#include <map>
#include <string>
#include <vector>

namespace lumavine {

class Page;

// What each page picture in a content folder was drawn from, kept in a small
// file of ours beside the project file, so that generation can leave alone a
// picture that would come out the same. A record holds a digest of the
// page's prepared model with the picture type, quality and the program's
// version, the stamps of the files the picture was drawn from, and the stamp
// of the picture as written: a picture changed or removed since is drawn
// again. Anything doubtful (no file, another program's or version's file,
// one cut short, a folder in its place) leaves no records, which means
// drawing every page.
class PageFingerprints {
public:
    struct Record {
        std::string digest;
        FileStamp picture;
        std::vector<FileStamp> sources;
    };

    // `build` names the program and version that draws; `contentDirectory`
    // is the folder whose pictures the records describe.
    PageFingerprints(String path, String build, String contentDirectory);

    // Reads the file; false, with no records, when it is missing or not one
    // this build wrote for this content folder.
    bool load();
    // Writes the records through a temporary file; false when it cannot.
    bool save() const;

    // The digest of what the page's picture depends on in the page itself:
    // its prepared model, picture type and quality, and the build.
    std::string digestOf(Page& page) const;
    // Whether the picture at `picturePath` is the one the page would draw
    // now: recorded with this digest, untouched since, and drawn from files
    // that have not changed.
    bool upToDate(const String& picturePath, const std::string& digest) const;
    void record(const String& picturePath, Record record);
    // Keeps the record made by an earlier run for a picture left as it was.
    void keep(const String& picturePath, const PageFingerprints& earlier);
    const Record* find(const String& picturePath) const;
    size_t count() const { return m_records.size(); }

private:
    String m_path;
    String m_build;
    String m_contentDirectory;
    std::map<String, Record> m_records;
};

}
