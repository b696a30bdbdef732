#pragma once

#include "app/PublishRun.h"
#include "core/PtrMap.h"
#include "core/StringList.h"
#include "generate/SiteGeneration.h"
#include "generate/Transitions.h"
#include "page/ProjectContext.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace lumavine {

class Page;
class View;

// One open project: its folders, its pages in project order, the project
// file, the tidy content tree and the generated site.
class PageDocument : public ProjectContext {
public:
    static constexpr int firstCommandId = 36000;

    PageDocument();
    ~PageDocument() override;
    PageDocument(const PageDocument&) = delete;
    PageDocument& operator=(const PageDocument&) = delete;

    // Completes the project's folders and reads the project file; false when
    // the file cannot be read. A file cut short, or pages and shapes under
    // ids already taken, are reported and the rest is read.
    bool open(const String& path);
    // Writes the project file (through a temporary file), deletes the files
    // of content/files that no page uses and generates the site.
    bool save();
    // Deletes every page and forgets the transitions.
    void empty();

    // A new page labelled `label` (or the project name and the first free
    // number), optionally a copy of the page `copyOf`; null when the label
    // is taken.
    Page* newPage(const String* label = nullptr, const String* copyOf = nullptr);
    bool deletePage(const String& id, String& message);
    bool goToPage(int commandId);
    // Writes every page's picture and HTML file into the content folder.
    bool generateSite();
    // Generates the pages and answers the HTML file of the current page.
    String preview();

    // How many page pictures are drawn at once (0, the default: one per
    // core; 1 draws them one after another on the calling thread).
    void setGenerationJobs(int jobs) { m_generationJobs = jobs; }
    int generationJobs() const { return m_generationJobs; }
    // Whether generation draws every page even where the fingerprint kept
    // beside the project file says its picture is already up to date.
    void setFullGeneration(bool full) { m_fullGeneration = full; }
    // The labels of the pages whose pictures the last generation drew, in
    // page order; the others were up to date and left as they were.
    const StringList& drawnPages() const { return m_drawnPages; }
    // The file beside the project file that remembers what each page
    // picture was drawn from.
    String fingerprintFile() const;

    // Where and what the last publish went to; the designer's publish
    // dialog fills them.
    PublishSettings& publishSettings() { return m_publishSettings; }
    const PublishSettings& publishSettings() const { return m_publishSettings; }
    // Writes every page's files afresh, in page order, and answers them for
    // a publish run. Nothing, with `message` telling the first failure (also
    // reported), when a page's files cannot be written: a site published
    // without that page's files would be stale or broken.
    std::optional<std::vector<PublishPage>> writePublishPages(String& message);
    PublishProject publishProject() const;

    // Whether the last open left out part of the project file (cut short,
    // or pages and shapes under ids already taken). Such a document does not
    // know every file the project uses, so saving keeps the files it would
    // otherwise tidy away.
    bool partlyRead() const { return m_partlyRead; }

    Page* currentPage() const { return m_current; }
    void setCurrentPage(Page* page) { m_current = page; }
    std::vector<Page*> pages() const override;
    size_t pageCount() const { return m_pages.count(); }
    Page* findPageByCommand(int commandId) const { return m_pageCommands.get(commandId); }
    const StringList& referencedFiles() const { return m_referencedFiles; }
    // The HTML files the last generation wrote, in page order; a page whose
    // file could not be written is not among them.
    const StringList& writtenPages() const { return m_writtenPages; }
    Transitions& transitions() { return m_transitions; }
    const String& projectName() const { return m_projectName; }
    const String& projectFile() const { return m_projectFile; }
    View* view() const { return m_view; }
    void setView(View* view) { m_view = view; }
    // Where failures go: a message box in the designer, standard error on
    // the command line.
    void setErrorReporter(std::function<void(const String&)> reporter) { m_reporter = std::move(reporter); }
    // Asked, when saving tidies content/files, about each file no page names
    // ("files/" and its name): true keeps it. The designer keeps the files
    // that an undo step could bring back into a page.
    void setFileKeeper(std::function<bool(const String& sitePath)> keeper) { m_keeper = std::move(keeper); }
    // Progress lines ("generating ...") for long work.
    void setStatusReporter(std::function<void(const String&)> reporter) { m_status = std::move(reporter); }
    // Told, in place of the "generating" line, as each page's turn comes
    // in a generation: the page, its number from 1 and the number of pages.
    void setPageProgress(std::function<void(const Page&, size_t number, size_t count)> progress)
    {
        m_pageProgress = std::move(progress);
    }
    // Where warnings go (the designer shows them in a message box); without
    // a reporter of their own they are status lines, as on the command line.
    void setWarningReporter(std::function<void(const String&)> reporter) { m_warning = std::move(reporter); }

