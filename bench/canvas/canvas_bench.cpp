// The canvas under a user's hands, on a page of 5,000 mixed shapes shown in
// a 1280 x 800 view at 100%: a full repaint (alone, as an expose or a scroll
// asks for, and after a redraw request, as every edit asks for, which lays
// the shapes out again), one drag step of a 100-shape selection (the move
// through the pointer events, then the paint that follows before the next
// frame), and the hit test a press makes. With --memory instead: the
// resident size with the site benchmark's project of 100 pages x 200 shapes
// open and its first page shown.
//
//   canvas_bench [--shapes N] [--rounds N] [--selected N]
//   canvas_bench --memory [--pages N] [--page-shapes N]
//
// Each figure is the median over every timed step of every round.
#include "app/PageDocument.h"
#include "bench/support/SiteProject.h"
#include "page/Page.h"
#include "picture/canvas/PageView.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
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

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(double(values.size()) * fraction))];
}

const char* verdict(double value, double target)
{
    return value < target ? "met" : "MISSED";
}

// A fresh temporary folder, removed when the benchmark ends.
class Scratch {
public:
    Scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "lumavine-canvas-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~Scratch()
    {
        if (!m_path.empty()) {
            std::error_code ignored;
            fs::remove_all(m_path, ignored);
        }
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// An empty project file in `folder`/site, as a new project starts.
String emptyProject(const std::string& folder)
{
    fs::create_directories(folder + "/site");
    std::ofstream(folder + "/site/site.xml").flush();
    return String(folder + "/site/site.xml");
}

String colorText(std::mt19937& random)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", unsigned(random() & 0xFFFFFF));
    return String(text);
}

// Mixed shapes spread over a 2000 x 3000 page: captioned buttons, round
// rectangles, ellipses, polygons, lines (half of them attached to boxes),
// pictures; borders on a third of the boxes and gradients on a quarter.
void fillCanvasPage(Page& page, int shapeCount, const std::vector<std::string>& pictures)
{
    static const char16_t* borders[] = { u"solid", u"inset", u"outset", u"ridge", u"groove" };
    std::mt19937 random(20261208);
    page.setPictureSize(2000, 3000);
    std::vector<PicNode*> boxes;
    for (int i = 0; i < shapeCount; ++i) {
        const int w = 20 + int(random() % 120);
        const int h = 16 + int(random() % 84);
        const int x = int(random() % unsigned(2000 - w));
        const int y = int(random() % unsigned(3000 - h));
        PicNode* node = nullptr;
        bool box = true;
        switch (i % 12) {
        case 0:
        case 1:
            node = page.addRectangle(QRect(x, y, w, h));
            node->setText(String(u"Item ") + String::number(i));
            node->setProperty(u"halign", String(u"center"));
            node->setProperty(u"valign", String(u"center"));
            break;
        case 2:
            node = page.addRoundRectangle(QRect(x, y, w, h));
            break;
        case 3:
        case 4:
            node = page.addEllipse(QRect(x, y, w, h));
            break;
        case 5: {
            std::vector<QPoint> points;
            for (int k = 0; k < 5; ++k)
                points.emplace_back(x + int(random() % unsigned(w)), y + int(random() % unsigned(h)));
            node = page.addPolygon(points);
            break;
        }
        case 6:
        case 7: {
            box = false;
            std::vector<QPoint> points;
            for (int k = 0; k < 3; ++k)
                points.emplace_back(x + int(random() % unsigned(w)), y + int(random() % unsigned(h)));
            node = page.addLine(points);
            if (!node)
                break;
            node->setProperty(
                u"line", String(u"type:straight;width:2;color:") + colorText(random) + u";enda:arrow;endz:arrow");
            if (i % 24 == 6 && boxes.size() >= 2) {
                node->setEndId(0, boxes[random() % boxes.size()]->id());
                node->setEndId(1, boxes[random() % boxes.size()]->id());
                node->resolveEnds();
            }
            break;
        }
        case 8:
            box = false;
            if (i % 48 == 8)
                node = page.addPicture(x, y, String(pictures[size_t(i) % pictures.size()]));
            else {
                // Text alone, without border or background.
                node = page.addRectangle(QRect(x, y, w, h));
                if (node)
                    node->setText(String(u"Caption ") + String::number(i));
            }
            break;
        default:
            node = page.addRectangle(QRect(x, y, w, h));
            break;
        }
        if (!node || !box)
            continue;
        boxes.push_back(node);
        if (i % 3 == 0)
            node->setProperty(u"border",
                String(u"border-width:") + String::number(1 + int(random() % 4)) + u";border-style:"
                    + borders[random() % 5] + u";border-color:" + colorText(random));
        String background = colorText(random);
        if (i % 4 == 1)
            background = background + u"," + colorText(random) + u",vertical";
        node->setProperty(u"background-color", background);
    }
}

// Counts the paints the view receives, to show that a timed step painted.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void sendMouse(QWidget& view, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(view.mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// Random points over the page through the picture's hit test, in batches;
// answers milliseconds per call.
std::vector<double> timeHitTests(Page& page, int rounds, int& hits)
{
    std::mt19937 random(7);
    std::vector<double> perCall;
    constexpr int batch = 100;
    for (int round = 0; round < rounds; ++round) {
        for (int b = 0; b < 20; ++b) {
            std::vector<QPoint> points;
            for (int i = 0; i < batch; ++i)
                points.emplace_back(int(random() % 2000u), int(random() % 3000u));
            auto start = Clock::now();
            for (const QPoint& point : points)
                hits += page.hitPoint(point, nullptr, false) ? 1 : 0;
            perCall.push_back(millisecondsSince(start) / batch);
        }
    }
    return perCall;
}

int runCanvas(int shapeCount, int rounds, int selectedCount)
{
    Scratch scratch;
    if (scratch.path().empty()) {
        std::perror("mkdtemp");
        return 1;
    }
    std::vector<std::string> pictures = bench::writeSourcePictures(scratch.path());
    int failures = 0;
    PageDocument document;
    document.setErrorReporter([&](const String& message) {
        if (failures++ < 5)
            std::fprintf(stderr, "error: %s\n", message.toNarrow().c_str());
    });
    if (!document.open(emptyProject(scratch.path()))) {
        std::fprintf(stderr, "cannot open the project\n");
        return 1;
    }
    Page* page = document.newPage();
    if (!page) {
        std::fprintf(stderr, "cannot make a page\n");
        return 1;
    }
    auto buildStart = Clock::now();
    fillCanvasPage(*page, shapeCount, pictures);
    const double buildTime = millisecondsSince(buildStart);

    PageView view(*page);
    view.setDoubleClickInterval(0);
    view.setZoom(1.0);
    view.resize(1280, 800);
    PaintCounter counter;
    view.installEventFilter(&counter);
    view.show();
    QApplication::processEvents();
    view.repaint();
    const QSize viewport = view.clientSize();

    // Full repaint: the whole view through the back buffer, synchronously.
    std::vector<double> repaint;
    int paintsBefore = counter.paints;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 10; ++i) {
            auto start = Clock::now();
            view.repaint();
            repaint.push_back(millisecondsSince(start));
        }
    }
    const int repaintPaints = counter.paints - paintsBefore;
    // The same after the model asked for a redraw, as every edit does: the
    // paint then lays the shapes out again first.
    std::vector<double> redrawn;
    paintsBefore = counter.paints;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 10; ++i) {
            auto start = Clock::now();
            view.redraw();
            QApplication::processEvents();
            redrawn.push_back(millisecondsSince(start));
        }
    }
    const int redrawnPaints = counter.paints - paintsBefore;

    int hitsIdle = 0;
    std::vector<double> hitIdle = timeHitTests(*page, rounds, hitsIdle);

    // The selection: a visible shape the press lands on, and others spread
    // over the page.
    PicNode* anchor = nullptr;
    QPoint pressAt;
    for (PicNode* shape : page->shapes()) {
        if (shape->kind() == ShapeKind::Line)
            continue;
        const QRect bounds = shape->getBounds();
        const QPoint centre = bounds.center();
        const QPoint onScreen = view.toScreen(centre) - view.scrollPosition();
        if (bounds.width() < 40 || bounds.height() < 30 || !QRect(QPoint(0, 0), viewport).contains(onScreen)
            || !QRect(QPoint(0, 0), viewport).contains(onScreen + QPoint(8, 8)))
            continue;
        if (page->hitPoint(centre, nullptr, false) == shape) {
            anchor = shape;
            pressAt = onScreen;
            break;
        }
    }
    if (!anchor) {
        std::fprintf(stderr, "no visible shape to press on\n");
        return 1;
    }
    page->clearSelection();
    page->select(anchor, true, true);
    const size_t candidates = page->shapeCount();
    const size_t stride = std::max<size_t>(1, candidates / size_t(selectedCount));
    std::vector<PicNode*> shapes(page->shapes().begin(), page->shapes().end());
    for (size_t i = 0; i < shapes.size() && page->selectionCount() < size_t(selectedCount); i += stride) {
        if (shapes[i] != anchor && shapes[i]->kind() != ShapeKind::Line)
            page->select(shapes[i], true, true);
    }
    for (size_t i = 0; i < shapes.size() && page->selectionCount() < size_t(selectedCount); ++i) {
        if (!shapes[i]->isSelected() && shapes[i]->kind() != ShapeKind::Line)
            page->select(shapes[i], true, true);
    }
    const size_t selected = page->selectionCount();
    QApplication::processEvents();

    // One drag: a press on a selected shape, then moves with the button
    // held, back and forth so the shapes stay where they were; each step
    // is the move event and the paint it asks for.
    sendMouse(view, QEvent::MouseButtonPress, pressAt, Qt::LeftButton, Qt::LeftButton);
    QApplication::processEvents();
    const size_t selectedAfterPress = page->selectionCount();
    const size_t carried = view.carried().size();
    const QRect anchorBefore = anchor->getBounds();
    const QPoint away = pressAt + QPoint(6, 4);
    std::vector<double> drag;
    std::vector<double> dragMove;
    paintsBefore = counter.paints;
    int steps = 0;
    bool moved = true;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 20; ++i) {
            const QPoint to = steps % 2 ? pressAt : away;
            auto start = Clock::now();
            sendMouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
            dragMove.push_back(millisecondsSince(start));
            QApplication::processEvents();
            drag.push_back(millisecondsSince(start));
            if (steps == 0)
                moved = anchor->getBounds() == anchorBefore.translated(6, 4);
            ++steps;
        }
    }
    const int dragPaints = counter.paints - paintsBefore;
    // An even number of steps brings the selection back.
    if (steps % 2)
        sendMouse(view, QEvent::MouseMove, pressAt, Qt::NoButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, pressAt, Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
    if (!moved || selectedAfterPress != selected) {
        std::fprintf(stderr, "the drag did not move the selection as a whole (%zu selected, %zu after the press)\n",
            selected, selectedAfterPress);
        ++failures;
    }

    int hitsSelected = 0;
    std::vector<double> hitSelected = timeHitTests(*page, rounds, hitsSelected);

    std::printf("page of %zu shapes on %dx%d, built in %.0f ms; view %dx%d at 100%%; %d rounds\n", page->shapeCount(),
        page->pictureWidth(), page->pictureHeight(), buildTime, viewport.width(), viewport.height(), rounds);
    std::printf("full repaint             median %8.2f ms  p90 %8.2f ms  (%zu repaints, %d paints)  target < 50 ms: "
                "%s\n",
        percentile(repaint, 0.5), percentile(repaint, 0.9), repaint.size(), repaintPaints,
        verdict(percentile(repaint, 0.5), 50));
    std::printf("repaint after redraw()   median %8.2f ms  p90 %8.2f ms  (%zu redraws, %d paints)  target < 50 ms: "
                "%s\n",
        percentile(redrawn, 0.5), percentile(redrawn, 0.9), redrawn.size(), redrawnPaints,
        verdict(percentile(redrawn, 0.5), 50));
    std::printf("drag step (%zu selected, %zu carried)  median %8.2f ms  p90 %8.2f ms  (%zu steps, %d paints)  target "
                "< 16 ms: %s\n",
        selected, carried, percentile(drag, 0.5), percentile(drag, 0.9), drag.size(), dragPaints,
        verdict(percentile(drag, 0.5), 16));
    std::printf(
        "  of which the move      median %8.2f ms  (the rest is the paint it asks for)\n", percentile(dragMove, 0.5));
    std::printf("hit test, none selected  median %8.4f ms  p90 %8.4f ms  (%zu calls, %d hits)  target < 1 ms: %s\n",
        percentile(hitIdle, 0.5), percentile(hitIdle, 0.9), hitIdle.size() * 100, hitsIdle,
        verdict(percentile(hitIdle, 0.5), 1));
    std::printf("hit test, %zu selected   median %8.4f ms  p90 %8.4f ms  (%zu calls, %d hits)  target < 1 ms: %s\n",
        selected, percentile(hitSelected, 0.5), percentile(hitSelected, 0.9), hitSelected.size() * 100, hitsSelected,
        verdict(percentile(hitSelected, 0.5), 1));
    if (failures)
        std::printf("%d failures reported\n", failures);
    return failures ? 1 : 0;
}

