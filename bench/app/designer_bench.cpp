// The designer's start-up as a user waits for it: from starting the program
// with a project to its first page painted on the canvas, for the sample
// project and for the site benchmark's project of 100 pages x 200 shapes.
// Each round is a fresh process (offscreen), timed from the parent's start
// of it to the child's word that the canvas has painted; the figure is the
// median of the rounds.
//
//   designer_bench [--rounds N] [--pages N] [--page-shapes N]
#include "app/MainWindow.h"
#include "app/PageDocument.h"
#include "app/ProjectWindow.h"
#include "app/StartUp.h"
#include "bench/support/SiteProject.h"
#include "net/NetworkServices.h"
#include "page/Page.h"
#include "picture/canvas/PageView.h"

#include <QApplication>
#include <QTimer>
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

// The child's application takes no arguments of the benchmark's.
int applicationArgc = 1;
char applicationName[] = "designer_bench";
char* applicationArgv[] = { applicationName, nullptr };

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Quits the event loop once the widget has painted.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_seen = false;
};

// The child: the designer's start-up, then the project, until the canvas
// has painted.
int openOnce(const char* project)
{
    QApplication application(applicationArgc, applicationArgv);
    String message;
    const std::optional<Installation> installation = StartUp::readInstallation(message);
    if (!installation) {
        std::fprintf(stderr, "%s\n", message.toNarrow().c_str());
        return 1;
    }
    installNetworkServices();
    StartUp::applySharedDefaults();
    MainWindow window(*installation);
    window.show();
    ProjectWindow* opened = window.openProject(String::fromNarrowLossless(project));
    if (!opened || !opened->pageView()) {
        std::fprintf(stderr, "cannot open %s\n", project);
        return 1;
    }
    FirstPaint painted;
    opened->pageView()->installEventFilter(&painted);
    application.exec();
    std::printf("painted\n");
    std::fflush(stdout);
    return 0;
}

int writeProject(const std::string& folder, int pageCount, int shapeCount)
{
    QApplication application(applicationArgc, applicationArgv);
    const std::vector<std::string> pictures = bench::writeSourcePictures(folder);
    fs::create_directories(folder + "/site");
    std::ofstream(folder + "/site/site.xml");
    PageDocument document;
    if (!document.open(String::fromNarrowLossless(folder + "/site/site.xml")))
        return 1;
    while (document.pageCount() < size_t(pageCount))
        if (!document.newPage())
            return 1;
    const std::vector<Page*> pages = document.pages();
    for (size_t i = 0; i < pages.size(); ++i)
        bench::fillSitePage(*pages[i], int(i), shapeCount, pictures, pages[(i + 1) % pages.size()]->fileBaseName());
    return document.save() ? 0 : 1;
}

// Runs this program with the arguments and answers the milliseconds until
// it said "painted"; negative when it failed.
double timeChild(const std::string& arguments)
{
    const std::string command = "'" + fs::read_symlink("/proc/self/exe").string() + "' " + arguments;
    const auto start = Clock::now();
    FILE* child = popen(command.c_str(), "r");
    if (!child)
        return -1;
    char line[256] = {};
    double elapsed = -1;
    while (std::fgets(line, sizeof line, child)) {
        if (!std::strncmp(line, "painted", 7)) {
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
    }
    const int status = pclose(child);
    return status == 0 ? elapsed : -1;
}

const char* verdict(double value, double target)
{
    return value >= 0 && value < target ? "met" : "MISSED";
}

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int rounds = 5;
    int pages = 100;
    int pageShapes = 200;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--open-once") && i + 1 < argc)
            return openOnce(argv[i + 1]);
        if (!std::strcmp(argv[i], "--write-project") && i + 1 < argc)
            return writeProject(argv[i + 1], pages, pageShapes);
        if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--pages") && i + 1 < argc)
            pages = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--page-shapes") && i + 1 < argc)
            pageShapes = std::max(1, std::atoi(argv[++i]));
    }

    std::string pattern = (fs::temp_directory_path() / "lumavine-designer-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path scratch = pattern;
    // The settings the start-up reads, of the benchmark's own.
    fs::create_directories(scratch / "installation");
    std::ofstream(scratch / "registry.xml")
        << "<registry><Software><Lumavine><Location>" << (scratch / "installation").string()
        << "</Location><flags>0</flags></Lumavine></Software></registry>\n";
    setenv("LUMAVINE_REGISTRY", (scratch / "registry.xml").c_str(), 1);
    fs::copy(LUMAVINE_SAMPLE_DIR, scratch / "sample", fs::copy_options::recursive);

    const std::string size = " --pages " + std::to_string(pages) + " --page-shapes " + std::to_string(pageShapes);
    if (std::system(("'" + fs::read_symlink("/proc/self/exe").string() + "'" + size + " --write-project '"
            + (scratch / "large").string() + "'")
                        .c_str())
        != 0) {
        std::fprintf(stderr, "writing the large project failed\n");
        fs::remove_all(scratch);
        return 1;
    }

    std::vector<double> sample;
    std::vector<double> large;
    // Alternating, so that a busy moment of the machine weighs on both.
    for (int round = 0; round < rounds; ++round) {
        sample.push_back(timeChild("--open-once '" + (scratch / "sample/lumavine-sample.xml").string() + "'"));
        large.push_back(timeChild("--open-once '" + (scratch / "large/site/site.xml").string() + "'"));
    }
    fs::remove_all(scratch);
    if (std::count(sample.begin(), sample.end(), -1.0) || std::count(large.begin(), large.end(), -1.0)) {
        std::fprintf(stderr, "a round failed\n");
        return 1;
    }
    const double sampleMedian = median(sample);
    const double largeMedian = median(large);
    std::printf("start-up to the sample's first page painted  %7.0f ms  target < 1000 ms: %s\n", sampleMedian,
        verdict(sampleMedian, 1000));
    std::printf("start-up to a %d x %d project's first page   %7.0f ms  target < 2000 ms: %s\n", pages, pageShapes,
        largeMedian, verdict(largeMedian, 2000));
    std::printf("(median of %d rounds each, a fresh process per round)\n", rounds);
    return 0;
}
