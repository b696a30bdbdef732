#pragma once

#include "core/StringList.h"
#include "generate/Transitions.h"
#include "page/Page.h"
#include "page/ProjectContext.h"

#include <memory>
#include <vector>

namespace lumavine {

// A project folder with its content tree and transition settings, for the
// generator's tests and the page driver of the browser tests.
class TestProject : public ProjectContext {
public:
    explicit TestProject(const String& directory) : m_directory(directory), m_content(directory + u"/content")
    {
        m_transitions.resetAll();
    }

    const String& projectDirectory() const override { return m_directory; }
    const String& contentDirectory() const override { return m_content; }
    Page* findPage(std::u16string_view id) const override
    {
        for (const auto& page : m_pages) {
            if (page->id() == id)
                return page.get();
        }
        return nullptr;
    }
    Page* findPageByLabel(std::u16string_view label) const override
    {
        for (const auto& page : m_pages) {
            if (page->label() == label)
                return page.get();
        }
        return nullptr;
    }
    String transitionFilter(std::u16string_view kind) const override { return m_transitions.filterText(kind); }
    String transitionClear(std::u16string_view kind) const override { return m_transitions.clearText(kind); }
    double transitionDuration(std::u16string_view kind) const override { return m_transitions.duration(kind); }
    void addReferencedFile(const String& sitePath) override { m_referenced.addUnique(sitePath); }

    Page& addPage(const String& label)
    {
        m_pages.push_back(std::make_unique<Page>(this));
        m_pages.back()->setLabel(label);
        m_pages.back()->setId(label);
        return *m_pages.back();
    }
    Transitions& transitions() { return m_transitions; }

private:
    String m_directory;
    String m_content;
    Transitions m_transitions;
    StringList m_referenced;
    std::vector<std::unique_ptr<Page>> m_pages;
};

}
