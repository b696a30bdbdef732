// Publishes the sample project and a site of 500 files to one local pyftpdlib
// server, alternating with lftp (mirror -R, one transfer at a time) and with
// curl (one process for all files, so it keeps its connection), and prints
// each round, the medians and our time as a ratio to theirs; then the time of
// an incremental re-publish of the 500-file site with nothing changed.
//
//   publish_bench [rounds]

#include "../../tests/net/TestServer.h"

#include "app/PageDocument.h"
#include "app/PublishRun.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace lumavine;
using namespace lumavine::test;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A site as the run sees it: its pages, and the folders it takes the content
// and custom files from.
struct Site {
    std::string title;
    PublishProject project;
    std::vector<PublishPage> pages;
};

// 500 files: one page, 99 content files and 400 custom files in four
// folders, from 1 to 16 KB.
Site makeLargeSite(const std::string& directory)
{
    std::mt19937 generator(7);
    auto write = [&](const std::string& relative, size_t size) {
        std::string path = directory + "/" + relative;
        fs::create_directories(fs::path(path).parent_path());
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(generator() & 0xff);
        writeFile(path, bytes);
    };
    write("content/index.html", 4096);
    for (int i = 0; i < 99; ++i)
        write("content/files/picture" + std::to_string(i) + ".jpg", 1024 + generator() % 15360);
    for (int folder = 0; folder < 4; ++folder) {
        for (int i = 0; i < 100; ++i)
            write("content/custom/part" + std::to_string(folder) + "/file" + std::to_string(i) + ".bin",
                1024 + generator() % 15360);
    }
    Site site;
    site.title = "500 files";
    site.project = { String(directory), String(directory + "/content"), String(u"large") };
    site.pages = { { String(u"index"), String(directory + "/content/index.html"), String() } };
    return site;
}

