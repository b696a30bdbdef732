#include "app/PageDocument.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "tests/support/TemporaryFolder.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

namespace lumavine {
namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& path)
{
    return test::readFile(path.string());
}

// Every file of a content folder with its bytes.
std::map<std::string, std::string> contentFolder(const fs::path& project)
{
    std::map<std::string, std::string> files;
    const fs::path content = project / "content";
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(content)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), content).string()] = contentsOf(entry.path());
    }
    return files;
}

// Names the differences, so that a failure says which files differ.
void expectSameFiles(const std::map<std::string, std::string>& expected, const std::map<std::string, std::string>& got)
{
    for (const auto& [name, bytes] : expected) {
        auto found = got.find(name);
        if (found == got.end())
            ADD_FAILURE() << "missing: " << name;
        else
            EXPECT_TRUE(found->second == bytes) << "differs: " << name;
    }
    for (const auto& [name, bytes] : got) {
        if (!expected.count(name))
            ADD_FAILURE() << "not expected: " << name;
    }
}

// A project opened for one generation, telling its status lines and
// failures into one log in the order they come.
struct Generation {
    explicit Generation(const fs::path& project, int jobs = 0, bool full = false)
    {
        document.setStatusReporter([this](const String& line) { log.push_back(line.toNarrow()); });
        document.setErrorReporter([this](const String& line) { log.push_back("error: " + line.toNarrow()); });
        document.setGenerationJobs(jobs);
        document.setFullGeneration(full);
        opened = document.open(String::fromNarrowLossless((project / "lumavine-sample.xml").string()));
    }
    std::vector<std::string> drawn() const
    {
        std::vector<std::string> labels;
        for (size_t i = 0; i < document.drawnPages().count(); ++i)
            labels.push_back(document.drawnPages().get(i).toNarrow());
        return labels;
    }

    PageDocument document;
    std::vector<std::string> log;
    bool opened = false;
};

using Labels = std::vector<std::string>;

// Copies of the sample project with more pages, so that drawing runs on
// several threads at once.
class SiteGenerationTest : public testing::Test {
protected:
    SiteGenerationTest()
    {
        fs::copy(LUMAVINE_SAMPLE_DIR, project, fs::copy_options::recursive);
        Generation run(project, 1);
        Page* welcome = run.document.findPageByLabel(u"Welcome");
        EXPECT_NE(welcome, nullptr);
        const String copyOf = welcome ? welcome->id() : String();
        for (const char* label : { "Garden", "Lake", "Harbour", "Evening", "Night" }) {
            const String name = String::fromNarrowLossless(label);
            EXPECT_NE(run.document.newPage(&name, &copyOf), nullptr);
        }
        // Each copy a little different, so that no two pictures are alike.
        int offset = 0;
        for (Page* page : run.document.pages()) {
            for (PageNode* node : page->pageNodes()) {
                node->moveBy({ offset, offset });
                break;
            }
            offset += 3;
        }
        EXPECT_TRUE(run.document.save());
        fs::remove(project / ".lumavine-pages");
    }

    // The content folder a full serial generation of a copy of the project
    // as it is now writes.
    std::map<std::string, std::string> fullSerialGeneration(const std::string& name) const
    {
        const fs::path copy = folder.path() / name;
        fs::copy(project, copy, fs::copy_options::recursive);
        Generation run(copy, 1, true);
        EXPECT_TRUE(run.opened);
        EXPECT_TRUE(run.document.generateSite());
        return contentFolder(copy);
    }

    // The pages that have a picture to draw.
    Labels allPages() const
    {
        Generation run(project);
        Labels labels;
        for (Page* page : run.document.pages()) {
            // Notes is a page without a picture.
            if (!page->imageType().equalsIgnoreCase(u"none"))
                labels.push_back(page->label().toNarrow());
        }
        return labels;
    }

    test::TemporaryFolder folder { "lumavine-site-generation" };
    fs::path project = folder.path() / "project";
};

TEST_F(SiteGenerationTest, ParallelAndIncrementalGenerationWriteWhatASerialOneWrites)
{
    const auto serial = fullSerialGeneration("serial");

    Generation parallel(project, 3);
    ASSERT_TRUE(parallel.opened);
    ASSERT_TRUE(parallel.document.generateSite());
    EXPECT_EQ(parallel.drawn(), allPages());
    expectSameFiles(serial, contentFolder(project));

    // The status lines come in page order, as one thread would give them.
    Generation serialRun(folder.path() / "serial", 1, true);
    ASSERT_TRUE(serialRun.document.generateSite());
    EXPECT_EQ(parallel.log, serialRun.log);

    // Nothing changed: nothing is drawn, and saving rewrites nothing.
    const auto pageTime = fs::last_write_time(project / "content" / "Welcome.html");
    Generation again(project);
    ASSERT_TRUE(again.document.save());
    EXPECT_EQ(again.drawn(), Labels {});
    EXPECT_EQ(fs::last_write_time(project / "content" / "Welcome.html"), pageTime);
    expectSameFiles(serial, contentFolder(project));

    // A page file changed by hand is written again.
    std::ofstream(project / "content" / "Slides.html", std::ios::app) << "<!-- edited -->";
    Generation edited(project);
    ASSERT_TRUE(edited.document.generateSite());
    EXPECT_EQ(edited.drawn(), Labels {});
    expectSameFiles(serial, contentFolder(project));

    // --full draws everything whatever the fingerprints say.
    Generation full(project, 2, true);
    ASSERT_TRUE(full.document.generateSite());
    EXPECT_EQ(full.drawn(), allPages());
    expectSameFiles(serial, contentFolder(project));
}

