#pragma once

#include "core/String.h"
#include "picture/ReadLog.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lumavine {

class Page;

// What each page's files in a content folder were made from, kept in a small
// file of ours beside the project file, so that generation can leave alone
// the files that would come out the same.
// - A page's picture depends on the page's prepared model, its picture type
//   and quality, the program that draws, and the files it is drawn from.
// - Its HTML file depends on the model too, on the project's transitions and
//   on the picture it shows.
// A record holds a digest of each, with the stamps of the files written and
// of the files drawn from: a file changed or removed since is made again.
// Anything doubtful (no file, another program's or version's file, one cut
// short, a folder in its place) leaves no records, which means making every
// file.
class PageFingerprints {
public:
    struct Record {
        std::string htmlDigest;
        FileStamp html;
        // Empty digest: no picture recorded.
        std::string pictureDigest;
        FileStamp picture;
        std::vector<FileStamp> sources;
    };

    // `build` names the program and version that writes; `contentDirectory`
    // is the folder whose files the records describe.
    PageFingerprints(String path, String build, String contentDirectory);

    // Reads the file; false, with no records, when it is missing or not one
    // this build wrote for this content folder.
    bool load();
    // Writes the records through a temporary file; false when it cannot.
    bool save() const;

    // The digest of the page's prepared model as its "page" element is
    // written in the project file, with its picture type and quality and the
    // build; `pageText` is that element's text when it is at hand.
    std::string modelDigest(Page& page) const;
    std::string modelDigest(const Page& page, std::string_view pageText) const;
    // The digest of what the HTML file depends on besides the model.
    std::string htmlDigest(const std::string& modelDigest, std::u16string_view shared, const String& picturePath) const;

    // Whether the files at `htmlPath` and `picturePath` are what the page
    // would make now: recorded with these digests, untouched since, and
    // the picture drawn from files that have not changed.
    bool pictureUpToDate(const String& htmlPath, const String& picturePath, const std::string& digest) const;
    bool htmlUpToDate(const String& htmlPath, const std::string& digest) const;

    // The record of the page whose HTML file is `htmlPath`, made when absent.
    Record& record(const String& htmlPath);
    const Record* find(const String& htmlPath) const;
    size_t count() const { return m_records.size(); }

private:
    String m_path;
    String m_build;
    String m_contentDirectory;
    std::map<String, Record> m_records;
};

}