std::vector<std::string> filesBelow(const std::string& directory)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        if (entry.is_regular_file())
            files.push_back(fs::relative(entry.path(), directory).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

PublishSettings settingsFor(int port, const std::string& root, bool incremental)
{
    PublishSettings settings;
    settings.connectionName = String(u"bench");
    settings.host = String(u"127.0.0.1");
    settings.port = port;
    settings.user = String(u"ann");
    settings.password = String(u"secret");
    settings.root = String(root);
    settings.incremental = incremental;
    return settings;
}

double publishOurs(const Site& site, int port, const std::string& root, bool incremental, int* skipped = nullptr)
{
    auto start = Clock::now();
    PublishRun run(settingsFor(port, root, incremental), site.project, site.pages, std::string());
    bool ok = run.run();
    double seconds = since(start);
    if (skipped)
        *skipped = run.skippedFiles();
    if (!ok)
        std::fprintf(stderr, "publish failed: %s\n", run.failure().toNarrow().c_str());
    return ok ? seconds : -1;
}

double publishLftp(const Site& site, int port, const std::string& remote)
{
    std::string command = "lftp -e 'set cmd:interactive false; set ftp:ssl-allow no; set ftp:passive-mode on; "
                          "set mirror:parallel-transfer-count 1; mirror -R "
        + site.project.contentDirectory.toNarrow() + " " + remote + "; quit' -u ann,secret -p " + std::to_string(port)
        + " ftp://127.0.0.1 >/dev/null";
    auto start = Clock::now();
    return runCommand(command) ? since(start) : -1;
}

// One curl for every file, each with its own URL, so the connection is kept.
double publishCurl(const Site& site, int port, const std::string& remote, const std::string& configFile)
{
    std::ofstream config(configFile, std::ios::trunc);
    const std::string content = site.project.contentDirectory.toNarrow();
    config << "user = \"ann:secret\"\nftp-create-dirs\nsilent\nshow-error\n";
    for (const std::string& file : filesBelow(content)) {
        config << "upload-file = \"" << content << "/" << file << "\"\n";
        config << "url = \"ftp://127.0.0.1:" << port << "/" << remote << "/" << file << "\"\n";
    }
    config.close();
    auto start = Clock::now();
    return runCommand("curl -K " + configFile) ? since(start) : -1;
}

bool sameTree(const std::string& local, const std::string& remote)
{
    if (!fs::is_directory(remote) || filesBelow(local) != filesBelow(remote))
        return false;
    for (const std::string& file : filesBelow(local)) {
        if (readFile(local + "/" + file) != readFile(remote + "/" + file))
            return false;
    }
    return true;
}

}

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);

    TempDir work;
    TempDir served;
    TestServer server("ftp_server.py", { served.path(), "ann", "secret" });
    if (server.port() <= 0) {
        std::fprintf(stderr, "the FTP server did not start\n");
        return 1;
    }

    // The sample project, its pages written as a publish writes them; the
    // content folder then holds exactly what the run sends.
    fs::copy(LUMAVINE_SAMPLE_DIR, work.file("sample"), fs::copy_options::recursive);
    PageDocument document;
    String message;
    std::optional<std::vector<PublishPage>> samplePages;
    if (document.open(String(work.file("sample/lumavine-sample.xml"))))
        samplePages = document.writePublishPages(message);
    if (!samplePages) {
        std::fprintf(stderr, "cannot write the sample's pages: %s\n", message.toNarrow().c_str());
        return 1;
    }
    std::vector<Site> sites;
    sites.push_back({ "sample project", document.publishProject(), *samplePages });
    sites.push_back(makeLargeSite(work.file("large")));

    bool allGood = true;
    for (const Site& site : sites) {
        const std::string content = site.project.contentDirectory.toNarrow();
        std::printf("%s: %zu files, %.1f KB\n", site.title.c_str(), filesBelow(content).size(), [&] {
            double bytes = 0;
            for (const std::string& file : filesBelow(content))
                bytes += static_cast<double>(fs::file_size(content + "/" + file));
            return bytes / 1024;
        }());
        std::vector<double> ours, lftp, curl;
        for (int round = 0; round < rounds; ++round) {
            std::string tag = std::to_string(round);
            // Who goes first changes every round.
            double a = -1, b = -1, c = -1;
            fs::create_directories(served.file("ours" + tag));
            auto runOurs = [&] { a = publishOurs(site, server.port(), "/ours" + tag, false); };
            auto runLftp = [&] { b = publishLftp(site, server.port(), "lftp" + tag); };
            auto runCurl = [&] { c = publishCurl(site, server.port(), "curl" + tag, work.file("curl.conf")); };
            if (round % 2 == 0) {
                runOurs();
                runLftp();
                runCurl();
            } else {
                runCurl();
                runLftp();
                runOurs();
            }
            std::string name = site.project.name.toNarrow();
            // Everything in the content folder went, byte for byte, each way.
            bool good = a >= 0 && b >= 0 && c >= 0 && sameTree(content, served.file("ours" + tag + "/" + name))
                && sameTree(content, served.file("lftp" + tag)) && sameTree(content, served.file("curl" + tag));
            std::printf("  round %d: ours %.3f s, lftp %.3f s, curl %.3f s%s\n", round + 1, a, b, c,
                good ? "" : "  (upload incomplete or wrong)");
            allGood = allGood && good;
            ours.push_back(a);
            lftp.push_back(b);
            curl.push_back(c);
            for (const char* prefix : { "ours", "lftp", "curl" })
                fs::remove_all(served.file(prefix + tag));
        }
        double mine = median(ours);
        std::printf("  median:  ours %.3f s, lftp %.3f s, curl %.3f s; ours/lftp %.2f, ours/curl %.2f\n", mine,
            median(lftp), median(curl), mine / median(lftp), mine / median(curl));
    }

    // Incremental: a first run records the large site, then runs with nothing
    // changed only connect, look and skip.
    const Site& large = sites.back();
    fs::create_directories(served.file("incremental"));
    publishOurs(large, server.port(), "/incremental", true);
    std::vector<double> unchanged;
    for (int round = 0; round < rounds; ++round) {
        int skipped = 0;
        double seconds = publishOurs(large, server.port(), "/incremental", true, &skipped);
        std::printf("  unchanged re-publish round %d: %.3f s, %d files skipped\n", round + 1, seconds, skipped);
        allGood = allGood && seconds >= 0 && skipped == 500;
        unchanged.push_back(seconds);
    }
    std::printf("unchanged re-publish of 500 files, incremental: median %.3f s\n", median(unchanged));
    return allGood ? 0 : 1;
}
