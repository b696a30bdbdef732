#include "tests/support/TestProject.h"

#include <filesystem>

namespace lumavine::test {

namespace fs = std::filesystem;

ProjectFolder::ProjectFolder(const Layout& layout) : m_folder(std::in_place, "lumavine-project")
{
    m_directory = layout.name.empty() ? m_folder->narrow() : m_folder->file(layout.name);
    fs::create_directories(m_directory);
    if (layout.contentFolders) {
        makeFolder("content/files");
        makeFolder("content/custom");
    }
}

ProjectFolder::ProjectFolder(const std::string& directory) : m_directory(directory)
{
}

std::string ProjectFolder::root() const
{
    return m_folder ? m_folder->narrow() : m_directory;
}

String ProjectFolder::projectFile() const
{
    return String(path(fs::path(m_directory).filename().string() + ".xml"));
}

bool ProjectFolder::exists(const std::string& relative) const
{
    std::error_code ignored;
    return fs::exists(path(relative), ignored);
}

void ProjectFolder::makeFolder(const std::string& relative) const
{
    fs::create_directories(path(relative));
}

String ProjectFolder::writeFile(const std::string& relative, std::string_view bytes) const
{
    std::string full = path(relative);
    std::error_code ignored;
    fs::create_directories(fs::path(full).parent_path(), ignored);
    test::writeFile(full, bytes);
    return String(full);
}

std::string ProjectFolder::readFile(const std::string& relative) const
{
    return test::readFile(path(relative));
}

TestProject::TestProject(const Layout& layout)
    : ProjectFolder(layout)
    , m_project(directory())
    , m_content(m_project + u"/content")
{
}

TestProject::TestProject(const String& directory)
    : ProjectFolder(directory.toNarrow())
    , m_project(directory)
    , m_content(directory + u"/content")
{
}

Page* TestProject::findPage(std::u16string_view id) const
{
    for (const auto& page : m_pages) {
        if (page->id() == id)
            return page.get();
    }
    return nullptr;
}

Page* TestProject::findPageByLabel(std::u16string_view label) const
{
    for (const auto& page : m_pages) {
        if (page->label() == label)
            return page.get();
    }
    return nullptr;
}

std::vector<Page*> TestProject::pages() const
{
    std::vector<Page*> pages;
    for (const auto& page : m_pages)
        pages.push_back(page.get());
    return pages;
}

Page& TestProject::addPage(const String& label)
{
    m_pages.push_back(std::make_unique<Page>(this));
    m_pages.back()->setLabel(label);
    m_pages.back()->setId(label);
    return *m_pages.back();
}

}
