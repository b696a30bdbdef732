// Generating the site of a project of 100 pages with 200 shapes each, built
// through the model as the designer would: the time per page split into the
// resolution of referenced files, drawing, encoding the page picture and
// writing the HTML file; the whole generation against the PNG encoding alone
// of the same pictures; and saving and reloading the project. Then saving
// with every picture drawn, one at a time and one per core, and saving
// after one shape on one page moved, when only that page needs drawing.
//
//   site_bench [--pages N] [--shapes N] [--rounds N] [--keep]
//
// --keep leaves the project folder in place (its path is printed) to look at.
#include "app/PageDocument.h"
#include "bench/support/SiteProject.h"
#include "generate/PageFiles.h"
#include "generate/PageHtmlWriter.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "picture/ImageExport.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace lumavine;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Phases {
    std::vector<double> pageFiles, resolve, draw, encode, html, pageWhole, encodeAlone, encodeInMemory;
};

// One generation by hand, phase by phase, as writePageFiles runs it; then
// the encoding alone of the same picture again, with nothing around it.
void timePages(PageDocument& document, Phases& phases)
{
    for (Page* page : document.pages()) {
        String htmlPath;
        String picturePath;
        auto start = Clock::now();
        writePageFiles(*page, htmlPath, picturePath);
        phases.pageFiles.push_back(millisecondsSince(start));

        auto pageStart = Clock::now();
        start = pageStart;
        page->prepareGeneration();
        phases.resolve.push_back(millisecondsSince(start));

        start = Clock::now();
        QImage image = page->renderPageImage();
        phases.draw.push_back(millisecondsSince(start));

        String imagePath = page->imageFilePath();
        start = Clock::now();
        exportPageImage(image, String(u"png"), imagePath, page->imageQuality());
        phases.encode.push_back(millisecondsSince(start));

        start = Clock::now();
        {
            std::ofstream out(page->htmlFilePath().toNarrow(), std::ios::binary | std::ios::trunc);
            writePageHtml(*page, out, imagePath);
        }
        phases.html.push_back(millisecondsSince(start));
        phases.pageWhole.push_back(millisecondsSince(pageStart));

        start = Clock::now();
        exportPageImage(image, String(u"png"), imagePath, page->imageQuality());
        phases.encodeAlone.push_back(millisecondsSince(start));

        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        start = Clock::now();
        QImageWriter writer(&buffer, "png");
        writer.write(image);
        phases.encodeInMemory.push_back(millisecondsSince(start));
    }
}

