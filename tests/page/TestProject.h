#pragma once

#include "core/StringList.h"
#include "page/ProjectContext.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lumavine {

// A project folder under /tmp with its content, files and custom folders,
// standing in for the project document.
class TestProject : public ProjectContext {
public:
    TestProject()
    {
        char pattern[] = "/tmp/page-test-XXXXXX";
        if (mkdtemp(pattern))
            m_root = pattern;
        m_project = String(m_root);
        m_content = m_project + u"/content";
        ::mkdir(m_content.toNarrow().c_str(), 0777);
        ::mkdir((m_content + u"/files").toNarrow().c_str(), 0777);
        ::mkdir((m_content + u"/custom").toNarrow().c_str(), 0777);
    }
    ~TestProject() override
    {
        if (!m_root.empty()) {
            std::string command = "rm -rf '" + m_root + "'";
            (void)std::system(command.c_str());
        }
    }

    const String& projectDirectory() const override { return m_project; }
    const String& contentDirectory() const override { return m_content; }
    Page* findPage(std::u16string_view) const override { return nullptr; }
    Page* findPageByLabel(std::u16string_view) const override { return nullptr; }
    String transitionFilter(std::u16string_view kind) const override { return u"filter-" + String(kind); }
    String transitionClear(std::u16string_view) const override { return String(u"true"); }
    double transitionDuration(std::u16string_view) const override { return 2.5; }
    void addReferencedFile(const String& sitePath) override { m_referenced.addUnique(sitePath); }
    void reportError(const String& message) override { m_errors.append(message); }

    std::string path(const std::string& relative) const { return m_root + "/" + relative; }
    bool exists(const std::string& relative) const
    {
        struct stat info;
        return ::stat(path(relative).c_str(), &info) == 0;
    }
    void makeFolder(const std::string& relative) const { ::mkdir(path(relative).c_str(), 0777); }
    // Writes a file under the project; answers its absolute path.
    String writeFile(const std::string& relative, const std::string& bytes) const
    {
        std::string full = path(relative);
        if (FILE* file = std::fopen(full.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return String(full);
    }
    std::string readFile(const std::string& relative) const
    {
        std::string bytes;
        if (FILE* file = std::fopen(path(relative).c_str(), "rb")) {
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
                bytes.append(buffer, n);
            std::fclose(file);
        }
        return bytes;
    }

    StringList m_referenced;
    StringList m_errors;

private:
    std::string m_root;
    String m_project;
    String m_content;
};

}