TEST_F(SiteGenerationTest, EachChangeRedrawsTheChangedPagesOnlyAndTheSiteIsWhatAFullGenerationWrites)
{
    {
        Generation first(project);
        ASSERT_TRUE(first.document.save());
    }

    // One shape on one page.
    {
        Generation run(project);
        Page* page = run.document.findPageByLabel(u"Harbour");
        ASSERT_NE(page, nullptr);
        ASSERT_FALSE(page->pageNodes().empty());
        page->pageNodes().back()->moveBy({ 11, 5 });
        ASSERT_TRUE(run.document.save());
        EXPECT_EQ(run.drawn(), Labels { "Harbour" });
    }
    expectSameFiles(fullSerialGeneration("after-shape"), contentFolder(project));

    // A shared transition: the pages' script changes, their pictures do not.
    const std::string welcomeBefore = contentsOf(project / "content" / "Welcome.html");
    {
        Generation run(project);
        ASSERT_TRUE(run.document.transitions().setSetting(u"fade", u"iduration", String(u"2.5")));
        ASSERT_TRUE(run.document.save());
        EXPECT_EQ(run.drawn(), Labels {});
    }
    EXPECT_NE(contentsOf(project / "content" / "Welcome.html"), welcomeBefore);
    expectSameFiles(fullSerialGeneration("after-transition"), contentFolder(project));

    // A picture file replaced on disk under the same name: the pages that
    // name it are drawn again.
    {
        QImage replacement(40, 30, QImage::Format_RGB32);
        replacement.fill(Qt::darkGreen);
        ASSERT_TRUE(replacement.save(QString::fromStdString((project / "content/files/boathouse.png").string())));
        Generation run(project);
        ASSERT_TRUE(run.document.generateSite());
        EXPECT_EQ(run.drawn(), (Labels { "Welcome", "Garden", "Lake", "Harbour", "Evening", "Night" }));
    }
    expectSameFiles(fullSerialGeneration("after-picture"), contentFolder(project));

    // A label: the page's files take the new name, the old ones go.
    {
        Generation run(project);
        Page* page = run.document.findPageByLabel(u"Lake");
        ASSERT_NE(page, nullptr);
        page->setLabel(String(u"Pond"));
        ASSERT_TRUE(run.document.save());
        EXPECT_EQ(run.drawn(), Labels { "Pond" });
    }
    EXPECT_FALSE(fs::exists(project / "content" / "Lake.png"));
    EXPECT_FALSE(fs::exists(project / "content" / "Lake.html"));
    expectSameFiles(fullSerialGeneration("after-label"), contentFolder(project));

    // A page deleted: nothing is drawn and its files go.
    {
        Generation run(project);
        Page* page = run.document.findPageByLabel(u"Evening");
        ASSERT_NE(page, nullptr);
        String message;
        ASSERT_TRUE(run.document.deletePage(page->id(), message)) << message.toNarrow();
        ASSERT_TRUE(run.document.save());
        EXPECT_EQ(run.drawn(), Labels {});
    }
    EXPECT_FALSE(fs::exists(project / "content" / "Evening.png"));
    expectSameFiles(fullSerialGeneration("after-delete"), contentFolder(project));

    // A page picture changed or removed by hand is drawn again.
    fs::remove(project / "content" / "Night.png");
    {
        Generation run(project);
        ASSERT_TRUE(run.document.generateSite());
        EXPECT_EQ(run.drawn(), Labels { "Night" });
    }
    expectSameFiles(fullSerialGeneration("after-removal"), contentFolder(project));
}

TEST_F(SiteGenerationTest, TheProjectFileWrittenPageByPageIsTheOneTheWholeDocumentWrites)
{
    Generation run(project, 3);
    ASSERT_TRUE(run.opened);
    ASSERT_TRUE(run.document.save());
    // The pages as they stand after the save, written as one document.
    Document whole(String(u"lumavine"));
    for (Page* page : run.document.pages()) {
        Element* element = addElement(whole.documentElement(), String(u"page"));
        element->setAttribute(String(u"id"), page->id());
        page->writeXml(element);
    }
    run.document.transitions().save(whole.documentElement());
    EXPECT_TRUE(contentsOf(project / "lumavine-sample.xml") == whole.fileText(Document::LineEnd::Lf));
}

