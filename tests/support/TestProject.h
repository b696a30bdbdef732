#pragma once

#include "core/StringList.h"
#include "page/Page.h"
#include "page/ProjectContext.h"
#include "tests/support/TemporaryFolder.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumavine::test {

// A project's folder on disk, with the reads and writes tests do in it.
class ProjectFolder {
public:
    struct Layout {
        // The project folder's name inside a fresh temporary folder, which
        // leaves room beside it for the user's files outside the project;
        // empty: the temporary folder is the project folder.
        std::string name;
        // Whether content/, content/files and content/custom are made at
        // once; opening a project makes them itself.
        bool contentFolders = true;
    };

    ProjectFolder() : ProjectFolder(Layout {}) { }
    explicit ProjectFolder(const Layout& layout);
    // A project folder the test looks after, or that is never made: nothing
    // is made or removed.
    explicit ProjectFolder(const std::string& directory);

    // The temporary folder that holds everything (the project folder itself
    // when it has no name of its own).
    std::string root() const;
    const std::string& directory() const { return m_directory; }
    std::string path(const std::string& relative) const { return m_directory + "/" + relative; }
    // The project file: the project folder's name with ".xml", inside it.
    String projectFile() const;

    bool exists(const std::string& relative) const;
    // Makes the folder and those above it.
    void makeFolder(const std::string& relative) const;
    // Writes a file, making the folders above it; answers its absolute path.
    String writeFile(const std::string& relative, std::string_view bytes) const;
    std::string readFile(const std::string& relative) const;

private:
    std::optional<TemporaryFolder> m_folder;
    std::string m_directory;
};

// A project for pages to live in, standing in for the project document: its
// folders, its pages, fixed transition settings, and what the pages report.
class TestProject : public ProjectFolder, public ProjectContext {
public:
    // A project in a fresh temporary folder, with its content folders
    // unless the layout says otherwise.
    explicit TestProject(const Layout& layout = {});
    // A project at a folder the test looks after; nothing is made there.
    explicit TestProject(const String& directory);

    const String& projectDirectory() const override { return m_project; }
    const String& contentDirectory() const override { return m_content; }
    std::vector<Page*> pages() const override;
    Page* findPage(std::u16string_view id) const override;
    Page* findPageByLabel(std::u16string_view label) const override;
    // Every kind answers the same, so that a test sees which kind a page
    // asked for.
    String transitionFilter(std::u16string_view kind) const override { return u"filter-" + String(kind); }
    String transitionClear(std::u16string_view) const override { return String(u"true"); }
    double transitionDuration(std::u16string_view) const override { return 2.5; }
    void addReferencedFile(const String& sitePath) override { m_referenced.addUnique(sitePath); }
    void reportError(const String& message) override { m_errors.append(message); }

    // A new page of the project, labelled and identified by `label`.
    Page& addPage(const String& label);

    StringList m_referenced;
    StringList m_errors;

private:
    String m_project;
    String m_content;
    std::vector<std::unique_ptr<Page>> m_pages;
};

}
