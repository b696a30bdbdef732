#include "generate/SiteGeneration.h"

#include "core/AtomicFile.h"
#include "core/PathInfo.h"
#include "generate/MediaFormats.h"
#include "generate/PageFingerprints.h"
#include "generate/PageHtmlWriter.h"
#include "generate/ScriptRuntime.h"
#include "page/Page.h"
#include "page/ProjectContext.h"
#include "picture/ReadLog.h"
#include "picture/WinFont.h"

#include <QCryptographicHash>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

namespace lumavine {

namespace {

bool sameContent(const std::string& path, const std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    if (!in || static_cast<size_t>(in.tellg()) != bytes.size())
        return false;
    in.seekg(0);
    std::string existing(bytes.size(), '\0');
    in.read(existing.data(), static_cast<std::streamsize>(existing.size()));
    return in && existing == bytes;
}

// The script every page carries changes with the program, between its
// versions too; a page made with another one is written again.
const String& runtimeIdentity()
{
    static const String identity = [] {
        QCryptographicHash hash(QCryptographicHash::Blake2b_256);
        for (std::u16string_view section : ScriptRuntime::sectionNames()) {
            std::string_view source = ScriptRuntime::sectionSource(section);
            hash.addData(QByteArrayView(source.data(), static_cast<qsizetype>(source.size())));
        }
        return String::fromLatin1(hash.result().toHex().toStdString());
    }();
    return identity;
}

// A picture drawn, with the files it was drawn from.
struct Drawing {
    Page::PictureResult picture;
    std::vector<FileStamp> reads;
};

Drawing draw(Page& page)
{
    Drawing drawing;
    ReadLog log;
    drawing.picture = page.writePagePicture(page.imageType());
    drawing.reads = log.reads();
    return drawing;
}

// What one page needs from this run.
struct PageWork {
    Page* page = nullptr;
    String htmlPath;
    String picturePath;
    std::string digest;
    std::vector<FileStamp> sources;
    bool draw = false;
    bool here = false;
    bool upToDate = false;
};

// The pictures of the pages not drawn on the calling thread, each drawn by
// the first free worker, in page order; the calling thread takes them in
// page order as they are done.
class DrawingPool {
public:
    DrawingPool(std::vector<PageWork>& work, int threads) : m_work(work), m_drawings(work.size())
    {
        for (size_t i = 0; i < work.size(); ++i) {
            if (work[i].draw && !work[i].here)
                m_queue.push_back(i);
        }
        const int count = std::min<int>(threads, static_cast<int>(m_queue.size()));
        for (int i = 0; i < count; ++i)
            m_workers.emplace_back([this] { drawQueued(); });
    }

    ~DrawingPool()
    {
        // Whatever happens on the calling thread, no worker outlives the
        // pages it draws.
        m_next = m_queue.size();
        for (std::thread& worker : m_workers)
            worker.join();
    }

    DrawingPool(const DrawingPool&) = delete;
    DrawingPool& operator=(const DrawingPool&) = delete;

    Drawing take(size_t index)
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this, index] { return m_drawings[index].has_value(); });
        return std::move(*m_drawings[index]);
    }

private:
    void drawQueued()
    {
        for (;;) {
            const size_t next = m_next++;
            if (next >= m_queue.size())
                return;
            const size_t index = m_queue[next];
            Drawing drawing = draw(*m_work[index].page);
            std::lock_guard lock(m_mutex);
            m_drawings[index] = std::move(drawing);
            m_done.notify_all();
        }
    }

    std::vector<PageWork>& m_work;
    std::vector<size_t> m_queue;
    std::atomic<size_t> m_next { 0 };
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::vector<std::optional<Drawing>> m_drawings;
    std::vector<std::thread> m_workers;
};

}

void tellOldMedia(Page& page)
{
    ProjectContext* project = page.project();
    if (!project)
        return;
    for (const String& file : oldMediaFiles(page))
        project->reportWarning(u"Page " + page.label() + u" plays " + file
            + u", which current browsers cannot play: convert it to WebM or MP4 (sound: MP3 or Ogg)");
}

bool writePageHtmlFile(Page& page, const String& htmlPath, const String& picturePath)
{
    std::ostringstream html;
    writePageHtml(page, html, picturePath);
    const std::string path = htmlPath.toNarrow();
    const std::string bytes = html.str();
    // An unchanged file keeps its time, which tells publishing and backups
    // that nothing happened to it.
    const bool written = sameContent(path, bytes) || writeFileAtomically(path, bytes);
    if (!written && page.project())
        page.project()->reportError(String(u"Cannot write ") + htmlPath);
    tellOldMedia(page);
    return written;
}

void forEachIndex(size_t count, int threads, const std::function<void(size_t)>& each)
{
    const size_t helpers = std::min(count, static_cast<size_t>(std::max(threads, 1))) - (count != 0);
    std::atomic<size_t> next { 0 };
    auto work = [&] {
        for (size_t i = next++; i < count; i = next++)
            each(i);
    };
    std::vector<std::thread> running;
    for (size_t i = 0; i < helpers; ++i)
        running.emplace_back(work);
    work();
    for (std::thread& thread : running)
        thread.join();
}

