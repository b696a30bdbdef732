#include "app/PageDocument.h"

#include "core/Directory.h"
#include "core/PathInfo.h"
#include "generate/PageFiles.h"
#include "page/Page.h"
#include "picture/View.h"
#include "xml/Elements.h"

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
    if (m_reporter)
        m_reporter(message);
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

bool PageDocument::load()
{
    Document document;
    if (!document.load(m_projectFile))
        return false;
    m_transitions.resetAll();
    if (Element* root = document.documentElement()) {
        for (const Node* child : root->childNodes()) {
            if (!child->isElement() || !child->nodeName().equals(u"page"))
                continue;
            const String& id = child->asElement()->getAttribute(u"id");
            if (id.empty() || findPage(id))
                continue;
            auto page = std::make_unique<Page>(this, m_view);
            page->setId(id);
            page->load(child->asElement());
            page->setId(id);
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
    auto page = std::make_unique<Page>(this, m_view);
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

void PageDocument::deleteFilesWithExtensions(const String& directory,
    std::initializer_list<std::u16string_view> extensions)
{
    Directory listing(directory, nullptr, Directory::FilesOnly);
    for (PathInfo* file : listing.entries()) {
        for (std::u16string_view extension : extensions) {
            if (file->extension().equalsIgnoreCase(extension)) {
                file->remove();
                break;
            }
        }
    }
}

void PageDocument::deleteUnreferencedFiles()
{
    Directory listing(filesDirectory(), nullptr, Directory::FilesOnly | Directory::IncludeHidden);
    for (PathInfo* file : listing.entries()) {
        if (m_referencedFiles.countOf(String(u"files/") + file->fileName()) == 0)
            file->remove();
    }
}

bool PageDocument::store()
{
    deleteFilesWithExtensions(m_contentDirectory, { u"jpeg", u"jpg", u"gif", u"png", u"html" });
    m_referencedFiles.clear();
    Document document(String(u"lumavine"));
    Element* root = document.documentElement();
    for (Page* page : pages()) {
        page->prepareGeneration();
        Element* element = addElement(root, String(u"page"));
        element->setAttribute(String(u"id"), page->id());
        page->writeXml(element);
    }
    m_transitions.save(root);
    if (!document.save(m_projectFile, Document::LineEnd::Lf)) {
        reportError(String(u"Cannot write ") + m_projectFile);
        return false;
    }
    deleteUnreferencedFiles();
    return true;
}

bool PageDocument::save()
{
    if (!store())
        return false;
    bool generated = generateSite();
    if (m_view)
        m_view->redraw();
    return generated;
}

bool PageDocument::generatePages(String* currentHtml)
{
    Page* previous = m_current;
    bool ok = true;
    for (Page* page : pages()) {
        m_current = page;
        status(String(u"generating ") + page->label());
        String htmlPath;
        String imagePath;
        if (!writePageFiles(*page, htmlPath, imagePath))
            ok = false;
        if (page == previous && currentHtml)
            *currentHtml = htmlPath;
    }
    m_current = previous;
    if (m_view)
        m_view->redraw();
    return ok;
}

bool PageDocument::generateSite()
{
    deleteFilesWithExtensions(m_contentDirectory, { u"png", u"gif" });
    return generatePages(nullptr);
}

String PageDocument::preview()
{
    String html;
    generatePages(&html);
    return html;
}

}
