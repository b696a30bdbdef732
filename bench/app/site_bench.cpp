// Generating the site of a project of 100 pages with 200 shapes each, built
// through the model as the designer would: the time per page split into the
// resolution of referenced files, drawing, encoding the page picture and
// writing the HTML file; the whole generation against the PNG encoding alone
// of the same pictures; and saving and reloading the project.
//
//   site_bench [--pages N] [--shapes N] [--rounds N] [--keep]
//
// --keep leaves the project folder in place (its path is printed) to look at.
#include "app/PageDocument.h"
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
#include <random>
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

String colorText(std::mt19937& random)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", unsigned(random() & 0xFFFFFF));
    return String(text);
}

String quoted(const String& text)
{
    return String(u"'") + text + u"'";
}

// Small pictures outside the project, as a user's own files would be; the
// first generation copies them into content/files.
std::vector<std::string> writeSourcePictures(const std::string& folder)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(i * 80, 200, 220));
        std::string path = folder + "/picture" + std::to_string(i) + ".png";
        picture.save(QString::fromStdString(path));
        paths.push_back(path);
    }
    return paths;
}

void fillPage(
    Page& page, int pageIndex, int shapeCount, const std::vector<std::string>& pictures, const String& otherPageLabel)
{
    static const char16_t* borders[] = { u"solid", u"inset", u"outset", u"ridge", u"groove" };
    static const char16_t* lineTypes[] = { u"straight", u"curve", u"bezier" };
    std::mt19937 random(unsigned(20261208 + pageIndex));
    constexpr int side = 1200;

    PicNode* frame = page.addRectangle(QRect(side - 300, 10, 280, 220));
    frame->setProperty(u"frame", String(u"true"));
    String target = quoted(frame->getName());
    String picture = quoted(String(pictures[size_t(pageIndex) % pictures.size()]));
    String showPicture
        = String(u"javascript:show_picture(") + target + u"," + picture + u",'A caption',null,null,null,100,true)";
    String showPage = String(u"javascript:show_page(") + target + u",'" + otherPageLabel + u".html',null,100)";

    for (int i = 1; i < shapeCount; ++i) {
        int x = int(random() % (side - 360));
        int y = int(random() % (side - 140));
        int w = 24 + int(random() % 120);
        int h = 20 + int(random() % 90);
        PicNode* node = nullptr;
        switch (i % 6) {
        case 0:
        case 1:
            node = page.addRectangle(QRect(x, y, w, h));
            node->setText(String(u"Button ") + String::number(i));
            node->setProperty(u"halign", String(u"center"));
            node->setProperty(u"valign", String(u"center"));
            break;
        case 2:
            node = page.addEllipse(QRect(x, y, w, h));
            break;
        case 3: {
            std::vector<QPoint> points;
            for (int k = 0; k < 5; ++k)
                points.emplace_back(x + int(random() % unsigned(w)), y + int(random() % unsigned(h)));
            node = page.addPolygon(points);
            break;
        }
        case 4: {
            std::vector<QPoint> points;
            for (int k = 0; k < 3; ++k)
                points.emplace_back(x + int(random() % unsigned(w)), y + int(random() % unsigned(h)));
            node = page.addLine(points);
            node->setProperty(u"line",
                String(u"type:") + lineTypes[i % 3] + u";width:2;color:" + colorText(random)
                    + u";enda:arrow;endz:arrow");
            break;
        }
        default:
            node = page.addPicture(x, y, String(pictures[size_t(i) % pictures.size()]));
            break;
        }
        if (!node)
            continue;
        if (i % 6 != 4 && i % 6 != 5) {
            node->setProperty(u"border",
                String(u"border-width:") + String::number(1 + int(random() % 4)) + u";border-style:"
                    + borders[random() % 5] + u";border-color:" + colorText(random));
            String background = colorText(random);
            if (i % 4 == 1)
                background = background + u"," + colorText(random) + u",vertical";
            node->setProperty(u"background-color", background);
        }
        switch (i % 10) {
        case 0:
            node->setProperty(u"onmousedown", showPicture);
            node->setProperty(u"title", String(u"Shows a picture"));
            break;
        case 3:
            node->setProperty(u"onmouseover", showPage);
            node->setProperty(u"onmouseout", String(u"javascript:clear_frame(") + target + u")");
            break;
        case 7:
            node->setProperty(u"href", String(u"https://example.org/") + String::number(i));
            break;
        default:
            break;
        }
    }
    page.initialize().list().add(String(u"Start"), showPicture);
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
    std::vector<std::string> pictures = writeSourcePictures(root);

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
        fillPage(*pages[i], int(i), shapeCount, pictures, pages[(i + 1) % pages.size()]->fileBaseName());
    double buildTime = millisecondsSince(buildStart);
    QSize size = pages.front()->pageSize();

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
    if (failures)
        std::printf("%d failures reported\n", failures);

    if (keep)
        std::printf("project kept in %s\n", root.c_str());
    else
        fs::remove_all(root);
    return failures ? 1 : 0;
}