double sum(const std::vector<double>& values, size_t from, size_t count)
{
    double total = 0;
    for (size_t i = from; i < from + count && i < values.size(); ++i)
        total += values[i];
    return total;
}

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    int pageCount = 100;
    int shapeCount = 200;
    int rounds = 3;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--pages") && i + 1 < argc)
            pageCount = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--shapes") && i + 1 < argc)
            shapeCount = std::max(2, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--keep"))
            keep = true;
    }

    std::string pattern = (fs::temp_directory_path() / "lumavine-site-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern;
    fs::create_directories(root + "/site");
    std::ofstream(root + "/site/site.xml").flush();
    std::vector<std::string> pictures = bench::writeSourcePictures(root);

    int failures = 0;
    PageDocument document;
    document.setErrorReporter([&](const String& message) {
        if (failures++ < 5)
            std::fprintf(stderr, "error: %s\n", message.toNarrow().c_str());
    });
    if (!document.open(String(root + "/site/site.xml"))) {
        std::fprintf(stderr, "cannot open the project\n");
        return 1;
    }
    auto buildStart = Clock::now();
    while (document.pageCount() < size_t(pageCount))
        document.newPage();
    std::vector<Page*> pages = document.pages();
    for (size_t i = 0; i < pages.size(); ++i)
        bench::fillSitePage(*pages[i], int(i), shapeCount, pictures, pages[(i + 1) % pages.size()]->fileBaseName());
    double buildTime = millisecondsSince(buildStart);
    QSize size = pages.front()->pageSize();

    // The phases above are timed one page after another, so the whole
    // generation they are set against draws every picture in turn as well.
    document.setGenerationJobs(1);
    document.setFullGeneration(true);
    Phases phases;
    std::vector<double> whole, save, reload;
    size_t reloadedPages = 0;
    size_t reloadedShapes = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        if (!document.generateSite())
            ++failures;
        whole.push_back(millisecondsSince(start));
        timePages(document, phases);

        start = Clock::now();
        if (!document.save())
            ++failures;
        save.push_back(millisecondsSince(start));

        PageDocument reread;
        start = Clock::now();
        if (!reread.open(document.projectFile()))
            ++failures;
        reload.push_back(millisecondsSince(start));
        reloadedPages = reread.pageCount();
        reloadedShapes = reread.pages().empty() ? 0 : reread.pages().front()->shapeCount();
    }

    // Per-page phases: the median over rounds of each round's total.
    std::vector<double> pageFiles, resolve, draw, encode, html, pageWhole, encodeAlone, encodeInMemory;
    size_t perRound = pages.size();
    for (int round = 0; round < rounds; ++round) {
        size_t from = size_t(round) * perRound;
        pageFiles.push_back(sum(phases.pageFiles, from, perRound));
        resolve.push_back(sum(phases.resolve, from, perRound));
        draw.push_back(sum(phases.draw, from, perRound));
        encode.push_back(sum(phases.encode, from, perRound));
        html.push_back(sum(phases.html, from, perRound));
        pageWhole.push_back(sum(phases.pageWhole, from, perRound));
        encodeAlone.push_back(sum(phases.encodeAlone, from, perRound));
        encodeInMemory.push_back(sum(phases.encodeInMemory, from, perRound));
    }
    double n = double(perRound);
    std::printf("site of %zu pages x %d shapes, page picture %dx%d, built in %.0f ms; median of %d rounds\n",
        pages.size(), shapeCount, size.width(), size.height(), buildTime, rounds);
    std::printf("generateSite            %9.1f ms  %7.2f ms/page\n", median(whole), median(whole) / n);
    std::printf("writePageFiles alone    %9.1f ms  %7.2f ms/page\n", median(pageFiles), median(pageFiles) / n);
    std::printf("  resolve files         %9.1f ms  %7.2f ms/page\n", median(resolve), median(resolve) / n);
    std::printf("  drawing               %9.1f ms  %7.2f ms/page\n", median(draw), median(draw) / n);
    std::printf("  encoding (png, file)  %9.1f ms  %7.2f ms/page\n", median(encode), median(encode) / n);
    std::printf("  html writing          %9.1f ms  %7.2f ms/page\n", median(html), median(html) / n);
    std::printf("  phases together       %9.1f ms  %7.2f ms/page\n", median(pageWhole), median(pageWhole) / n);
    std::printf("png encoding alone      %9.1f ms  %7.2f ms/page (in memory %.2f ms/page)\n", median(encodeAlone),
        median(encodeAlone) / n, median(encodeInMemory) / n);
    std::printf("whole / png encoding    %9.2f  (target <= 2)\n", median(whole) / median(encodeAlone));
    std::printf("save (file + site)      %9.1f ms\n", median(save));
    std::printf("reload (open)           %9.1f ms  (%zu pages, %zu shapes on the first)\n", median(reload),
        reloadedPages, reloadedShapes);

    // Every picture drawn, one at a time and then one per core.
    std::vector<double> serialSave, parallelSave, parallelWhole;
    for (int round = 0; round < rounds; ++round) {
        document.setGenerationJobs(1);
        auto start = Clock::now();
        if (!document.save())
            ++failures;
        serialSave.push_back(millisecondsSince(start));

        document.setGenerationJobs(0);
        start = Clock::now();
        if (!document.save())
            ++failures;
        parallelSave.push_back(millisecondsSince(start));

        start = Clock::now();
        if (!document.generateSite())
            ++failures;
        parallelWhole.push_back(millisecondsSince(start));
    }

    // One shape on the middle page moves back and forth by a pixel, so that
    // each save finds that page changed and every other one as it was.
    document.setFullGeneration(false);
    Page* changed = pages[pages.size() / 2];
    std::vector<PageNode*> shapes = changed->pageNodes();
    std::vector<PicNode*> moved { shapes.empty() ? nullptr : shapes[shapes.size() / 2] };
    std::vector<double> changeSave;
    size_t mostDrawn = 0;
    if (!document.save())
        ++failures;
    for (int round = 0; round < rounds && moved.front(); ++round) {
        changed->moveShapesBy(moved, PictureDelta { round % 2 ? -1 : 1, 0 });
        auto start = Clock::now();
        if (!document.save())
            ++failures;
        changeSave.push_back(millisecondsSince(start));
        mostDrawn = std::max(mostDrawn, document.drawnPages().count());
    }
    // Where the time of that save goes: the site alone after the same
    // change, and then a save that finds the site already up to date.
    std::vector<double> changeGenerate, unchangedSave;
    for (int round = 0; round < rounds && moved.front(); ++round) {
        changed->moveShapesBy(moved, PictureDelta { round % 2 ? -1 : 1, 0 });
        auto start = Clock::now();
        if (!document.generateSite())
            ++failures;
        changeGenerate.push_back(millisecondsSince(start));
        start = Clock::now();
        if (!document.save())
            ++failures;
        unchangedSave.push_back(millisecondsSince(start));
    }

    std::printf("full save, 1 job        %9.1f ms\n", median(serialSave));
    std::printf("full save, 1 per core   %9.1f ms  (%ld cores; %.2f of the serial save)\n", median(parallelSave),
        sysconf(_SC_NPROCESSORS_ONLN), median(parallelSave) / median(serialSave));
    std::printf("full generation, cores  %9.1f ms\n", median(parallelWhole));
    std::printf(
        "parallel / png encoding %9.2f  (target <= 0.6 on 2 cores)\n", median(parallelWhole) / median(encodeAlone));
    std::printf("save after one change   %9.1f ms  (target < 300 ms; at most %zu of %zu pages drawn)\n",
        median(changeSave), mostDrawn, pages.size());
    std::printf("  its site alone        %9.1f ms\n", median(changeGenerate));
    std::printf("save, site up to date   %9.1f ms\n", median(unchangedSave));
    if (failures)
        std::printf("%d failures reported\n", failures);

    if (keep)
        std::printf("project kept in %s\n", root.c_str());
    else
        fs::remove_all(root);
    return failures ? 1 : 0;
}