String generatorBuild()
{
    // Raised whenever a change to drawing or encoding changes the pictures
    // the same page comes out as, between versions too.
    constexpr int drawingRevision = 1;
    return String::fromNarrowLossless(
        std::string("Lumavine Designer ") + LUMAVINE_VERSION + " drawing " + std::to_string(drawingRevision));
}

SiteGeneration::SiteGeneration(ProjectContext& project) : m_project(project)
{
}

void SiteGeneration::setFingerprints(String file, String build, bool full)
{
    m_fingerprintFile = std::move(file);
    m_build = std::move(build);
    m_full = full;
}

void SiteGeneration::setSharedInputs(String shared, std::map<const Page*, std::string> pageText)
{
    m_shared = std::move(shared);
    m_pageText = std::move(pageText);
}

int SiteGeneration::threadCount(int jobs)
{
    if (jobs > 0)
        return jobs;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

std::vector<SiteGeneration::PageFiles> SiteGeneration::run(const std::vector<Page*>& pages)
{
    m_saved = false;
    const bool fingerprinting = !m_fingerprintFile.empty();
    PageFingerprints earlier(m_fingerprintFile, m_build, m_project.contentDirectory());
    const bool haveEarlier = fingerprinting && !m_full && earlier.load();
    PageFingerprints now(m_fingerprintFile, m_build, m_project.contentDirectory());

    std::vector<PageWork> work(pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        work[i].page = pages[i];
        work[i].htmlPath = pages[i]->htmlFilePath();
        work[i].picturePath = pages[i]->picturePathFor(pages[i]->imageType());
    }
    // What each page is now, and whether its picture is the one there: on
    // every core, since each page only reads itself and the files.
    forEachIndex(work.size(), threadCount(m_jobs), [&](size_t i) {
        PageWork& page = work[i];
        if (fingerprinting) {
            auto known = m_pageText.find(page.page);
            page.digest
                = known != m_pageText.end() ? now.modelDigest(*page.page, known->second) : now.modelDigest(*page.page);
        }
        if (page.htmlPath.empty() || page.picturePath.empty())
            return;
        page.upToDate = haveEarlier && earlier.pictureUpToDate(page.htmlPath, page.picturePath, page.digest);
        page.draw = !page.upToDate;
        // Stamped before drawing: a file changed while the page is drawn
        // must not pass for the one it was drawn from.
        if (page.draw && fingerprinting) {
            for (const String& source : page.page->generationFiles())
                page.sources.push_back(FileStamp::of(source));
        }
    });
    for (PageWork& page : work)
        page.here = page.draw && m_drawnHere && m_drawnHere(*page.page);
    // Made once here rather than by each worker at the same time.
    PathInfo contentFolder(m_project.contentDirectory());
    if (!contentFolder.exists())
        contentFolder.makeDirectory();

    // The families the pages' style sheets name after each font are the
    // program's setting, not the project's.
    const String shared = m_shared + runtimeIdentity() + u"\n" + WinFont::fallbackFamilies();
    std::vector<PageFiles> results(pages.size());
    {
        const int threads = threadCount(m_jobs);
        std::optional<DrawingPool> pool;
        if (threads > 1)
            pool.emplace(work, threads);
        for (size_t i = 0; i < work.size(); ++i) {
            PageWork& page = work[i];
            PageFiles& files = results[i];
            if (m_progress)
                m_progress(*page.page);
            files.htmlPath = page.htmlPath;
            if (files.htmlPath.empty())
                continue;
            PageFingerprints::Record record;
            const PageFingerprints::Record* before = haveEarlier ? earlier.find(page.htmlPath) : nullptr;
            bool pictureWritten = true;
            if (page.draw) {
                Drawing drawing = page.here || !pool ? draw(*page.page) : pool->take(i);
                files.drawn = true;
                pictureWritten = drawing.picture.written;
                files.picturePath = drawing.picture.path;
                if (!drawing.picture.problem.empty())
                    m_project.reportError(drawing.picture.problem);
                if (pictureWritten) {
                    record.pictureDigest = page.digest;
                    record.picture = FileStamp::of(files.picturePath);
                    record.sources = std::move(page.sources);
                    for (FileStamp& read : drawing.reads) {
                        if (std::none_of(record.sources.begin(), record.sources.end(),
                                [&read](const FileStamp& source) { return source.path == read.path; }))
                            record.sources.push_back(std::move(read));
                    }
                }
            } else if (page.upToDate) {
                files.picturePath = page.picturePath;
                record.pictureDigest = before->pictureDigest;
                record.picture = before->picture;
                record.sources = before->sources;
            }

            const std::string htmlDigest = now.htmlDigest(page.digest, shared, files.picturePath);
            if (haveEarlier && earlier.htmlUpToDate(page.htmlPath, htmlDigest)) {
                files.htmlWritten = true;
                record.html = before->html;
                tellOldMedia(*page.page);
            } else {
                files.htmlWritten = writePageHtmlFile(*page.page, files.htmlPath, files.picturePath);
                if (files.htmlWritten)
                    record.html = FileStamp::of(files.htmlPath);
            }
            if (files.htmlWritten) {
                record.htmlDigest = htmlDigest;
                now.record(files.htmlPath) = std::move(record);
            }
            files.written = files.htmlWritten && pictureWritten;
        }
    }
    if (fingerprinting)
        m_saved = now.save();
    return results;
}

}
