#include "app/PageDocument.h"

#include "core/AtomicFile.h"
#include "core/Directory.h"
#include "core/PathInfo.h"
#include "generate/PageFiles.h"
#include "page/Page.h"
#include "picture/View.h"
#include "xml/Document.h"
#include "xml/Elements.h"
#include "xml/XmlFile.h"

#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

namespace lumavine {

namespace {

void makeDirectoryIfMissing(const String& path)
{
    PathInfo info(path);
    if (!info.exists())
        info.makeDirectory();
}

}

PageDocument::PageDocument() = default;

PageDocument::~PageDocument()
{
    empty();
}

void PageDocument::status(const String& line)
{
    if (m_status)
        m_status(line);
}

void PageDocument::reportError(const String& message)
{
    if (m_deferringFor) {
        m_deferred[m_deferringFor].emplace_back(false, message);
        return;
    }
    // A missing file is met once per place that names it; one message says it.
    if (m_reported.countOf(message) != 0)
        return;
    m_reported.append(message);
    if (m_reporter)
        m_reporter(message);
}

void PageDocument::reportWarning(const String& message)
{
    if (m_deferringFor) {
        m_deferred[m_deferringFor].emplace_back(true, message);
        return;
    }
    // Once per generation, like errors; kept apart from them, since the
    // last error is the reason a publish gives for not starting.
    if (m_warned.countOf(message) != 0)
        return;
    m_warned.append(message);
    if (m_warning)
        m_warning(message);
    else
        status(message);
}

void PageDocument::forgetReports()
{
    m_reported.clear();
    m_warned.clear();
}

void PageDocument::empty()
{
    m_current = nullptr;
    m_pages.clear();
    m_pageCommands.clear();
    m_owned.clear();
    m_referencedFiles.clear();
    m_transitions.resetAll();
    m_nextCommandId = firstCommandId;
}

std::vector<Page*> PageDocument::pages() const
{
    std::vector<Page*> list;
    list.reserve(m_pages.count());
    for (const PtrMap::Entry* entry : m_pages)
        list.push_back(PtrMapOf<Page>::valueOf(entry));
    return list;
}

Page* PageDocument::findPage(std::u16string_view id) const
{
    return m_pages.get(id);
}

Page* PageDocument::findPageByLabel(std::u16string_view label) const
{
    for (Page* page : pages()) {
        if (page->label().equals(label))
            return page;
    }
    return nullptr;
}

String PageDocument::transitionFilter(std::u16string_view kind) const
{
    return m_transitions.filterText(kind);
}

String PageDocument::transitionClear(std::u16string_view kind) const
{
    return m_transitions.clearText(kind);
}

double PageDocument::transitionDuration(std::u16string_view kind) const
{
    return m_transitions.duration(kind);
}

void PageDocument::addReferencedFile(const String& sitePath)
{
    if (m_referencedFiles.countOf(sitePath) == 0)
        m_referencedFiles.append(sitePath);
}

void PageDocument::addContentFile(const String& name)
{
    if (m_contentFiles.countOf(name) == 0)
        m_contentFiles.append(name);
}

bool PageDocument::open(const String& path)
{
    PathInfo file(path);
    m_projectFile = file.location();
    m_projectDirectory = file.directory();
    m_projectName = file.baseName().empty() ? file.fileName() : file.baseName();
    m_contentDirectory = m_projectDirectory + u"/content";
    makeDirectoryIfMissing(m_contentDirectory);
    makeDirectoryIfMissing(filesDirectory());
    makeDirectoryIfMissing(customDirectory());
    m_projectFolderName = PathInfo(m_projectDirectory).fileName();
    forgetReports();
    empty();
    return load();
}

Page* PageDocument::addPage(std::unique_ptr<Page> page)
{
    Page* raw = page.get();
    if (!m_pages.add(raw->id(), raw))
        return nullptr;
    raw->setCommandId(m_nextCommandId++);
    m_pageCommands.add(raw->commandId(), raw);
    m_owned.push_back(std::move(page));
    return raw;
}

void PageDocument::reportRepeatedShapeIds(const Element* pageElement, const Page& page)
{
    StringList seen;
    for (const Node* child : pageElement->childNodes()) {
        if (!child->isElement() || !child->nodeName().equals(u"node"))
            continue;
        const String& id = getChildText(child, u"id");
        if (id.empty())
            continue;
        if (seen.countOf(id) != 0) {
            m_partlyRead = true;
            reportError(String(u"Duplicate shape id ignored on page ") + page.label() + u": " + id);
        } else {
            seen.append(id);
        }
    }
}

bool PageDocument::load()
{
    m_partlyRead = false;
    std::ifstream stream(m_projectFile.toNarrow(), std::ios::binary);
    if (!stream)
        return false;
    std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    String text = decodeFileText(bytes);
    Document document;
    document.parse(text);
    // The reader attaches the document element when its end tag is read, so
    // a file cut short has none yet; what was read before the cut is still
    // the user's work and is kept.
    bool whole = document.documentElement() != nullptr;
    document.finish();
    String blank(text);
    blank.trim();
    if (!whole && !blank.empty()) {
        m_partlyRead = true;
        reportError(String(u"Incomplete project file: ") + m_projectFile);
    }
    m_transitions.resetAll();
    if (Element* root = document.documentElement()) {
        for (const Node* child : root->childNodes()) {
            if (!child->isElement() || !child->nodeName().equals(u"page"))
                continue;
            const String& id = child->asElement()->getAttribute(u"id");
            if (!id.empty() && findPage(id)) {
                m_partlyRead = true;
                reportError(String(u"Duplicate page id ignored: ") + id);
                continue;
            }
            // A page without id (written by hand) gets a fresh one rather
            // than being dropped with its shapes.
            auto page = std::make_unique<Page>(this);
            page->load(child->asElement());
            if (!id.empty())
                page->setId(id);
            reportRepeatedShapeIds(child->asElement(), *page);
            if (Page* added = addPage(std::move(page)); added && !m_current)
                m_current = added;
        }
        if (const Element* transitions = findChildElement(root, u"transitions", false))
            m_transitions.load(transitions);
    }
    if (!m_current)
        m_current = newPage(&m_projectName);
    return true;
}

Page* PageDocument::newPage(const String* label, const String* copyOf)
{
    String chosen;
    if (label) {
        if (findPageByLabel(*label))
            return nullptr;
        chosen = *label;
    } else {
        for (size_t number = m_pages.count() + 1;; ++number) {
            chosen = m_projectName;
            chosen.appendInt((long long)number);
            if (!findPageByLabel(chosen))
                break;
        }
    }
    // A page's view is the one that shows it, which binds itself: a page
    // made now must not point at the view of another page.
    auto page = std::make_unique<Page>(this);
    String id = page->newNodeId();
    page->setId(id);
    if (copyOf) {
        if (Page* source = findPage(*copyOf)) {
            Document scratch(String(u"page"));
            source->writeXml(scratch.documentElement());
            page->load(scratch.documentElement());
        }
    }
    page->setId(id);
    page->setLabel(chosen);
    return addPage(std::move(page));
}

bool PageDocument::deletePage(const String& id, String& message)
{
    Page* page = findPage(id);
    if (!page) {
        message = String(u"Cannot find page: ") + id;
        return false;
    }
    if (m_pages.count() == 1) {
        message = String(u"Cannot delete the last page");
        return false;
    }
    m_pages.remove(id);
    m_pageCommands.remove(page->commandId());
    if (m_current == page)
        m_current = PtrMapOf<Page>::valueOf(m_pages.order().first());
    std::erase_if(m_owned, [page](const std::unique_ptr<Page>& owned) { return owned.get() == page; });
    return true;
}

bool PageDocument::goToPage(int commandId)
{
    Page* page = findPageByCommand(commandId);
    if (!page)
        return false;
    m_current = page;
    if (m_view)
        m_view->redraw();
    return true;
}

void PageDocument::prepareAllPages()
{
    m_contentFiles.clear();
    m_storedPageXml.clear();
    for (Page* page : pages())
        page->prepareGeneration();
}

void PageDocument::deleteFilesWithExtensions(
    const String& directory, std::initializer_list<std::u16string_view> extensions, const StringList& spared)
{
    Directory listing(directory, nullptr, Directory::FilesOnly);
    for (PathInfo* file : listing.entries()) {
        if (spared.countOf(file->fileName()) != 0)
            continue;
        for (std::u16string_view extension : extensions) {
            if (file->extension().equalsIgnoreCase(extension)) {
                file->remove();
                break;
            }
        }
    }
}

void PageDocument::deleteOldPageFiles(std::initializer_list<std::u16string_view> extensions)
{
    // The files of the pages there are now stay too: generation leaves a
    // picture that is up to date as it is and rewrites the rest in place.
    StringList spared;
    for (size_t i = 0; i < m_contentFiles.count(); ++i)
        spared.append(m_contentFiles.get(i));
    for (Page* page : pages()) {
        spared.append(PathInfo(page->htmlFilePath()).fileName());
        if (String picture = page->picturePathFor(page->imageType()); !picture.empty())
            spared.append(PathInfo(picture).fileName());
    }
    deleteFilesWithExtensions(m_contentDirectory, extensions, spared);
}

void PageDocument::deleteUnreferencedFiles()
{
    Directory listing(filesDirectory(), nullptr, Directory::FilesOnly | Directory::IncludeHidden);
    for (PathInfo* file : listing.entries()) {
        const String sitePath = String(u"files/") + file->fileName();
        if (m_referencedFiles.countOf(sitePath) == 0 && !(m_keeper && m_keeper(sitePath)))
            file->remove();
    }
}

bool PageDocument::store()
{
    m_referencedFiles.clear();
    // Prepared first, the pages tell which files of the content folder they
    // name directly; those are the user's and stay.
    prepareAllPages();
    deleteOldPageFiles({ u"jpeg", u"jpg", u"gif", u"png", u"html" });
    // Each page is written out on its own, on every core, as the element it
    // is in the project file, one level in. The file is those texts between
    // the root's tags; generation then fingerprints each page by its text.
    const std::vector<Page*> all = pages();
    std::vector<std::string> texts(all.size());
    forEachIndex(all.size(), SiteGeneration::threadCount(m_generationJobs), [&all, &texts](size_t i) {
        Document page(String(u"page"));
        Element* element = page.documentElement();
        element->setAttribute(String(u"id"), all[i]->id());
        all[i]->writeXml(element);
        String xml;
        element->writeXml(xml, 1);
        texts[i] = encodeFileText(xml, false);
    });
    Document root(String(u"lumavine"));
    String transitions;
    m_transitions.save(root.documentElement())->writeXml(transitions, 1);
    std::string file = "<lumavine>\n";
    for (const std::string& text : texts)
        file += text;
    file += encodeFileText(transitions, false);
    file += "</lumavine>\n";
    if (!writeFileAtomically(m_projectFile.toNarrow(), file)) {
        reportError(String(u"Cannot write ") + m_projectFile);
        return false;
    }
    m_storedPageXml.clear();
    for (size_t i = 0; i < all.size(); ++i)
        m_storedPageXml.emplace(all[i], std::move(texts[i]));
    if (!m_partlyRead)
        deleteUnreferencedFiles();
    return true;
}

bool PageDocument::save()
{
    forgetReports();
    if (!store()) {
        m_storedPageXml.clear();
        return false;
    }
    bool generated = writeSite(true);
    if (m_view)
        m_view->redraw();
    return generated;
}

String PageDocument::fingerprintFile() const
{
    if (m_projectDirectory.empty())
        return String();
    return m_projectDirectory + u"/.lumavine-pages";
}

std::vector<SiteGeneration::PageFiles> PageDocument::writePages(bool prepared, std::vector<size_t>* reportsBefore)
{
    Page* previous = m_current;
    const std::vector<Page*> all = pages();
    if (!prepared) {
        m_storedPageXml.clear();
        // Every page is prepared before any is drawn, since drawing runs
        // ahead on other threads; what preparing a page has to tell waits
        // for the page's turn, so that it comes where it always came.
        for (Page* page : all) {
            m_deferringFor = page;
            page->prepareGeneration();
        }
        m_deferringFor = nullptr;
    }
    SiteGeneration generation(*this);
    generation.setJobs(m_generationJobs);
    generation.setFingerprints(fingerprintFile(), generatorBuild(), m_fullGeneration);
    Document transitions(String(u"transitions"));
    m_transitions.save(transitions.documentElement());
    String transitionsText;
    transitions.documentElement()->writeXml(transitionsText, 0);
    // Filled by store() after it prepared the pages, and emptied by any
    // preparation since, so these are the pages as they are now.
    generation.setSharedInputs(std::move(transitionsText), std::move(m_storedPageXml));
    m_storedPageXml.clear();
    // The page on the screen is drawn on this thread, since the window may
    // repaint it while the others are drawn.
    generation.setDrawnHere([this](const Page& page) { return m_view && page.view() == m_view; });
    size_t number = 0;
    generation.setProgress([this, reportsBefore, &number, count = all.size()](Page& page) {
        if (reportsBefore)
            reportsBefore->push_back(m_reported.count());
        m_current = &page;
        if (m_pageProgress)
            m_pageProgress(page, ++number, count);
        else
            status(String(u"generating ") + page.label());
        tellDeferred(page);
    });
    std::vector<SiteGeneration::PageFiles> written = generation.run(all);
    m_deferred.clear();
    m_current = previous;
    m_drawnPages.clear();
    m_writtenPages.clear();
    for (size_t i = 0; i < all.size(); ++i) {
        if (written[i].drawn && written[i].picturePath.empty())
            removeStalePicture(*all[i]);
        if (written[i].drawn)
            m_drawnPages.append(all[i]->label());
        if (written[i].htmlWritten)
            m_writtenPages.append(written[i].htmlPath);
    }
    if (m_view)
        m_view->redraw();
    return written;
}

void PageDocument::removeStalePicture(const Page& page)
{
    // A picture that could not be drawn afresh must not leave the one of an
    // earlier run in its place, looking current; the user's own files in
    // the content folder are not the page's.
    PathInfo picture(page.picturePathFor(page.imageType()));
    if (m_contentFiles.countOf(picture.fileName()) == 0 && picture.isFile())
        picture.remove();
}

void PageDocument::tellDeferred(const Page& page)
{
    auto found = m_deferred.find(&page);
    if (found == m_deferred.end())
        return;
    std::vector<std::pair<bool, String>> reports = std::move(found->second);
    m_deferred.erase(found);
    for (const auto& [warning, message] : reports) {
        if (warning)
            reportWarning(message);
        else
            reportError(message);
    }
}

bool PageDocument::generatePages(String* currentHtml, bool prepared)
{
    Page* current = m_current;
    const std::vector<Page*> all = pages();
    std::vector<SiteGeneration::PageFiles> written = writePages(prepared);
    bool ok = true;
    for (size_t i = 0; i < all.size(); ++i) {
        if (!written[i].written)
            ok = false;
        if (all[i] == current && currentHtml)
            *currentHtml = written[i].htmlPath;
    }
    return ok;
}

bool PageDocument::generateSite()
{
    forgetReports();
    return writeSite(false);
}

bool PageDocument::writeSite(bool prepared)
{
    // The pages are prepared once per generation: the sweep needs to know
    // which files they name, and a second preparation would report every
    // file that could not be copied again under its new site path.
    if (!prepared)
        prepareAllPages();
    deleteOldPageFiles({ u"png", u"gif" });
    return generatePages(nullptr, true);
}

String PageDocument::preview()
{
    forgetReports();
    String html;
    generatePages(&html, false);
    return html;
}

std::optional<std::vector<PublishPage>> PageDocument::writePublishPages(String& message)
{
    forgetReports();
    message.clear();
    prepareAllPages();
    const std::vector<Page*> all = pages();
    std::vector<size_t> reportsBefore;
    std::vector<SiteGeneration::PageFiles> written = writePages(true, &reportsBefore);
    reportsBefore.push_back(m_reported.count());
    std::vector<PublishPage> published;
    for (size_t i = 0; i < all.size(); ++i) {
        if (!written[i].written) {
            // The page has told what went wrong; the last thing told by its
            // end is the reason the publish cannot start.
            const size_t told = reportsBefore[i + 1];
            message
                = told != 0 ? m_reported.get(told - 1) : String(u"Cannot write the files of page ") + all[i]->label();
            return std::nullopt;
        }
        published.push_back(PublishPage { all[i]->label(), written[i].htmlPath, written[i].picturePath });
    }
    return published;
}

PublishProject PageDocument::publishProject() const
{
    PublishProject project;
    project.directory = m_projectDirectory;
    project.contentDirectory = m_contentDirectory;
    // The folder's name, not the project file's: that is the name the
    // site goes under on the server.
    project.name = m_projectFolderName;
    return project;
}

}