// Builds the site benchmark's project in `folder` and saves it; run in a
// child process so that the measuring one holds only what opening costs.
int writeProject(const std::string& folder, int pageCount, int shapeCount)
{
    std::vector<std::string> pictures = bench::writeSourcePictures(folder);
    int failures = 0;
    PageDocument document;
    document.setErrorReporter([&](const String& message) {
        if (failures++ < 5)
            std::fprintf(stderr, "error: %s\n", message.toNarrow().c_str());
    });
    if (!document.open(emptyProject(folder))) {
        std::fprintf(stderr, "cannot open the project\n");
        return 1;
    }
    while (document.pageCount() < size_t(pageCount))
        if (!document.newPage())
            return 1;
    std::vector<Page*> pages = document.pages();
    for (size_t i = 0; i < pages.size(); ++i)
        bench::fillSitePage(*pages[i], int(i), shapeCount, pictures, pages[(i + 1) % pages.size()]->fileBaseName());
    if (!document.save())
        ++failures;
    return failures ? 1 : 0;
}

int runMemory(int pageCount, int shapeCount)
{
    Scratch scratch;
    if (scratch.path().empty()) {
        std::perror("mkdtemp");
        return 1;
    }
    // Appended piece by piece: GCC 12 warns falsely about "'" + a temporary.
    std::string command = "'";
    command += QApplication::applicationFilePath().toStdString();
    command += "' --write-project '";
    command += scratch.path();
    command += "' --pages ";
    command += std::to_string(pageCount);
    command += " --page-shapes ";
    command += std::to_string(shapeCount);
    auto writeStart = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "writing the project failed: %s\n", command.c_str());
        return 1;
    }
    const double writeTime = millisecondsSince(writeStart);

    const bench::ResidentSize before = bench::residentSize();
    int failures = 0;
    PageDocument document;
    document.setErrorReporter([&](const String& message) {
        if (failures++ < 5)
            std::fprintf(stderr, "error: %s\n", message.toNarrow().c_str());
    });
    auto openStart = Clock::now();
    if (!document.open(String(scratch.path() + "/site/site.xml"))) {
        std::fprintf(stderr, "cannot open the written project\n");
        return 1;
    }
    const double openTime = millisecondsSince(openStart);
    const bench::ResidentSize opened = bench::residentSize();
    size_t shapes = 0;
    for (Page* page : document.pages())
        shapes += page->shapeCount();

    const std::vector<Page*> pages = document.pages();
    if (pages.empty()) {
        std::fprintf(stderr, "the written project has no pages\n");
        return 1;
    }
    PageView view(*pages.front());
    view.resize(1280, 800);
    view.show();
    QApplication::processEvents();
    view.repaint();
    const bench::ResidentSize shown = bench::residentSize();

    auto megabytes = [](long kilobytes) { return double(kilobytes) / 1024.0; };
    std::printf("project of %zu pages, %zu shapes, written in %.0f ms by a child process, opened in %.0f ms\n",
        document.pageCount(), shapes, writeTime, openTime);
    std::printf("resident before opening       VmRSS %7.1f MB  VmHWM %7.1f MB\n", megabytes(before.current),
        megabytes(before.peak));
    std::printf("resident with project open    VmRSS %7.1f MB  VmHWM %7.1f MB\n", megabytes(opened.current),
        megabytes(opened.peak));
    std::printf("resident with first page shown VmRSS %7.1f MB  VmHWM %7.1f MB\n", megabytes(shown.current),
        megabytes(shown.peak));
    std::printf("resident size (VmRSS)     %7.1f MB  target < 300 MB: %s\n", megabytes(shown.current),
        verdict(megabytes(shown.current), 300));
    std::printf("peak while opening (VmHWM) %7.1f MB  against the same 300 MB: %s\n", megabytes(shown.peak),
        verdict(megabytes(shown.peak), 300));
    if (failures)
        std::printf("%d failures reported\n", failures);
    return failures ? 1 : 0;
}

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    int shapeCount = 5000;
    int rounds = 5;
    int selectedCount = 100;
    int pageCount = 100;
    int pageShapes = 200;
    bool memory = false;
    std::string projectFolder;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--shapes") && i + 1 < argc)
            shapeCount = std::max(10, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--selected") && i + 1 < argc)
            selectedCount = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--pages") && i + 1 < argc)
            pageCount = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--page-shapes") && i + 1 < argc)
            pageShapes = std::max(2, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--memory"))
            memory = true;
        else if (!std::strcmp(argv[i], "--write-project") && i + 1 < argc)
            projectFolder = argv[++i];
        else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    if (!projectFolder.empty())
        return writeProject(projectFolder, pageCount, pageShapes);
    if (memory)
        return runMemory(pageCount, pageShapes);
    return runCanvas(shapeCount, rounds, selectedCount);
}