    const String& projectDirectory() const override { return m_projectDirectory; }
    const String& installationDirectory() const override { return m_installationDirectory; }
    void setInstallationDirectory(const String& directory) { m_installationDirectory = directory; }
    const String& contentDirectory() const override { return m_contentDirectory; }
    Page* findPage(std::u16string_view id) const override;
    Page* findPageByLabel(std::u16string_view label) const override;
    String transitionFilter(std::u16string_view kind) const override;
    String transitionClear(std::u16string_view kind) const override;
    double transitionDuration(std::u16string_view kind) const override;
    void addReferencedFile(const String& sitePath) override;
    void addContentFile(const String& name) override;
    void reportError(const String& message) override;
    void reportWarning(const String& message) override;

private:
    bool load();
    void reportRepeatedShapeIds(const Element* pageElement, const Page& page);
    // Writes the project file; false when it cannot.
    bool store();
    Page* addPage(std::unique_ptr<Page> page);
    void prepareAllPages();
    void deleteFilesWithExtensions(
        const String& directory, std::initializer_list<std::u16string_view> extensions, const StringList& spared);
    void deleteUnreferencedFiles();
    // `prepared`: every page was prepared just before, by store().
    bool writeSite(bool prepared);
    bool generatePages(String* currentHtml, bool prepared);
    // Writes every page's files through one generation, prepared first
    // unless `prepared`; `reportsBefore` gets the number of failures told
    // before each page's turn.
    std::vector<SiteGeneration::PageFiles> writePages(bool prepared, std::vector<size_t>* reportsBefore = nullptr);
    void tellDeferred(const Page& page);
    void removeStalePicture(const Page& page);
    // Clears out of the content folder the files of those extensions that
    // neither the pages there are now nor the user's files they name own.
    void deleteOldPageFiles(std::initializer_list<std::u16string_view> extensions);
    void status(const String& line);
    void forgetReports();

    String m_projectName;
    String m_projectFile;
    String m_projectDirectory;
    String m_installationDirectory;
    String m_contentDirectory;
    String m_projectFolderName;
    std::vector<std::unique_ptr<Page>> m_owned;
    PtrMapOf<Page> m_pages { true };
    PtrMapOf<Page> m_pageCommands { true };
    StringList m_referencedFiles;
    // Files the pages name directly in the content folder, found while they
    // are prepared.
    StringList m_contentFiles;
    StringList m_writtenPages;
    StringList m_drawnPages;
    // The pages' elements as the last store() wrote them, for the
    // generation that follows it.
    std::map<const Page*, std::string> m_storedPageXml;
    int m_generationJobs = 0;
    bool m_fullGeneration = false;
    Transitions m_transitions;
    int m_nextCommandId = firstCommandId;
    bool m_partlyRead = false;
    // Failures told during the current open, save or generation.
    StringList m_reported;
    // Warnings told during the current generation.
    StringList m_warned;
    // What preparing each page had to tell before its turn came: warnings
    // (true) and failures, in the order told.
    std::map<const Page*, std::vector<std::pair<bool, String>>> m_deferred;
    const Page* m_deferringFor = nullptr;
    Page* m_current = nullptr;
    View* m_view = nullptr;
    PublishSettings m_publishSettings;
    std::function<void(const String&)> m_reporter;
    std::function<void(const String&)> m_status;
    std::function<void(const Page&, size_t, size_t)> m_pageProgress;
    std::function<void(const String&)> m_warning;
    std::function<bool(const String&)> m_keeper;
};

}