TEST_F(SiteGenerationTest, WhatPreparingAPageTellsComesInThatPagesTurnInAPreview)
{
    // A picture two pages name is gone: the preview says so once, where the
    // first of them is generated, as it did when pages were prepared one by
    // one.
    fs::remove(project / "content" / "files" / "lake.jpg");
    Generation parallel(project, 3);
    parallel.document.preview();
    const auto missing = std::find_if(parallel.log.begin(), parallel.log.end(),
        [](const std::string& line) { return line.starts_with("error: Cannot find file:"); });
    ASSERT_NE(missing, parallel.log.end());
    ASSERT_NE(missing, parallel.log.begin());
    EXPECT_EQ(missing[-1], "generating Welcome");
    EXPECT_EQ(std::count(parallel.log.begin(), parallel.log.end(), *missing), 1);

    Generation serial(project, 1, true);
    serial.document.preview();
    EXPECT_EQ(parallel.log, serial.log);
}

TEST_F(SiteGenerationTest, AFingerprintFileThatCannotBeTrustedMeansDrawingEveryPage)
{
    {
        Generation first(project);
        ASSERT_TRUE(first.document.generateSite());
    }
    const fs::path fingerprints = project / ".lumavine-pages";
    const std::string whole = contentsOf(fingerprints);
    ASSERT_FALSE(whole.empty());
    const auto site = contentFolder(project);

    auto drawnAfter = [this](const std::string& fingerprintText) {
        std::ofstream(project / ".lumavine-pages", std::ios::binary | std::ios::trunc) << fingerprintText;
        Generation run(project);
        EXPECT_TRUE(run.document.generateSite());
        return run.drawn();
    };
    // Cut short, even by its last line only.
    EXPECT_EQ(drawnAfter(whole.substr(0, whole.size() / 2)), allPages());
    EXPECT_EQ(drawnAfter(whole.substr(0, whole.rfind("end"))), allPages());
    // Written by another version.
    std::string otherVersion = whole;
    otherVersion.replace(otherVersion.find("drawing"), 7, "drawinG");
    EXPECT_EQ(drawnAfter(otherVersion), allPages());
    // Not ours at all.
    EXPECT_EQ(drawnAfter("<?xml version=\"1.0\"?>\n<pages/>\n"), allPages());
    {
        // The last run wrote a sound one again.
        Generation run(project);
        EXPECT_TRUE(run.document.generateSite());
        EXPECT_EQ(run.drawn(), Labels {});
    }
    expectSameFiles(site, contentFolder(project));

    // A folder in its place: the site is still written, every time whole.
    fs::remove(fingerprints);
    fs::create_directory(fingerprints);
    for (int round = 0; round < 2; ++round) {
        Generation run(project);
        EXPECT_TRUE(run.document.generateSite());
        EXPECT_EQ(run.drawn(), allPages());
    }
    EXPECT_TRUE(fs::is_directory(fingerprints));
    expectSameFiles(site, contentFolder(project));
}

TEST_F(SiteGenerationTest, APictureThatCannotBeWrittenMidRunIsToldOnceInItsPlaceAndTheOtherPagesAreWritten)
{
    // A folder where the picture of a page in the middle would go.
    const fs::path serialCopy = folder.path() / "serial";
    fs::copy(project, serialCopy, fs::copy_options::recursive);
    for (const fs::path& where : { project, serialCopy }) {
        fs::remove(where / "content" / "Harbour.png");
        fs::create_directories(where / "content" / "Harbour.png");
    }

    Generation parallel(project, 3);
    EXPECT_FALSE(parallel.document.generateSite());
    Generation serial(serialCopy, 1);
    EXPECT_FALSE(serial.document.generateSite());
    EXPECT_EQ(parallel.log, serial.log);
    expectSameFiles(contentFolder(serialCopy), contentFolder(project));

    const auto told = std::find(parallel.log.begin(), parallel.log.end(), "generating Harbour");
    ASSERT_NE(told, parallel.log.end());
    ASSERT_NE(told + 1, parallel.log.end());
    EXPECT_EQ(told[1], "error: Error in processing : ");
    EXPECT_EQ(std::count(parallel.log.begin(), parallel.log.end(), "error: Error in processing : "), 1);
    for (const char* page : { "Welcome", "Slides", "Garden", "Lake", "Evening", "Night" }) {
        EXPECT_TRUE(fs::is_regular_file(project / "content" / (std::string(page) + ".png"))) << page;
        EXPECT_TRUE(fs::is_regular_file(project / "content" / (std::string(page) + ".html"))) << page;
    }
    // The page's HTML is written without the picture it lacks.
    EXPECT_EQ(contentsOf(project / "content" / "Harbour.html").find("Harbour.png"), std::string::npos);

    // Once the way is clear, that page alone is drawn.
    fs::remove(project / "content" / "Harbour.png");
    Generation after(project, 3);
    EXPECT_TRUE(after.document.generateSite());
    EXPECT_EQ(after.drawn(), Labels { "Harbour" });
}

}
}
