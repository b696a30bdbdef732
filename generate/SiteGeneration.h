#pragma once

#include "core/String.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lumavine {

class Page;
class ProjectContext;

// Writes the files of pages whose files prepareGeneration() has resolved,
// into the project's content folder: each page's picture and its HTML file.
// - Pictures are drawn and encoded on a pool of worker threads while the
//   calling thread writes the HTML files and tells progress and failures in
//   page order, so that the files and the messages are those of one page
//   after another.
// - With a fingerprint file, a page whose picture is recorded there as drawn
//   from what the page is now is not drawn again; its picture stays.
// - An HTML file is replaced only when its text changes.
class SiteGeneration {
public:
    struct PageFiles {
        String htmlPath;
        // Empty when the page has no picture or it could not be written.
        String picturePath;
        bool htmlWritten = false;
        // Both files are in place.
        bool written = false;
        // The picture was drawn by this run.
        bool drawn = false;
    };

    explicit SiteGeneration(ProjectContext& project);

    // Pictures drawn at once: 0 for one per core, 1 for one after another
    // on the calling thread.
    void setJobs(int jobs) { m_jobs = jobs; }
    // The file that remembers what each picture was drawn from (none when
    // empty), the program and version that draws, and whether to draw every
    // page whatever the file says.
    void setFingerprints(String file, String build, bool full);
    // What every page's HTML file depends on besides its page (the text of
    // the project's transitions), and the text of pages' "page" elements as
    // the project file just written holds them, which spares writing them
    // again.
    void setSharedInputs(String shared, std::map<const Page*, std::string> pageText);
    // Pages this answers true for are drawn on the calling thread: the page
    // a window shows, which the window may repaint during the run.
    void setDrawnHere(std::function<bool(const Page&)> here) { m_drawnHere = std::move(here); }
    // Told on the calling thread as each page's turn comes, in page order.
    void setProgress(std::function<void(Page&)> progress) { m_progress = std::move(progress); }

    std::vector<PageFiles> run(const std::vector<Page*>& pages);
    // Whether the last run kept its fingerprints (false without a file, or
    // when it could not be written: the next run then draws every page).
    bool fingerprintsSaved() const { return m_saved; }

    // The number of pictures drawn at once for `jobs` as setJobs() takes it.
    static int threadCount(int jobs);

private:
    ProjectContext& m_project;
    int m_jobs = 0;
    String m_fingerprintFile;
    String m_build;
    bool m_full = false;
    String m_shared;
    std::map<const Page*, std::string> m_pageText;
    bool m_saved = false;
    std::function<bool(const Page&)> m_drawnHere;
    std::function<void(Page&)> m_progress;
};

// Runs `each` for every index below `count` on up to `threads` threads, the
// calling one among them, and returns when all are done.
void forEachIndex(size_t count, int threads, const std::function<void(size_t)>& each);

// The program, version and drawing revision that fingerprints record, so
// that pictures drawn by another build are drawn again.
String generatorBuild();

// Writes the page's HTML file for a picture at `picturePath` (empty: none),
// replacing the file only when its text changes, and tells the project of a
// file that cannot be written and of media current browsers cannot play.
bool writePageHtmlFile(Page& page, const String& htmlPath, const String& picturePath);

}
